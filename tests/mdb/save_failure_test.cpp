// A save that fails at any step of any file (creating, writing, flushing) or of
// its commit record reports failure, keeps every file's old content and leaves
// no temporary file: a full disk half-way through a save changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "mdb/database.h"
#include "mdb/database_store.h"
#include "mdb/schema.h"
#include "mdb_fixture.h"
#include "platform/scripted_ui.h"
#include "table/links.h"
#include "table/text_file.h"

namespace fs = std::filesystem;

namespace {

// The files of a save in the order it writes them.
const std::vector<std::string> kSaveOrder = {"orbits/O_a.csv", "orbits/O_b.csv", "UOFile.csv",
                                             "USOlink.csv",    "UStream.csv",    "ULSlink.csv",
                                             "UList.csv",      "UDSID.csv"};

std::map<std::string, std::string> contents(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = readFileBytes(entry.path());
    return files;
}

void writeContents(const std::string& folder, const std::map<std::string, std::string>& files)
{
    fs::remove_all(folder);
    fs::create_directories(folder + "/orbits");
    for (const auto& [name, bytes] : files)
        writeFileBytes(folder + "/" + name, bytes);
}

// A change in every file of the sample database.
void changeEveryTable(Database& db)
{
    db.dsids.setText(0, col::Dsid::memo, "changed");
    db.lists.setText(0, col::List::memo, "changed");
    db.streams.setText(0, col::Stream::memo, "changed");
    db.orbitFiles.setText(1, col::OrbitFile::memo, "changed");
    db.orbits.setText(0, col::Orbit::memo, "changed");
    db.orbits.setText(2, col::Orbit::memo, "changed");
    unlink({&db.lists, 0, col::List::SLINK}, {&db.streams, 1, col::Stream::LLINK});
    link({&db.streams, 1, col::Stream::OLINK}, {&db.orbits, 1, col::Orbit::SLINK});
}

} // namespace

TEST(SaveFailure, AtEveryStepOfEveryFileEveryFileKeepsItsOldContent)
{
    SampleMdb mdb;
    TempDir expected;
    ScopedScriptedUi scripted;
    Database db;
    loadAll(db, mdb.folder(), 2007);
    changeEveryTable(db);
    const std::map<std::string, std::string> before = contents(mdb.folder());
    ASSERT_TRUE(saveAll(db, expected.str()));
    const std::map<std::string, std::string> after = contents(expected.str());
    ASSERT_EQ(before.size(), kSaveOrder.size());
    for (const std::string& name : kSaveOrder)
        ASSERT_NE(before.at(name), after.at(name)) << name;

    int failures = 0;
    for (int step = 0;; ++step) {
        writeContents(mdb.folder(), before);
        scripted->clear();
        WriteFailureInjection injection(step);
        const bool saved = saveAll(db, mdb.folder());
        if (injection.steps() <= step) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(contents(mdb.folder()), after);
            break;
        }
        ++failures;
        EXPECT_FALSE(saved) << "step " << step;
        EXPECT_EQ(contents(mdb.folder()), before) << "step " << step;
        // One message, naming the file (or the commit record) that failed.
        ASSERT_EQ(scripted->messages().size(), 1u) << "step " << step;
        const std::string text = scripted->messages()[0];
        EXPECT_TRUE(text.starts_with("Cannot open " + mdb.folder()) ||
                    (text.starts_with("Cannot write " + mdb.folder()) &&
                     text.ends_with("\nNo space left on device")))
            << "step " << step << ": " << text;
    }
    // Creating, writing and flushing each of the eight files; creating, writing, flushing and
    // renaming the commit record.
    EXPECT_EQ(failures, 3 * static_cast<int>(kSaveOrder.size()) + 4);
}
