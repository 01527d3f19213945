// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary request lines of a local client to the holder's side of the instance
// protocol, which carries them out on the in-process simulated generator, and checks that every
// line the parser takes comes back unchanged from its own formatting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "FuzzServer.h"
#include "ctl/InstanceConversation.h"
#include "ctl/InstanceProtocol.h"

namespace {

void checkRoundTrip(std::string_view text) {
    const std::optional<tavero::ctl::InstanceLine> line = tavero::ctl::parseInstanceLine(text);
    if (!line) {
        return;
    }
    const std::string formatted = tavero::ctl::formatInstanceLine(*line);
    const std::optional<tavero::ctl::InstanceLine> again = tavero::ctl::parseInstanceLine(
        std::string_view(formatted).substr(0, formatted.size() - 1));
    if (!again || again->verb != line->verb || again->fields != line->fields) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Never destroyed: the simulator's own tables may be gone before a static would be.
    static tavero::fuzz::Server& server = *new tavero::fuzz::Server;
    server.generator.clearReceived();
    tavero::ctl::InstanceConversation conversation(
        server.model, {"fuzz", 1, "/dev/fuzz", false}, [] { return true; });
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty() && !conversation.ended()) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        checkRoundTrip(line);
        conversation.answer(line);
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
    }
    return 0;
}
