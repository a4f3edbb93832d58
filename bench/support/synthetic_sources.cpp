// Synthetic U2 and M sources, written line by line.
#include "support/synthetic_sources.h"

#include <cstdio>
#include <fstream>

namespace {

constexpr int kMeteorsPerTenYears = 1000000;

} // namespace

double meteorMjd(int meteor) { return 55000.0 + meteor * (3650.0 / kMeteorsPerTenYears); }

std::string meteorName(int meteor) { return "20100812_213045_EX_" + std::to_string(meteor); }

std::string meteorMemo(int meteor)
{
    char memo[32];
    std::snprintf(memo, sizeof memo, "ST%02d-EX-PER", meteor % 7);
    return memo;
}

// Name field 2, mjd 3, memo parts 5, 6 and 25, orbit fields as the U2 layout reads them. The
// name and memo come from the meteor's number, the time from the instant's.
std::string u2Row(int meteor, int instant)
{
    char numbers[600];
    std::snprintf(numbers, sizeof numbers,
                  "%.6f,%.4f,_ST%02d,_EX,-1.25,100.12345,0.5,%.4f,%.4f,12.3,0.4,59.1234,"
                  "0.2,58.8765,0.1,1.2345,0.9512,0.9345,10.5,151.234,%.4f,113.456,_PER",
                  meteorMjd(instant), 140.0 + meteor % 360 * 0.001, meteor % 7,
                  46.0 + meteor % 100 * 0.01, 57.0 + meteor % 50 * 0.01,
                  139.0 + meteor % 90 * 0.01);
    std::string row = "51,0,_" + meteorName(meteor) + "," + numbers;
    for (int field = 26; field < 80; ++field)
        row += field == 43 ? ",105.2" : field == 50 ? ",88.7" : ",12.3456";
    return row + "\r\n";
}

void writeU2Source(const std::string& path, int rows, int known,
                   const std::function<bool(int row)>& repeats)
{
    std::ofstream out(path, std::ios::binary);
    out << "header\r\n";
    for (int row = 0; row < rows; ++row)
        out << u2Row(repeats(row) ? row : known + row, row);
}

void writeMSource(const std::string& path, int rows)
{
    std::ofstream out(path, std::ios::binary);
    for (int row = 0; row < rows; ++row)
        out << "90,2010,8," << 1 + row % 28 << "," << row % 24 << "," << row % 60 << "," << row % 60
            << ".25," << 46.0 + row % 100 * 0.01 << "," << 57.5 << "," << 20.0 + row % 400 * 0.1
            << ",-1.5,_M" << row << ",_bench\r\n";
}
