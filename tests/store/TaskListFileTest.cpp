// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "CaseName.h"
#include "DirectFileWriter.h"
#include "StorePrinters.h"
#include "TempFolder.h"
#include "store/ProfileFile.h"
#include "store/TaskListFile.h"
#include "store/xml/LoadResult.h"

namespace tavero::store {
namespace {

const std::filesystem::path kGoldenTaskList =
    std::filesystem::path(TAVERO_STORE_GOLDEN_DIR) / "ThreeEntries.tvr";

TaskEntry entry(std::string name, std::uint32_t duration, std::int32_t elementNr,
                GeneratorSettings settings = GeneratorSettings::emptyProfile()) {
    return TaskEntry{StoredProfile{settings, std::move(name)}, duration, elementNr};
}

/// The list laid out in the golden file.
TaskList threeEntries() {
    GeneratorSettings square;
    square.frequenz = 2500000;
    square.minimalfrequenz = 25;
    square.maximalfrequenz = 3000000000U;
    square.schrittweite = 100;
    square.amplitude = 1000;
    square.wobbelStartfrequenz = 100000;
    square.wobbelStoppfrequenz = 200000;
    square.wobbelFrequenz = 200;
    square.signalform = 2;
    square.modulationseinstellungen = kModulationAm | kPmArtPsk;
    square.frequenzhub = 3000000000;
    square.phasenhub = 359;
    square.amplitudenhub = 50;
    square.modulationsfrequenz = 50000;
    square.konfiguration = kBetriebsartModulation;
    square.pllFaktor = 2048;
    square.pllOffset = -12345;
    GeneratorSettings negativeHub = GeneratorSettings::emptyProfile();
    negativeHub.frequenzhub = -1000;
    return TaskList{
        {entry("Sinus 1 kHz", 5, 1, GeneratorSettings::emptyProfile()),
         entry("Rechteck <Test> & Prüfung", 10, 2, square), entry("", 1, 4, negativeHub)},
        true};
}

TaskList readBytes(const TempFolder& folder, const std::string& bytes) {
    const TaskListRead read = readTaskListFile(folder.write("list.tvr", bytes));
    EXPECT_TRUE(read.ok()) << xml::LoadCodeText(read.load.code);
    return read.list;
}

TEST(TaskListFile, ThreeEntriesWithLoopAreWrittenByteForByteAndReadBack) {
    const TempFolder folder;
    DirectFileWriter writer;
    const auto path = folder.path() / "list.tvr";

    ASSERT_TRUE(writeTaskListFile(writer, path, threeEntries()));

    EXPECT_EQ(fileBytes(path), fileBytes(kGoldenTaskList));
    const TaskListRead read = readTaskListFile(kGoldenTaskList);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.list, threeEntries());
}

TEST(TaskListFile, EmptyListIsOneLineAndKeepsTheLoopFlag) {
    const TempFolder folder;
    for (const bool loop : {false, true}) {
        const std::string bytes = taskListFileBytes(TaskList{{}, loop});
        EXPECT_EQ(bytes, loop ? "<Playlist Anzahl=\"0\" Schleife=\"1\"/>\r\n"
                              : "<Playlist Anzahl=\"0\" Schleife=\"0\"/>\r\n");
        EXPECT_EQ(readBytes(folder, bytes), (TaskList{{}, loop}));
    }
}

TEST(TaskListFile, DurationKeepsAll32BitsThroughItsSignedForm) {
    const TempFolder folder;
    const TaskList list{{entry("a", 4294967295U, -1), entry("b", 2147483648U, 2147483647)}, false};
    const std::string bytes = taskListFileBytes(list);
    EXPECT_NE(bytes.find(" Duration=\"-1\" ElementNr=\"-1\">"), std::string::npos);
    EXPECT_EQ(readBytes(folder, bytes), list);
}

struct ReadCase {
    std::string name;
    std::string file;
    TaskList expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadTaskListFile : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadTaskListFile, TakesEntriesByPositionAndValuesAsStored) {
    const TempFolder folder;
    EXPECT_EQ(readBytes(folder, GetParam().file), GetParam().expected);
}

/// An empty profile's settings but this one, as an element with only `Frequenz` reads.
GeneratorSettings frequenz(std::uint32_t value) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.frequenz = value;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadTaskListFile,
    testing::Values(
        ReadCase{
            "MoreAnnouncedThanHeld",
            "<Playlist Anzahl=\"3\" Schleife=\"0\">"
            "<Playlistelement_1 Duration=\"5\" ElementNr=\"1\">a</Playlistelement_1>"
            "<Playlistelement_2 Duration=\"6\" ElementNr=\"2\">b</Playlistelement_2>"
            "</Playlist>",
            TaskList{{entry("a", 5, 1), entry("b", 6, 2), TaskEntry{emptyStoredProfile()}}, false}},
        ReadCase{"FewerAnnouncedThanHeld",
                 "<Playlist Anzahl=\"1\" Schleife=\"1\"><E>a</E><E>b</E></Playlist>",
                 TaskList{{entry("a", 0, 0)}, true}},
        ReadCase{
            "OtherNamesAndAttributeOrder",
            "<playlist schleife=\"1\" ANZAHL=\"2\">"
            "<Schritt ElementNr=\"7\" duration=\"30\" FREQUENZ=\"5000\">x</Schritt>"
            "<Playlistelement_9 Frequenz=\"25\" DURATION=\"1\">y</Playlistelement_9>"
            "</playlist>",
            TaskList{{entry("x", 30, 7, frequenz(5000)), entry("y", 1, 0, frequenz(25))}, true}},
        ReadCase{"RepeatedElementNr",
                 "<Playlist Anzahl=\"3\" Schleife=\"0\"><a ElementNr=\"3\"/><b ElementNr=\"3\"/>"
                 "<c ElementNr=\"-2\"/></Playlist>",
                 TaskList{{entry("", 0, 3), entry("", 0, 3), entry("", 0, -2)}, false}},
        ReadCase{"SchleifeTwo", "<Playlist Anzahl=\"0\" Schleife=\"2\"/>", TaskList{{}, true}},
        ReadCase{"SchleifeMissing", "<Playlist Anzahl=\"0\"/>", TaskList{{}, false}},
        ReadCase{"SchleifeNotANumber", "<Playlist Schleife=\"ja\"/>", TaskList{{}, false}},
        ReadCase{"NegativeAnzahl", "<Playlist Anzahl=\"-3\"><a>x</a></Playlist>", TaskList{}},
        ReadCase{"OtherTopElement", "<Profillisten Anzahl=\"1\"><a>x</a></Profillisten>",
                 TaskList{}},
        ReadCase{
            "AnzahlAtTheLimit", "<Playlist Anzahl=\"100000\"/>",
            TaskList{std::vector<TaskEntry>(kMaxTaskEntryCount, TaskEntry{emptyStoredProfile()}),
                     false}}),
    CaseName{});

