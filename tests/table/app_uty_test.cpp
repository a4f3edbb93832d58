// The settings record buffer: layout, lookups and its fatal paths.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/scripted_ui.h"
#include "support/test_support.h"
#include "table/app_uty.h"

namespace {

std::string recordBytes(const std::string& name, const std::string& data)
{
    std::string bytes(16, '\0');
    std::memcpy(bytes.data(), name.data(), std::min<std::size_t>(name.size(), 15));
    const std::uint32_t length = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(length >> (8 * i)));
    return bytes + data;
}

} // namespace

TEST(CAppUty, RecordLayoutIsNameLengthAndPaddedData)
{
    TempDir dir;
    CAppUty store;
    store.beginWrite();
    store.putText("AP.mdbdir", "abcde");
    store.putInteger("VERSION", 17);
    ASSERT_EQ(store.writeFile(dir.str(), "s.ovr"), 1);
    const std::string expected = recordBytes("AP.mdbdir", std::string("abcde\0\0\0", 8)) +
                                 recordBytes("VERSION", std::string("\x11\0\0\0", 4));
    EXPECT_EQ(readFileBytes(dir.file("s.ovr")), expected);
}

TEST(CAppUty, LongNameKeepsFifteenCharactersAndIsFoundByTheFullName)
{
    TempDir dir;
    CAppUty store;
    store.beginWrite();
    store.putInteger("ABCDEFGHIJKLMNOPQRST", 5);
    ASSERT_EQ(store.writeFile(dir.str(), "s.ovr"), 1);
    EXPECT_EQ(readFileBytes(dir.file("s.ovr")).substr(0, 16), std::string("ABCDEFGHIJKLMNO\0", 16));
    ASSERT_EQ(store.readFile(dir.str(), "s.ovr"), 24u);
    std::int32_t value = 0;
    EXPECT_EQ(store.getInteger("ABCDEFGHIJKLMNOPQRST", &value), 4u);
    EXPECT_EQ(value, 5);
}

TEST(CAppUty, TrailingBlanksMakeDistinctKeys)
{
    TempDir dir;
    CAppUty store;
    store.beginWrite();
    store.putFloat("AP.po_r1", 1.5f);
    store.putFloat("AP.po_r1  ", 2.5f);
    ASSERT_EQ(store.writeFile(dir.str(), "s.ovr"), 1);
    store.readFile(dir.str(), "s.ovr");
    float plain = 0, blanks = 0;
    store.getInteger("AP.po_r1", &plain);
    store.getInteger("AP.po_r1  ", &blanks);
    EXPECT_EQ(plain, 1.5f);
    EXPECT_EQ(blanks, 2.5f);
}

TEST(CAppUty, MissingRecordLeavesDestinationAndFirstDuplicateWins)
{
    TempDir dir;
    writeFileBytes(dir.file("s.ovr"), recordBytes("A", std::string("\1\0\0\0", 4)) +
                                          recordBytes("A", std::string("\2\0\0\0", 4)));
    CAppUty store;
    store.readFile(dir.str(), "s.ovr");
    std::int32_t value = 99;
    EXPECT_EQ(store.getInteger("B", &value), 0u);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(store.getInteger("A", &value), 4u);
    EXPECT_EQ(value, 1);
}

TEST(CAppUty, TruncatedOrEmptyFilesFindNothing)
{
    TempDir dir;
    const std::string whole = recordBytes("A", std::string("\1\0\0\0", 4));
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        writeFileBytes(dir.file("s.ovr"), whole.substr(0, cut));
        CAppUty store;
        EXPECT_EQ(store.readFile(dir.str(), "s.ovr"), cut);
        std::int32_t value = 7;
        EXPECT_EQ(store.getInteger("A", &value), 0u) << "cut at " << cut;
        EXPECT_EQ(value, 7);
    }
}

TEST(CAppUty, HugeLengthFieldNeverReadsPastTheFile)
{
    TempDir dir;
    std::string bytes = recordBytes("A", "");
    bytes[16] = bytes[17] = bytes[18] = bytes[19] = '\xff';
    writeFileBytes(dir.file("s.ovr"), bytes + recordBytes("B", std::string(4, '\0')));
    CAppUty store;
    store.readFile(dir.str(), "s.ovr");
    std::int32_t value = 3;
    EXPECT_EQ(store.getInteger("B", &value), 0u);
    EXPECT_EQ(value, 3);
}

TEST(CAppUty, ReadsAtMostTheBufferSize)
{
    TempDir dir;
    writeFileBytes(dir.file("big.ovr"), std::string(20000, 'x'));
    CAppUty store;
    EXPECT_EQ(store.readFile(dir.str(), "big.ovr"), CAppUty::kBufferSize);
    EXPECT_EQ(store.readFile(dir.str(), "missing.ovr"), 0u);
}

TEST(CAppUty, AbsoluteNameIgnoresTheFolder)
{
    TempDir dir;
    CAppUty store;
    store.beginWrite();
    store.putInteger("X", 1);
    ASSERT_EQ(store.writeFile("/nonexistent-folder", dir.file("abs.ovr")), 1);
    EXPECT_EQ(readFileBytes(dir.file("abs.ovr")).size(), 24u);
}

TEST(CAppUty, UnwritableFileIsReportedAndReturnsZero)
{
    ScopedScriptedUi scripted;
    CAppUty store;
    store.beginWrite();
    store.putInteger("X", 1);
    EXPECT_EQ(store.writeFile("/nonexistent-folder", "s.ovr"), 0);
    ASSERT_EQ(scripted->messages().size(), 1u);
    EXPECT_EQ(scripted->messages()[0], "UE070: Cannot write s.ovr");
}

TEST(CAppUtyDeathTest, FatalPaths)
{
    const int status = 247;
    EXPECT_EXIT(
        {
            CAppUty store;
            std::int32_t value;
            store.getInteger("A", &value);
        },
        ::testing::ExitedWithCode(status), "UE0104: rp invalid");
    EXPECT_EXIT(
        {
            CAppUty store;
            store.putInteger("A", 1);
        },
        ::testing::ExitedWithCode(status), "UE0103: bp exceeds limit");
    EXPECT_EXIT(
        {
            CAppUty store;
            store.writeFile("/tmp", "x.ovr");
        },
        ::testing::ExitedWithCode(status), "CAppUty:invalid bp");
    EXPECT_EXIT(
        {
            CAppUty store;
            store.beginWrite();
            const std::string text(1023, 'a');
            for (int i = 0; i < 10; ++i)
                store.putText("T", text.c_str());
        },
        ::testing::ExitedWithCode(status), "UE0103: bp exceeds limit");
    EXPECT_EXIT(
        {
            TempDir dir;
            writeFileBytes(dir.file("s.ovr"), recordBytes("A", std::string(8, '\0')));
            CAppUty store;
            store.readFile(dir.str(), "s.ovr");
            std::int32_t value;
            store.getInteger("A", &value);
        },
        ::testing::ExitedWithCode(status), "UE0105: invalid length");
}

TEST(CAppUty, FindReportsTooLongWithoutEndingTheProcess)
{
    TempDir dir;
    writeFileBytes(dir.file("s.ovr"), recordBytes("A", std::string(8, '\0')));
    CAppUty store;
    store.readFile(dir.str(), "s.ovr");
    std::int32_t value = 5;
    std::size_t length = 0;
    EXPECT_EQ(store.find("A", &value, 4, &length), CAppUty::Lookup::TooLong);
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(value, 5);
}
