// Building the selection tests' databases.
#include "selection_fixture.h"

#include "mdb/schema.h"
#include "table/links.h"

namespace {

float uniform(std::mt19937& random, double low, double high)
{
    return static_cast<float>(std::uniform_real_distribution<double>(low, high)(random));
}

int flag(std::mt19937& random, int percent)
{
    return std::uniform_int_distribution<int>(0, 99)(random) < percent ? 1 : 0;
}

} // namespace

int SelectionFixture::addOrbit(const OrbitValues& values)
{
    using C = col::Orbit;
    const int row = db.orbits.addRow();
    db.orbits.cell(row, C::OID)->number = 100000 + static_cast<std::uint32_t>(row);
    db.orbits.cell(row, C::use)->number = 1;
    db.orbits.cell(row, C::sol)->real = values.sol;
    db.orbits.cell(row, C::ra)->real = values.ra;
    db.orbits.cell(row, C::dec)->real = values.dec;
    db.orbits.cell(row, C::vg)->real = values.vg;
    db.orbits.cell(row, C::mjd)->real64 = values.mjd;
    db.orbits.cell(row, C::type)->integer = values.type;
    db.orbits.cell(row, C::sel)->number = values.sel;
    db.orbits.cell(row, C::dline)->integer = values.dline;
    db.orbits.cell(row, C::a)->real = 2.5f;
    db.orbits.cell(row, C::q)->real = 0.95f;
    db.orbits.cell(row, C::e)->real = 0.62f;
    db.orbits.cell(row, C::peri)->real = 150.0f;
    db.orbits.cell(row, C::node)->real = 140.0f;
    db.orbits.cell(row, C::incl)->real = 113.0f;
    return row;
}

int SelectionFixture::addStream(bool ssel, bool inList)
{
    using C = col::Stream;
    const int row = db.streams.addRow();
    db.streams.cell(row, C::SID)->number = 200000 + static_cast<std::uint32_t>(row);
    db.streams.cell(row, C::ssel)->number = ssel ? 1 : 0;
    db.streams.cell(row, C::LS)->number = inList ? 1 : 0;
    return row;
}

void SelectionFixture::linkOrbit(int orbitRow, int streamRow)
{
    link({&db.streams, streamRow, col::Stream::OLINK}, {&db.orbits, orbitRow, col::Orbit::SLINK});
}

std::uint32_t SelectionFixture::sel(int row) const
{
    return db.orbits.cell(row, col::Orbit::sel)->number;
}

float SelectionFixture::real(int row, int column) const
{
    return db.orbits.cell(row, column)->real;
}

void SelectionFixture::fillRandom(std::mt19937& random, int orbits)
{
    using C = col::Orbit;
    for (int s = 0; s < 8; ++s)
        addStream(flag(random, 30), flag(random, 60));
    for (int n = 0; n < orbits; ++n) {
        OrbitValues values;
        values.sol = uniform(random, 0, 360);
        values.ra = uniform(random, 0, 360);
        values.dec = uniform(random, -90, 90);
        values.vg = uniform(random, 10, 72);
        values.mjd = uniform(random, 53000, 56000);
        values.type = std::uniform_int_distribution<int>(-1, 3)(random);
        values.sel = static_cast<std::uint32_t>(std::uniform_int_distribution<int>(0, 7)(random));
        values.dline = flag(random, 10) ? -1 : n;
        const int row = addOrbit(values);
        db.orbits.cell(row, C::q)->real = uniform(random, 0.05, 1.05);
        db.orbits.cell(row, C::e)->real = uniform(random, 0.1, 1.2);
        db.orbits.cell(row, C::a)->real = uniform(random, -5, 10);
        db.orbits.cell(row, C::peri)->real = uniform(random, 0, 360);
        db.orbits.cell(row, C::node)->real = uniform(random, 0, 360);
        db.orbits.cell(row, C::incl)->real = uniform(random, 0, 180);
        for (int column : {C::Hb, C::He, C::zr, C::mag, C::mass})
            db.orbits.cell(row, column)->real = uniform(random, -5, 120);
        for (int links = std::uniform_int_distribution<int>(0, 2)(random); links > 0; --links)
            linkOrbit(row, std::uniform_int_distribution<int>(0, 7)(random));
        if (flag(random, 2))
            db.orbits.deleteRow(row);
    }
}

void SelectionFixture::randomConditions(std::mt19937& random)
{
    Settings& s = settings;
    s.dlg_Y = 2000 + std::uniform_int_distribution<int>(0, 10)(random);
    s.dlg_M = std::uniform_int_distribution<int>(1, 12)(random);
    s.dlg_D = std::uniform_int_distribution<int>(1, 28)(random);
    s.po_r1 = uniform(random, 0, 360);
    s.po_d1 = uniform(random, -90, 90);
    s.po_v1 = uniform(random, 10, 72);
    s.po_r2 = uniform(random, 10, 200);
    s.po_d2 = uniform(random, 10, 120);
    s.po_v2 = uniform(random, 5, 40);
    s.po_a1 = uniform(random, 0, 5);
    s.po_q1 = uniform(random, 0.1, 1);
    s.po_e1 = uniform(random, 0.2, 1);
    s.po_p1 = uniform(random, 0, 360);
    s.po_n1 = uniform(random, 0, 360);
    s.po_i1 = uniform(random, 0, 180);
    s.po_a2 = uniform(random, 1, 10);
    s.po_q2 = uniform(random, 0.2, 1);
    s.po_e2 = uniform(random, 0.2, 1);
    s.po_p2 = uniform(random, 30, 180);
    s.po_n2 = uniform(random, 30, 180);
    s.po_i2 = uniform(random, 30, 180);
    s.po_R = uniform(random, 20, 180);
    s.po_D = uniform(random, 0.3, 2);
    s.po_days = std::uniform_int_distribution<int>(-2, 400)(random);
    for (int* condition : {&s.po_rC, &s.po_dC, &s.po_vC, &s.po_aC, &s.po_qC, &s.po_eC, &s.po_pC,
                           &s.po_nC, &s.po_iC, &s.po_RC, &s.po_DC, &s.po_daysC, &s.po_selstream})
        *condition = flag(random, 25);
    s.po_allyC = flag(random, 50);
    sporadicChosen = flag(random, 50) != 0;
    selection.currentSol = uniform(random, 0, 360);
}
