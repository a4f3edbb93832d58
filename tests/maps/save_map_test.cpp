// The "Save Map" flow and the maps' default file names.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "maps/bmp_writer.h"
#include "maps/canvas.h"
#include "maps/save_map.h"
#include "platform/scripted_ui.h"
#include "support/test_support.h"

namespace {

// Records the file request and the wait cursor; answers with a fixed path.
class RecordingUi final : public Ui {
public:
    std::optional<std::string> answer;
    std::optional<FileRequest> request;
    std::vector<bool> busyCalls;
    int messages = 0;

    void showMessage(const std::string&, const std::string&) override { ++messages; }
    void showFatal(const std::string&) override {}
    bool askOkCancel(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileRequest& r) override
    {
        request = r;
        return answer;
    }
    std::optional<std::string> browseFolder(const std::string&, const std::string&) override
    {
        return std::nullopt;
    }
    void setBusy(bool busy) override { busyCalls.push_back(busy); }
    bool ctrlDown() override { return false; }
    bool runModal(DialogModel&) override { return false; }
};

class ScopedRecordingUi {
public:
    ScopedRecordingUi() { setUi(&ui); }
    ~ScopedRecordingUi() { setUi(nullptr); }
    RecordingUi ui;
};

Canvas sampleCanvas()
{
    Canvas canvas(21, 13, false);
    canvas.setColor(kEquatorColor);
    canvas.drawLine(0, 0, 19, 11);
    return canvas;
}

} // namespace

TEST(SaveMap, AsksForTheFileAndWritesTheCanvas)
{
    TempDir dir;
    ScopedRecordingUi scoped;
    scoped.ui.answer = dir.file("chosen.bmp");
    const Canvas canvas = sampleCanvas();
    EXPECT_TRUE(saveMap(canvas, dir.str() + "/OV20240307SM.bmp"));
    ASSERT_TRUE(scoped.ui.request.has_value());
    EXPECT_EQ(scoped.ui.request->title, "Write BMP");
    EXPECT_EQ(scoped.ui.request->filter, "Write BMP File (*.bmp);;PNG File (*.png)");
    EXPECT_EQ(scoped.ui.request->folder, dir.str());
    EXPECT_EQ(scoped.ui.request->defaultName, "OV20240307SM.bmp");
    // The dialog itself asks before overwriting; no "exists" loop of our own.
    EXPECT_FALSE(scoped.ui.request->refuseExisting);
    EXPECT_EQ(readFileBytes(dir.file("chosen.bmp")), encodeBmp(canvas));
    EXPECT_EQ(scoped.ui.messages, 0);
    // The wait cursor came and went, in pairs.
    ASSERT_FALSE(scoped.ui.busyCalls.empty());
    EXPECT_TRUE(scoped.ui.busyCalls.front());
    EXPECT_EQ(std::count(scoped.ui.busyCalls.begin(), scoped.ui.busyCalls.end(), true) * 2,
              static_cast<long>(scoped.ui.busyCalls.size()));
}

TEST(SaveMap, OverwritesAConfirmedExistingFile)
{
    TempDir dir;
    writeFileBytes(dir.file("old.bmp"), "old contents");
    ScopedScriptedUi scripted;
    scripted->answerPath(dir.file("old.bmp"));
    const Canvas canvas = sampleCanvas();
    EXPECT_TRUE(saveMap(canvas, dir.file("old.bmp")));
    EXPECT_EQ(readFileBytes(dir.file("old.bmp")), encodeBmp(canvas));
    EXPECT_FALSE(scripted->anyUnexpected());
}

TEST(SaveMap, CancelWritesNothing)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    scripted->answerCancel();
    EXPECT_FALSE(saveMap(sampleCanvas(), dir.file("OV20240307SM.bmp")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(scripted->busyDepth(), 0);
}

TEST(SaveMap, FileThatCannotBeCreatedIsSkippedSilently)
{
    TempDir dir;
    ScopedScriptedUi scripted;
    scripted->answerPath(dir.file("no-such-folder/map.bmp"));
    EXPECT_FALSE(saveMap(sampleCanvas(), dir.file("map.bmp")));
    EXPECT_TRUE(scripted->messages().empty());
    EXPECT_EQ(scripted->busyDepth(), 0);
}

TEST(MapFileNames, FolderAndWorkingDate)
{
    EXPECT_EQ(skyMapFileName("/home/u/Documents", 2024, 3, 7),
              "/home/u/Documents/OV20240307SM.bmp");
    EXPECT_EQ(orbitMapFileName("/home/u/Documents", 1998, 11, 17),
              "/home/u/Documents/OV19981117OM.bmp");
    EXPECT_EQ(radiantMapFileName("/home/u/Documents", 2001, 1, 2),
              "/home/u/Documents/B20010102_RMAP.bmp");
}
