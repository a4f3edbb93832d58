#pragma once
// An MDB folder written line by line for tests, independent of the writer under test.

#include <string>
#include <vector>

#include "support/test_support.h"

// Table files with their header, CR LF line ends.
void writeTable(const std::string& path, const std::string& header,
                const std::vector<std::string>& rows);

// Lines of the orbit files and tables.
std::string orbitLine(unsigned oid, const std::string& name, double mjd, float sol = 140.f,
                      float ra = 46.f, float dec = 58.f, float vg = 59.f);
std::string dsidLine(unsigned dsid, int use, const std::string& code, unsigned idNext);
std::string streamLine(unsigned sid, const std::string& code, unsigned typicalOid = 0);

inline const char* kDsidHeader = "_Version,_DSID,_use,_code,_IDnext,_memo";
inline const char* kListHeader = "_Version,_LID,_name,_ver,_memo";
inline const char* kListStreamHeader = "_Version,_LID,_SID";
inline const char* kStreamOrbitHeader = "_Version,_SID,_OID";
inline const char* kOrbitFileHeader = "_Version,_use,_orbit file name,_memo";
inline const char* kStreamHeader =
    "_Version,_SID,_use,_code,_name,_sol1,_sol2,_solp,_ra,_dec,_dra,_ddec,_vg,_type,_R,_dv,_D',"
    "_TypicalOID,_memo";
inline const char* kOrbitHeader =
    "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,_incl,_M,_T/e,"
    "_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo";

// A small database: data sources 1000 "SkyCam" and 41000 "WK", one list of two
// streams, two orbit files of two orbits each, three stream-orbit links.
struct SampleMdb {
    TempDir dir;
    SampleMdb();
    std::string folder() const { return dir.str(); }
    std::string path(const std::string& name) const { return dir.file(name); }
};
