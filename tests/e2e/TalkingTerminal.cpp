// SPDX-License-Identifier: GPL-3.0-or-later
#include "TalkingTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace tavero::testing {

TalkingTerminal::TalkingTerminal(std::string text) : text_(std::move(text)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 || pipe(stop_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    path_ = ptsname(master_);
    slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (slave_ < 0 || tcgetattr(slave_, &settings) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    cfmakeraw(&settings);
    tcsetattr(slave_, TCSANOW, &settings);
    talker_ = std::thread([this] { talk(); });
}

TalkingTerminal::~TalkingTerminal() {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(stop_[1], &byte, 1);
    talker_.join();
    for (const int fd : {master_, slave_, stop_[0], stop_[1]}) {
        close(fd);
    }
}

void TalkingTerminal::talk() {
    std::size_t at = 0;
    for (;;) {
        std::array<pollfd, 2> fds{{{stop_[0], POLLIN, 0}, {master_, POLLIN | POLLOUT, 0}}};
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            std::array<char, 256> dropped{};
            [[maybe_unused]] const ssize_t got = read(master_, dropped.data(), dropped.size());
        }
        if ((fds[1].revents & POLLOUT) != 0) {
            const ssize_t put = write(master_, text_.data() + at, text_.size() - at);
            at = put > 0 ? (at + static_cast<std::size_t>(put)) % text_.size() : at;
        }
    }
}

}  // namespace tavero::testing
