// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CaseName.h"
#include "DirectFileWriter.h"
#include "StorePrinters.h"
#include "TempFolder.h"
#include "Utf16Bytes.h"
#include "store/ProfileFile.h"
#include "store/xml/LoadResult.h"

namespace tavero::store {
namespace {

const std::filesystem::path kGoldenProfileFile =
    std::filesystem::path(TAVERO_STORE_GOLDEN_DIR) / "Profile.pro";

StoredProfile profile(std::string name,
                      GeneratorSettings settings = GeneratorSettings::emptyProfile()) {
    return StoredProfile{settings, std::move(name)};
}

/// An empty profile's settings but these, as a profile element with only these attributes reads.
GeneratorSettings withFrequenz(std::uint32_t frequenz, std::uint32_t minimalfrequenz = 25) {
    GeneratorSettings s = GeneratorSettings::emptyProfile();
    s.frequenz = frequenz;
    s.minimalfrequenz = minimalfrequenz;
    return s;
}

TEST(ProfileFile, NewFileHoldsFiftyEmptyProfilesLaidOutByteForByte) {
    const TempFolder folder;
    DirectFileWriter writer;
    const auto path = folder.path() / "Profile.pro";

    ASSERT_TRUE(createProfileFileIfMissing(writer, path));

    EXPECT_EQ(fileBytes(path), fileBytes(kGoldenProfileFile));
    const ProfileRead read = readProfileFile(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.profiles, std::vector<StoredProfile>(50, emptyStoredProfile()));
}

TEST(ProfileFile, ExistingFileIsKeptWhateverItHolds) {
    const TempFolder folder;
    DirectFileWriter writer;
    for (const std::string_view bytes : {std::string_view(""), std::string_view("<Foo/>"),
                                         std::string_view("<Profillisten Anzahl=\"3\">")}) {
        const auto path = folder.write("Profile.pro", bytes);
        EXPECT_TRUE(createProfileFileIfMissing(writer, path));
        EXPECT_EQ(fileBytes(path), bytes);
    }
}

TEST(ProfileFile, ExistingFileThatCannotBeReadIsNotReplacedByEmptyProfiles) {
    namespace fs = std::filesystem;
    const TempFolder folder;
    const std::string held = "<Profillisten Anzahl=\"1\"><Profil_1>Mein</Profil_1>";
    const auto path = folder.write("Profile.pro", held);
    fs::permissions(folder.path(), fs::perms::all);
    fs::permissions(path,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);

    const pid_t pid = fork();
    if (pid == 0) {
        // Root reads every file; the check runs as an ordinary user instead.
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(2);
        }
        DirectFileWriter writer;
        _exit(createProfileFileIfMissing(writer, path) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);

    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
    fs::permissions(path, fs::perms::owner_read, fs::perm_options::add);
    EXPECT_EQ(fileBytes(path), held);
}

TEST(ProfileFile, FileThatCannotBeCreatedReportsFailureAndThenReadsAsMissing) {
    const TempFolder folder;
    DirectFileWriter writer;
    writer.refuse = true;
    const auto path = folder.path() / "Profile.pro";

    EXPECT_FALSE(createProfileFileIfMissing(writer, path));
    const ProfileRead read = readProfileFile(path);
    EXPECT_EQ(read.failure, ReadFailure::NotLoaded);
    EXPECT_EQ(read.load.code, xml::LoadCode::FileNotFound);
}

struct ReadCase {
    std::string name;
    std::string file;
    std::vector<StoredProfile> expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadProfileFile : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadProfileFile, AnzahlDecidesTheCountAndElementsAreTakenByPosition) {
    const TempFolder folder;
    const ProfileRead read = readProfileFile(folder.write("Profile.pro", GetParam().file));
    ASSERT_TRUE(read.ok()) << xml::LoadCodeText(read.load.code);
    EXPECT_EQ(read.profiles, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadProfileFile,
    testing::Values(
        ReadCase{"ZeroBytes", "", defaultProfiles()},
        ReadCase{"OtherTopElement",
                 "<Profilliste Anzahl=\"1\"><Profil_1>a</Profil_1></Profilliste>",
                 {}},
        ReadCase{"NoAnzahl", "<Profillisten><Profil_1>a</Profil_1></Profillisten>", {}},
        ReadCase{"NegativeAnzahl", "<Profillisten Anzahl=\"-1\"><Profil_1/></Profillisten>", {}},
        ReadCase{"MoreAnnouncedThanHeld",
                 "<Profillisten Anzahl=\"3\">"
                 "<Profil_1 Frequenz=\"-1\" Minimalfrequenz=\"2.9\">Eins</Profil_1>"
                 "</Profillisten>",
                 {profile("Eins", withFrequenz(4294967295U, 2)), emptyStoredProfile(),
                  emptyStoredProfile()}},
        ReadCase{"FewerAnnouncedThanHeld",
                 "<Profillisten Anzahl=\"2\"><Profil_1>a</Profil_1><Profil_2>b</Profil_2>"
                 "<Profil_3>c</Profil_3><Profil_4>d</Profil_4><Profil_5>e</Profil_5>"
                 "</Profillisten>",
                 {profile("a"), profile("b")}},
        ReadCase{"AnyElementNames",
                 "<Profillisten Anzahl=\"2\"><Foo Frequenz=\"7\">a</Foo><Profil_9>b</Profil_9>"
                 "</Profillisten>",
                 {profile("a", withFrequenz(7)), profile("b")}},
        ReadCase{"NamesInOtherLetterCase",
                 "<profillisten anzahl=\"1\">"
                 "<profil_1 MINIMALFREQUENZ=\"25\" frequenz=\"5000\">x</profil_1>"
                 "</profillisten>",
                 {profile("x", withFrequenz(5000, 25))}},
        ReadCase{"FileCutOffAfterAnElement",
                 "<Profillisten Anzahl=\"2\">\r\n\t<Profil_1 Frequenz=\"1\">\r\n\t\tEins\r\n"
                 "\t</Profil_1>\r\n",
                 {profile("Eins", withFrequenz(1)), emptyStoredProfile()}},
        ReadCase{"AnzahlAtTheLimit", "<Profillisten Anzahl=\"10000\"/>",
                 std::vector<StoredProfile>(kMaxProfileCount, emptyStoredProfile())}),
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

class ProfileFileReadFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(ProfileFileReadFailure, GivesNoProfilesAndLeavesTheFileAlone) {
    const TempFolder folder;
    const auto path = folder.write("Profile.pro", GetParam().file);

    const ProfileRead read = readProfileFile(path);

    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.failure, GetParam().failure);
    EXPECT_EQ(read.load.code, GetParam().code);
    EXPECT_TRUE(read.profiles.empty());
    EXPECT_EQ(fileBytes(path), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileFileReadFailure,
    testing::Values(
        FailureCase{"AnzahlAboveTheLimit", "<Profillisten Anzahl=\"10001\"/>",
                    ReadFailure::CountAboveLimit, xml::LoadCode::NoError},
        FailureCase{"AnzahlBeyond32Bits", "<Profillisten Anzahl=\"99999999999\"/>",
                    ReadFailure::CountAboveLimit, xml::LoadCode::NoError},
        FailureCase{"UnknownEntity",
                    "<Profillisten Anzahl=\"1\"><Profil_1>&euro;</Profil_1></Profillisten>",
                    ReadFailure::NotLoaded, xml::LoadCode::UnknownEntity},
        FailureCase{"UnmatchedEndTag", "<Profillisten Anzahl=\"1\"><Profil_1>a</Profillisten>",
                    ReadFailure::NotLoaded, xml::LoadCode::UnmatchedEndTagWarning},
        FailureCase{"EndTagOfNoElement", "<Profillisten Anzahl=\"1\"></Profil>",
                    ReadFailure::NotLoaded, xml::LoadCode::UnmatchedEndTag}),
    CaseName{});

TEST(ProfileFile, MissingFileFailsAsNotFound) {
    const TempFolder folder;
    const ProfileRead read = readProfileFile(folder.path() / "Profile.pro");
    EXPECT_EQ(read.failure, ReadFailure::NotLoaded);
    EXPECT_EQ(read.load.code, xml::LoadCode::FileNotFound);
}

TEST(ProfileFile, FullFrequencyRangeIsWrittenAsDigitsAndReadsBack) {
    const TempFolder folder;
    DirectFileWriter writer;
    const auto path = folder.path() / "Profile.pro";
    StoredProfile wide = emptyStoredProfile();
    wide.settings.frequenzhub = 3000000000;

    ASSERT_TRUE(writeProfileFile(writer, path, std::vector{wide}));

    const std::string bytes = fileBytes(path);
    EXPECT_NE(bytes.find(" Maximalfrequenz=\"3000000000\" "), std::string::npos);
    EXPECT_NE(bytes.find(" Frequenzhub=\"3000000000\" "), std::string::npos);
    EXPECT_EQ(readProfileFile(path).profiles, std::vector{wide});
}

TEST(ProfileFile, NamesAreEscapedConvertedAndReadBack) {
    struct Name {
        std::string stored;
        std::string lineInFile;  ///< empty: no text line
        std::string readBack;
    };
    const std::vector<Name> names = {
        {"<Test>", "\t\t&lt;Test&gt;\r\n", "<Test>"},
        {"A & B", "\t\tA &amp; B\r\n", "A & B"},
        {"Zitat \"x\"", "\t\tZitat &quot;x&quot;\r\n", "Zitat \"x\""},
        {"100% %s%n", "\t\t100% %s%n\r\n", "100% %s%n"},
        {"äöü €", "\t\t\xE4\xF6\xFC \x80\r\n", "äöü €"},
        {"  eingerückt  ", "\t\t  einger\xFC\x63kt  \r\n", "eingerückt"},
        {"Ω", "\t\t?\r\n", "?"},
        {"zwei\r\nZeilen", "\t\tzwei\r\nZeilen\r\n", "zwei\r\nZeilen"},
        {"", "", ""},
    };
    const TempFolder folder;
    DirectFileWriter writer;
    const auto path = folder.path() / "Profile.pro";
    std::vector<StoredProfile> profiles;
    for (const Name& name : names) {
        profiles.push_back(profile(name.stored));
    }

    ASSERT_TRUE(writeProfileFile(writer, path, profiles));

    const std::string bytes = fileBytes(path);
    const ProfileRead read = readProfileFile(path);
    ASSERT_EQ(read.profiles.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string startTagEnd = "PLL-Offset=\"0\">\r\n";
        const std::string endTag = "\t</Profil_" + number + ">\r\n";
        const std::string element = startTagEnd + names[i].lineInFile + endTag;
        EXPECT_NE(bytes.find(element), std::string::npos) << "name " << number;
        EXPECT_EQ(read.profiles[i].name, names[i].readBack);
    }
}

TEST(ProfileFile, UmlautsFromAWindowsFileReadAsUtf8AndWriteBackTheSameBytes) {
    const TempFolder folder;
    DirectFileWriter writer;
    std::string windowsFile = fileBytes(kGoldenProfileFile);
    const std::string_view emptyName = kEmptyProfileName;
    windowsFile.replace(windowsFile.find(emptyName), emptyName.size(), "\xE4\xF6\xFC");
    const auto path = folder.write("Profile.pro", windowsFile);

    const ProfileRead read = readProfileFile(path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.profiles.front().name, "äöü");

    ASSERT_TRUE(writeProfileFile(writer, path, read.profiles));
    EXPECT_EQ(fileBytes(path), windowsFile);
}

TEST(ProfileFile, Utf16FileReadsLikeItsWindows1252Form) {
    const std::string utf16 = littleEndian(
        u"<Profillisten Anzahl=\"1\">\r\n"
        u"\t<Profil_1 Frequenz=\"100000\">\r\n\t\täöü &amp; €\r\n\t</Profil_1>\r\n"
        u"</Profillisten>\r\n");
    const TempFolder folder;

    const ProfileRead read = readProfileFile(folder.write("Profile.pro", utf16));

    ASSERT_TRUE(read.ok()) << xml::LoadCodeText(read.load.code);
    EXPECT_EQ(read.profiles, std::vector{profile("äöü & €", withFrequenz(100000))});
}

TEST(ProfileFile, RefusedStoreIsReported) {
    const TempFolder folder;
    DirectFileWriter writer;
    writer.refuse = true;
    EXPECT_FALSE(writeProfileFile(writer, folder.path() / "Profile.pro", defaultProfiles()));
}

TEST(ProfileFile, TellsHowMuchOfTheFileWasRead) {
    std::vector<StoredProfile> profiles(4, profile("p"));
    const std::string whole = profileFileBytes(profiles);
    const auto upTo = [&whole](std::string_view mark) {
        return whole.substr(0, whole.find(mark) + mark.size());
    };
    struct Case {
        std::string name;
        std::string bytes;
        ReadExtent expected;
    };
    const Case cases[] = {
        {"whole", whole, {ListElement::Found, false, 4, PartReason::None}},
        {"cut after an entry",
         upTo("</Profil_2>\r\n"),
         {ListElement::Found, true, 2, PartReason::EndedInsideElement}},
        {"0 byte after an entry",
         upTo("</Profil_2>\r\n") + '\0' + "\t<Profil_3>",
         {ListElement::Found, true, 2, PartReason::EndedAtNul}},
        {"cut inside an entry's start tag",
         upTo("<Profil_3 Frequenz=\""),
         {ListElement::Found, true, 2, PartReason::EndedInsideElement}},
        {"fewer entries than announced",
         "<Profillisten Anzahl=\"3\"><Profil_1/></Profillisten>",
         {ListElement::Found, true, 1, PartReason::FewerThanAnnounced}},
        {"more entries than announced",
         "<Profillisten Anzahl=\"1\"><Profil_1/><Profil_2/></Profillisten>",
         {ListElement::Found, true, 1, PartReason::MoreThanAnnounced}},
        {"UTF-16 name beyond Windows-1252",
         littleEndian(
             u"<Profillisten Anzahl=\"1\"><Profil_1>\u03A9 \u00E4</Profil_1></Profillisten>"),
         {ListElement::Found, true, 1, PartReason::CharactersLost}},
        {"UTF-16 name within Windows-1252",
         littleEndian(
             u"<Profillisten Anzahl=\"1\"><Profil_1>\u20AC \u00E4?</Profil_1></Profillisten>"),
         {ListElement::Found, false, 1, PartReason::None}},
        {"empty", "", {ListElement::Found, true, 0, PartReason::Blank}},
        {"blank", " \r\n\t\r\n", {ListElement::Found, true, 0, PartReason::Blank}},
        {"other top element",
         "<Playlist Anzahl=\"1\"/>",
         {ListElement::Missing, false, 0, PartReason::None}},
        {"declaration first",
         "<?xml version=\"1.0\"?>\r\n" + whole,
         {ListElement::InDeclaration, true, 0, PartReason::EndedInsideElement}},
    };
    const TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProfileRead read = readProfileFile(folder.write("Profile.pro", c.bytes));
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.extent.list, c.expected.list);
        EXPECT_EQ(read.extent.inPart, c.expected.inPart);
        EXPECT_EQ(read.extent.firstNotRead, c.expected.firstNotRead);
        EXPECT_EQ(read.extent.reason, c.expected.reason);
    }
    // A blank file, which no save leaves, starts again from what a new file holds.
    EXPECT_EQ(readProfileFile(folder.write("Profile.pro", " ")).profiles, defaultProfiles());
}

}  // namespace
}  // namespace tavero::store
