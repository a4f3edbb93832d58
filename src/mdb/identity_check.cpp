// Duplicate IDs across the loaded files and IDnext values below IDs in use.
#include "mdb/identity_check.h"

#include <string>
#include <unordered_map>

#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "platform/ui.h"
#include "table/id_index.h"

namespace {

struct IdUse {
    bool seen = false;
    std::uint32_t highest = 0; // the highest ID of the source in use
    std::string file;
};

class IdentityCheck {
public:
    explicit IdentityCheck(Database& db) : m_db(db) {}

    // Every live row of the table: its ID against the earlier rows' (the index notes those held
    // twice), and against its source's IDnext (lists, streams and orbits all take theirs from it).
    template <typename FileOf>
    void scan(const CUTABLE& table, int idColumn, const IdIndex& byId, const char* kind,
              FileOf fileOf)
    {
        for (const IdIndex::Duplicate& twice : byId.duplicates())
            duplicate(kind, table.cell(twice.row, idColumn)->number, fileOf(twice.firstRow),
                      fileOf(twice.row));
        // The file of a source's highest ID is named once the scan has found it.
        for (const auto& [dsid, row] : rowsOfNewHighestIds(table, idColumn))
            if (row >= 0)
                m_uses[dsid].file = fileOf(row);
    }

    void checkIdNext()
    {
        using C = col::Dsid;
        for (int row = 0; row < m_db.dsids.count(); ++row) {
            if (!m_db.dsids.isLive(row))
                continue;
            const std::uint32_t dsid = m_db.dsids.cell(row, C::DSID)->number;
            const std::uint32_t idNext = m_db.dsids.cell(row, C::IDnext)->number;
            const auto use = m_uses.find(dsid);
            const bool taken = use != m_uses.end() && idNext <= use->second.highest;
            if (dsidOf(idNext) != dsid)
                message(kIdNextOutsideFormat, idNext, m_db.dsids.text(row, C::code));
            else if (taken)
                message(kIdNextTakenFormat, idNext, m_db.dsids.text(row, C::code),
                        use->second.highest, use->second.file.c_str());
            else
                continue;
            m_db.unreadFiles.insert(kDsidTableDef.fileName);
        }
    }

private:
    // Raises each source's highest ID to the table's; the row of each one raised, by source
    // (-1 for the sources not raised).
    std::unordered_map<std::uint32_t, int> rowsOfNewHighestIds(const CUTABLE& table, int idColumn)
    {
        std::unordered_map<std::uint32_t, int> rows;
        // Rows come in runs from one source: the run's source is looked up once.
        std::uint32_t runDsid = 0;
        IdUse* runUse = nullptr;
        int* runRow = nullptr;
        for (int row = 0; row < table.count(); ++row) {
            if (!table.isLive(row))
                continue;
            const std::uint32_t id = table.cell(row, idColumn)->number;
            if (runUse == nullptr || dsidOf(id) != runDsid) {
                runDsid = dsidOf(id);
                runUse = &m_uses[runDsid];
                runRow = &rows.try_emplace(runDsid, -1).first->second;
            }
            if (runUse->seen && id <= runUse->highest)
                continue;
            runUse->seen = true;
            runUse->highest = id;
            *runRow = row;
        }
        return rows;
    }

    void duplicate(const char* kind, std::uint32_t id, const std::string& firstFile,
                   const std::string& secondFile)
    {
        const std::string first = m_db.loadedFolder + "/" + firstFile;
        const std::string second = m_db.loadedFolder + "/" + secondFile;
        message(kDuplicateIdFormat, kind, id, first.c_str(), second.c_str());
        m_db.unreadFiles.insert(secondFile);
    }

    Database& m_db;
    std::unordered_map<std::uint32_t, IdUse> m_uses;
};

} // namespace

void checkIdentities(Database& db, const IdIndex& orbitsById)
{
    IdentityCheck check(db);
    const auto tableFile = [](const CUTABLE& table) {
        return [&table](int) { return std::string(table.definition().fileName); };
    };
    check.scan(db.lists, col::List::LID, IdIndex(db.lists, col::List::LID), "LID",
               tableFile(db.lists));
    check.scan(db.streams, col::Stream::SID, IdIndex(db.streams, col::Stream::SID), "SID",
               tableFile(db.streams));
    check.scan(db.orbits, col::Orbit::OID, orbitsById, "OID", [&db](int row) {
        const int fileRow = db.orbits.integer(row, col::Orbit::OFILE);
        return std::string(kOrbitsFolder) + "/" +
               db.orbitFiles.text(fileRow, col::OrbitFile::fileName);
    });
    check.checkIdNext();
}
