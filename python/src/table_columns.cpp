// Copying table columns into numpy arrays.
#include "table_columns.h"

#include <pybind11/numpy.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core_call.h"
#include "fresh_array.h"
#include "platform/huge_pages.h"
#include "table/cutable.h"

namespace {

// Columns that only serve the window or the links.
bool holdsData(const UColumnDef& column)
{
    static constexpr std::string_view kBookkeeping[] = {"exist", "dline", "itemdata"};
    for (std::string_view name : kBookkeeping)
        if (name == column.name)
            return false;
    return column.type != kTypeLink;
}

// The cells of every live row, in row order: a row's cells lie side by side.
std::vector<const UCell*> liveRows(const CUTABLE& table)
{
    std::vector<const UCell*> rows;
    rows.reserve(static_cast<std::size_t>(table.count()));
    for (int row = 0; row < table.count(); ++row)
        if (table.isLive(row))
            rows.push_back(table.cell(row, 0));
    return rows;
}

// While it lives, Python's small-object arenas (where a million strings go) are carved out of
// huge pages too. Arenas are given back one by one with munmap, by Python's own allocator as
// much as by this one, so either may free what the other mapped.
class HugePageArenas {
public:
    HugePageArenas()
    {
        PyObject_GetArenaAllocator(&m_previous);
        PyObjectArenaAllocator own{this, &HugePageArenas::allocate, &HugePageArenas::release};
        PyObject_SetArenaAllocator(&own);
    }
    ~HugePageArenas()
    {
        PyObject_SetArenaAllocator(&m_previous);
        if (m_next != m_end)
            munmap(m_next, static_cast<std::size_t>(m_end - m_next));
    }
    HugePageArenas(const HugePageArenas&) = delete;
    HugePageArenas& operator=(const HugePageArenas&) = delete;

private:
    static constexpr std::size_t kChunk = 16 * kHugePageBytes;

    static void* allocate(void* context, std::size_t size)
    {
        auto& arenas = *static_cast<HugePageArenas*>(context);
        if (size > kChunk)
            return arenas.m_previous.alloc(arenas.m_previous.ctx, size);
        if (static_cast<std::size_t>(arenas.m_end - arenas.m_next) < size) {
            if (arenas.m_next != arenas.m_end)
                munmap(arenas.m_next, static_cast<std::size_t>(arenas.m_end - arenas.m_next));
            arenas.m_next = arenas.m_end = static_cast<char*>(mapZeroedPages(kChunk));
            if (arenas.m_next == nullptr)
                return nullptr;
            arenas.m_end += kChunk;
        }
        void* arena = arenas.m_next;
        arenas.m_next += size;
        return arena;
    }
    static void release(void*, void* arena, std::size_t size) { munmap(arena, size); }

    PyObjectArenaAllocator m_previous{};
    char* m_next = nullptr;
    char* m_end = nullptr;
};

// The columns whose cells are copied as they are, by their width in bytes.
struct NumericColumns {
    std::vector<std::pair<int, std::uint32_t*>> narrow; // int32, uint32, float32
    std::vector<std::pair<int, std::uint64_t*>> wide;   // float64
};

template <typename Word> Word cellWord(const UCell& cell)
{
    Word word;
    std::memcpy(&word, &cell, sizeof word);
    return word;
}

// Rows a tile at a time, a column at a time within the tile: the tile's rows stay in the cache
// while each column is written in one sequential run, rather than writing to every column's
// array at once.
constexpr std::size_t kTileRows = 2048;

template <typename Word>
void copyTile(const std::vector<const UCell*>& rows, std::size_t first, std::size_t last,
              const std::vector<std::pair<int, Word*>>& columns)
{
    for (const auto& [column, out] : columns)
        for (std::size_t k = first; k < last; ++k)
            out[k] = cellWord<Word>(rows[k][column]);
}

void copyNumericColumns(const std::vector<const UCell*>& rows, const NumericColumns& columns)
{
    for (std::size_t first = 0; first < rows.size(); first += kTileRows) {
        const std::size_t last = std::min(rows.size(), first + kTileRows);
        copyTile(rows, first, last, columns.narrow);
        copyTile(rows, first, last, columns.wide);
    }
}

// Codes, month/day texts, stream codes and empty memos repeat: each distinct text becomes one
// Python string shared by its rows. Names rarely repeat, so a column whose texts turn out
// mostly distinct stops looking them up. Bytes that are not UTF-8 survive as surrogates.
class TextCache {
public:
    PyObject* get(const char* text)
    {
        const std::string_view key(text);
        if (!m_caching)
            return keep(make(key));
        // Rows come in time order, so a day's texts and the empty memos come in runs.
        if (m_last != nullptr && key == m_lastKey)
            return m_last;
        ++m_looked;
        auto found = m_strings.find(key);
        if (found == m_strings.end()) {
            ++m_misses;
            if (m_misses == kTrialMisses && m_misses * 2 > m_looked)
                m_caching = false;
            found = m_strings.emplace(key, make(key)).first;
        }
        m_lastKey = key;
        m_last = found->second.ptr();
        return m_last;
    }

private:
    static constexpr std::size_t kTrialMisses = 4096;

