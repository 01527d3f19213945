// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/Discovery.h"

#include <lxi.h>

#include <algorithm>
#include <mutex>
#include <string_view>

#include "scope/LxiTransport.h"
#include "scope/ResourceName.h"

namespace tavero::scope {

namespace {

// liblxi's callbacks carry no context of their own: the search under way collects here.
std::mutex searching;
std::vector<FoundInstrument>* found = nullptr;

void add(FoundInstrument instrument) {
    if (std::find(found->begin(), found->end(), instrument) == found->end()) {
        found->push_back(std::move(instrument));
    }
}

extern "C" void onDevice(const char* address, const char* id) {
    add({vxi11ResourceName(address), id});
}

extern "C" void onService(const char* address, const char* id, const char* service, int port) {
    const std::string_view name = service;
    if (name.find("scpi-raw") != std::string_view::npos) {
        add({"TCPIP::" + std::string(address) + "::" + std::to_string(port) + "::SOCKET", id});
    } else {
        add({vxi11ResourceName(address), id});
    }
}

}  // namespace

std::vector<FoundInstrument> discoverInstruments(std::chrono::milliseconds timeout) {
    const std::lock_guard lock(searching);
    initialiseLxi();
    std::vector<FoundInstrument> instruments;
    found = &instruments;
    lxi_info_t info{};
    info.device = onDevice;
    info.service = onService;
    const int milliseconds = static_cast<int>(timeout.count());
    lxi_discover(&info, milliseconds, DISCOVER_VXI11);
    lxi_discover(&info, milliseconds, DISCOVER_MDNS);
    found = nullptr;
    return instruments;
}

}  // namespace tavero::scope
