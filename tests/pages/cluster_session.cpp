// The in-memory database of the clustering dialog tests.
#include "cluster_session.h"

#include "mdb/schema.h"

namespace {

int addSource(Database& db, std::uint32_t dsid, const char* code, std::uint32_t idNext)
{
    using C = col::Dsid;
    const int row = db.dsids.addRow();
    db.dsids.cell(row, C::DSID)->number = dsid;
    db.dsids.cell(row, C::use)->number = 1;
    db.dsids.setText(row, C::code, code);
    db.dsids.cell(row, C::IDnext)->number = idNext;
    return row;
}

} // namespace

ClusterSession::ClusterSession(const std::vector<ClusterOrbit>& orbits, std::uint32_t idNext)
{
    m_app.db = std::make_unique<Database>();
    Database& db = *m_app.db;
    addSource(db, 1000, "SkyCam", 1000 * 100000 + static_cast<std::uint32_t>(orbits.size()));
    const int streamSource = addSource(db, kStreamDsid, "ABC", idNext);
    db.sources.markInUse();
    db.sources.makeCurrent(streamSource);

    m_listRow = db.lists.addRow();
    db.lists.cell(m_listRow, col::List::LID)->number = 1000 * 100000 + 99000;
    db.lists.setText(m_listRow, col::List::name, "L_test");
    m_app.currentListRow = m_listRow;
    m_app.currentLid = 1000 * 100000 + 99000;

    using O = col::Orbit;
    for (std::size_t i = 0; i < orbits.size(); ++i) {
        const ClusterOrbit& o = orbits[i];
        const int row = db.orbits.addRow();
        db.orbits.cell(row, O::OID)->number = 1000 * 100000 + static_cast<std::uint32_t>(i);
        db.orbits.cell(row, O::use)->number = 1;
        db.orbits.cell(row, O::type)->integer = 1;
        const std::pair<int, float> values[] = {
            {O::sol, o.sol}, {O::ra, o.ra},     {O::dec, o.dec},   {O::vg, o.vg},    {O::e, o.e},
            {O::q, o.q},     {O::incl, o.incl}, {O::node, o.node}, {O::peri, o.peri}};
        for (const auto& [column, value] : values)
            db.orbits.cell(row, column)->real = value;
        m_rows.push_back(row);
    }
    db.orbitCount = static_cast<int>(orbits.size());
}

int ClusterSession::orbitRow(std::uint32_t oid) const
{
    for (int row = 0; row < m_app.db->orbits.count(); ++row)
        if (m_app.db->orbits.isLive(row) &&
            m_app.db->orbits.cell(row, col::Orbit::OID)->number == oid)
            return row;
    return -1;
}
