// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace tavero::ctl {

/// The tool's line for a trace that could not be written, e.g. "tavero-ctl: cannot write the
/// trace out.txt (is not a regular file); the exchanges go on without it".
/// @param error link::TraceFile::kNotRegularFile or the system's error number
std::string traceProblemText(const std::filesystem::path& trace, int error);

}  // namespace tavero::ctl
