// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "HeadlessError.h"
#include "HeadlessHost.h"
#include "RecordingDialog.h"
#include "SampleTemplate.h"

namespace tavero::headless {
namespace {

using Events = std::vector<std::string>;

class HeadlessHostTest : public ::testing::Test {
protected:
    res::TemplateSet templates_{&sample::kTemplate, &sample::kConfirmTemplate};
    HeadlessHost host_{templates_};
    RecordingDialog dialog_{sample::kDialogId};
};

TEST_F(HeadlessHostTest, MessageBoxesAreAnsweredFromTheScriptAndRecorded) {
    HeadlessWindow& w = host_.open(dialog_);
    std::vector<ui::Answer> answers;
    dialog_.whenCommand = [&](int) {
        answers.push_back(
            dialog_.host().messageBox("Speichern?", "", ui::Icon::Question, ui::Buttons::YesNo));
        answers.push_back(
            dialog_.host().messageBox("Fehler beim senden", "Übertragungsfehler", ui::Icon::Error));
    };
    host_.answer(ui::Answer::No);
    host_.answer(ui::Answer::Ok);
    w.click(sample::kButton);

    EXPECT_EQ(answers, (std::vector<ui::Answer>{ui::Answer::No, ui::Answer::Ok}));
    ASSERT_EQ(host_.messageBoxes().size(), 2U);
    EXPECT_EQ(
        host_.messageBoxes()[0].box,
        (ui::MessageBoxRequest{"Speichern?", "Tavero", ui::Icon::Question, ui::Buttons::YesNo}));
    EXPECT_EQ(host_.messageBoxes()[1].box,
              (ui::MessageBoxRequest{"Fehler beim senden", "Übertragungsfehler", ui::Icon::Error,
                                     ui::Buttons::Ok}));
    EXPECT_EQ(host_.messageBoxes()[1].answer, ui::Answer::Ok);
}

TEST_F(HeadlessHostTest, AQuestionNobodyAnswersFailsLoudly) {
    EXPECT_THROW(host_.messageBox("Ohne Antwort", "", ui::Icon::Question, ui::Buttons::YesNo),
                 HeadlessError);
    host_.answer(ui::Answer::Yes);
    // A box with only OK is acknowledged by itself and leaves the answer for the question.
    EXPECT_EQ(host_.messageBox("Nur OK"), ui::Answer::Ok);
    EXPECT_EQ(host_.messageBox("Ja oder nein", "", ui::Icon::None, ui::Buttons::YesNoCancel),
              ui::Answer::Yes);
    EXPECT_EQ(host_.messageBoxes().size(), 2U);
    EXPECT_NONFATAL_FAILURE(
        {
            HeadlessHost unused(res::TemplateSet{});
            unused.answer(ui::Answer::Yes);
        },
        "1 scripted message box answer(s) never used");
}

TEST_F(HeadlessHostTest, ModalDialogRunsItsScriptWhileItsParentWaits) {
    HeadlessWindow& parent = host_.open(dialog_);
    RecordingDialog confirm(sample::kConfirmDialogId);
    int result = 0;
    dialog_.whenCommand = [&](int) { result = dialog_.host().runModal(confirm); };
    host_.scriptModal(sample::kConfirmDialogId, [&](HeadlessWindow& nested) {
        EXPECT_THROW(parent.click(sample::kButton),
                     HeadlessError);  // the nested dialog is in front
        nested.pressEnter();
    });
    parent.click(sample::kButton);
    parent.click(sample::kButton);

    EXPECT_EQ(result, res::kIdOk);
    EXPECT_EQ(confirm.events, (Events{"init", "enter", "ok", "init", "enter", "ok"}));
    ASSERT_EQ(host_.modalRuns().size(), 2U);
    EXPECT_EQ(host_.modalRuns()[1].templateId, sample::kConfirmDialogId);
    EXPECT_EQ(host_.modalRuns()[1].result, res::kIdOk);
    EXPECT_FALSE(parent.ended());
}

TEST_F(HeadlessHostTest, AModalDialogWithoutAScriptOrLeftOpenFailsLoudly) {
    RecordingDialog confirm(sample::kConfirmDialogId);
    EXPECT_THROW(host_.runModal(confirm), HeadlessError);
    host_.scriptModal(sample::kConfirmDialogId, [](HeadlessWindow&) {});
    EXPECT_THROW(host_.runModal(confirm), HeadlessError);

    RecordingDialog unknown(4711);
    EXPECT_THROW(host_.open(unknown), HeadlessError);
}

TEST_F(HeadlessHostTest, TimersTickOnTheFakeClockUntilStoppedOrTheDialogEnds) {
    std::vector<std::int64_t> ticks;
    dialog_.whenInit = [this] { dialog_.window().startTimer(1, 1000); };
    dialog_.whenTimer = [&](int) {
        ticks.push_back(host_.nowMs());
        if (ticks.size() == 3) {
            dialog_.window().stopTimer(1);
        }
    };
    HeadlessWindow& w = host_.open(dialog_);
    EXPECT_EQ(w.timerPeriod(1), std::optional<int>(1000));
    host_.advance(999);
    EXPECT_TRUE(ticks.empty());
    host_.advance(1);
    host_.advance(5000);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 2000, 3000}));
    EXPECT_EQ(w.timerPeriod(1), std::nullopt);
    EXPECT_EQ(host_.nowMs(), 6000);

    w.startTimer(2, 500);
    w.pressEscape();
    host_.advance(2000);
    EXPECT_EQ(ticks.size(), 3U);
}

