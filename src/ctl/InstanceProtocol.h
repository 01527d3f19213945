// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/GeneratorSettings.h"
#include "model/Edit.h"

namespace tavero::ctl {

// How tavero-ctl reaches the program that holds the generator, over a local socket: one
// request line, then its answer lines. A line is a verb and `key=value` fields, separated by
// single blanks and ended by LF; values escape blanks, control bytes and '%' as %XX.
//
//   hello version=1                      -> welcome version= pid= program= device= window=
//   open | read | reset | raise          -> message text=...  (each failure, in order)
//   apply fields= commands= restore= settings=                 done ok= lost= firmware= settings=
//
// A request the holder cannot take is answered `refused reason=...`, and the connection ends.

inline constexpr int kInstanceProtocolVersion = 1;
/// The longest line either side sends or takes, LF included, in bytes.
inline constexpr std::size_t kInstanceLineLimit = 2048;
/// The most message lines one answer carries.
inline constexpr std::size_t kInstanceMessageLimit = 16;
/// How long tavero-ctl waits for a whole answer: the holder carries out a request in at most
/// three exchanges of a second each, or is busy with one of its own.
inline constexpr std::chrono::milliseconds kInstanceAnswerTimeout{5000};

/// The socket's file name for the holder of the device at `canonicalDevicePath`: short and
/// free of slashes whatever the path, the same in every build.
std::string instanceSocketName(std::string_view canonicalDevicePath);

/// One line of the protocol.
struct InstanceLine {
    std::string verb;
    std::vector<std::pair<std::string, std::string>> fields;

    /// The value of field `key`, or nothing when the line has none.
    const std::string* find(std::string_view key) const;
    InstanceLine& add(std::string key, std::string value);
};

/// The line with its LF.
std::string formatInstanceLine(const InstanceLine& line);
/// A line without its LF; nothing when it breaks the format.
std::optional<InstanceLine> parseInstanceLine(std::string_view text);

/// The record as comma-separated decimal values in record order.
std::string formatSettings(const GeneratorSettings& settings);
/// Nothing unless every field is there and fits its field.
std::optional<GeneratorSettings> parseSettings(std::string_view text);

/// `apply` with the edit's fields, commands and rule.
InstanceLine applyRequest(const model::Edit& edit);
/// The edit an `apply` carries; nothing when a field is missing or malformed.
std::optional<model::Edit> editOf(const InstanceLine& request);

/// What the holder tells after each request.
struct InstanceOutcome {
    bool ok = false;
    bool lost = false;  ///< the generator was found gone
    std::uint16_t firmwareVersion = 0;
    GeneratorSettings settings;
};

InstanceLine doneLine(const InstanceOutcome& outcome);
/// Nothing when a field is missing or malformed.
std::optional<InstanceOutcome> outcomeOf(const InstanceLine& done);

/// Who holds the generator, as `welcome` tells it.
struct HolderIdentity {
    std::string program;  ///< "tavero", "tavero-ctl serve"
    long long processId = 0;
    std::string device;      ///< the canonical path of the device held
    bool hasWindow = false;  ///< `raise` brings its window to the front
};

InstanceLine welcomeLine(const HolderIdentity& holder);
/// Nothing unless the line is a welcome of this protocol version.
std::optional<HolderIdentity> holderOf(const InstanceLine& welcome);

}  // namespace tavero::ctl
