// SPDX-License-Identifier: GPL-3.0-or-later
#include "scope/ScopeConnection.h"

#include <stdexcept>
#include <utility>

#include "scope/KeysightScope.h"
#include "scope/LxiTransport.h"
#include "scope/ResourceName.h"
#include "scope/RigolScope.h"
#include "scope/ScpiPort.h"
#include "scope/SiglentScope.h"
#include "scope/SocketTransport.h"
#include "scope/UsbtmcTransport.h"

namespace tavero::scope {

namespace {

/// How long connecting may take.
constexpr std::chrono::milliseconds kConnectTimeout{5000};

std::unique_ptr<Transport> openTransport(const Resource& resource) {
    switch (resource.kind) {
        case Resource::Kind::kUsbtmc:
            return std::make_unique<UsbtmcTransport>(resource.path);
        case Resource::Kind::kSocket:
            return std::make_unique<SocketTransport>(resource.host, resource.port, kConnectTimeout);
        case Resource::Kind::kVxi11:
            break;
    }
    return std::make_unique<LxiTransport>(resource, kConnectTimeout);
}

std::unique_ptr<measure::Oscilloscope> driverFor(const ScopeModel& model,
                                                 std::unique_ptr<Transport> transport) {
    switch (model.dialect) {
        case Dialect::kRigol:
            return std::make_unique<RigolScope>(std::move(transport), model.limits, "RPHase");
        case Dialect::kRigolDho:
            return std::make_unique<RigolScope>(std::move(transport), model.limits, "RRPHase");
        case Dialect::kSiglent:
        case Dialect::kSiglentMeasure:
            return std::make_unique<SiglentScope>(std::move(transport), model.limits,
                                                  model.dialect == Dialect::kSiglentMeasure);
        case Dialect::kKeysight:
        case Dialect::kGeneric:
            break;
    }
    return std::make_unique<KeysightScope>(std::move(transport), model.limits,
                                           model.dialect == Dialect::kKeysight);
}

}  // namespace

ScopeConnection connectScope(std::string_view resourceName) {
    const std::optional<Resource> resource = parseResource(resourceName);
    if (!resource) {
        throw std::invalid_argument("'" + std::string(resourceName) +
                                    "' is no resource of the forms TCPIP::HOST::INSTR, "
                                    "TCPIP::HOST::PORT::SOCKET or /dev/usbtmcN");
    }
    std::unique_ptr<Transport> transport = openTransport(*resource);
    ScopeConnection connection;
    connection.identity = ScpiPort(*transport).query("*IDN?");
    connection.model = identifyScope(connection.identity);
    connection.scope = driverFor(connection.model, std::move(transport));
    return connection;
}

}  // namespace tavero::scope
