// The frame around the converters: header, appending, line bounds, and the target left as it
// was after any failure.
#include <gtest/gtest.h>

#include <filesystem>

#include "conversion_harness.h"
#include "orbits/conversion_frame.h"

namespace {

const std::string kExistingTarget = orbitFileHeader() + "501,4100000000,1,_old,55000.000000\r\n";

std::string mLines(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "90,2009,12,14\n";
    return text;
}

TEST(OrbitFileHeader, NamesTheSavedColumnsOfTheOrbitTable)
{
    EXPECT_EQ(orbitFileHeader(), "_Version,_OID,_use,_name,_mjd,_sol,_ra,_dec,_vg,_type,_a,_q,_e,"
                                 "_peri,_node,_incl,_M,_T/e,_r_sd,_v_sd,_Hb,_He,_zr,_mag,_mass,"
                                 "_memo\r\n");
}

TEST(ConversionFrame, ExistingTargetGetsRowsAppendedWithoutASecondHeader)
{
    ConversionHarness h;
    writeFileBytes(h.target(), kExistingTarget);
    ASSERT_EQ(h.convert(OrbitLayout::M, "M1.csv", mLines(2)), 2);
    const std::string text = readFileBytes(h.target());
    ASSERT_EQ(text.substr(0, kExistingTarget.size()), kExistingTarget);
    EXPECT_EQ(h.targetRows().size(), 3u);
}

TEST(ConversionFrame, EmptySourceGivesTheHeaderOnly)
{
    ConversionHarness h;
    EXPECT_EQ(h.convert(OrbitLayout::U2, "U2_x.csv", ""), 0);
    EXPECT_EQ(readFileBytes(h.target()), orbitFileHeader());
}

TEST(ConversionFrame, RunningOutOfOidsRemovesTheNewTargetAndKeepsTheOidsTaken)
{
    ConversionHarness h;
    h.oidLimit = 3;
    EXPECT_EQ(h.convert(OrbitLayout::M, "M1.csv", mLines(5)), -1);
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    EXPECT_EQ(h.oidsTaken(), 3u);
    EXPECT_TRUE(h.messages().empty()); // the database has told the user already
}

TEST(ConversionFrame, FailurePartWayCutsAnExistingTargetBack)
{
    ConversionHarness h;
    writeFileBytes(h.target(), kExistingTarget);
    // Rows, then a line longer than the M layout's 4000 characters.
    EXPECT_EQ(h.convert(OrbitLayout::M, "M1.csv", mLines(3) + std::string(4001, '9') + "\n"), -1);
    EXPECT_EQ(readFileBytes(h.target()), kExistingTarget);
    EXPECT_EQ(h.messages(), std::vector<std::string>{"File format invalid!! aborted"});
}

class CancelAfter final : public Feedback {
public:
    explicit CancelAfter(int reports) : m_reports(reports) {}
    void progress(const std::string&, std::int64_t done, std::int64_t) override
    {
        m_done.push_back(done);
    }
    bool cancelled() const override { return static_cast<int>(m_done.size()) >= m_reports; }
    std::vector<std::int64_t> m_done;

private:
    int m_reports;
};

// A U2 source of empty fields: the cheapest rows to convert.
std::string u2Lines(int count)
{
    std::string text = "header\n";
    for (int i = 0; i < count; ++i)
        text += "51" + std::string(79, ',') + "\n";
    return text;
}

TEST(ConversionFrame, ReportsRowsReadAndStopsWhenCancelled)
{
    ConversionHarness h;
    CancelAfter cancel(2);
    h.feedback = &cancel;
    EXPECT_EQ(h.convert(OrbitLayout::U2, "U2_x.csv", u2Lines(20000)), -1);
    EXPECT_EQ(cancel.m_done, (std::vector<std::int64_t>{4096, 8192}));
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    EXPECT_TRUE(h.messages().empty());
}

TEST(ConversionFrame, ProgressWithoutCancelConvertsEverything)
{
    ConversionHarness h;
    CancelAfter never(1000);
    h.feedback = &never;
    EXPECT_EQ(h.convert(OrbitLayout::U2, "U2_x.csv", u2Lines(10000)), 10000);
    EXPECT_EQ(never.m_done, (std::vector<std::int64_t>{4096, 8192}));
}

struct UnopenableCase {
    const char* label;
    OrbitLayout layout;
    bool reports;
};

const UnopenableCase kUnopenableCases[] = {
    {"O", OrbitLayout::O, false},      {"U", OrbitLayout::U, false},
    {"U2", OrbitLayout::U2, false},    {"M", OrbitLayout::M, true},
    {"Text", OrbitLayout::Text, true}, {"Dat", OrbitLayout::Dat, true},
};

class UnopenableTest : public testing::TestWithParam<UnopenableCase> {};

TEST_P(UnopenableTest, MissingSourceFailsWithTheLayoutsMessage)
{
    ConversionHarness h;
    NoFeedback none;
    ConversionContext context{"WK", [] { return std::optional<std::uint32_t>(1); }, h.index, none};
    EXPECT_EQ(convertOrbitFile(GetParam().layout, h.source("absent.csv"), h.target(), context), -1);
    EXPECT_FALSE(std::filesystem::exists(h.target()));
    EXPECT_EQ(h.messages().size(), GetParam().reports ? 1u : 0u);
}

TEST_P(UnopenableTest, TargetInAMissingFolderFails)
{
    ConversionHarness h;
    writeFileBytes(h.source("src"), "");
    NoFeedback none;
    ConversionContext context{"WK", [] { return std::optional<std::uint32_t>(1); }, h.index, none};
    const std::string target = h.source("no/such/folder/O_x.csv");
    EXPECT_EQ(convertOrbitFile(GetParam().layout, h.source("src"), target, context), -1);
    EXPECT_EQ(h.messages().size(), GetParam().reports ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Layouts, UnopenableTest, testing::ValuesIn(kUnopenableCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ConversionFrame, TargetThatCannotBeWrittenFails)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ConversionHarness h;
    writeFileBytes(h.source("M1.csv"), mLines(3));
    NoFeedback none;
    ConversionContext context{"WK", [] { return std::optional<std::uint32_t>(1); }, h.index, none};
    EXPECT_EQ(convertOrbitFile(OrbitLayout::M, h.source("M1.csv"), "/dev/full", context), -1);
    EXPECT_EQ(h.messages(), std::vector<std::string>{"File format invalid!! aborted"});
}

TEST(ConversionFrame, SourceThatIsTheTargetIsRefused)
{
    ConversionHarness h;
    writeFileBytes(h.target(), kExistingTarget);
    NoFeedback none;
    ConversionContext context{"WK", [] { return std::optional<std::uint32_t>(1); }, h.index, none};
    EXPECT_EQ(convertOrbitFile(OrbitLayout::O, h.target(), h.target(), context), -1);
    EXPECT_EQ(readFileBytes(h.target()), kExistingTarget);
}

// The lines SourceLines returns for a text, or "TOO LONG" where it stops.
std::vector<std::string> readLines(const std::string& text, std::size_t bound, LineEnd lineEnd)
{
    TempDir dir;
    writeFileBytes(dir.file("s"), text);
    SourceFile file;
    EXPECT_TRUE(file.open(dir.file("s")));
    SourceLines lines(file, bound, lineEnd);
    std::vector<std::string> read;
    std::string_view line;
    SourceLines::Status status;
    while ((status = lines.next(line)) == SourceLines::Status::Line)
        read.emplace_back(line);
    if (status == SourceLines::Status::TooLong)
        read.emplace_back("TOO LONG");
    return read;
}

TEST(SourceLines, LineEndsAndTheLengthBound)
{
    using V = std::vector<std::string>;
    const std::string five(5, 'x');
    EXPECT_EQ(readLines("a\r\nb\nc", 5, LineEnd::Lf), (V{"a", "b", "c"}));
    EXPECT_EQ(readLines("a\rb\r\n\n", 5, LineEnd::Lf), (V{"a\rb", ""}));
    EXPECT_EQ(readLines("a\rb\r\n", 5, LineEnd::CrOrLf), (V{"a", "b", ""}));
    EXPECT_EQ(readLines(five + "\r\n" + five + "\n" + five, 5, LineEnd::Lf), (V{five, five, five}));
    EXPECT_EQ(readLines("a\n" + five + "x\r\nb\n", 5, LineEnd::Lf), (V{"a", "TOO LONG"}));
    EXPECT_EQ(readLines("a\n" + five + "x", 5, LineEnd::Lf), (V{"a", "TOO LONG"}));
    EXPECT_EQ(readLines(five + "x\r", 5, LineEnd::CrOrLf), (V{"TOO LONG"}));
    EXPECT_EQ(readLines("", 5, LineEnd::Lf), V{});
}

TEST(SourceLines, LinesAcrossReadBlocks)
{
    // 1 MiB blocks: lines of 999 characters straddle every block boundary.
    std::string text;
    const std::string line(999, 'y');
    for (int i = 0; i < 3000; ++i)
        text += line + (i % 2 ? "\r\n" : "\n");
    const std::vector<std::string> read = readLines(text, 999, LineEnd::Lf);
    ASSERT_EQ(read.size(), 3000u);
    EXPECT_TRUE(std::all_of(read.begin(), read.end(), [&](const auto& l) { return l == line; }));
}

} // namespace
