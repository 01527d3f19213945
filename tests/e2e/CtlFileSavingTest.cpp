// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "ChildProcess.h"

// tavero-ctl saving the profile file as a user meets it: full disks, folders that take no new
// file, files it reads only in part and two stores at once, each against the simulator built
// into the tool.

namespace tavero::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenProfiles = fs::path(TAVERO_STORE_GOLDEN_DIR) / "Profile.pro";

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CtlFileSaving : public ::testing::Test {
protected:
    CtlFileSaving() {
        fs::remove_all(folder_);
        fs::create_directories(profileFile_.parent_path());
    }
    ~CtlFileSaving() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    /// tavero-ctl on its own simulator, with the test's data folder.
    Finished ctl(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {"/usr/bin/env", "LC_ALL=C",
                                         "XDG_DATA_HOME=" + folder_.string(), TAVERO_CTL_PATH,
                                         "--simulator"};
        argv.insert(argv.end(), args.begin(), args.end());
        return runProgram(argv);
    }

    void writeProfileFile(std::string_view bytes) const {
        std::ofstream(profileFile_, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    const fs::path folder_ = fs::temp_directory_path() /
                             (std::string("tavero-ctl-saving-") +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const fs::path profileFile_ = folder_ / "Tavero" / "Profile" / "Profile.pro";
};

/// Why a small tmpfs cannot be mounted here, or nothing when it can.
std::string whyNoTmpfs(const fs::path& mountPoint) {
    const Finished probe =
        runProgram({"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/sh", "-c",
                    "mount -t tmpfs -o size=64k probe \"$0\"", mountPoint.string()});
    return probe.exitStatus == 0 ? "" : "unshare -m and mount -t tmpfs: " + probe.err;
}

TEST_F(CtlFileSaving, AFailedStoreSaysWhyAndLeavesTheFileAsItWas) {
    const fs::path dataFolder = folder_ / "data";
    const fs::path work = folder_ / "work";
    fs::create_directories(dataFolder);
    fs::create_directories(work);
    fs::permissions(work, fs::perms::all | fs::perms::sticky_bit);
    if (const std::string why = whyNoTmpfs(dataFolder); !why.empty()) {
        GTEST_SKIP() << "a full disk is made by a 64 KiB tmpfs, which needs root here: " << why;
    }
    constexpr std::string_view kFullDisk = "head -c 1M /dev/zero > \"$D/fill\" 2>/dev/null || :\n";
    constexpr std::string_view kFolderRefuses =
        "chmod 0666 \"$P\"; chmod 0555 \"$D/Tavero/Profile\"\n";
    constexpr std::string_view kFileReadOnly =
        "chmod 0444 \"$P\"; chmod 0555 \"$D/Tavero/Profile\"\n";
    constexpr std::string_view kReadInPart = "head -c 15000 \"$GOLDEN\" > \"$P\"\n";
    struct Case {
        const char* name;
        std::string prepare;
        bool asOrdinaryUser;  ///< for whom the folder's and the file's permissions hold
        int exitStatus;
        const char* reason;
        const char* fileAfter;
    };
    const Case cases[] = {
        {"full disk", std::string(kFullDisk), false, 1, "No space left on device", "old"},
        {"full disk, part read", std::string(kReadInPart) + std::string(kFullDisk), false, 1,
         "Profile.pro.bak: No space left on device", "old"},
        {"folder refuses", std::string(kFolderRefuses), true, 0, "", "new"},
        {"folder refuses, full disk", std::string(kFolderRefuses) + std::string(kFullDisk), true, 1,
         "No space left on device", "old"},
        {"folder and file refuse", std::string(kFileReadOnly), true, 1, "Permission denied", "old"},
    };
    // A name long enough that the file outgrows the pages it has.
    const std::string longName(6000, 'x');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string script =
            "set -e\nD=$1 W=$2 GOLDEN=$3 CTL=$4 NAME=$5\n"
            "mount -t tmpfs -o size=64k tavero-test \"$D\"\n"
            "mkdir -p \"$D/Tavero/Profile\"\nP=\"$D/Tavero/Profile/Profile.pro\"\n"
            "cp \"$GOLDEN\" \"$P\"\ncd \"$W\"\n" +
            c.prepare + "cp \"$P\" before\nset +e\n" +
            (c.asOrdinaryUser ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "") +
            "env LC_ALL=C XDG_DATA_HOME=\"$D\" \"$CTL\" --simulator store 2 "
            "\"$NAME\" 2>&1\n"
            "status=$?\necho\necho \"exit=$status\"\n"
            "if cmp -s before \"$P\"; then echo file=old; else echo file=new; fi\n"
            "ls -A \"$D/Tavero/Profile\"\n";
        const Finished run =
            runProgram({"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/sh", "-c",
                        script, "sh", dataFolder.string(), work.string(), kGoldenProfiles.string(),
                        TAVERO_CTL_PATH, longName});
        EXPECT_NE(run.out.find("\nexit=" + std::to_string(c.exitStatus) + "\n"), std::string::npos)
            << run.out << run.err;
        EXPECT_NE(run.out.find(c.reason), std::string::npos) << run.out;
        // Nothing beside the file: no backup, no temporary file.
        EXPECT_TRUE(run.out.ends_with(std::string("\nfile=") + c.fileAfter + "\nProfile.pro\n"))
            << run.out;
    }
}

TEST_F(CtlFileSaving, TwoStoresAtOnceKeepBothNames) {
    ASSERT_EQ(ctl({"profiles"}).exitStatus, 0);
    // Each round starts both stores at once and then prints the first two rows.
    const std::string script =
        "for i in $(seq 20); do\n"
        "  env LC_ALL=C XDG_DATA_HOME=\"$1\" \"$2\" --simulator store 1 \"A$i\" &\n"
        "  env LC_ALL=C XDG_DATA_HOME=\"$1\" \"$2\" --simulator store 2 \"B$i\" &\n"
        "  wait\n"
        "  env LC_ALL=C XDG_DATA_HOME=\"$1\" \"$2\" --simulator profiles | head -n 2\n"
        "done\n";
    const Finished run =
        runProgram({"/bin/sh", "-c", script, "sh", folder_.string(), TAVERO_CTL_PATH});
    std::string expected;
    for (int i = 1; i <= 20; ++i) {
        expected += "1: A" + std::to_string(i) + "\n2: B" + std::to_string(i) + "\n";
    }
    EXPECT_EQ(run.out, expected) << run.err;
}

TEST_F(CtlFileSaving, AFileReadInPartIsKeptAsBakAtTheFirstStoreAndTheToolSaysWhy) {
    std::string utf16 = "\xFF\xFE";
    for (const char16_t unit :
         std::u16string_view(u"<Profillisten Anzahl=\"1\"><Profil_1>\u03A9 \u0416</Profil_1>"
                             u"</Profillisten>")) {
        utf16 += static_cast<char>(unit & 0xFF);
        utf16 += static_cast<char>(unit >> 8);
    }
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"Anzahl below the entries held",
         "<Profillisten Anzahl=\"1\"><Profil_1>Eins</Profil_1><Profil_2>Zwei</Profil_2>"
         "</Profillisten>",
         "it holds more entries than Anzahl announces"},
        {"UTF-16 names beyond Windows-1252", utf16, "characters that Windows-1252 cannot hold"},
        {"0 bytes", "", "it is empty or blank"},
        {"blank", " \r\n\t\r\n", "it is empty or blank"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(fs::path(profileFile_) += ".bak");
        writeProfileFile(c.bytes);

        const Finished store = ctl({"store", "1", "Neu"});

        EXPECT_EQ(store.exitStatus, 0) << store.err;
        EXPECT_NE(store.err.find(c.reason), std::string::npos) << store.err;
        EXPECT_EQ(fileBytes(fs::path(profileFile_) += ".bak"), c.bytes);
        EXPECT_EQ(ctl({"profiles"}).out.substr(0, 7), "1: Neu\n");
    }
    // A blank file reads as what a new one holds.
    writeProfileFile("");
    const Finished profiles = ctl({"profiles"});
    EXPECT_EQ(profiles.exitStatus, 0);
    EXPECT_TRUE(profiles.out.ends_with("\n50: -- leeres Profil --\n")) << profiles.out;
}

TEST_F(CtlFileSaving, AFileOfTooManyElementsIsRefusedWithTheReason) {
    std::string bytes = "<Profillisten Anzahl=\"1\">";
    for (int i = 0; i < 1'000'001; ++i) {
        bytes += "<a/>";
    }
    writeProfileFile(bytes + "</Profillisten>");
    const fs::path taskList = folder_ / "list.tvr";
    fs::copy_file(profileFile_, taskList);

    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"profiles"}, {"play", taskList.string()}}) {
        SCOPED_TRACE(args.front());
        const Finished run = ctl(args);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.err.find(": Error: More than 1000000 elements\n"), std::string::npos)
            << run.err;
    }
}

}  // namespace
}  // namespace tavero::testing
