// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <thread>

namespace tavero::testing {

/// A pseudo-terminal whose far end never stops talking: `text` over and over, as another
/// adapter with the generator's ids carrying a GPS module or a board's log would. What is
/// written to it is read and dropped.
class TalkingTerminal {
public:
    explicit TalkingTerminal(std::string text);
    ~TalkingTerminal();

    TalkingTerminal(const TalkingTerminal&) = delete;
    TalkingTerminal& operator=(const TalkingTerminal&) = delete;

    /// The terminal to open, e.g. /dev/pts/5.
    const std::string& path() const { return path_; }

private:
    void talk();

    std::string text_;
    std::string path_;
    int master_ = -1;
    int slave_ = -1;  ///< held open so that the master never sees a hang-up
    int stop_[2] = {-1, -1};
    std::thread talker_;
};

}  // namespace tavero::testing
