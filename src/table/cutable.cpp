// The table's blocks, rows and cells.
#include "table/cutable.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/huge_pages.h"
#include "platform/ui.h"

void CUTABLE::initialise(const UTableDef& definition, TablePools& pools)
{
    free();
    m_def = &definition;
    m_pools = &pools;
    m_blockSource.restart(blockBytes());
    m_textColumns.clear();
    for (int column = 0; column < definition.columnCount; ++column)
        if (definition.columns[column].type == kTypeText)
            m_textColumns.push_back(column);
    growTo(0);
}

void CUTABLE::growTo(int row)
{
    while (capacity() <= row) {
        auto* cells = static_cast<UCell*>(m_blockSource.take());
        if (!cells)
            fatal("Cannot allocate UTABLE");
        m_blocks.push_back({capacity() + m_def->rowsPerBlock, cells});
    }
}

UCell* CUTABLE::rowCells(int row) const
{
    const int rowsPerBlock = m_def->rowsPerBlock;
    const UTableBlock& block = m_blocks[static_cast<std::size_t>(row / rowsPerBlock)];
    return block.cells + static_cast<std::size_t>(row % rowsPerBlock) * columnCount();
}

UCell* CUTABLE::rowCellsChecked(int row) const
{
    if (row < 0 || row >= capacity())
        fatal("CUTABLE invalid access");
    return rowCells(row);
}

void CUTABLE::checkColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        fatal("CUTABLE invalid access");
}

void CUTABLE::checkTextColumn(int column, bool codeAllowed) const
{
    checkColumn(column);
    const int type = columnType(column);
    if (type != kTypeText && !(codeAllowed && type == kTypeCode))
        fatal("CUTABLE invalid access");
}

int CUTABLE::addRow()
{
    const int row = m_count;
    growTo(row);
    UCell* cells = rowCells(row);
    std::memset(static_cast<void*>(cells), 0, sizeof(UCell) * columnCount());
    cells[0].number = kLive;
    ++m_count;
    return row;
}

std::uint32_t CUTABLE::exist(int row) const { return rowCellsChecked(row)[0].number; }

void CUTABLE::setExist(int row, std::uint32_t value)
{
    if (row < 0)
        fatal("CUTABLE underflow");
    growTo(row);
    rowCells(row)[0].number = value;
}

const UCell* CUTABLE::cell(int row, int column) const
{
    const UCell* cells = rowCellsChecked(row);
    if (cells[0].number == kDeleted)
        fatal("UT recored was deteled");
    checkColumn(column);
    return cells + column;
}

UCell* CUTABLE::cell(int row, int column)
{
    return const_cast<UCell*>(std::as_const(*this).cell(row, column));
}

UCell* CUTABLE::cellForWriting(int row, int column)
{
    if (row < 0)
        fatal("CUTABLE underflow");
    checkColumn(column);
    growTo(row);
    return rowCells(row) + column;
}

std::int32_t CUTABLE::integer(int row, int column) const
{
    const UCell* cells = rowCellsChecked(row);
    checkColumn(column);
    return cells[column].integer;
}

void CUTABLE::setInteger(int row, std::int32_t value, int column)
{
    if (row < 0)
        fatal("CUTABLE setidemdata underflow");
    checkColumn(column);
    growTo(row);
    rowCells(row)[column].integer = value;
}

const char* CUTABLE::text(int row, int column) const
{
    const UCell* target = cell(row, column);
    checkTextColumn(column, true);
    if (columnType(column) == kTypeCode)
        return target->code;
    return target->text ? target->text : "";
}

void CUTABLE::setText(int row, int column, const char* text)
{
    UCell* target = cell(row, column);
    checkTextColumn(column, true);
    const std::size_t length = std::strlen(text);
    if (columnType(column) == kTypeCode) {
        setCodeCell(*target, std::string_view(text, length));
        return;
    }
    if (length > UCBUF::kMaxLength)
        fatal("CUTable too long str");
    // Pooled before the old text is released, so that a text taken from
    // this very cell is copied before its slot is recycled.
    const char* old = target->text;
    target->text = m_pools->strings.pool(std::string_view(text, length));
    if (old)
        m_pools->strings.release(old);
}

void setCodeCell(UCell& cell, std::string_view text)
{
    if (text.size() >= sizeof cell.code)
        fatal("CUTable too long chars");
    std::memset(cell.code, 0, sizeof cell.code);
    std::memcpy(cell.code, text.data(), text.size());
}

std::vector<RowSpan> CUTABLE::rowSpans(int first, int last) const
{
    std::vector<RowSpan> spans;
    const int rowsPerBlock = m_def->rowsPerBlock;
    for (int row = first; row < last;) {
        const int blockEnd = (row / rowsPerBlock + 1) * rowsPerBlock;
        const int end = std::min(last, blockEnd);
        spans.push_back({rowCellsChecked(row), end - row});
        row = end;
    }
    return spans;
}

void CUTABLE::releaseText(int row, int column)
{
    UCell* target = cell(row, column);
    checkTextColumn(column, false);
    if (target->text)
        m_pools->strings.release(target->text);
    target->text = nullptr;
}

void CUTABLE::releaseRowTexts(UCell* cells)
{
    for (int column : m_textColumns) {
        if (cells[column].text)
            m_pools->strings.release(cells[column].text);
        cells[column].text = nullptr;
    }
}

void CUTABLE::deleteRow(int row)
{
    UCell* cells = rowCellsChecked(row);
    releaseRowTexts(cells);
    cells[0].number = kDeleted;
}

void CUTABLE::clear()
{
    for (int row = 0; row < m_count; ++row) {
        UCell* cells = rowCells(row);
        if (cells[0].number != kDeleted)
            releaseRowTexts(cells);
    }
    m_count = 0;
}

void CUTABLE::free()
{
    for (UTableBlock& block : m_blocks)
        unmapPages(block.cells, blockBytes());
    m_blocks.clear();
    m_blockSource.restart(0);
    m_count = 0;
}
