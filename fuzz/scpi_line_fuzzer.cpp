// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary network lines to the SCPI parser and command tree, which carry them out on the
// in-process simulated generator. Every line of the input is one line of a client.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzServer.h"

using tavero::fuzz::Server;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Never destroyed: the simulator's own tables may be gone before a static would be.
    static Server& server = *new Server;
    server.generator.clearReceived();
    tavero::scpi::ErrorQueue client;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        server.instrument.execute(client, input.substr(0, end),
                                  {tavero::model::FrontEnd::kScpi, "fuzz"});
        input = end == std::string_view::npos ? std::string_view{} : input.substr(end + 1);
        server.instrument.advanceTaskList();
    }
    return 0;
}
