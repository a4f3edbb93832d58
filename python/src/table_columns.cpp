// Copying table columns into numpy arrays.
#include "table_columns.h"

#include <pybind11/numpy.h>

#include <deque>
#include <string_view>
#include <unordered_map>
#include <vector>

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

std::vector<int> liveRows(const CUTABLE& table)
{
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(table.count()));
    for (int row = 0; row < table.count(); ++row)
        if (table.isLive(row))
            rows.push_back(row);
    return rows;
}

template <typename T, typename Read>
py::array_t<T> numericColumn(const std::vector<int>& rows, Read read)
{
    py::array_t<T> array(static_cast<py::ssize_t>(rows.size()));
    T* out = array.mutable_data();
    for (std::size_t k = 0; k < rows.size(); ++k)
        out[k] = read(rows[k]);
    return array;
}

// Texts repeat a lot (codes, month/day, stream codes, empty memos): each distinct text becomes
// one Python string shared by its rows. Bytes that are not UTF-8 survive as surrogates.
class TextCache {
public:
    PyObject* get(const char* text)
    {
        const std::string_view key(text);
        auto found = m_strings.find(key);
        if (found != m_strings.end())
            return found->second.ptr();
        py::object made = py::reinterpret_steal<py::object>(
            PyUnicode_DecodeUTF8(text, static_cast<py::ssize_t>(key.size()), "surrogateescape"));
        if (!made)
            throw py::error_already_set();
        m_keys.emplace_back(key);
        return m_strings.emplace(m_keys.back(), std::move(made)).first->second.ptr();
    }

private:
    std::deque<std::string> m_keys; // the map's keys point into these (a deque never moves them)
    std::unordered_map<std::string_view, py::object> m_strings;
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

py::array textColumn(const CUTABLE& table, const std::vector<int>& rows, int column)
{
    return objectArray(rows.size(), [&](std::size_t k) { return table.text(rows[k], column); });
}

} // namespace

py::dict tableColumns(const CUTABLE& table)
{
    const std::vector<int> rows = liveRows(table);
    py::dict columns;
    for (int column = 0; column < table.columnCount(); ++column) {
        const UColumnDef& def = table.definition().columns[column];
        if (!holdsData(def))
            continue;
        switch (def.type) {
        case kTypeInt:
            columns[def.name] = numericColumn<std::int32_t>(
                rows, [&](int row) { return table.cell(row, column)->integer; });
            break;
        case kTypeFloat:
            columns[def.name] =
                numericColumn<float>(rows, [&](int row) { return table.cell(row, column)->real; });
            break;
        case kTypeText:
        case kTypeCode:
            columns[def.name] = textColumn(table, rows, column);
            break;
        default:
            columns[def.name] = numericColumn<std::uint32_t>(
                rows, [&](int row) { return table.cell(row, column)->number; });
        }
    }
    return columns;
}

py::array stringArray(const std::vector<std::string>& texts)
{
    return objectArray(texts.size(), [&](std::size_t k) { return texts[k].c_str(); });
}
