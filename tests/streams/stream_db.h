#pragma once
// A meteor database built in memory for the stream tests: data source 1000 "VN" in use and
// 2000 "SC" not in use, orbits, streams, one list, all set cell by cell.

#include <cstdint>

#include "app/app_context.h"

struct TestOrbit {
    float sol = 0, ra = 0, dec = 0, vg = 0;
    float q = 0.5f, e = 0.7f, incl = 30, node = 100, peri = 200;
};

struct TestStream {
    float sol1 = 0, sol2 = 0, solp = 0, ra = 0, dec = 0, dra = 0, ddec = 0, vg = 0;
    float R = 0, dv = 0, Dp = 0;
};

class StreamDb {
public:
    static constexpr std::uint32_t kInUse = 1000;
    static constexpr std::uint32_t kNotInUse = 2000;

    StreamDb();
    AppContext app;
    Database& db() { return *app.db; }

    int addOrbit(std::uint32_t dsid, const TestOrbit& values);
    // A stream of the list (L-S set when its data source is in use).
    int addStream(std::uint32_t dsid, const char* code, const TestStream& values,
                  bool inList = true);
    void setTypical(int streamRow, int orbitRow);
    int listRow() const { return m_listRow; }

private:
    int m_listRow = -1;
    std::uint32_t m_next = 1;
};
