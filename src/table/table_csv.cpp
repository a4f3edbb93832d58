// The table file: a header of the saved columns' names, then one line per
// row led by the table number; no quoting, CR LF line ends.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/ui.h"
#include "table/app_uty.h"
#include "table/csv_field.h"
#include "table/cutable.h"
#include "table/row_list_file.h"
#include "table/text_file.h"

namespace {

// The longest texts the cells hold; both are written and read back whole.
constexpr std::size_t kMaxTextField = UCBUF::kMaxLength;
constexpr std::size_t kMaxCodeField = 7;
// "%f" of -FLT_MAX: a sign, 39 digits, the point and six decimals.
constexpr std::size_t kLongestFloatText = 47;
// "%f" of -DBL_MAX: a sign, 309 digits, the point and six decimals.
constexpr std::size_t kLongestDoubleText = 317;
constexpr std::size_t kLongestIntText = 11;      // "-2147483648"
constexpr std::size_t kLongestUnsignedText = 10; // "4294967295"

// Saved columns with a file form; link lists have none.
bool isFileColumn(const UColumnDef& column)
{
    if (column.saved != 1)
        return false;
    switch (column.type) {
    case kTypeInt:
    case kTypeFlag:
    case kTypeSelState:
    case kTypeUnsigned:
    case kTypeFloat:
    case kTypeDouble:
    case kTypeText:
    case kTypeCode:
        return true;
    default:
        return false;
    }
}

std::string headerLine(const UTableDef& definition)
{
    std::string header = "_Version";
    for (int column = 1; column < definition.columnCount; ++column) {
        if (isFileColumn(definition.columns[column])) {
            header += ",_";
            header += definition.columns[column].name;
        }
    }
    return header + "\r\n";
}

std::size_t longestField(int type)
{
    switch (type) {
    case kTypeInt:
        return kLongestIntText;
    case kTypeFloat:
        return kLongestFloatText;
    case kTypeDouble:
        return kLongestDoubleText;
    case kTypeText:
        return 1 + kMaxTextField;
    case kTypeCode:
        return 1 + kMaxCodeField;
    default:
        return kLongestUnsignedText;
    }
}

// The longest data line the table can be written as, without its line end.
std::size_t longestLine(const UTableDef& definition)
{
    std::size_t length = kLongestUnsignedText;
    for (int column = 1; column < definition.columnCount; ++column)
        if (isFileColumn(definition.columns[column]))
            length += 1 + longestField(definition.columns[column].type);
    return length;
}

// Lines are read as a 1024-byte buffer reads them, unless the table's own
// lines can be longer: every line the writer produces must load again.
std::size_t readBound(const UTableDef& definition)
{
    return std::max(TextLineReader::kMaxRead, longestLine(definition) + 1);
}

// A comma or a line feed would split the field when read back (editing
// refuses both); written as blanks, the row keeps its fields.
char* appendText(char* out, const char* text, std::size_t length)
{
    *out++ = '_';
    for (std::size_t i = 0; i < length; ++i)
        *out++ = text[i] == ',' || text[i] == '\n' ? ' ' : text[i];
    return out;
}

char* appendField(char* out, const UCell& cell, int type)
{
    switch (type) {
    case kTypeInt:
        return formatIntField(out, cell.integer);
    case kTypeFloat:
        return formatFloatField(out, cell.real);
    case kTypeDouble:
        return formatDoubleField(out, cell.real64);
    case kTypeText:
        return appendText(out, cell.text ? cell.text : "", cell.text ? std::strlen(cell.text) : 0);
    case kTypeCode:
        return appendText(out, cell.code, strnlen(cell.code, sizeof cell.code));
    default:
        return formatUnsignedField(out, cell.number);
    }
}

char* appendRow(char* out, const UTableDef& definition, const UCell* cells)
{
    out = formatUnsignedField(out, static_cast<std::uint32_t>(definition.tableNumber));
    for (int column = 1; column < definition.columnCount; ++column) {
        if (!isFileColumn(definition.columns[column]))
            continue;
        *out++ = ',';
        out = appendField(out, cells[column], definition.columns[column].type);
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

// The end of the field that starts at p: its comma or the line end.
const char* fieldEnd(const char* p, const char* end)
{
    const auto* comma =
        static_cast<const char*>(std::memchr(p, ',', static_cast<std::size_t>(end - p)));
    return comma ? comma : end;
}

// "_" and at most maxLength characters; an empty field is the empty text.
bool readText(const char* field, const char* fieldStop, std::size_t maxLength,
              std::string_view& text)
{
    text = {};
    if (field == fieldStop)
        return true;
    text = std::string_view(field + 1, static_cast<std::size_t>(fieldStop - field) - 1);
    return *field == '_' && text.size() <= maxLength;
}

// Reads a non-empty field into its cleared cell.
bool readField(UCell& cell, int type, const char* field, const char* fieldStop, UCBUF& strings)
{
    std::string_view text;
    switch (type) {
    case kTypeInt:
        return readIntField(field, fieldStop, cell.integer);
    case kTypeFloat:
        return readFloatField(field, fieldStop, cell.real);
    case kTypeDouble:
        return readDoubleField(field, fieldStop, cell.real64);
    case kTypeText:
        if (!readText(field, fieldStop, kMaxTextField, text))
            return false;
        cell.text = strings.pool(text);
        return true;
    case kTypeCode:
        if (!readText(field, fieldStop, kMaxCodeField, text))
            return false;
        std::copy(text.begin(), text.end(), cell.code);
        return true;
    default:
        return readUnsignedField(field, fieldStop, cell.number);
    }
}

} // namespace

struct CUTABLE::LoadState {
    int tagColumn;
    std::int32_t tagValue;
    // The column at which parsing stopped: -1 before the first row, the
    // column count after each complete row.
    int column = -1;
};

bool CUTABLE::save(const std::string& path, int filterColumn, std::int32_t low, std::int32_t high,
                   FileTransaction* transaction) const
{
    if (filterColumn <= 0)
        return saveRows(
            path, [](int) { return true; }, transaction);
    checkColumn(filterColumn);
    return saveRows(
        path,
        [this, filterColumn, low, high](int row) {
            const std::int32_t value = rowCells(row)[filterColumn].integer;
            return low <= value && value <= high;
        },
        transaction);
}

namespace {

// The table file of the rows that forEachRow hands, in turn, to the writer it is given.
template <typename ForEachRow>
bool writeTableFile(const UTableDef& definition, const std::string& path,
                    FileTransaction* transaction, ForEachRow forEachRow)
{
    AtomicFileWriter out(path, transaction);
    if (!out.open()) {
        message("Cannot open %s", path.c_str());
        return false;
    }
    out.append(headerLine(definition));
    const std::size_t lineBytes = longestLine(definition) + 2;
    forEachRow([&](const UCell* cells) {
        out.advance(appendRow(out.space(lineBytes), definition, cells));
    });
    if (!out.commit()) {
        if (out.failedToReplace())
            message("Cannot open %s", path.c_str());
        else
            message(kCannotWriteFormat, path.c_str(), std::strerror(out.error()));
        return false;
    }
    return true;
}

} // namespace

bool CUTABLE::saveRows(const std::string& path, const std::function<bool(int row)>& keep,
                       FileTransaction* transaction) const
{
    return writeTableFile(*m_def, path, transaction, [&](auto write) {
        for (int row = 0; row < m_count; ++row) {
            const UCell* cells = rowCells(row);
            if (cells[0].number != kDeleted && keep(row))
                write(cells);
        }
    });
}

bool saveRowList(const CUTABLE& table, const std::string& path, const std::vector<int>& rows,
                 FileTransaction* transaction)
{
    return writeTableFile(table.definition(), path, transaction, [&](auto write) {
        for (int row : rows)
            write(table.cell(row, 0));
    });
}

bool CUTABLE::saveToDirectory(const std::string& folder, FileTransaction* transaction) const
{
    return save(CAppUty::filePath(folder, m_def->fileName), 0, 0, 0, transaction);
}

bool CUTABLE::loadLine(LoadState& state, const char* begin, const char* end)
{
    // The cursor stands on the comma that ends the previous field, or on the line end.
    const char* cursor = fieldEnd(begin, end);
    std::uint32_t tableNumber = 0;
    if (!readUnsignedField(begin, cursor, tableNumber) ||
        tableNumber != static_cast<std::uint32_t>(m_def->tableNumber))
        return false;
    const int row = addRow();
    if (state.tagColumn != 0)
        setInteger(row, state.tagValue, state.tagColumn);
    UCell* cells = rowCells(row);
    for (state.column = 1; state.column < columnCount(); ++state.column) {
        if (!isFileColumn(m_def->columns[state.column]))
            continue;
        if (cursor == end)
            return false;
        const char* field = cursor + 1;
        cursor = fieldEnd(field, end);
        // A field cut off by the line end leaves its cell cleared.
        if (field != end && !readField(cells[state.column], columnType(state.column), field, cursor,
                                       m_pools->strings))
            return false;
    }
    return true;
}

// The orbit table's rows come from many files: its message names the one.
LoadResult CUTABLE::broken(const LoadState& state, const std::string& path) const
{
    const std::string fileName = path.substr(path.find_last_of('/') + 1);
    const std::string which = fileName == m_def->fileName ? "" : ": " + fileName;
    message("%s was broken%s\n line=%d,row=%d\nPlease Stop and check", m_def->fileName,
            which.c_str(), m_count, state.column);
    return LoadResult::Broken;
}

LoadResult CUTABLE::loadFile(const std::string& path, int tagColumn, std::int32_t tagValue)
{
    TextLineReader reader(readBound(*m_def));
    if (!reader.open(path))
        return errno == ENOENT ? LoadResult::Missing : LoadResult::Unreadable;
    LoadState state{tagColumn, tagValue};
    std::string_view line;
    if (!reader.next(line))
        return broken(state, path);
    while (reader.next(line))
        if (!loadLine(state, line.data(), line.data() + line.size()))
            return broken(state, path);
    if (reader.failed())
        return broken(state, path);
    return LoadResult::Loaded;
}

LoadResult CUTABLE::loadFromDirectory(const std::string& folder)
{
    if (m_count > 0)
        clear();
    return loadFile(CAppUty::filePath(folder, m_def->fileName));
}
