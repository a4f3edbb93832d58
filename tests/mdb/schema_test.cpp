// The seven table definitions: each file's header follows from its saved columns.
#include <gtest/gtest.h>

#include "mdb/schema.h"
#include "support/test_support.h"
#include "table/cutable.h"

namespace {

struct HeaderCase {
    const char* name;
    const UTableDef* definition;
    int tableNumber;
    const char* header;
};

void PrintTo(const HeaderCase& c, std::ostream* out) { *out << c.name; }

} // namespace

class SchemaHeader : public ::testing::TestWithParam<HeaderCase> {};

// Headers as the database's files carry them; the orbit table's is the
// header of every orbit file in MDB/orbits.
TEST_P(SchemaHeader, EmptyTableSavesItsHeaderOnly)
{
    const HeaderCase& c = GetParam();
    TempDir dir;
    TablePools pools;
    CUTABLE table;
    table.initialise(*c.definition, pools);
    EXPECT_EQ(c.definition->tableNumber, c.tableNumber);
    ASSERT_TRUE(table.save(dir.file("table.csv")));
    EXPECT_EQ(readFileBytes(dir.file("table.csv")), std::string(c.header) + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Tables, SchemaHeader,
    ::testing::Values(
        HeaderCase{"UDSID", &kDsidTableDef, 1, "_Version,_DSID,_use,_code,_IDnext,_memo"},
        HeaderCase{"UList", &kListTableDef, 101, "_Version,_LID,_name,_ver,_memo"},
        HeaderCase{"ULSlink", &kListStreamLinkDef, 201, "_Version,_LID,_SID"},
        HeaderCase{"UStream", &kStreamTableDef, 301,
                   "_Version,_SID,_use,_code,_name,_sol1,_sol2,_solp,_ra,_dec,_dra,_ddec,_vg,"
                   "_type,_R,_dv,_D',_TypicalOID,_memo"},
        HeaderCase{"USOlink", &kStreamOrbitLinkDef, 401, "_Version,_SID,_OID"},
        HeaderCase{"Orbit", &kOrbitTableDef, 501,
                   "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,_peri,_node,"
                   "_incl,_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,_memo"},
        HeaderCase{"UOFile", &kOrbitFileTableDef, 901, "_Version,_use,_orbit file name,_memo"}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST(Schema, DataSourceRowHasTheDocumentedLayout)
{
    // The data source row: "1," + DSID + "," + use + ",_" + code + "," + IDnext + ",_" + memo.
    TempDir dir;
    TablePools pools;
    CUTABLE table;
    table.initialise(kDsidTableDef, pools);
    const int row = table.addRow();
    table.cell(row, col::Dsid::DSID)->number = 12;
    table.cell(row, col::Dsid::use)->number = 1;
    table.setText(row, col::Dsid::code, "VidNet");
    table.cell(row, col::Dsid::IDnext)->number = 1200005;
    table.setText(row, col::Dsid::memo, "video network");
    table.cell(row, col::Dsid::dline)->integer = 3;
    ASSERT_TRUE(table.saveToDirectory(dir.str()));
    EXPECT_EQ(
        readFileBytes(dir.file("UDSID.csv")),
        "_Version,_DSID,_use,_code,_IDnext,_memo\r\n1,12,1,_VidNet,1200005,_video network\r\n");
}
