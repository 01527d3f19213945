// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>

#include "ctl/RunClock.h"
#include "model/GeneratorModel.h"
#include "qt/remote/RemoteOptions.h"
#include "scpi/Instrument.h"
#include "store/FileWriter.h"
#include "vxi11/PortMapper.h"

namespace tavero::qt {

class FrontPanelServer;
class ScpiServer;
class ServiceAnnouncement;

/// Every network service on one generator model: raw SCPI and VXI-11 with the port mapper,
/// the front panel and the announcement, started together and ended together when destroyed.
class RemoteServices {
public:
    /// What the services work with. The references must outlive them.
    struct Environment {
        model::GeneratorModel& generator;
        std::filesystem::path profileFile;  ///< the window's; empty when there is no data folder
        store::FileWriter& fileWriter;
        ctl::RunClock& clock;      ///< times the task list
        std::ostream& out;         ///< a line for each address served
        std::ostream& errors;      ///< refusals, warnings and the scope hints
        std::string_view program;  ///< names the program in each line on `errors`
    };

    /// Starts the services `options` ask for. Null after saying on `errors` why not, with
    /// `status` 2 for an address that cannot be one, 1 for one that cannot be listened on.
    static std::unique_ptr<RemoteServices> start(const Environment& environment,
                                                 const RemoteOptions& options, int& status);
    /// Takes back the rpcbind registration, saying on `errors` when rpcbind keeps it.
    ~RemoteServices();

    RemoteServices(const RemoteServices&) = delete;
    RemoteServices& operator=(const RemoteServices&) = delete;

private:
    explicit RemoteServices(const Environment& environment);

    Environment env_;
    scpi::InstrumentEnvironment instrumentEnvironment_;
    scpi::Instrument instrument_;
    std::unique_ptr<ScpiServer> server_;
    std::unique_ptr<FrontPanelServer> frontPanel_;
    std::unique_ptr<ServiceAnnouncement> announcement_;
    /// The mapping to unset on exit, when rpcbind took it.
    std::optional<vxi11::PortMapping> registered_;
};

}  // namespace tavero::qt
