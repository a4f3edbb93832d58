#pragma once
// Synthetic external orbit files (U2 and M layouts) and the meteors they describe, for the
// import benchmarks.

#include <functional>
#include <string>

// Ten years of meteors from 2009-06-18, evenly spread: a million meteors put about 270 in
// every duplicate window.
double meteorMjd(int meteor);
std::string meteorName(int meteor);
// The memo the U2 layout makes of a meteor's row ("ST03-EX-PER").
std::string meteorMemo(int meteor);

// A U2 row of 80 fields describing `meteor` at the time of meteor `instant`.
std::string u2Row(int meteor, int instant);

// A U2 source of `rows` rows at the times of meteors 0 ... rows - 1: row r describes meteor r
// when repeats(r), else a new meteor (numbered from `known` on) at the same time, so that the
// windows searched are as full.
void writeU2Source(const std::string& path, int rows, int known,
                   const std::function<bool(int row)>& repeats);

// An M source of `rows` radiants of August 2010, with CR LF line ends.
void writeMSource(const std::string& path, int rows);
