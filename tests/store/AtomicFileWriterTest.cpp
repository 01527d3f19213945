// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ios>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "store/AtomicFileWriter.h"

namespace tavero::store {
namespace {

namespace fs = std::filesystem;

/// Runs `work` in a child process and gives its exit status, or 128 + the signal that ended it.
/// The child reports only through that status: no test assertion may run in it.
int statusOfChild(const std::function<int()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
        _exit(work());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Exit statuses of the children below: 0 for success, else the reported errno.
constexpr int kReportedSuccess = 0;
constexpr int kCouldNotDropPrivileges = 255;

int statusOf(const SaveResult& result) {
    return result ? kReportedSuccess : result.reason().value();
}

class AtomicFileWriterTest : public testing::Test {
protected:
    AtomicFileWriterTest() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("tavero-atomic-") + test->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        target_ = folder_ / "Profile.pro";
    }
    ~AtomicFileWriterTest() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }

    void writeDirectly(const std::string& bytes) const {
        std::ofstream(target_, std::ios::binary) << bytes;
    }
    std::string targetBytes() const {
        std::ifstream in(target_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    fs::path folder_;
    fs::path target_;
    AtomicFileWriter writer_;
};

TEST_F(AtomicFileWriterTest, CreatesAndReplacesTheFileLeavingNothingBeside) {
    ASSERT_TRUE(writer_.replaceFile(target_, "first\r\n"));
    EXPECT_EQ(targetBytes(), "first\r\n");

    ASSERT_TRUE(writer_.replaceFile(target_, "second, longer\r\n"));
    EXPECT_EQ(targetBytes(), "second, longer\r\n");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"Profile.pro"});
}

TEST_F(AtomicFileWriterTest, MissingFolderFailsWithItsReason) {
    const SaveResult result = writer_.replaceFile(folder_ / "Profile" / "Profile.pro", "x");
    EXPECT_EQ(result.reason(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(result.file(), folder_ / "Profile");
}

TEST_F(AtomicFileWriterTest, ASymbolicLinkStaysAndItsTargetIsReplaced) {
    writeDirectly("old");
    const fs::path link = folder_ / "link.pro";
    fs::create_symlink(target_, link);
    ASSERT_TRUE(writer_.replaceFile(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(targetBytes(), "new");
}

TEST_F(AtomicFileWriterTest, ReadOnlyFolderWritesAWritableFileInPlaceAndRestoresItOnFailure) {
    const fs::perms writable = fs::perms::owner_read | fs::perms::owner_write |
                               fs::perms::group_read | fs::perms::group_write |
                               fs::perms::others_read | fs::perms::others_write;
    const fs::perms readOnly =
        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const std::string old(6000, 'o');
    struct Case {
        const char* name;
        fs::perms fileMode;
        std::string bytes;
        int expectedStatus;
        bool expectNew;
    };
    // The limit on the file size stands for a full disk: the write fails where the file grows.
    const Case cases[] = {
        {"shorter", writable, "new", kReportedSuccess, true},
        {"longer", writable, std::string(7000, 'n'), kReportedSuccess, true},
        {"file read-only", readOnly, "new", EACCES, false},
        {"growth refused", writable, std::string(20000, 'n'), EFBIG, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::add);
        writeDirectly(old);
        fs::permissions(target_, c.fileMode);
        fs::permissions(folder_,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);

        const int status = statusOfChild([this, &c] {
            // Permissions do not stop root: the save runs as an ordinary user instead, for whom
            // the folder refuses the temporary file with EACCES as it would for any user.
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
                return kCouldNotDropPrivileges;
            }
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{16384, 16384};
            setrlimit(RLIMIT_FSIZE, &limit);
            return statusOf(writer_.replaceFile(target_, c.bytes));
        });

        EXPECT_EQ(status, c.expectedStatus);
        EXPECT_EQ(targetBytes(), c.expectNew ? c.bytes : old);
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"Profile.pro"});
    }
}

TEST_F(AtomicFileWriterTest, WriteCutShortByTheFileSizeLimitFailsAndKeepsTheOldFile) {
    writeDirectly("old");

    const int status = statusOfChild([this] {
        // Past the limit a write fails with EFBIG, as on a full disk, instead of raising a signal.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string bytes(256 * 1024, 'n');
        return statusOf(writer_.replaceFile(target_, bytes));
    });

    EXPECT_EQ(status, EFBIG);
    EXPECT_EQ(targetBytes(), "old");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"Profile.pro"});
}

TEST_F(AtomicFileWriterTest, SaveKilledAtAnyPointLeavesTheOldOrTheNewFileWhole) {
    // Large enough that most kills land inside a save.
    const std::string first(512 * 1024, 'a');
    const std::string second = std::string(300 * 1024, 'b') + "end";
    writeDirectly(first);

    for (int round = 0; round < 40; ++round) {
        int saved[2];
        ASSERT_EQ(pipe(saved), 0);
        const pid_t pid = fork();
        if (pid == 0) {
            close(saved[0]);
            for (unsigned n = 0;; ++n) {
                writer_.replaceFile(target_, n % 2 == 0 ? second : first);
                if (write(saved[1], "s", 1) != 1) {
                    _exit(0);
                }
            }
        }
        close(saved[1]);
        // Kill after a varying number of completed saves, while the next one is under way.
        char done[4];
        const auto completed = static_cast<std::size_t>(round % 4 + 1);
        std::size_t got = 0;
        while (got < completed) {
            const ssize_t n = read(saved[0], done + got, completed - got);
            ASSERT_GT(n, 0);
            got += static_cast<std::size_t>(n);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        close(saved[0]);

        const std::string bytes = targetBytes();
        ASSERT_TRUE(bytes == first || bytes == second)
            << "round " << round << ": " << bytes.size() << " bytes";
    }
    // Whatever a kill left beside the file, the next save removes.
    ASSERT_TRUE(writer_.replaceFile(target_, "last"));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"Profile.pro"});
}

