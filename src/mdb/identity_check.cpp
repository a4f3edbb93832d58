// Duplicate IDs across the loaded files and IDnext values below IDs in use.
#include "mdb/identity_check.h"

#include <string>
#include <unordered_map>

#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "platform/ui.h"

namespace {

struct IdUse {
    std::uint32_t highest = 0; // the highest ID of the source in use
    std::string file;
};

class IdentityCheck {
public:
    explicit IdentityCheck(Database& db) : m_db(db) {}

    // Every live row of the table: its ID column against the IDs seen so far, and each ID
    // against its source's IDnext (lists, streams and orbits all take theirs from it).
    template <typename FileOf>
    void scan(const CUTABLE& table, int idColumn, const char* kind, FileOf fileOf)
    {
        std::unordered_map<std::uint32_t, int> firstRow;
        firstRow.reserve(static_cast<std::size_t>(table.count()));
        for (int row = 0; row < table.count(); ++row) {
            if (!table.isLive(row))
                continue;
            const std::uint32_t id = table.cell(row, idColumn)->number;
            const auto [first, added] = firstRow.emplace(id, row);
            if (!added)
                duplicate(kind, id, fileOf(first->second), fileOf(row));
            noteUse(id, fileOf, row);
        }
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
    void duplicate(const char* kind, std::uint32_t id, const std::string& firstFile,
                   const std::string& secondFile)
    {
        const std::string first = m_db.loadedFolder + "/" + firstFile;
        const std::string second = m_db.loadedFolder + "/" + secondFile;
        message(kDuplicateIdFormat, kind, id, first.c_str(), second.c_str());
        m_db.unreadFiles.insert(secondFile);
    }

    template <typename FileOf> void noteUse(std::uint32_t id, FileOf fileOf, int row)
    {
        IdUse& use = m_uses[dsidOf(id)];
        if (use.file.empty() || id > use.highest)
            use = {id, fileOf(row)};
    }

    Database& m_db;
    std::unordered_map<std::uint32_t, IdUse> m_uses;
};

} // namespace

void checkIdentities(Database& db)
{
    IdentityCheck check(db);
    const auto tableFile = [](const CUTABLE& table) {
        return [&table](int) { return std::string(table.definition().fileName); };
    };
    check.scan(db.lists, col::List::LID, "LID", tableFile(db.lists));
    check.scan(db.streams, col::Stream::SID, "SID", tableFile(db.streams));
    check.scan(db.orbits, col::Orbit::OID, "OID", [&db](int row) {
        const int fileRow = db.orbits.integer(row, col::Orbit::OFILE);
        return std::string(kOrbitsFolder) + "/" +
               db.orbitFiles.text(fileRow, col::OrbitFile::fileName);
    });
    check.checkIdNext();
}
