// Writing the selected orbits and their count by stream and degree of sol.
#include "orbits/orbit_exports.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "mdb/database.h"
#include "mdb/schema.h"
#include "orbits/orbit_selection.h"
#include "platform/ui.h"
#include "table/links.h"
#include "table/text_file.h"

namespace {

constexpr int kDegrees = 360;

// The whole degree of a sol, 0 to 359; NaN counts as 0.
int degreeOf(float sol)
{
    if (!(sol >= 0.0f))
        return 0;
    return sol >= kDegrees - 1 ? kDegrees - 1 : static_cast<int>(sol);
}

class StreamCount {
public:
    StreamCount() { column("spo"); }

    void add(const char* code, int degree) { ++m_counts[column(code)][degree]; }
    void addSporadic(int degree) { ++m_counts[0][degree]; }

    std::string text() const
    {
        std::string out = "sol(deg)";
        for (const std::string& code : m_codes)
            out += "," + code;
        out += "\r\n";
        char number[16];
        for (int degree = 0; degree < kDegrees; ++degree) {
            out += std::to_string(degree);
            for (const auto& counts : m_counts) {
                std::snprintf(number, sizeof number, ",%d", counts[degree]);
                out += number;
            }
            out += "\r\n";
        }
        return out;
    }

private:
    // The code's column, added at its first appearance; "spo" when full.
    std::size_t column(const char* code)
    {
        const auto found = std::find(m_codes.begin(), m_codes.end(), code);
        if (found != m_codes.end())
            return static_cast<std::size_t>(found - m_codes.begin());
        if (m_codes.size() >= kMaxCountColumns)
            return 0;
        m_codes.emplace_back(code);
        m_counts.emplace_back();
        return m_codes.size() - 1;
    }

    std::vector<std::string> m_codes;
    std::vector<std::array<int, kDegrees>> m_counts;
};

} // namespace

bool writeSelectedOrbits(const Database& db, const std::string& path)
{
    return db.orbits.saveRows(path, [&db](int row) { return isSelectedOrbit(db.orbits, row); });
}

bool writeStreamCount(const Database& db, const std::string& path)
{
    StreamCount count;
    const CUTABLE& orbits = db.orbits;
    for (int row = 0; row < orbits.count(); ++row) {
        if (!orbits.isLive(row) || !isSelectedOrbit(orbits, row))
            continue;
        const int degree = degreeOf(orbits.cell(row, col::Orbit::sol)->real);
        const LinkList links = linksOf(orbits, row, col::Orbit::SLINK);
        if (links.empty())
            count.addSporadic(degree);
        for (const LinkNode& node : links) {
            const CUTABLE* streams = node.partnerCell.table;
            const int stream = node.partnerCell.row;
            if (node.resolved() &&
                db.sources.isInUse(streams->cell(stream, col::Stream::SID)->number))
                count.add(streams->text(stream, col::Stream::code), degree);
            else
                count.addSporadic(degree);
        }
    }
    AtomicFileWriter out(path);
    if (out.open()) {
        out.append(count.text());
        if (out.commit())
            return true;
    }
    message("Cannot open %s", path.c_str());
    return false;
}
