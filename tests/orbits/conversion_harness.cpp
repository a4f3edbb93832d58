// The conversion test harness.
#include "conversion_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

std::int64_t ConversionHarness::convert(OrbitLayout layout, const std::string& sourceName,
                                        const std::string& sourceText)
{
    writeFileBytes(source(sourceName), sourceText);
    ConversionContext context{"WK",
                              [this]() -> std::optional<std::uint32_t> {
                                  if (oidLimit && oidsTaken() >= *oidLimit)
                                      return std::nullopt;
                                  return m_nextOid++;
                              },
                              index, *feedback, filters};
    const std::int64_t rows = convertOrbitFile(layout, source(sourceName), target(), context);
    dropped = context.dropped;
    return rows;
}

std::vector<Fields> ConversionHarness::targetRows() const
{
    const std::string text = readFileBytes(target());
    std::vector<Fields> rows;
    std::size_t begin = 0;
    bool header = true;
    while (begin < text.size()) {
        const std::size_t end = text.find("\r\n", begin);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos)
            break;
        const std::string line = text.substr(begin, end - begin);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        if (header)
            EXPECT_EQ(line + "\r\n", orbitFileHeader());
        else
            rows.push_back(splitCsv(line));
        header = false;
        begin = end + 2;
    }
    return rows;
}

Fields splitCsv(const std::string& line)
{
    Fields fields;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = line.find(',', begin);
        fields.push_back(line.substr(begin, comma - begin));
        if (comma == std::string::npos)
            return fields;
        begin = comma + 1;
    }
}

double number(const std::string& field)
{
    char* end = nullptr;
    const double value = std::strtod(field.c_str(), &end);
    EXPECT_TRUE(!field.empty() && *end == '\0') << "not a number: " << field;
    return value;
}

double almanacSunLongitude(double jd)
{
    const double n = jd - 2451545.0;
    const double l = 280.460 + 0.9856474 * n;
    const double g = (357.528 + 0.9856003 * n) * M_PI / 180;
    return std::fmod(l + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g), 360.0);
}
