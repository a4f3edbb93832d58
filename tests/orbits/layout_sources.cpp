// Sources of the six layouts for the import tests; the field numbers are those each layout
// reads (see the converters' tests for every field).
#include "layout_sources.h"

#include <utility>

#include "orbits/orbit_converters.h"

namespace {

using FieldValues = std::vector<std::pair<std::size_t, std::string>>;

// A CSV line of count fields, "0" unless given.
std::string csvLine(std::size_t count, const FieldValues& values)
{
    std::vector<std::string> fields(count, "0");
    for (const auto& [number, value] : values)
        fields[number] = value;
    std::string line;
    for (std::size_t i = 0; i < count; ++i)
        line += (i ? "," : "") + fields[i];
    return line + "\r\n";
}

template <typename Row> std::string rows(const std::vector<std::string>& tags, Row row)
{
    std::string text;
    for (const std::string& tag : tags)
        text += row(tag);
    return text;
}

// The mjd as the U2 and O layouts carry it.
constexpr double kCarriedMjd = 55420.896354;

std::string oSource(const std::vector<std::string>& tags)
{
    return orbitFileHeader() + rows(tags, [](const std::string& tag) {
               return "501,4200012345,0,_" + tag +
                      ",55420.896354,140.1,46.1,57.6,59.1,1,15.0,0.95,0.937,151.0,139.4,113.0,"
                      "0.0,0.0,0.3,1.2,105.0,90.0,45.0,-2.1,0.01,_memo " +
                      tag + "\r\n";
           });
}

std::string uSource(const std::vector<std::string>& tags)
{
    return "header\r\n" + rows(tags, [](const std::string& tag) {
               return csvLine(90, {{0, "M04_0"},  {1, "_" + tag}, {2, "J8_EE"},  {3, "0.5"},
                                   {6, "46.1"},   {7, "57.6"},    {9, "59.1"},   {10, "15.0"},
                                   {11, "0.95"},  {12, "0.937"},  {13, "151.0"}, {14, "139.4"},
                                   {15, "113.0"}, {17, "_PER"},   {18, "abc"},   {45, "105.0"},
                                   {46, "90.0"},  {49, "5"},      {50, "15"},    {80, "2010"},
                                   {81, "8"},     {82, "12"},     {83, "21"},    {84, "30"},
                                   {85, "45"},    {87, "140.1"}});
           });
}

std::string u2Source(const std::vector<std::string>& tags)
{
    return "header\r\n" + rows(tags, [](const std::string& tag) {
               return csvLine(80,
                              {{0, "51"},     {2, "_" + tag}, {3, "55420.896354"}, {4, "140.1"},
                               {5, "_st1"},   {6, "_st2"},    {7, "-2.1"},         {10, "46.1"},
                               {11, "57.6"},  {16, "59.1"},   {18, "15.0"},        {19, "0.95"},
                               {20, "0.937"}, {22, "151.0"},  {23, "139.4"},       {24, "113.0"},
                               {25, "_PER"},  {43, "105.0"},  {50, "90.0"},        {76, "0.3"},
                               {77, "1.2"}});
           });
}

std::string mSource(const std::vector<std::string>& tags)
{
    return rows(tags, [](const std::string& tag) {
        return "90,2010,8,12,21,30,45,46.1,57.6,59.1,-1.5,_" + tag + ",_meteor " + tag + "\r\n";
    });
}

std::string textSource(const std::vector<std::string>& tags)
{
    return "Tag    Year M  D  h  m  s  ra     sra  dec    sdec vg\r\n"
           "------ ---- -- -- -- -- -- ------ ---- ------ ---- -----\r\n" +
           rows(tags, [](const std::string& tag) {
               return tag + " 2010  8 12 21 30 45 046.10 0.50 +57.60 0.30 59.10 1.2 15.00 0.930 "
                            "0.950 151.0 139.4 113.0 105.0 090.0 045.0 -2.1 0.0123\r\n";
           });
}

// Day 12.89635 is 21:30:44 once each part is truncated.
std::string datSource(const std::vector<std::string>& tags)
{
    return rows(tags, [](const std::string& tag) {
        return tag + "    B0002  memo_text\n"
                     " 8 12.89635 2010 140.1 046.1 57.60 11.11 59.10\n"
                     " 0.950 15.00000 1.00000 0.937 113.0 151.0 139.4\n"
                     " 1.000 0.5000 105.0 2.000 090.0 3.0000 0.0012300\n"
                     "end of record\n";
    });
}

} // namespace

const std::vector<LayoutSource>& layoutSources()
{
    static const std::vector<LayoutSource> sources{
        {"O", "O_other.csv", oSource,
         [](const std::string& tag, const std::string&) {
             return ExpectedOrbit{tag, "memo " + tag, kCarriedMjd};
         }},
        {"U", "U_vidnet.csv", uSource,
         [](const std::string& tag, const std::string&) {
             return ExpectedOrbit{tag, "PER-abc-J8_EE", kPerseidMjd};
         }},
        {"U2", "U2_skycam.csv", u2Source,
         [](const std::string& tag, const std::string&) {
             return ExpectedOrbit{tag, "st1-st2-PER", kCarriedMjd};
         }},
        {"M", "M_radiants.csv", mSource,
         [](const std::string& tag, const std::string&) {
             return ExpectedOrbit{tag, "meteor " + tag, kPerseidMjd};
         }},
        {"Text", "catalogue.txt", textSource,
         [](const std::string& tag, const std::string& code) {
             return ExpectedOrbit{code + "_" + tag, "", kPerseidMjd};
         }},
        {"Dat", "photographic.dat", datSource,
         [](const std::string& tag, const std::string& code) {
             return ExpectedOrbit{code + "_" + tag + "_B0002", "memo_text",
                                  kPerseidMjd - 1 / 86400.0};
         }},
    };
    return sources;
}
