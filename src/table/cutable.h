#pragma once
// CUTABLE: an in-memory table of fixed 8-byte cells in blocks of rows, and
// the table file (CSV) it is loaded from and saved to.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/huge_pages.h"
#include "table/table_def.h"
#include "table/table_pools.h"

// One cell; the column's type says which member is meaningful. A cleared
// cell (all bytes 0) is 0, 0.0, the empty text, the empty code and the empty list.
union UCell {
    std::int32_t integer; // type 1, and integers kept in other cells (OFILE, itemdata)
    std::uint32_t number; // types 2, 3, 4
    float real;           // type 6
    double real64;        // type 7
    const char* text;     // type 8: pooled text, nullptr for the empty text
    char code[8];         // type 9: up to 7 characters and a terminating zero
    LinkNode* links;      // type 10: first node of the list, nullptr when empty
};
static_assert(sizeof(UCell) == 8);

// Rows [endIndex - rows per block, endIndex) of a table, row after row.
struct UTableBlock {
    std::int64_t endIndex;
    UCell* cells;
};

// Writes a type-9 cell: fewer than 8 characters (else fatal), zero-padded.
void setCodeCell(UCell& cell, std::string_view text);

// Rows contiguous in memory: `rows` rows of the table's column count of cells from `cells`.
struct RowSpan {
    UCell* cells;
    int rows;
};

// How a table file load ended. A file that exists but cannot be read and a
// broken file both hold rows that were not read: saves must leave them alone.
// A save whose temporary file was created but could not be written whole
// (path, reason); one that cannot create it or put it in place says "Cannot open %s".
inline constexpr const char* kCannotWriteFormat = "Cannot write %s\n%s";

enum class LoadResult { Loaded, Missing, Unreadable, Broken };

class FileTransaction;

class CUTABLE {
public:
    // Row states of column 0.
    static constexpr std::uint32_t kDeleted = 0;
    static constexpr std::uint32_t kLive = 1;
    static constexpr std::uint32_t kMarked = 2;

    CUTABLE() = default;
    ~CUTABLE() { free(); }
    CUTABLE(const CUTABLE&) = delete;
    CUTABLE& operator=(const CUTABLE&) = delete;

    // Count 0 and the first block; the pools outlive the table.
    void initialise(const UTableDef& definition, TablePools& pools);
    const UTableDef& definition() const { return *m_def; }
    TablePools& pools() const { return *m_pools; }
    int columnCount() const { return m_def->columnCount; }
    int columnType(int column) const { return m_def->columns[column].type; }
    // Rows 0 ... count - 1 have been handed out.
    int count() const { return m_count; }

    // Appends a live row with cleared cells and returns its index.
    int addRow();
    // Any row within the blocks, deleted or not.
    std::uint32_t exist(int row) const;
    bool isLive(int row) const { return exist(row) != kDeleted; }
    void setExist(int row, std::uint32_t value);

    // The cell of a live row; a deleted row is fatal.
    UCell* cell(int row, int column);
    const UCell* cell(int row, int column) const;
    UCell* cell(const CellRef& ref) { return cell(ref.row, ref.column); }
    // Grows the table to hold the row; no existence check.
    UCell* cellForWriting(int row, int column);
    // Any cell as a 32-bit integer, without existence check (view lines, file tags).
    std::int32_t integer(int row, int column) const;
    // Grows the table to hold the row.
    void setInteger(int row, std::int32_t value, int column);

    // Type 8 or 9 columns; never nullptr ("" for the empty text).
    const char* text(int row, int column) const;
    // Type 9: fewer than 8 characters; type 8: fewer than 256 (else fatal).
    void setText(int row, int column, const char* text);
    void releaseText(int row, int column);

    // Rows [first, last) of the blocks, deleted or not, block by block. Their cells stay where
    // they are while the table grows, until it is freed.
    std::vector<RowSpan> rowSpans(int first, int last) const;

    // Releases the row's pooled texts and marks it deleted; callers clear its links first.
    void deleteRow(int row);
    // Releases the texts of live rows; count 0; blocks stay. Link cells are
    // left alone: clear every table, then reset the node pool.
    void clear();
    // Releases all blocks.
    void free();

    // Appends the rows of a table file; with a tag column, each new row
    // gets the tag value there. False when the file cannot be opened
    // (silently) or is broken (after the broken-file message; the rows read stay).
    bool load(const std::string& path, int tagColumn = 0, std::int32_t tagValue = 0)
    {
        return loadFile(path, tagColumn, tagValue) == LoadResult::Loaded;
    }
    // The same, telling a missing file from one that exists but cannot be read.
    LoadResult loadFile(const std::string& path, int tagColumn = 0, std::int32_t tagValue = 0);
    // Writes the live rows (those with low <= value <= high in the filter
    // column, when it is above 0). The file is replaced only once fully
    // written; on failure "Cannot open %s" (or kCannotWriteFormat) and the
    // old file is untouched. Within a transaction the file takes its place
    // when the transaction commits.
    [[nodiscard]] bool save(const std::string& path, int filterColumn = 0, std::int32_t low = 0,
                            std::int32_t high = 0, FileTransaction* transaction = nullptr) const;
    // The same for the live rows that keep(row) accepts.
    [[nodiscard]] bool saveRows(const std::string& path, const std::function<bool(int row)>& keep,
                                FileTransaction* transaction = nullptr) const;
    // Clears the table, then loads the file of the definition's name in the folder.
    LoadResult loadFromDirectory(const std::string& folder);
    [[nodiscard]] bool saveToDirectory(const std::string& folder,
                                       FileTransaction* transaction = nullptr) const;

private:
    std::int64_t capacity() const { return m_blocks.empty() ? 0 : m_blocks.back().endIndex; }
    std::size_t blockBytes() const
    {
        return static_cast<std::size_t>(m_def->rowsPerBlock) *
               static_cast<std::size_t>(columnCount()) * sizeof(UCell);
    }
    UCell* rowCells(int row) const;
    UCell* rowCellsChecked(int row) const;
    void checkColumn(int column) const;
    void checkTextColumn(int column, bool codeAllowed) const;
    void growTo(int row);
    void releaseRowTexts(UCell* cells);

    struct LoadState;
    bool loadLine(LoadState& state, const char* begin, const char* end);
    LoadResult broken(const LoadState& state, const std::string& path) const;

    const UTableDef* m_def = nullptr;
    TablePools* m_pools = nullptr;
    std::vector<UTableBlock> m_blocks; // oldest first; block b holds rows from b * rows per block
    ZeroedBlocks m_blockSource;
    std::vector<int> m_textColumns; // the type-8 columns
    std::int32_t m_count = 0;
};

// An index handed out whose row is live; any other index, negative or past the end, is not.
inline bool isLiveRow(const CUTABLE& table, int row)
{
    return row >= 0 && row < table.count() && table.isLive(row);
}
