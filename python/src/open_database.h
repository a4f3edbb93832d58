#pragma once
// An MDB folder opened from Python: the loaded database, whether it may be written, and the
// folder's lock.

#include <memory>
#include <string>

#include "mdb/database.h"

class OpenDatabase {
public:
    // Loads the folder; raises orvantella.Error with the program's messages when the folder is
    // missing or a file could not be read whole.
    OpenDatabase(std::string folder, bool readonly);

    const std::string& folder() const { return m_folder; }
    bool readonly() const { return m_readonly; }
    bool closed() const { return !m_db; }
    // The database; raises once closed.
    Database& db();
    // Writes every table to the folder; raises when read-only, closed or a file failed.
    void save();
    // Drops the database and releases the folder.
    void close();

private:
    void lockFolder();
    void unlockFolder();

    std::string m_folder;
    bool m_readonly;
    std::unique_ptr<Database> m_db;
};

// The row of the stream list in use with this name, or whose LID is the text; raises when none.
int listRow(const Database& db, const std::string& list);
