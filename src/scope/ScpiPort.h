// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "scope/Transport.h"

namespace tavero::scope {

/// SCPI exchanges over a transport: commands end with a newline, answers are lines or
/// IEEE 488.2 definite-length blocks. Bytes before an answer that cannot start one (empty lines,
/// NULs, a header before a block) are passed over, as some scopes send them.
class ScpiPort {
public:
    /// Waited for an answer unless said otherwise.
    static constexpr std::chrono::milliseconds kDefaultTimeout{3000};

    explicit ScpiPort(Transport& transport) : transport_(transport) {}

    void write(std::string_view command);
    /// The answer's line without its line end and without blanks around it.
    std::string query(std::string_view command,
                      std::chrono::milliseconds timeout = kDefaultTimeout);
    /// The bytes of the block the answer holds.
    std::string queryBlock(std::string_view command,
                           std::chrono::milliseconds timeout = kDefaultTimeout);

private:
    /// After a time-out the answer may still come and be taken for the next one: what arrives
    /// within a short while is thrown away first.
    void dropLateAnswer();
    void fill(std::chrono::milliseconds timeout);

    Transport& transport_;
    std::string buffer_;
    bool timedOut_ = false;
};

}  // namespace tavero::scope
