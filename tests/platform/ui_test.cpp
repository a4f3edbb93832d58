// Messages, fatal errors and the scripted user interface.
#include <gtest/gtest.h>

#include <string>

#include "platform/scripted_ui.h"
#include "support/test_support.h"

TEST(Message, LongTextIsCutTo1023Characters)
{
    ScopedScriptedUi scripted;
    const std::string longText(3000, 'x');
    message("%s", longText.c_str());
    ASSERT_EQ(scripted->messages().size(), 1u);
    EXPECT_EQ(scripted->messages()[0], std::string(1023, 'x'));
}

TEST(Message, CaptionDependsOnMainWindow)
{
    ScopedScriptedUi scripted;
    message("before %d", 1);
    setMainWindowOpen(true);
    message("after %d", 2);
    ASSERT_EQ(scripted->events().size(), 2u);
    EXPECT_EQ(scripted->events()[0].caption, "Orvantella");
    EXPECT_EQ(scripted->events()[0].text, "before 1");
    EXPECT_EQ(scripted->events()[1].caption, "Orvantell");
}

TEST(FatalDeathTest, EndsWithStatusMinus9AndShowsText)
{
    EXPECT_EXIT(fatal("Cannot allocate %s", "UTABLE"),
                ::testing::ExitedWithCode(static_cast<unsigned char>(kFatalExitStatus)),
                "Orvantella Fatal Error: Cannot allocate UTABLE");
}

TEST(FatalDeathTest, ScriptedUiRecordsAndStillExits)
{
    EXPECT_EXIT(
        {
            ScopedScriptedUi scripted;
            fatal("UE0104: rp invalid");
        },
        ::testing::ExitedWithCode(247), "UE0104: rp invalid");
}

TEST(ScriptedUi, AnswersQuestionsInOrderAndFlagsUnexpectedOnes)
{
    ScopedScriptedUi scripted;
    scripted->answerOk();
    scripted->answerCancel();
    EXPECT_TRUE(ui().askOkCancel("first?", kAppCaption));
    EXPECT_FALSE(ui().askOkCancel("second?", kAppCaption));
    EXPECT_FALSE(scripted->anyUnexpected());
    EXPECT_FALSE(ui().askOkCancel("third?", kAppCaption));
    EXPECT_TRUE(scripted->anyUnexpected());
    EXPECT_EQ(scripted->events()[1].answer, "Cancel");
}

TEST(ScriptedUi, PathAnswerIsNotTakenByAQuestion)
{
    ScopedScriptedUi scripted;
    scripted->answerPath("/tmp/x.csv");
    EXPECT_FALSE(ui().askOkCancel("sure?", kAppCaption));
    EXPECT_TRUE(scripted->anyUnexpected());
    EXPECT_EQ(ui().openFile({"Open", "/tmp", "", "", false}), "/tmp/x.csv");
}

struct NamedDialog final : DialogModel {
    int value = 0;
    const char* dialogName() const override { return "Named"; }
};

TEST(ScriptedUi, DialogAnswerEditsTheModel)
{
    ScopedScriptedUi scripted;
    scripted->answerDialog([](DialogModel& model) {
        static_cast<NamedDialog&>(model).value = 42;
        return true;
    });
    NamedDialog dialog;
    EXPECT_TRUE(ui().runModal(dialog));
    EXPECT_EQ(dialog.value, 42);
    EXPECT_EQ(scripted->events().back().caption, "Named");
}

TEST(ScriptedUi, WaitCursorNests)
{
    ScopedScriptedUi scripted;
    {
        WaitCursor outer;
        WaitCursor inner;
        EXPECT_EQ(scripted->busyDepth(), 2);
    }
    EXPECT_EQ(scripted->busyDepth(), 0);
}

TEST(ChooseSaveFile, RepeatsWhileTheChosenFileExists)
{
    TempDir dir;
    writeFileBytes(dir.file("taken.csv"), "x");
    ScopedScriptedUi scripted;
    scripted->answerPath(dir.file("taken.csv"));
    scripted->answerPath(dir.file("new.csv"));
    const auto chosen = chooseSaveFile({"Save", dir.str(), "taken.csv", "", true});
    EXPECT_EQ(chosen, dir.file("new.csv"));
    ASSERT_EQ(scripted->messages().size(), 1u);
    EXPECT_EQ(scripted->messages()[0], dir.file("taken.csv") + " exists\n\nPlease assign new name");
}

TEST(ChooseSaveFile, CancelEndsTheLoop)
{
    TempDir dir;
    writeFileBytes(dir.file("taken.csv"), "x");
    ScopedScriptedUi scripted;
    scripted->answerPath(dir.file("taken.csv"));
    scripted->answerCancel();
    EXPECT_FALSE(chooseSaveFile({"Save", dir.str(), "", "", true}).has_value());
}

TEST(ChooseSaveFile, OverwriteAllowedWithoutRefusal)
{
    TempDir dir;
    writeFileBytes(dir.file("taken.csv"), "x");
    ScopedScriptedUi scripted;
    scripted->answerPath(dir.file("taken.csv"));
    EXPECT_EQ(chooseSaveFile({"Save", dir.str(), "", "", false}), dir.file("taken.csv"));
    EXPECT_TRUE(scripted->messages().empty());
}
