#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "link/UsbBridge.h"

namespace tavero::ctl {

/// The commands of `tavero-ctl` on a given bridge. Each returns the process exit status.
class ControlTool {
public:
    /// @param out results, @param errors failures and refusals, @param diagnostics frames
    /// received, @param tracePath file every byte sent is appended to
    ControlTool(link::UsbBridge& bridge, std::ostream& out, std::ostream& errors,
                std::ostream& diagnostics, std::filesystem::path tracePath);

    /// Prints the firmware version and the stored settings as `Key=value` lines.
    int read();
    /// Applies `KEY=VALUE` assignments to the stored settings and sends each group touched.
    int set(const std::vector<std::string>& assignments);

private:
    link::UsbBridge& bridge_;
    std::ostream& out_;
    std::ostream& errors_;
    std::ostream& diagnostics_;
    std::filesystem::path tracePath_;
};

}  // namespace tavero::ctl