struct FailureCase {
    std::string name;
    std::string file;
    ReadFailure failure;
    xml::LoadCode code;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class TaskListReadFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(TaskListReadFailure, GivesAnEmptyList) {
    const TempFolder folder;
    const TaskListRead read = readTaskListFile(folder.write("list.tvr", GetParam().file));
    EXPECT_EQ(read.failure, GetParam().failure);
    EXPECT_EQ(read.load.code, GetParam().code);
    EXPECT_EQ(read.list, TaskList{});
}

INSTANTIATE_TEST_SUITE_P(
    Files, TaskListReadFailure,
    testing::Values(FailureCase{"AnzahlAboveTheLimit",
                                "<Playlist Anzahl=\"100001\" Schleife=\"1\"/>",
                                ReadFailure::CountAboveLimit, xml::LoadCode::NoError},
                    FailureCase{"UnknownEntity",
                                "<Playlist Anzahl=\"1\" Schleife=\"1\"><a>&#65;</a></Playlist>",
                                ReadFailure::NotLoaded, xml::LoadCode::UnknownEntity},
                    FailureCase{"UnmatchedEndTag",
                                "<Playlist Anzahl=\"1\" Schleife=\"1\"><a>x</Playlist>",
                                ReadFailure::NotLoaded, xml::LoadCode::UnmatchedEndTagWarning}),
    CaseName{});

TEST(TaskListFile, MissingFileFailsAsNotFound) {
    const TempFolder folder;
    const TaskListRead read = readTaskListFile(folder.path() / "missing.tvr");
    EXPECT_EQ(read.failure, ReadFailure::NotLoaded);
    EXPECT_EQ(read.load.code, xml::LoadCode::FileNotFound);
}

TEST(TaskListFile, RefusedSaveIsReported) {
    const TempFolder folder;
    DirectFileWriter writer;
    writer.refuse = true;
    EXPECT_FALSE(writeTaskListFile(writer, folder.path() / "list.tvr", threeEntries()));
}

}  // namespace
}  // namespace tavero::store
