// The batch commands on a whole database: a file broken at load makes them fail, and resave
// then writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "batch/batch_command.h"
#include "batch_test_support.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kOrbitHeader =
    "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,_incl,_M,_T/e,"
    "_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo\r\n";

std::string orbitRow(unsigned n)
{
    return "501," + std::to_string(100000000 + n) +
           ",1,_o,51000.500000,140.0,46.0,58.0,59.0,1,2.5,0.95,0.62,150.0,140.0,113.0,0.0,0.0,"
           "0.1,0.2,100.0,80.0,0.0,1.5,0.0,_\r\n";
}

// An MDB of one data source and one registered orbit file of 497 orbits.
struct DemoMdb {
    TempDir dir;
    std::string folder = dir.str();
    explicit DemoMdb(bool damageLine11)
    {
        fs::create_directories(dir.path() / "orbits");
        writeFileBytes(dir.file("UDSID.csv"),
                       "_Version,_DSID,_use,_code,_IDnext,_memo\r\n1,1000,1,_VN,100000497,_\r\n");
        writeFileBytes(dir.file("UOFile.csv"),
                       "_Version,_use,_orbit file name,_memo\r\n901,1,_O_VN_1.csv,_\r\n");
        for (const char* name : {"UList.csv", "ULSlink.csv", "UStream.csv", "USOlink.csv"})
            writeFileBytes(dir.file(name), "_Version\r\n");
        std::string orbits = kOrbitHeader;
        for (unsigned n = 0; n < 497; ++n)
            orbits += n == 9 && damageLine11 ? "501,100000009,1,_o,5100\r\n" : orbitRow(n);
        writeFileBytes(dir.file("orbits/O_VN_1.csv"), orbits);
    }
    // Every file's bytes and modification time.
    std::map<std::string, std::pair<std::string, fs::file_time_type>> snapshot() const
    {
        std::map<std::string, std::pair<std::string, fs::file_time_type>> files;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            if (entry.is_regular_file())
                files[entry.path().string()] = {readFileBytes(entry.path().string()),
                                                entry.last_write_time()};
        return files;
    }
};

CommandRun run(const std::string& name, const std::string& folder)
{
    return runBatchCommand(mdbCommands(), name, {folder});
}

} // namespace

TEST(BatchMdb, InfoAndResaveSucceedOnASoundDatabase)
{
    DemoMdb mdb(false);
    ScopedScriptedUi scripted;
    const CommandRun info = run("info", mdb.folder);
    EXPECT_EQ(info.status, kBatchOk) << info.err;
    EXPECT_NE(info.out.find("orbits 497\n"), std::string::npos) << info.out;
    EXPECT_EQ(run("resave", mdb.folder).status, kBatchOk);
    EXPECT_TRUE(scripted->messages().empty());
}

TEST(BatchMdb, ABrokenOrbitFileFailsInfoAndResaveWritesNothing)
{
    DemoMdb mdb(true);
    ScopedScriptedUi scripted;
    const CommandRun info = run("info", mdb.folder);
    EXPECT_EQ(info.status, kBatchFailed);
    EXPECT_NE(info.out.find("orbits 10\n"), std::string::npos) << info.out;
    EXPECT_NE(info.err.find("orbits/O_VN_1.csv could not be read whole"), std::string::npos)
        << info.err;
    EXPECT_EQ(scripted->messages().at(0),
              "Orbit Edit was broken: O_VN_1.csv\n line=10,row=5\nPlease Stop and check");

    const auto before = mdb.snapshot();
    const CommandRun resave = run("resave", mdb.folder);
    EXPECT_EQ(resave.status, kBatchFailed);
    EXPECT_NE(resave.err.find("O_VN_1.csv could not be read whole"), std::string::npos);
    EXPECT_EQ(mdb.snapshot(), before) << "no file written, none added";
}
