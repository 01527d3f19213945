// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/TraceProblemText.h"

#include <system_error>

#include "link/TraceFile.h"

namespace tavero::ctl {

std::string traceProblemText(const std::filesystem::path& trace, int error) {
    const std::string reason = error == link::TraceFile::kNotRegularFile
                                   ? "is not a regular file"
                                   : std::generic_category().message(error);
    return "tavero-ctl: cannot write the trace " + trace.string() + " (" + reason +
           "); the exchanges go on without it";
}

}  // namespace tavero::ctl
