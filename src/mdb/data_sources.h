#pragma once
// Data sources and the IDs they hand out: DSID kinds and ranges, the in-use
// marks that hide the records of sources not in use, the current data
// source, and the consistency checks of the data source table.

#include <cstdint>
#include <optional>
#include <vector>

class CUTABLE;

// ID = DSID * 100000 + n.
inline constexpr std::uint32_t kIdsPerSource = 100000;
inline constexpr std::uint32_t kMaxDsid = 42948;
inline constexpr std::uint32_t kWorkSourceKind = 4;

inline constexpr const char* kDuplicateCodeFormat = "Duplicate DSID code found\nPlease correct %s";

inline std::uint32_t dsidOf(std::uint32_t id) { return id / kIdsPerSource; }

struct DsidKind {
    const char* label; // as the add-data-source dialog shows it
    std::uint32_t validLow, validHigh;
    std::uint32_t proposalLow, proposalHigh;
};

// Kinds 0 ("Reserve for future") to 4 ("Private orbit source").
const DsidKind& dsidKind(int kind);
// The kind a DSID belongs to: the first of kinds 1-4 whose valid range holds it, else 0.
int kindOfDsid(std::uint32_t dsid);

class DataSources {
public:
    explicit DataSources(CUTABLE& table);

    // The in-use mark of id / 100000.
    bool isInUse(std::uint32_t id) const;
    bool isDsidMarked(std::uint32_t dsid) const;
    // Clears the marks and sets them for every live row with use = 1.
    void markInUse();
    // Clears one mark; the current data source is forgotten if it was this one.
    void clearDsidMark(std::uint32_t dsid);

    bool isFreeDsid(int kind, std::uint32_t dsid) const;
    // The first free DSID of the kind's proposal range; "DSID overlow" and 42948 when none is.
    std::uint32_t proposeDsid(int kind) const;

    // Appends a live data source in use (IDnext = DSID * 100000) and marks it in use; its row.
    int addSource(std::uint32_t dsid, const char* code, const char* memo);

    // Chooses the current data source: the wanted DSID if it exists, else
    // the last one in use, else the last live row; an empty table gets the
    // built-in work source ("WK"). Warns when its IDs run short.
    void selectCurrentDsid(std::uint32_t wanted);
    // Finds the current DSID's row again after the table was reloaded.
    void relocateCurrent();
    // Makes a live row the current data source, nothing else (a choice in a dialog).
    void makeCurrent(int row);
    int currentRow() const { return m_currentRow; }
    std::uint32_t currentDsid() const { return m_currentDsid; }
    const char* currentCode() const;
    std::uint32_t currentIdNext() const;

    // The current source's next ID. Without a current source ("DSID not
    // assigned") or at its last ID ("ID Limit") the user is told and there
    // is no ID: the asking operation stops, the program goes on.
    std::optional<std::uint32_t> nextId();
    // Returns the last ID handed out; any other ID is left alone.
    void giveBackId(std::uint32_t id);

    // Duplicate codes and the near-limit warning of the current source.
    void checkDsidTable() const;

private:
    bool hasLiveDsid(std::uint32_t dsid) const;
    void warnIfNearLimit(int row) const;
    int addWorkSource();

    CUTABLE& m_table;
    std::vector<std::uint8_t> m_inUse;
    int m_currentRow = -1;
    std::uint32_t m_currentDsid = 0;
};
