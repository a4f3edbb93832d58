// The in-memory database of the stream tests.
#include "stream_db.h"

#include "mdb/schema.h"
#include "streams/stream_membership.h"
#include "table/links.h"

namespace {

void addSource(Database& db, std::uint32_t dsid, std::uint32_t use, const char* code)
{
    const int row = db.dsids.addRow();
    db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
    db.dsids.cell(row, col::Dsid::use)->number = use;
    db.dsids.setText(row, col::Dsid::code, code);
    db.dsids.cell(row, col::Dsid::IDnext)->number = dsid * 100000 + 50000;
}

} // namespace

StreamDb::StreamDb()
{
    app.db = std::make_unique<Database>();
    addSource(db(), kInUse, 1, "VN");
    addSource(db(), kNotInUse, 0, "SC");
    db().sources.markInUse();
    db().sources.selectCurrentDsid(kInUse);
    m_listRow = db().lists.addRow();
    db().lists.cell(m_listRow, col::List::LID)->number = kInUse * 100000;
    db().lists.setText(m_listRow, col::List::name, "L_VN_test");
    app.currentListRow = m_listRow;
    app.currentLid = kInUse * 100000;
}

int StreamDb::addOrbit(std::uint32_t dsid, const TestOrbit& v)
{
    using O = col::Orbit;
    CUTABLE& orbits = db().orbits;
    const int row = orbits.addRow();
    orbits.cell(row, O::OID)->number = dsid * 100000 + m_next++;
    orbits.cell(row, O::use)->number = 1;
    const std::pair<int, float> values[] = {
        {O::sol, v.sol}, {O::ra, v.ra},     {O::dec, v.dec},   {O::vg, v.vg},    {O::q, v.q},
        {O::e, v.e},     {O::incl, v.incl}, {O::node, v.node}, {O::peri, v.peri}};
    for (const auto& [column, value] : values)
        orbits.cell(row, column)->real = value;
    orbits.cell(row, O::dline)->integer = -1;
    ++db().orbitCount;
    return row;
}

int StreamDb::addStream(std::uint32_t dsid, const char* code, const TestStream& v, bool inList)
{
    using S = col::Stream;
    CUTABLE& streams = db().streams;
    const int row = streams.addRow();
    streams.cell(row, S::SID)->number = dsid * 100000 + m_next++;
    streams.cell(row, S::use)->number = 1;
    streams.setText(row, S::code, code);
    const std::pair<int, float> values[] = {{S::sol1, v.sol1}, {S::sol2, v.sol2}, {S::solp, v.solp},
                                            {S::ra, v.ra},     {S::dec, v.dec},   {S::dra, v.dra},
                                            {S::ddec, v.ddec}, {S::vg, v.vg},     {S::R, v.R},
                                            {S::dv, v.dv},     {S::Dp, v.Dp}};
    for (const auto& [column, value] : values)
        streams.cell(row, column)->real = value;
    streams.cell(row, S::TOIDline)->integer = -1;
    if (inList)
        link({&db().lists, m_listRow, col::List::SLINK}, {&streams, row, S::LLINK});
    markValidStreams(db());
    markListMembers(db(), m_listRow);
    return row;
}

void StreamDb::setTypical(int streamRow, int orbitRow)
{
    db().streams.cell(streamRow, col::Stream::TypicalOID)->number =
        db().orbits.cell(orbitRow, col::Orbit::OID)->number;
    db().streams.cell(streamRow, col::Stream::TOIDline)->integer = orbitRow;
}
