// The database session of the command tests.
#include "support/mdb_session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "pages/import_command.h"
#include "pages/orbit_files.h"

namespace fs = std::filesystem;

MdbSession::MdbSession()
{
    fs::create_directories(mdb());
    fs::create_directories(m_dir.file("in"));
    m_app.settings = defaultSettings({m_dir.str(), m_dir.file("in")});
    m_app.settings.mdbdir = mdb();
    m_app.db = std::make_unique<Database>();
    loadAll(db(), mdb(), m_app.settings.dlg_Y);
    db().sources.selectCurrentDsid(0);
    saveAndReload();
}

std::string MdbSession::source(const std::string& name, const std::string& text) const
{
    const std::string path = m_dir.file("in/" + name);
    writeFileBytes(path, text);
    return path;
}

int MdbSession::addSource(std::uint32_t dsid, const char* code)
{
    using C = col::Dsid;
    const int row = db().dsids.addRow();
    db().dsids.cell(row, C::DSID)->number = dsid;
    db().dsids.cell(row, C::use)->number = 1;
    db().dsids.setText(row, C::code, code);
    db().dsids.cell(row, C::IDnext)->number = dsid * kIdsPerSource;
    db().sources.markInUse();
    return row;
}

int MdbSession::addOrbitFile(const std::string& name)
{
    using C = col::OrbitFile;
    const int row = db().orbitFiles.addRow();
    db().orbitFiles.cell(row, C::use)->number = 1;
    db().orbitFiles.setText(row, C::fileName, name.c_str());
    db().orbitFiles.cell(row, C::loaded)->number = 1;
    return row;
}

int MdbSession::addOrbit(int fileRow, std::uint32_t oid, const char* name, float mjd)
{
    using C = col::Orbit;
    const int row = db().orbits.addRow();
    db().orbits.cell(row, C::OID)->number = oid;
    db().orbits.cell(row, C::use)->number = 1;
    db().orbits.setText(row, C::name, name);
    db().orbits.cell(row, C::mjd)->real64 = mjd;
    db().orbits.setInteger(row, fileRow, C::OFILE);
    return row;
}

int MdbSession::addStream(std::uint32_t sid, const char* code, std::uint32_t typicalOid)
{
    using C = col::Stream;
    const int row = db().streams.addRow();
    db().streams.cell(row, C::SID)->number = sid;
    db().streams.cell(row, C::use)->number = 1;
    db().streams.setText(row, C::code, code);
    db().streams.cell(row, C::TypicalOID)->number = typicalOid;
    return row;
}

void MdbSession::saveAndReload()
{
    ASSERT_TRUE(saveAll(db(), mdb()));
    reloadFromDisk();
}

void MdbSession::reloadFromDisk()
{
    clearAll(db());
    loadAll(db(), mdb(), m_app.settings.dlg_Y);
}

std::map<std::string, std::string> MdbSession::files() const
{
    std::map<std::string, std::string> found;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(mdb()))
        if (entry.is_regular_file())
            found[fs::relative(entry.path(), mdb()).string()] = readFileBytes(entry.path());
    return found;
}

int MdbSession::orbitRow(const std::string& name) const
{
    const CUTABLE& orbits = m_app.db->orbits;
    for (int row = 0; row < orbits.count(); ++row)
        if (orbits.isLive(row) && name == orbits.text(row, col::Orbit::name))
            return row;
    return -1;
}

int MdbSession::orbitFileRow(const std::string& name) const
{
    const CUTABLE& files = m_app.db->orbitFiles;
    for (int row = 0; row < files.count(); ++row)
        if (files.isLive(row) && name == files.text(row, col::OrbitFile::fileName))
            return row;
    return -1;
}

std::optional<std::int64_t> MdbSession::import(const std::string& sourcePath,
                                               const std::string& targetName)
{
    ui().answerPath(sourcePath);
    ui().answerOk();
    ui().answerPath(orbitPath(targetName));
    NoFeedback feedback;
    return importOrbitFile(m_app, feedback);
}
