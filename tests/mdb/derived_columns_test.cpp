// Position codes, stream codes and month/day texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

#include "mdb/database.h"
#include "mdb/derived_columns.h"
#include "mdb/schema.h"
#include "platform/scripted_ui.h"
#include "table/links.h"

TEST(PositionCode, ClampsEachPartToTheAlphabet)
{
    struct Case {
        const char* name;
        float sol, ra, dec, vg;
        const char* code;
    } cases[] = {
        {"Perseid", 140.f, 46.f, 58.f, 59.f, "e46t"},
        {"sol 359.9", 359.9f, 0.f, 90.f, 0.f, "z000"},
        {"dec -90 gives 36, clamped", 0.f, 0.f, -90.f, 0.f, "00z0"},
        {"negative ra", 0.f, -5.f, 90.f, 0.f, "0000"},
        {"vg 100", 0.f, 0.f, 90.f, 100.f, "000z"},
        {"not a number", NAN, NAN, NAN, NAN, "0000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(positionCode(c.sol, c.ra, c.dec, c.vg), c.code) << c.name;
}

class StreamCodes : public ::testing::Test {
protected:
    ScopedScriptedUi scripted;
    Database db;

    int addStream(unsigned sid, const char* code)
    {
        const int row = db.streams.addRow();
        db.streams.cell(row, col::Stream::SID)->number = sid;
        db.streams.setText(row, col::Stream::code, code);
        return row;
    }
    void addSource(unsigned dsid, unsigned use)
    {
        const int row = db.dsids.addRow();
        db.dsids.cell(row, col::Dsid::DSID)->number = dsid;
        db.dsids.cell(row, col::Dsid::use)->number = use;
    }
    void linkToOrbit(int streamRow, int orbitRow)
    {
        link({&db.streams, streamRow, col::Stream::OLINK},
             {&db.orbits, orbitRow, col::Orbit::SLINK});
    }
};

TEST_F(StreamCodes, OnlyStreamsOfSourcesInUseAreListedInLinkOrder)
{
    addSource(1, 1);
    addSource(2, 0);
    const int orbit = db.orbits.addRow();
    linkToOrbit(addStream(100001, "IAU_GEM"), orbit);
    linkToOrbit(addStream(200001, "OFF_X"), orbit);
    linkToOrbit(addStream(100002, "IAU_PER"), orbit);
    db.sources.markInUse();
    computeOrbitStreamCodes(db, orbit);
    EXPECT_STREQ(db.orbits.text(orbit, col::Orbit::stream), "IAU_GEM,IAU_PER");
}

TEST_F(StreamCodes, StopGrowingPast248AndClearWhenLinksGo)
{
    addSource(1, 1);
    const int orbit = db.orbits.addRow();
    std::vector<int> streams;
    for (unsigned n = 0; n < 40; ++n) {
        streams.push_back(addStream(100000 + n, "ABCDEFG"));
        linkToOrbit(streams.back(), orbit);
    }
    db.sources.markInUse();
    computeOrbitStreamCodes(db, orbit);
    // 31 codes of 7 plus 30 commas make 247; one more makes 255, cut to 253.
    const std::string codes = db.orbits.text(orbit, col::Orbit::stream);
    EXPECT_EQ(codes.size(), 253u);
    EXPECT_EQ(codes.substr(0, 16), "ABCDEFG,ABCDEFG,");
    clearLinks(db.orbits, orbit, col::Orbit::SLINK);
    computeOrbitStreamCodes(db, orbit);
    EXPECT_STREQ(db.orbits.text(orbit, col::Orbit::stream), "");
}

TEST(MonthDayText, IsPrintfsTwoDigitsEach)
{
    for (int month = -12; month <= 120; ++month)
        for (int day = -12; day <= 120; day += 7) {
            char expected[32];
            std::snprintf(expected, sizeof expected, "%02d/%02d", month, day);
            ASSERT_EQ(monthDayText(month, day), expected) << month << " " << day;
        }
}

TEST(StreamMonthDays, FollowTheWorkingYear)
{
    ScopedScriptedUi scripted;
    Database db;
    const int row = db.streams.addRow();
    db.streams.cell(row, col::Stream::sol1)->real = 0.f;
    db.streams.cell(row, col::Stream::sol2)->real = 140.f;
    db.streams.cell(row, col::Stream::solp)->real = 262.2f;
    computeStreamMonthDays(db.streams, row, 2007);
    // The March equinox of 2007 fell on March 21 (0 UT); sol 140 on August 13,
    // sol 262.2 on December 14 (Perseid and Geminid maxima).
    EXPECT_STREQ(db.streams.text(row, col::Stream::MD1), "03/21");
    EXPECT_STREQ(db.streams.text(row, col::Stream::MD2), "08/13");
    EXPECT_STREQ(db.streams.text(row, col::Stream::MDp), "12/14");
    computeStreamMonthDays(db.streams, row, 3000);
    EXPECT_STREQ(db.streams.text(row, col::Stream::MD1), "");
}

// The load's path (rows handed to a worker file by file, shared Earth velocities) against the
// row-by-row computation from the series, bit for bit.
TEST(OrbitDerived, RowsOfALoadEqualRowByRow)
{
    struct Case {
        const char* name;
        int rows;
        std::function<float(std::mt19937&)> mjd;
    } cases[] = {
        {"300 times years apart: each from the series", 30000,
         [](std::mt19937& random) {
             return 40000.f + static_cast<float>(random() % 300) * 97.25f;
         }},
        {"300,000 times over 14 years: interpolated velocities", 300000,
         [](std::mt19937& random) {
             return std::uniform_real_distribution<float>(55927.f, 61041.f)(random);
         }},
        {"times around MJD 0, before it and after", 30000,
         [](std::mt19937& random) {
             return std::uniform_real_distribution<float>(-100.f, 100.f)(random);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedScriptedUi scripted;
        Database db;
        std::mt19937 random(5);
        std::uniform_real_distribution<float> angle(-10.f, 370.f), speed(0.f, 75.f);
        for (int n = 0; n < c.rows; ++n) {
            const int row = db.orbits.addRow();
            UCell* cells = db.orbits.cell(row, 0);
            cells[col::Orbit::mjd].real64 = c.mjd(random);
            cells[col::Orbit::sol].real = angle(random);
            cells[col::Orbit::ra].real = angle(random);
            cells[col::Orbit::dec].real = angle(random) / 4.f - 90.f;
            cells[col::Orbit::vg].real = speed(random);
        }
        db.orbits.deleteRow(17);
        OrbitDerivedWorker worker;
        for (int first = 0; first < c.rows; first += 99991)
            worker.add(db.orbits, first, std::min(first + 99991, c.rows));
        worker.finish();
        Database single;
        const int copy = single.orbits.addRow();
        for (int row = 0; row < c.rows; ++row) {
            if (!db.orbits.isLive(row))
                continue;
            for (int column : {col::Orbit::mjd, col::Orbit::sol, col::Orbit::ra, col::Orbit::dec,
                               col::Orbit::vg})
                *single.orbits.cell(copy, column) = *db.orbits.cell(row, column);
            computeOrbitDerived(single.orbits, copy);
            ASSERT_EQ(std::memcmp(&single.orbits.cell(copy, col::Orbit::vs)->real,
                                  &db.orbits.cell(row, col::Orbit::vs)->real, sizeof(float)),
                      0)
                << row;
            ASSERT_STREQ(single.orbits.text(copy, col::Orbit::MD),
                         db.orbits.text(row, col::Orbit::MD));
            ASSERT_STREQ(single.orbits.text(copy, col::Orbit::code),
                         db.orbits.text(row, col::Orbit::code));
        }
    }
}

TEST(OrbitDerived, EarthSpeedForAMeteorWithoutVelocity)
{
    ScopedScriptedUi scripted;
    Database db;
    const int row = db.orbits.addRow();
    db.orbits.cell(row, col::Orbit::mjd)->real64 = 51544.5;
    computeOrbitDerived(db.orbits, row);
    // With vg = 0 the meteoroid moves with the Earth: 29.3 to 30.3 km/s.
    EXPECT_NEAR(db.orbits.cell(row, col::Orbit::vs)->real, 29.8, 0.5);
    EXPECT_STREQ(db.orbits.text(row, col::Orbit::MD), "01/01");
}
