// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/network/TcpPortListener.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tavero::qt {

namespace {

/// The kernel's number for a listening socket in /proc/net/tcp.
constexpr std::string_view kListening = "0A";

/// The inode of the socket listening on `port` in one of the kernel's socket tables.
std::optional<std::string> listeningInode(const char* table, std::uint16_t port) {
    std::ifstream file(table);
    std::string line;
    std::getline(file, line);  // the column names
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, user, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> user >>
            timeout >> inode;
        const std::size_t colon = local.rfind(':');
        unsigned localPort = 0;
        if (colon == std::string::npos ||
            std::from_chars(local.data() + colon + 1, local.data() + local.size(), localPort, 16)
                    .ec != std::errc()) {
            continue;
        }
        if (state == kListening && localPort == port) {
            return inode;
        }
    }
    return std::nullopt;
}

/// The process that holds the socket `inode`, as far as this user may look.
std::optional<std::string> processHolding(const std::string& inode) {
    namespace fs = std::filesystem;
    const std::string target = "socket:[" + inode + "]";
    std::error_code error;
    for (const fs::directory_entry& process : fs::directory_iterator("/proc", error)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code unreadable;
        for (const fs::directory_entry& descriptor :
             fs::directory_iterator(process.path() / "fd", unreadable)) {
            std::error_code gone;
            if (fs::read_symlink(descriptor.path(), gone).string() == target) {
                std::ifstream comm(process.path() / "comm");
                std::string name;
                std::getline(comm, name);
                return name + " (pid " + pid + ")";
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> tcpPortListener(std::uint16_t port) {
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        if (const std::optional<std::string> inode = listeningInode(table, port)) {
            return processHolding(*inode).value_or("a program of another user");
        }
    }
    return std::nullopt;
}

}  // namespace tavero::qt
