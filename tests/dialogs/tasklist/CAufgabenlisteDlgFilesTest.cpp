// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "FolderLock.h"
#include "TaskListSession.h"
#include "ui/FileDialogRequest.h"

namespace tavero::dialogs {
namespace {

using FileDialogKind = headless::HeadlessHost::FileDialogKind;

constexpr std::string_view kFilter = "Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|";
constexpr std::string_view kNotRead = "Die Aufgabenliste könnte nicht gelesen werden.";

/// Two entries in a file, with `Schleife` set.
constexpr std::string_view kTwoEntries =
    "<Playlist Anzahl=\"2\" Schleife=\"1\">\r\n"
    "\t<Playlistelement_1 Frequenz=\"100000\" Duration=\"0\" ElementNr=\"7\">\r\n"
    "\t\tErster\r\n"
    "\t</Playlistelement_1>\r\n"
    "\t<Playlistelement_2 Frequenz=\"200000\" Duration=\"2\" ElementNr=\"7\">\r\n"
    "\t\tZweiter\r\n"
    "\t</Playlistelement_2>\r\n"
    "</Playlist>\r\n";

TEST(CAufgabenlisteDlgFilesTest, BothFileDialogsStartInTheDocumentsFolderWithTheTaskListFilter) {
    TaskListSession session;
    session.add(0, "1");
    session.host.chooseFile(std::nullopt);
    session.window.click(ids::kSave);
    session.host.chooseFile(std::nullopt);
    session.window.click(ids::kLoad);

    const auto& dialogs = session.host.fileDialogs();
    ASSERT_EQ(dialogs.size(), 2U);
    const auto expected = [&](std::string title, bool confirmOverwrite) {
        return ui::FileDialogRequest{
            .title = std::move(title),
            .filter = std::string(kFilter),
            .selectedFilter = 0,
            .defaultExtension = "tvr",
            .initialFolder = session.documents.path(),
            .confirmOverwrite = confirmOverwrite,
        };
    };
    EXPECT_EQ(dialogs[0].kind, FileDialogKind::Save);
    EXPECT_EQ(dialogs[0].request, expected("Speichern unter", true));
    EXPECT_EQ(dialogs[1].kind, FileDialogKind::Open);
    EXPECT_EQ(dialogs[1].request, expected("Aufgabenliste laden", false));

    // Cancelled: nothing written, nothing cleared.
    EXPECT_TRUE(std::filesystem::is_empty(session.documents.path()));
    EXPECT_EQ(session.window.rowCount(ids::kEntryList), 1);
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
}

TEST(CAufgabenlisteDlgFilesTest, ASavedListLoadsBackWithItsEntriesNumbersAndLoopFlag) {
    TaskListSession saving({storedProfile("Sinus <1> & Co", 100000),
                            storedProfile("Sinus 2 kHz", 200000),
                            storedProfile("Prüfton", 300000)});
    saving.add(0, "5");
    saving.add(1, "10");
    saving.add(2, "1");
    saving.add(1, "7");
    saving.window.chooseRow(ids::kEntryList, 1);
    saving.window.click(ids::kRemove);
    saving.window.click(ids::kLoopCheck);
    const std::filesystem::path file = saving.save();
    const store::TaskList saved = saving.savedList();

    TaskListSession loading;
    loading.load(file);
    EXPECT_TRUE(loading.host.messageBoxes().empty());
    EXPECT_TRUE(loading.window.isChecked(ids::kLoopCheck));
    EXPECT_EQ(loading.window.rows(ids::kEntryList),
              (std::vector<std::string>{"Sinus <1> & Co, Dauer: 5 s", "Prüfton, Dauer: 1 s",
                                        "Sinus 2 kHz, Dauer: 7 s"}));
    EXPECT_EQ(loading.enabledButtons(), kReadyButtons);
    EXPECT_EQ(loading.savedList(), saved);
    EXPECT_EQ(store::fileBytes(loading.save("again.tvr")), store::fileBytes(file));

    loading.window.click(ids::kStart);
    EXPECT_EQ(loading.sentImages(), std::vector<Bytes>{saving.imageOf(0)});
}

TEST(CAufgabenlisteDlgFilesTest, ALoadedListPlaysByPlaceAndNumbersOnFromItsLastEntry) {
    TaskListSession session;
    session.load(session.documents.write("two.tvr", kTwoEntries));
    ASSERT_EQ(session.window.rows(ids::kEntryList),
              (std::vector<std::string>{"Erster, Dauer: 0 s", "Zweiter, Dauer: 2 s"}));

    session.window.click(ids::kStart);
    // A hold time of 0 is shown as stored and lasts one tick.
    EXPECT_EQ(session.window.text(ids::kRemainingEdit), "0");
    EXPECT_EQ(session.window.selectedRow(ids::kEntryList), 0);
    session.tick();
    EXPECT_EQ(session.window.text(ids::kCurrentNameEdit), "Zweiter");
    EXPECT_EQ(session.window.selectedRow(ids::kEntryList), 1);
    EXPECT_EQ(session.sentImages().size(), 2U);
    session.window.click(ids::kStop);

    session.add(0, "3");
    const store::TaskList list = session.savedList();
    ASSERT_EQ(list.entries.size(), 3U);
    EXPECT_EQ(list.entries[0].elementNr, 7);
    EXPECT_EQ(list.entries[1].elementNr, 7);
    EXPECT_EQ(list.entries[2].elementNr, 8);
}

TEST(CAufgabenlisteDlgFilesTest, RowAndCountdownShowTheStoredDurationHeldAtLeastOneTick) {
    struct Case {
        std::string_view duration;
        int ticksHeld;
    };
    for (const Case c : {Case{"-5", 1}, Case{"0", 1}, Case{"1", 1}, Case{"3", 3}}) {
        SCOPED_TRACE(c.duration);
        TaskListSession session;
        session.load(session.documents.write(
            "one.tvr", "<Playlist Anzahl=\"1\">\r\n\t<Playlistelement_1 Duration=\"" +
                           std::string(c.duration) +
                           "\" ElementNr=\"1\">\r\n\t\tEiner\r\n\t</Playlistelement_1>\r\n"
                           "</Playlist>\r\n"));
        EXPECT_EQ(session.window.rows(ids::kEntryList),
                  std::vector<std::string>{"Einer, Dauer: " + std::string(c.duration) + " s"});
        session.window.click(ids::kStart);
        EXPECT_EQ(session.window.text(ids::kRemainingEdit), c.duration);
        for (int tick = 1; tick < c.ticksHeld; ++tick) {
            session.tick();
        }
        EXPECT_TRUE(session.window.isEnabled(ids::kStop));
        session.tick();
        EXPECT_FALSE(session.window.isEnabled(ids::kStop));
    }
}

TEST(CAufgabenlisteDlgFilesTest, AFileWithoutElementsLeavesAnEmptyListThatCannotStart) {
    TaskListSession session;
    session.add(0, "1");
    session.add(0, "1");
    session.load(
        session.documents.write("empty.tvr", "<Playlist Anzahl=\"0\" Schleife=\"1\"/>\r\n"));
    EXPECT_TRUE(session.host.messageBoxes().empty());
    EXPECT_EQ(session.window.rowCount(ids::kEntryList), 0);
    EXPECT_TRUE(session.window.isChecked(ids::kLoopCheck));
    EXPECT_EQ(session.enabledButtons(), kEmptyButtons);
    session.add(1, "1");
    EXPECT_EQ(session.savedList().entries.at(0).elementNr, 1);
}

TEST(CAufgabenlisteDlgFilesTest, AFileThatCannotBeReadShowsTheMessageAndLeavesAnEmptyList) {
    struct Case {
        const char* name;
        std::optional<std::string> bytes;  ///< none: the file is missing
    };
    const std::vector<Case> cases = {
        {"unknown entity in a name",
         "<Playlist Anzahl=\"1\" Schleife=\"0\">\r\n"
         "\t<Playlistelement_1 Duration=\"1\" ElementNr=\"1\">\r\n"
         "\t\tSinus &uuml;\r\n"
         "\t</Playlistelement_1>\r\n"
         "</Playlist>\r\n"},
        {"unknown entity in an attribute",
         "<Playlist Anzahl=\"1\" Schleife=\"&x;\">\r\n</Playlist>\r\n"},
        {"more entries announced than accepted",
         "<Playlist Anzahl=\"100001\" Schleife=\"0\">\r\n</Playlist>\r\n"},
        {"malformed", "<Playlist Anzahl=\"1\" <<>>\r\n"},
        {"unmatched end tag", "<Playlist Anzahl=\"0\"></Liste></Playlist>\r\n"},
        {"missing", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TaskListSession session;
        session.add(0, "1");
        session.load(c.bytes ? session.documents.write("bad.tvr", *c.bytes)
                             : session.documents.path() / "fehlt.tvr");
        ASSERT_EQ(session.host.messageBoxes().size(), 1U);
        EXPECT_EQ(session.host.messageBoxes()[0].box, information(kNotRead, "Fehler beim Lesen"));
        EXPECT_EQ(session.window.rowCount(ids::kEntryList), 0);
        EXPECT_EQ(session.enabledButtons(), kEmptyButtons);
        EXPECT_FALSE(session.window.ended());
    }
}

TEST(CAufgabenlisteDlgFilesTest, AFileThatCannotBeWrittenShowsTheMessageAndChangesNothing) {
    TaskListSession session;
    session.add(0, "1");
    session.writer.refuse = true;
    bool lockFree = false;
    session.host.whileMessageBoxShown(
        [&] { lockFree = store::folderLockIsFree(session.documents.path()); });
    const std::filesystem::path file = session.save();
    EXPECT_TRUE(lockFree) << "the update lock is held while the message waits";
    ASSERT_EQ(session.host.messageBoxes().size(), 1U);
    EXPECT_EQ(session.host.messageBoxes()[0].box,
              information("Zieldatei kann nicht erzeugt werden!\nÜberprüfen Sie die Schreibrechte."
                          "\n\n" +
                              file.string() + ": Permission denied",
                          "Fehler beim Schreiben"));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(session.window.rowCount(ids::kEntryList), 1);
    EXPECT_EQ(session.enabledButtons(), kReadyButtons);
}

TEST(CAufgabenlisteDlgFilesTest, SavingOverAFileReadInPartKeepsItsOldBytesAsBackup) {
    TaskListSession session;
    const std::string cut(kTwoEntries.substr(0, kTwoEntries.find("\t<Playlistelement_2")));
    const std::filesystem::path file = session.documents.write("cut.tvr", cut);
    session.load(file);
    EXPECT_TRUE(session.host.messageBoxes().empty());
    session.save("cut.tvr");
    EXPECT_EQ(store::fileBytes(file.string() + ".bak"), cut);
    EXPECT_EQ(store::readTaskListFile(file).list.entries.size(), 2U);
}

}  // namespace
}  // namespace tavero::dialogs
