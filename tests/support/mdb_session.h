#pragma once
// A meteor database in a temporary folder driven as the Set Up page drives it: an application
// context loaded from the MDB folder, scripted answers, sources of each layout, and the
// folder's files read back.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "app/app_context.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

class MdbSession {
public:
    // A fresh MDB holding only the built-in work source "WK" (41000), saved and loaded again.
    MdbSession();

    AppContext& app() { return m_app; }
    Database& db() { return *m_app.db; }
    ScriptedUi& ui() { return *m_ui; }
    std::string mdb() const { return m_dir.file("MDB"); }
    std::string orbitPath(const std::string& name) const { return mdb() + "/orbits/" + name; }
    // Writes a source file outside the MDB and returns its path.
    std::string source(const std::string& name, const std::string& text) const;

    // A data source row in use, IDnext at the start of its range.
    int addSource(std::uint32_t dsid, const char* code);
    // A loaded orbit file row and orbits in it (written by the next save).
    int addOrbitFile(const std::string& name);
    int addOrbit(int fileRow, std::uint32_t oid, const char* name, float mjd);
    int addStream(std::uint32_t sid, const char* code, std::uint32_t typicalOid);
    void saveAndReload();
    // Clears the tables and loads them from the folder, as a new session would.
    void reloadFromDisk();

    // Every file below the MDB folder: its path relative to it and its bytes.
    std::map<std::string, std::string> files() const;
    // The first live row with this name (orbits) or file name (orbit files), -1 when none.
    int orbitRow(const std::string& name) const;
    int orbitFileRow(const std::string& name) const;

    // The import command with the source, the DSID dialog's OK and the target in the orbits
    // folder as answers.
    std::optional<std::int64_t> import(const std::string& sourcePath,
                                       const std::string& targetName);

private:
    TempDir m_dir;
    ScopedScriptedUi m_ui;
    AppContext m_app;
};
