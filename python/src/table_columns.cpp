// Copying table columns into numpy arrays.
#include "table_columns.h"

#include <pybind11/numpy.h>

#include <cstdint>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core_call.h"
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

// A numeric column's output: the cells' values copied as they are (int32, uint32, float32 or
// float64), size bytes each.
struct NumericColumn {
    int column;
    char* out;
    std::size_t size;
};

// Every numeric column in one pass over the rows: a row's cells lie side by side, so each row
// is read once while it is in the cache rather than once per column.
void copyNumericColumns(const std::vector<const UCell*>& rows,
                        const std::vector<NumericColumn>& columns)
{
    for (std::size_t k = 0; k < rows.size(); ++k)
        for (const NumericColumn& c : columns)
            std::memcpy(c.out + k * c.size, &rows[k][c.column], c.size);
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
        ++m_looked;
        if (const auto found = m_strings.find(key); found != m_strings.end())
            return found->second.ptr();
        ++m_misses;
        if (m_misses == kTrialMisses && m_misses * 2 > m_looked)
            m_caching = false;
        return m_strings.emplace(key, make(key)).first->second.ptr();
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
    bool m_caching = true;
    std::size_t m_misses = 0;
    std::size_t m_looked = 0;
};

// An object array of `count` strings, text(k) the k-th.
template <typename Text> py::array objectArray(std::size_t count, Text text)
{
    py::array array(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(count)});
    auto** out = static_cast<PyObject**>(array.mutable_data());
    TextCache cache;
    for (std::size_t k = 0; k < count; ++k) {
        PyObject* string = cache.get(text(k));
        Py_INCREF(string);
        Py_XDECREF(out[k]);
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

} // namespace

py::dict tableColumns(const CUTABLE& table)
{
    const CoreLock core;
    const std::vector<const UCell*> rows = liveRows(table);
    const auto count = static_cast<py::ssize_t>(rows.size());
    py::dict columns;
    std::vector<NumericColumn> numeric;
    for (int column = 0; column < table.columnCount(); ++column) {
        const UColumnDef& def = table.definition().columns[column];
        if (!holdsData(def))
            continue;
        py::array array;
        switch (def.type) {
        case kTypeText:
        case kTypeCode:
            array = objectArray(rows.size(),
                                [&](std::size_t k) { return cellText(rows[k][column], def.type); });
            break;
        case kTypeInt:
            array = py::array_t<std::int32_t>(count);
            break;
        case kTypeFloat:
            array = py::array_t<float>(count);
            break;
        case kTypeDouble:
            array = py::array_t<double>(count);
            break;
        default:
            array = py::array_t<std::uint32_t>(count);
        }
        if (def.type != kTypeText && def.type != kTypeCode)
            numeric.push_back({column, static_cast<char*>(array.mutable_data()),
                               static_cast<std::size_t>(array.itemsize())});
        columns[def.name] = array;
    }
    copyNumericColumns(rows, numeric);
    return columns;
}

py::array stringArray(const std::vector<std::string>& texts)
{
    return objectArray(texts.size(), [&](std::size_t k) { return texts[k].c_str(); });
}
