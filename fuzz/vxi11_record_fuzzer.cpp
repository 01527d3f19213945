// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds an arbitrary TCP stream to the RPC record layer and every record it yields to the
// VXI-11 core and abort channels and the port mapper, over the in-process simulated generator.
// The first byte splits the stream into the reads a socket would give.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzServer.h"
#include "vxi11/CoreService.h"
#include "vxi11/PortMapper.h"
#include "vxi11/RecordReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Never destroyed: the simulator's own tables may be gone before a static would be.
    static tavero::fuzz::Server& server = *new tavero::fuzz::Server;
    static tavero::vxi11::CoreService& service = *new tavero::vxi11::CoreService(server.instrument);
    // The core program twice, as with alternate ports, so GETPORT takes turns.
    static tavero::vxi11::PortMapper mapper(
        {{tavero::vxi11::kCoreProgram, 1, tavero::vxi11::kProtocolTcp, 1024},
         {tavero::vxi11::kCoreProgram, 1, tavero::vxi11::kProtocolTcp, 1025}});
    if (size == 0) {
        return 0;
    }
    const std::size_t readSize = 1 + data[0] % 64;
    std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);
    tavero::vxi11::RecordReader reader(tavero::vxi11::CoreService::kMaxRecordBytes);
    while (!stream.empty() && !reader.tooLong()) {
        const std::size_t taken =
            reader.feed(stream.substr(0, std::min(readSize, reader.wanted())));
        stream.remove_prefix(taken);
        if (reader.complete()) {
            const std::string record = reader.take();
            service.callCore(1, record);
            service.callAbort(record);
            mapper.answer(record);
        }
    }
    service.dropClient(1);
    return 0;
}
