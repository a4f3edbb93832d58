// Layout choice, the orbit-file header, and one conversion from opening the files to leaving
// the target either complete or as it was.
#include "orbits/orbit_converters.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "mdb/schema.h"
#include "orbits/conversion_frame.h"
#include "orbits/gmn_layout.h"
#include "platform/ui.h"

namespace {

// Which source lines are rows: after skipping a number of lines, and then a number of the
// lines that pass the test (column names), every linesPerRow lines passing it are one row.
struct RowLines {
    int skippedLines;
    int skippedRows;
    int linesPerRow;
    bool (*isRowLine)(std::string_view);
};

bool isFilledLine(std::string_view line) { return !isBlankLine(line); }
bool isMRowLine(std::string_view line) { return line.starts_with("90"); }
bool isGmnRowLine(std::string_view line) { return isGmnContentLine(gmnLineText(line)); }

struct LayoutTraits {
    Outcome (*convert)(ConversionFrame&);
    std::size_t maxLineLength;
    LineEnd lineEnd;
    bool reportsInvalid; // shows "File format invalid!! aborted" on failure
    bool namesLine;      // and the number of the line it stopped at
    RowLines rows;
};

LayoutTraits traitsOf(OrbitLayout layout)
{
    switch (layout) {
    case OrbitLayout::O:
        return {convertOLayout, 1000, LineEnd::Lf, false, false, {1, 0, 1, isFilledLine}};
    case OrbitLayout::U:
        return {convertULayout, 1000, LineEnd::Lf, false, false, {1, 0, 1, isFilledLine}};
    case OrbitLayout::U2:
        return {convertU2Layout, 4000, LineEnd::Lf, false, false, {1, 0, 1, isFilledLine}};
    case OrbitLayout::M:
        return {convertMLayout, 4000, LineEnd::CrOrLf, true, false, {0, 0, 1, isMRowLine}};
    case OrbitLayout::Text:
        return {convertTextLayout, 1000, LineEnd::Lf, true, false, {2, 0, 1, isFilledLine}};
    case OrbitLayout::Dat:
        return {convertDatLayout, 1000, LineEnd::Lf, true, false, {0, 0, 5, isFilledLine}};
    case OrbitLayout::Gmn:
        return {convertGmnLayout, kGmnMaxLine, LineEnd::Lf, true, true, {0, 0, 1, isGmnRowLine}};
    case OrbitLayout::GmnCsv:
        return {convertGmnCsvLayout, kGmnMaxLine, LineEnd::Lf, true, true, {0, 1, 1, isGmnRowLine}};
    }
    return {convertOLayout, 1000, LineEnd::Lf, false, false, {1, 0, 1, isFilledLine}};
}

LayoutChoice csvLayoutByName(std::string_view name)
{
    switch (name[0]) {
    case 'O':
        return {OrbitLayout::O, {}};
    case 'U':
        if (name[2] != '_')
            return {OrbitLayout::U, {}};
        if (name[1] == '2')
            return {OrbitLayout::U2, {}};
        return {std::nullopt, kFileNameInvalid};
    case 'M':
        return {OrbitLayout::M, {}};
    default:
        return {std::nullopt, kFileNameInvalid};
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

bool closeTarget(FilePtr& target)
{
    const bool failed = std::ferror(target.get()) != 0;
    return std::fclose(target.release()) == 0 && !failed;
}

Outcome runConversion(const LayoutTraits& traits, const std::string& sourcePath,
                      const std::string& targetPath, bool targetExisted, ConversionContext& context,
                      std::int64_t& rows, std::int64_t& stopLine, std::string& problem,
                      std::string& unreadable)
{
    SourceFile source;
    if (!source.open(sourcePath) || (targetExisted && sameFile(sourcePath, targetPath)))
        return Outcome::Invalid;
    FilePtr target(std::fopen(targetPath.c_str(), "ab"));
    if (!target)
        return Outcome::Invalid;
    SourceLines lines(source, traits.maxLineLength, traits.lineEnd);
    ConversionFrame frame(lines, target.get(), context);
    if (!targetExisted)
        frame.writeHeader(orbitFileHeader());
    const Outcome outcome = traits.convert(frame);
    if (outcome == Outcome::Invalid) {
        stopLine = frame.stopLine();
        problem = frame.problem();
        unreadable = source.error();
    }
    const bool written = frame.flush();
    if (!closeTarget(target) || !written)
        return outcome == Outcome::Done ? Outcome::Invalid : outcome;
    rows = frame.rowsWritten();
    return outcome;
}

} // namespace

TargetFileGuard::TargetFileGuard(const std::string& path) : m_path(path)
{
    std::error_code error;
    m_existed = std::filesystem::exists(m_path, error);
    if (m_existed)
        m_size = std::filesystem::file_size(m_path, error);
    if (error)
        m_size = 0;
}

void TargetFileGuard::restore() const
{
    std::error_code ignored;
    if (!m_existed)
        std::filesystem::remove(m_path, ignored);
    else if (std::filesystem::is_regular_file(m_path, ignored))
        std::filesystem::resize_file(m_path, m_size, ignored);
}

LayoutChoice chooseOrbitLayout(std::string_view fileName)
{
    const std::size_t slash = fileName.find_last_of('/');
    const std::string_view name =
        uncompressedName(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
    if (name.size() < 3)
        return {std::nullopt, kFileInvalid};
    switch (name[name.size() - 3]) {
    case 'c':
        return csvLayoutByName(name);
    case 't':
        return {OrbitLayout::Text, {}};
    case 'd':
        return {OrbitLayout::Dat, {}};
    default:
        return {std::nullopt, kFileInvalid};
    }
}

LayoutChoice chooseOrbitLayoutOf(const std::string& sourcePath)
{
    if (const std::optional<OrbitLayout> gmn = gmnLayoutOf(sourcePath))
        return {*gmn, {}};
    return chooseOrbitLayout(sourcePath);
}

std::int64_t countSourceRows(OrbitLayout layout, const std::string& sourcePath)
{
    const LayoutTraits traits = traitsOf(layout);
    const RowLines& rule = traits.rows;
    SourceFile source;
    if (!source.open(sourcePath))
        return 0;
    SourceLines lines(source, traits.maxLineLength, traits.lineEnd);
    std::string_view line;
    std::int64_t read = 0;
    std::int64_t rowLines = 0;
    while (lines.next(line) == SourceLines::Status::Line)
        if (++read > rule.skippedLines && rule.isRowLine(line))
            ++rowLines;
    rowLines = std::max<std::int64_t>(0, rowLines - rule.skippedRows);
    return (rowLines + rule.linesPerRow - 1) / rule.linesPerRow;
}

FilterCounts& FilterCounts::operator+=(const FilterCounts& more)
{
    minQc += more.minQc;
    maxVg += more.maxVg;
    maxE += more.maxE;
    maxRadErr += more.maxRadErr;
    minStations += more.minStations;
    noRadiant += more.noRadiant;
    return *this;
}

std::string orbitFileHeader()
{
    std::string header = "_Version";
    for (int column = 1; column < kOrbitTableDef.columnCount; ++column) {
        if (kOrbitTableDef.columns[column].saved == 0)
            continue;
        header += ",_";
        header += kOrbitTableDef.columns[column].name;
    }
    return header + "\r\n";
}

std::int64_t convertOrbitFile(OrbitLayout layout, const std::string& sourcePath,
                              const std::string& targetPath, ConversionContext& context)
{
    const LayoutTraits traits = traitsOf(layout);
    const TargetFileGuard guard(targetPath);
    std::int64_t rows = 0;
    std::int64_t stopLine = 0;
    std::string problem;
    std::string unreadable;
    const Outcome outcome = runConversion(traits, sourcePath, targetPath, guard.existed(), context,
                                          rows, stopLine, problem, unreadable);
    if (outcome == Outcome::Done)
        return rows;
    guard.restore();
    if (!unreadable.empty())
        message(kUnreadableSourceFormat, sourcePath.c_str(), unreadable.c_str());
    else if (outcome == Outcome::Invalid && traits.namesLine && stopLine > 0 && !problem.empty())
        message(kFileFormatInvalidProblemFormat, kFileFormatInvalid,
                static_cast<long long>(stopLine), problem.c_str());
    else if (outcome == Outcome::Invalid && traits.namesLine && stopLine > 0)
        message(kFileFormatInvalidLineFormat, kFileFormatInvalid, static_cast<long long>(stopLine));
    else if (outcome == Outcome::Invalid && traits.reportsInvalid)
        message("%s", kFileFormatInvalid);
    return -1;
}