    static py::object make(std::string_view text)
    {
        auto made = py::reinterpret_steal<py::object>(PyUnicode_DecodeUTF8(
            text.data(), static_cast<py::ssize_t>(text.size()), "surrogateescape"));
        if (!made)
            throw py::error_already_set();
        return made;
    }
    PyObject* keep(py::object text)
    {
        m_uncached = std::move(text);
        return m_uncached.ptr();
    }

    // The keys point into the table, which no other call changes meanwhile.
    std::unordered_map<std::string_view, py::object> m_strings;
    py::object m_uncached;
    std::string_view m_lastKey;
    PyObject* m_last = nullptr;
    bool m_caching = true;
    std::size_t m_misses = 0;
    std::size_t m_looked = 0;
};

// An object array of `count` strings, text(k) the k-th. numpy hands out object arrays zeroed,
// so the slots are written without being read first: a read would map the zero page, and the
// write after it would fault a second time.
template <typename Text> py::array objectArray(std::size_t count, Text text)
{
    py::array array(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(count)});
    auto** out = static_cast<PyObject**>(array.mutable_data());
    TextCache cache;
    for (std::size_t k = 0; k < count; ++k) {
        PyObject* string = cache.get(text(k));
        Py_INCREF(string);
        out[k] = string;
    }
    return array;
}

const char* cellText(const UCell& cell, int type)
{
    if (type == kTypeCode)
        return cell.code;
    return cell.text ? cell.text : "";
}

// The dtype of a numeric column's cells.
py::dtype cellDtype(int type)
{
    switch (type) {
    case kTypeInt:
        return py::dtype::of<std::int32_t>();
    case kTypeFloat:
        return py::dtype::of<float>();
    case kTypeDouble:
        return py::dtype::of<double>();
    default:
        return py::dtype::of<std::uint32_t>();
    }
}

} // namespace

py::dict tableColumns(const CUTABLE& table)
{
    const CoreLock core;
    const std::vector<const UCell*> rows = liveRows(table);
    py::dict columns;
    NumericColumns numeric;
    const HugePageArenas arenas;
    for (int column = 0; column < table.columnCount(); ++column) {
        const UColumnDef& def = table.definition().columns[column];
        if (!holdsData(def))
            continue;
        if (def.type == kTypeText || def.type == kTypeCode) {
            columns[def.name] = objectArray(
                rows.size(), [&](std::size_t k) { return cellText(rows[k][column], def.type); });
            continue;
        }
        py::array array = freshArray(cellDtype(def.type), rows.size());
        if (def.type == kTypeDouble)
            numeric.wide.emplace_back(column, static_cast<std::uint64_t*>(array.mutable_data()));
        else
            numeric.narrow.emplace_back(column, static_cast<std::uint32_t*>(array.mutable_data()));
        columns[def.name] = array;
    }
    copyNumericColumns(rows, numeric);
    return columns;
}

py::array stringArray(const std::vector<std::string>& texts)
{
    return objectArray(texts.size(), [&](std::size_t k) { return texts[k].c_str(); });
}
