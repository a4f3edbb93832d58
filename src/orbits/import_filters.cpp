// The import filters' names, limits read from text, and the layouts that carry their values.
#include "orbits/import_filters.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace {

// Past any station count a network reaches, and within an int.
constexpr double kStationLimit = 1e6;

std::string_view trimmed(std::string_view text)
{
    const std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::optional<double> wholeNumber(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

bool setImportFilter(ImportFilters& filters, ImportFilter filter, std::string_view text)
{
    text = trimmed(text);
    const std::optional<double> limit = text.empty() ? std::nullopt : wholeNumber(text);
    if (!text.empty() && !limit)
        return false;
    switch (filter) {
    case ImportFilter::MinQc:
        filters.minQcDeg = limit;
        return true;
    case ImportFilter::MaxVg:
        filters.maxVgKms = limit;
        return true;
    case ImportFilter::MaxE:
        filters.maxE = limit;
        return true;
    case ImportFilter::MaxRadErr:
        filters.maxRadErrDeg = limit;
        return true;
    case ImportFilter::MinStations:
        if (limit && (*limit != std::trunc(*limit) || std::fabs(*limit) > kStationLimit))
            return false;
        filters.minStations = limit ? std::optional<int>(static_cast<int>(*limit)) : std::nullopt;
        return true;
    }
    return false;
}

bool isSet(const ImportFilters& filters, ImportFilter filter)
{
    switch (filter) {
    case ImportFilter::MinQc:
        return filters.minQcDeg.has_value();
    case ImportFilter::MaxVg:
        return filters.maxVgKms.has_value();
    case ImportFilter::MaxE:
        return filters.maxE.has_value();
    case ImportFilter::MaxRadErr:
        return filters.maxRadErrDeg.has_value();
    case ImportFilter::MinStations:
        return filters.minStations.has_value();
    }
    return false;
}

bool layoutCarries(OrbitLayout layout, ImportFilter filter)
{
    const bool gmn = layout == OrbitLayout::Gmn || layout == OrbitLayout::GmnCsv;
    switch (filter) {
    case ImportFilter::MaxVg:
    case ImportFilter::MaxE:
        return true;
    case ImportFilter::MaxRadErr:
        return gmn || layout == OrbitLayout::O || layout == OrbitLayout::U2 ||
               layout == OrbitLayout::Text;
    case ImportFilter::MinQc:
    case ImportFilter::MinStations:
        return gmn;
    }
    return false;
}

std::string filtersNotCarried(OrbitLayout layout, const ImportFilters& filters)
{
    std::string options;
    for (const ImportFilterName& name : kImportFilterNames)
        if (isSet(filters, name.filter) && !layoutCarries(layout, name.filter))
            options += (options.empty() ? "" : ", ") + std::string(name.option);
    return options;
}

std::string droppedLine(const FilterCounts& d)
{
    char line[256];
    std::snprintf(line, sizeof line,
                  "dropped no_radiant %" PRId64 " min_qc %" PRId64 " max_vg %" PRId64
                  " max_e %" PRId64 " max_rad_err %" PRId64 " min_stations %" PRId64,
                  d.noRadiant, d.minQc, d.maxVg, d.maxE, d.maxRadErr, d.minStations);
    return line;
}
