#pragma once
// An MDB folder opened from Python: the application over the loaded database (which holds the
// folder's lock) and whether it may be written.

#include <memory>
#include <string>

#include "app/app_context.h"
#include "mdb/database.h"

class OpenDatabase {
public:
    // Loads the folder under its lock, exclusive unless readonly; raises orvantella.Error with
    // the program's messages when the folder is missing, another process holds the lock or a
    // file could not be read whole.
    OpenDatabase(std::string folder, bool readonly);

    const std::string& folder() const { return m_folder; }
    bool readonly() const { return m_readonly; }
    bool closed() const { return !m_app; }
    // The database; raises once closed.
    Database& db() { return *app().db; }
    // The settings, folder and database as a command of the window sees them; raises once
    // closed.
    AppContext& app();
    // Raises when read-only (or closed): for the calls that change the database.
    void requireWritable();
    // Writes every table to the folder; raises when read-only, closed or a file failed.
    void save();
    // Drops the database and releases the folder's lock.
    void close() { m_app.reset(); }

private:
    std::string m_folder;
    bool m_readonly;
    std::unique_ptr<AppContext> m_app;
};

// The row of the stream list in use with this name, or whose LID is the text; raises when none.
int listRow(const Database& db, const std::string& list);
// The row of the data source in use with this code; raises when there is none.
int sourceRow(const Database& db, const std::string& code);