TEST_F(HeadlessHostTest, APauseMovesTheClockAndTicksMissedMeanwhileMergeIntoOne) {
    std::vector<std::int64_t> ticks;
    dialog_.whenInit = [this] { dialog_.window().startTimer(1, 1000); };
    dialog_.whenTimer = [&](int) {
        ticks.push_back(host_.nowMs());
        if (ticks.size() == 1) {
            dialog_.host().pause(3500);
        }
    };
    host_.open(dialog_);
    host_.advance(1000);
    EXPECT_EQ(host_.nowMs(), 4500);
    host_.advance(1000);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 4500, 5000}));  // the period grid stays
    EXPECT_EQ(host_.pauses(), std::vector<int>{3500});
}

TEST_F(HeadlessHostTest, TimersOfAWaitingParentKeepTicking) {
    HeadlessWindow& parent = host_.open(dialog_);
    parent.startTimer(1, 1000);
    RecordingDialog confirm(sample::kConfirmDialogId);
    host_.scriptModal(sample::kConfirmDialogId, [this](HeadlessWindow& nested) {
        host_.advance(2000);
        nested.pressEscape();
    });
    dialog_.whenCommand = [&](int) { dialog_.host().runModal(confirm); };
    parent.click(sample::kButton);
    EXPECT_EQ(dialog_.events, (Events{"init", "command 110", "timer 1", "timer 1"}));
}

TEST_F(HeadlessHostTest, FileDialogsAreAnsweredFromTheScriptAndRecorded) {
    const ui::FileDialogRequest request{
        "Aufgabenliste laden", "Tavero Profildateien (.tvr)|*.tvr|", 0, "tvr", "/home/x", false};
    host_.chooseFile("/home/x/liste.tvr");
    host_.chooseFile(std::nullopt);
    EXPECT_EQ(host_.chooseFileToOpen(request),
              std::optional<std::filesystem::path>("/home/x/liste.tvr"));
    EXPECT_EQ(host_.chooseFileToSave(request), std::nullopt);
    ASSERT_EQ(host_.fileDialogs().size(), 2U);
    EXPECT_EQ(host_.fileDialogs()[0].kind, HeadlessHost::FileDialogKind::Open);
    EXPECT_EQ(host_.fileDialogs()[1].kind, HeadlessHost::FileDialogKind::Save);
    EXPECT_EQ(host_.fileDialogs()[1].request, request);
    EXPECT_THROW(host_.chooseFileToOpen(request), HeadlessError);
}

TEST_F(HeadlessHostTest, FoldersComeFromTheTestAndDirectoryFailuresCanBeScripted) {
    EXPECT_THROW(host_.dataFolder(), HeadlessError);
    EXPECT_THROW(host_.documentsFolder(), HeadlessError);

    const std::filesystem::path root = std::filesystem::temp_directory_path() / "tavero-ui-folders";
    std::filesystem::remove_all(root);
    host_.setDataFolder(root / "Tavero");
    host_.setDocumentsFolder(root / "Dokumente");
    EXPECT_EQ(host_.dataFolder(), root / "Tavero");
    EXPECT_FALSE(std::filesystem::exists(root / "Tavero"));
    EXPECT_EQ(host_.documentsFolder(), root / "Dokumente");
    EXPECT_TRUE(std::filesystem::is_directory(root / "Dokumente"));

    EXPECT_EQ(host_.createDirectory(root / "Tavero"), ui::CreateDirectoryResult::Created);
    host_.failCreateDirectory(root / "Tavero" / "Profile", ui::CreateDirectoryResult::Failed);
    EXPECT_EQ(host_.createDirectory(root / "Tavero" / "Profile"),
              ui::CreateDirectoryResult::Failed);
    EXPECT_FALSE(std::filesystem::exists(root / "Tavero" / "Profile"));
    std::filesystem::remove_all(root);
}

TEST_F(HeadlessHostTest, WaitCursorChangesAreRecorded) {
    host_.setWaitCursor(true);
    EXPECT_TRUE(host_.waitCursor());
    host_.setWaitCursor(false);
    EXPECT_FALSE(host_.waitCursor());
    EXPECT_EQ(host_.waitCursorChanges(), (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace tavero::headless
