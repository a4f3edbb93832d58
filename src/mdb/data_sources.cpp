// DSID ranges, in-use marks, ID allocation and the data source checks.
#include "mdb/data_sources.h"

#include <cstring>

#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/cutable.h"

namespace {

using C = col::Dsid;

constexpr DsidKind kKinds[] = {
    {"Reserve for future", 1, 42948, 30000, 39998},
    {"Public stream source (1-999)", 1, 999, 30, 999},
    {"Public orbit source (1000-9999)", 1000, 9999, 2100, 9998},
    {"Private stream source (40000-40999)", 40000, 40999, 40000, 40998},
    {"Private orbit source (41000-42948)", 41000, 42948, 41000, 42947},
};

constexpr std::uint32_t kLastRunningNumber = 99999;
constexpr std::uint32_t kNearLimit = 89999;

} // namespace

const DsidKind& dsidKind(int kind) { return kKinds[kind >= 0 && kind <= 4 ? kind : 0]; }

DataSources::DataSources(CUTABLE& table) : m_table(table), m_inUse(kMaxDsid + 1, 0) {}

bool DataSources::isInUse(std::uint32_t id) const { return isDsidMarked(dsidOf(id)); }

bool DataSources::isDsidMarked(std::uint32_t dsid) const
{
    return dsid <= kMaxDsid && m_inUse[dsid] != 0;
}

void DataSources::markInUse()
{
    std::fill(m_inUse.begin(), m_inUse.end(), 0);
    for (int row = 0; row < m_table.count(); ++row)
        if (m_table.isLive(row) && m_table.cell(row, C::use)->number == 1) {
            const std::uint32_t dsid = m_table.cell(row, C::DSID)->number;
            if (dsid <= kMaxDsid)
                m_inUse[dsid] = 1;
        }
}

void DataSources::clearDsidMark(std::uint32_t dsid)
{
    if (dsid <= kMaxDsid)
        m_inUse[dsid] = 0;
    if (dsid == m_currentDsid) {
        m_currentRow = -1;
        m_currentDsid = 0;
    }
}

bool DataSources::hasLiveDsid(std::uint32_t dsid) const
{
    for (int row = 0; row < m_table.count(); ++row)
        if (m_table.isLive(row) && m_table.cell(row, C::DSID)->number == dsid)
            return true;
    return false;
}

bool DataSources::isFreeDsid(int kind, std::uint32_t dsid) const
{
    if (isDsidMarked(dsid) || hasLiveDsid(dsid))
        return false;
    const DsidKind& range = dsidKind(kind);
    return dsid >= range.validLow && dsid <= range.validHigh;
}

std::uint32_t DataSources::proposeDsid(int kind) const
{
    const DsidKind& range = dsidKind(kind);
    for (std::uint32_t dsid = range.proposalLow; dsid <= range.proposalHigh; ++dsid)
        if (isFreeDsid(kind, dsid))
            return dsid;
    message("DSID overlow");
    return kMaxDsid;
}

int kindOfDsid(std::uint32_t dsid)
{
    for (const int kind : {1, 2, 3, 4})
        if (dsid >= dsidKind(kind).validLow && dsid <= dsidKind(kind).validHigh)
            return kind;
    return 0;
}

int DataSources::addSource(std::uint32_t dsid, const char* code, const char* memo)
{
    const int row = m_table.addRow();
    m_table.cell(row, C::DSID)->number = dsid;
    m_table.cell(row, C::use)->number = 1;
    m_table.setText(row, C::code, code);
    m_table.cell(row, C::IDnext)->number = dsid * kIdsPerSource;
    m_table.setText(row, C::memo, memo);
    if (dsid <= kMaxDsid)
        m_inUse[dsid] = 1;
    return row;
}

int DataSources::addWorkSource()
{
    return addSource(proposeDsid(kWorkSourceKind), "WK", "builtin ID for work");
}

void DataSources::selectCurrentDsid(std::uint32_t wanted)
{
    std::fill(m_inUse.begin(), m_inUse.end(), 0);
    int lastInUse = -1, lastLive = -1, wantedRow = -1;
    for (int row = 0; row < m_table.count(); ++row) {
        if (!m_table.isLive(row))
            continue;
        const std::uint32_t dsid = m_table.cell(row, C::DSID)->number;
        if (m_table.cell(row, C::use)->number == 1) {
            if (dsid <= kMaxDsid)
                m_inUse[dsid] = 1;
            lastInUse = row;
        }
        lastLive = row;
        if (dsid == wanted)
            wantedRow = row;
    }
    if (lastLive < 0)
        m_currentRow = addWorkSource();
    else
        m_currentRow = wantedRow >= 0 ? wantedRow : lastInUse >= 0 ? lastInUse : lastLive;
    m_currentDsid = m_table.cell(m_currentRow, C::DSID)->number;
    warnIfNearLimit(m_currentRow);
}

void DataSources::relocateCurrent()
{
    m_currentRow = -1;
    for (int row = 0; row < m_table.count() && m_currentRow < 0; ++row)
        if (m_table.isLive(row) && m_table.cell(row, C::DSID)->number == m_currentDsid)
            m_currentRow = row;
    if (m_currentRow < 0)
        m_currentDsid = 0;
}

void DataSources::makeCurrent(int row)
{
    if (!isLiveRow(m_table, row))
        return;
    m_currentRow = row;
    m_currentDsid = m_table.cell(row, C::DSID)->number;
}

const char* DataSources::currentCode() const
{
    return m_currentRow >= 0 ? m_table.text(m_currentRow, C::code) : "";
}

std::uint32_t DataSources::currentIdNext() const
{
    return m_currentRow >= 0 ? m_table.cell(m_currentRow, C::IDnext)->number : 0;
}

std::optional<std::uint32_t> DataSources::nextId()
{
    if (!isLiveRow(m_table, m_currentRow)) {
        message("DSID not assigned");
        return std::nullopt;
    }
    std::uint32_t& idNext = m_table.cell(m_currentRow, C::IDnext)->number;
    // An IDnext outside its own source's range would wrap or hand out another source's IDs.
    if (idNext % kIdsPerSource == kLastRunningNumber ||
        dsidOf(idNext) != m_table.cell(m_currentRow, C::DSID)->number) {
        message("ID Limit");
        return std::nullopt;
    }
    return idNext++;
}

void DataSources::giveBackId(std::uint32_t id)
{
    if (!isLiveRow(m_table, m_currentRow))
        return;
    std::uint32_t& idNext = m_table.cell(m_currentRow, C::IDnext)->number;
    if (idNext == id + 1)
        idNext = id;
}

void DataSources::warnIfNearLimit(int row) const
{
    if (m_table.cell(row, C::IDnext)->number % kIdsPerSource > kNearLimit)
        message(
            "current ID number comes to near limit\nPlease make new DSID and set it as current");
}

void DataSources::checkDsidTable() const
{
    for (int i = 0; i < m_table.count(); ++i) {
        if (!m_table.isLive(i))
            continue;
        const char* code = m_table.text(i, C::code);
        for (int j = i + 1; j < m_table.count(); ++j)
            if (m_table.isLive(j) && std::strcmp(code, m_table.text(j, C::code)) == 0)
                message(kDuplicateCodeFormat, code);
        if (i == m_currentRow)
            warnIfNearLimit(i);
    }
}