TEST_F(AtomicFileWriterTest, ASaveRemovesOnlyTheTemporaryFilesOfItsFileThatDeadProcessesLeft) {
    const pid_t dead = fork();
    if (dead == 0) {
        _exit(0);
    }
    waitpid(dead, nullptr, 0);
    const std::string live = std::to_string(getpid());
    const std::string gone = std::to_string(dead);
    for (const std::string& name :
         {"Profile.pro.new-" + gone + "-3", "Profile.pro.new-" + live + "-999",
          "Other.pro.new-" + gone + "-0", std::string("Profile.pro.new-x-1")}) {
        std::ofstream(folder_ / name) << "left";
    }

    ASSERT_TRUE(writer_.replaceFile(target_, "new"));

    std::vector<std::string> names = folderEntries();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Other.pro.new-" + gone + "-0", "Profile.pro",
                                               "Profile.pro.new-" + live + "-999",
                                               "Profile.pro.new-x-1"}));
}

/// The access ACL of a file as the system stores it; empty when it has none.
std::string accessAcl(const fs::path& path) {
    std::string acl(256, '\0');
    const ssize_t size = getxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size());
    acl.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    return acl;
}

/// An access ACL that also lets user 1000 read: owner rw, user 1000 r, group rw, mask rw,
/// others nothing (mode 0660), in the system's little-endian xattr form.
std::string aclWithOneUser() {
    std::string acl;
    const auto put = [&acl](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            acl += static_cast<char>((value >> (8 * i)) & 0xFF);
        }
    };
    put(2, 4);  // version
    const std::uint32_t entries[][3] = {{0x01, 6, 0xFFFFFFFF},
                                        {0x02, 4, 1000},
                                        {0x04, 6, 0xFFFFFFFF},
                                        {0x10, 6, 0xFFFFFFFF},
                                        {0x20, 0, 0xFFFFFFFF}};
    for (const auto& entry : entries) {
        put(entry[0], 2);
        put(entry[1], 2);
        put(entry[2], 4);
    }
    return acl;
}

TEST_F(AtomicFileWriterTest, ASaveAndABackupKeepTheFilesOwnerGroupModeAndAcl) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "files of other users need root";
    }
    constexpr uid_t kNobody = 65534;
    struct Case {
        const char* name;
        uid_t owner;
        gid_t group;
        fs::perms mode;
        bool withAcl;
        uid_t savedBy;
    };
    const Case cases[] = {
        {"another user's private file", kNobody, kNobody, fs::perms(0600), false, 0},
        {"a file shared by an ACL", kNobody, 0, fs::perms(0660), true, 0},
        {"root's file that another user may write", 0, 0, fs::perms(0666), false, kNobody},
    };
    fs::permissions(folder_, fs::perms::all);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(folder_ / "Profile.pro.bak");
        fs::remove(target_);
        writeDirectly("old");
        ASSERT_EQ(chown(target_.c_str(), c.owner, c.group), 0);
        fs::permissions(target_, c.mode);
        const std::string acl = c.withAcl ? aclWithOneUser() : std::string();
        if (c.withAcl) {
            ASSERT_EQ(
                setxattr(target_.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
        }

        const int status = statusOfChild([this, &c] {
            if (c.savedBy != 0 && (setgid(c.savedBy) != 0 || setuid(c.savedBy) != 0)) {
                return kCouldNotDropPrivileges;
            }
            const SaveResult backup =
                writer_.replaceFileLike(folder_ / "Profile.pro.bak", "old", target_);
            return backup ? statusOf(writer_.replaceFile(target_, "new")) : statusOf(backup);
        });

        EXPECT_EQ(status, kReportedSuccess);
        EXPECT_EQ(targetBytes(), "new");
        for (const fs::path& file : {target_, folder_ / "Profile.pro.bak"}) {
            SCOPED_TRACE(file.filename().string());
            struct stat saved {};
            ASSERT_EQ(stat(file.c_str(), &saved), 0);
            // A backup that another user makes is that user's: only root gives files away.
            const bool givenAway = c.savedBy == 0 || file == target_;
            EXPECT_EQ(saved.st_uid, givenAway ? c.owner : c.savedBy);
            EXPECT_EQ(saved.st_gid, givenAway ? c.group : c.savedBy);
            EXPECT_EQ(fs::perms(saved.st_mode & 07777), c.mode);
            EXPECT_EQ(accessAcl(file), acl);
        }
        EXPECT_EQ(folderEntries().size(), 2U);
    }
}

}  // namespace
}  // namespace tavero::store
