// Writing small MDB folders for the database tests.
#include "mdb_fixture.h"

#include <cstdio>
#include <filesystem>

void writeTable(const std::string& path, const std::string& header,
                const std::vector<std::string>& rows)
{
    std::string bytes = header + "\r\n";
    for (const std::string& row : rows)
        bytes += row + "\r\n";
    writeFileBytes(path, bytes);
}

std::string orbitLine(unsigned oid, const std::string& name, double mjd, float sol, float ra,
                      float dec, float vg)
{
    char line[512];
    std::snprintf(line, sizeof line,
                  "501,%u,1,_%s,%f,%f,%f,%f,%f,1,2.500000,0.950000,0.620000,150.000000,"
                  "140.000000,113.000000,0.000000,0.000000,0.100000,0.200000,100.000000,"
                  "80.000000,0.000000,1.500000,0.000000,_memo %u",
                  oid, name.c_str(), mjd, sol, ra, dec, vg, oid);
    return line;
}

std::string dsidLine(unsigned dsid, int use, const std::string& code, unsigned idNext)
{
    return "1," + std::to_string(dsid) + "," + std::to_string(use) + ",_" + code + "," +
           std::to_string(idNext) + ",_source " + code;
}

std::string streamLine(unsigned sid, const std::string& code, unsigned typicalOid)
{
    char line[512];
    std::snprintf(line, sizeof line,
                  "301,%u,1,_%s,_name %s,130.000000,150.000000,140.000000,46.000000,58.000000,"
                  "1.350000,0.120000,59.000000,1,3.000000,3.000000,0.200000,%u,_",
                  sid, code.c_str(), code.c_str(), typicalOid);
    return line;
}

SampleMdb::SampleMdb()
{
    std::filesystem::create_directories(dir.path() / "orbits");
    writeTable(path("UDSID.csv"), kDsidHeader,
               {dsidLine(1000, 1, "SkyCam", 100000004), dsidLine(41000, 1, "WK", 4100000003u)});
    writeTable(path("UList.csv"), kListHeader, {"101,4100000000,_L_WK_test,_v1.0,_"});
    writeTable(path("ULSlink.csv"), kListStreamHeader,
               {"201,4100000000,4100000001", "201,4100000000,4100000002"});
    writeTable(path("UStream.csv"), kStreamHeader,
               {streamLine(4100000001u, "WK_PER", 100000002), streamLine(4100000002u, "WK_GEM")});
    writeTable(
        path("USOlink.csv"), kStreamOrbitHeader,
        {"401,4100000001,100000000", "401,4100000001,100000002", "401,4100000002,100000003"});
    writeTable(path("UOFile.csv"), kOrbitFileHeader, {"901,1,_O_a.csv,_first", "901,1,_O_b.csv,_"});
    writeTable(path("orbits/O_a.csv"), kOrbitHeader,
               {orbitLine(100000000, "a0", 51000.5), orbitLine(100000001, "a1", 51001.5)});
    writeTable(path("orbits/O_b.csv"), kOrbitHeader,
               {orbitLine(100000002, "b0", 51002.5), orbitLine(100000003, "b1", 51003.5)});
}
