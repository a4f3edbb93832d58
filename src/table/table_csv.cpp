// The table file: a header of the saved columns' names, then one line per
// row led by the table number; no quoting, CR LF line ends.
#include <cstring>

#include "platform/ui.h"
#include "table/app_uty.h"
#include "table/csv_field.h"
#include "table/cutable.h"
#include "table/text_file.h"

namespace {

constexpr std::size_t kMaxTextField = 254; // a 255th character breaks the file
constexpr std::size_t kMaxCodeField = 7;

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

std::size_t maxLineBytes(const UTableDef& definition)
{
    std::size_t bytes = kMaxNumberText + 2;
    for (int column = 1; column < definition.columnCount; ++column)
        bytes += 2 + std::max(kMaxNumberText, UCBUF::kMaxLength + 1);
    return bytes;
}

char* appendText(char* out, const char* text, std::size_t length)
{
    *out++ = '_';
    std::memcpy(out, text, length);
    return out + length;
}

char* appendField(char* out, const UCell& cell, int type)
{
    switch (type) {
    case kTypeInt:
        return formatIntField(out, cell.integer);
    case kTypeFloat:
        return formatFloatField(out, cell.real);
    case kTypeText:
        return appendText(out, cell.text ? cell.text : "", cell.text ? std::strlen(cell.text) : 0);
    case kTypeCode:
        return appendText(out, cell.code, strnlen(cell.code, sizeof cell.code));
    default:
        return formatUnsignedField(out, cell.number);
    }
}

const char* fieldEnd(const char* p, const char* end)
{
    const auto* comma =
        static_cast<const char*>(std::memchr(p, ',', static_cast<std::size_t>(end - p)));
    return comma ? comma : end;
}

} // namespace

struct CUTABLE::LoadState {
    int tagColumn;
    std::int32_t tagValue;
    // The column at which parsing stopped: -1 before the first row, the
    // column count after each complete row.
    int column = -1;
};

bool CUTABLE::save(const std::string& path, int filterColumn, std::int32_t low,
                   std::int32_t high) const
{
    if (filterColumn > 0)
        checkColumn(filterColumn);
    AtomicFileWriter out(path);
    if (!out.open()) {
        message("Cannot open %s", path.c_str());
        return false;
    }
    out.append(headerLine(*m_def));
    const std::size_t lineBytes = maxLineBytes(*m_def);
    for (int row = 0; row < m_count; ++row) {
        const UCell* cells = rowCells(row);
        if (cells[0].number == kDeleted)
            continue;
        if (filterColumn > 0 &&
            (cells[filterColumn].integer < low || cells[filterColumn].integer > high))
            continue;
        char* p = out.space(lineBytes);
        p = formatUnsignedField(p, static_cast<std::uint32_t>(m_def->tableNumber));
        for (int column = 1; column < columnCount(); ++column) {
            if (!isFileColumn(m_def->columns[column]))
                continue;
            *p++ = ',';
            p = appendField(p, cells[column], columnType(column));
        }
        *p++ = '\r';
        *p++ = '\n';
        out.advance(p);
    }
    if (!out.commit()) {
        message("Cannot open %s", path.c_str());
        return false;
    }
    return true;
}

bool CUTABLE::saveToDirectory(const std::string& folder) const
{
    return save(CAppUty::filePath(folder, m_def->fileName));
}

bool CUTABLE::loadLine(LoadState& state, const char* begin, const char* end)
{
    std::uint32_t tableNumber = 0;
    if (!scanUnsignedField(begin, fieldEnd(begin, end), tableNumber) ||
        tableNumber != static_cast<std::uint32_t>(m_def->tableNumber))
        return false;
    const int row = addRow();
    if (state.tagColumn != 0)
        setInteger(row, state.tagValue, state.tagColumn);
    UCell* cells = rowCells(row);
    const char* cursor = begin;
    for (state.column = 1; state.column < columnCount(); ++state.column) {
        const int column = state.column;
        if (!isFileColumn(m_def->columns[column]))
            continue;
        const auto* comma = static_cast<const char*>(
            std::memchr(cursor, ',', static_cast<std::size_t>(end - cursor)));
        if (!comma)
            return false;
        cursor = comma + 1;
        if (cursor == end)
            continue;
        const char* fieldStop = fieldEnd(cursor, end);
        UCell& cell = cells[column];
        switch (columnType(column)) {
        case kTypeInt:
            if (!scanIntField(cursor, fieldStop, cell.integer))
                return false;
            break;
        case kTypeFloat:
            if (!scanFloatField(cursor, fieldStop, cell.real))
                return false;
            break;
        case kTypeText:
        case kTypeCode: {
            if (cursor == fieldStop)
                break;
            const std::size_t length = static_cast<std::size_t>(fieldStop - cursor) - 1;
            const bool code = columnType(column) == kTypeCode;
            if (*cursor != '_' || length > (code ? kMaxCodeField : kMaxTextField))
                return false;
            if (code)
                std::memcpy(cell.code, cursor + 1, length);
            else
                cell.text = m_pools->strings.pool(std::string_view(cursor + 1, length));
            cursor = fieldStop;
            break;
        }
        default:
            if (!scanUnsignedField(cursor, fieldStop, cell.number))
                return false;
            break;
        }
    }
    return true;
}

bool CUTABLE::broken(const LoadState& state) const
{
    message("%s was broken\n line=%d,row=%d\nPlease Stop and check", m_def->fileName, m_count,
            state.column);
    return false;
}

bool CUTABLE::load(const std::string& path, int tagColumn, std::int32_t tagValue)
{
    TextLineReader reader;
    if (!reader.open(path))
        return false;
    LoadState state{tagColumn, tagValue};
    std::string_view line;
    if (!reader.next(line))
        return broken(state);
    while (reader.next(line))
        if (!loadLine(state, line.data(), line.data() + line.size()))
            return broken(state);
    if (reader.failed())
        return broken(state);
    return true;
}

bool CUTABLE::loadFromDirectory(const std::string& folder)
{
    if (m_count > 0)
        clear();
    return load(CAppUty::filePath(folder, m_def->fileName));
}
