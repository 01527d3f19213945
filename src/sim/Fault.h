// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavero::sim {

/// What can go wrong with a reply of the simulated generator.
enum class Fault : std::uint8_t {
    kNoReply,      ///< the command is carried out, but no reply is sent
    kWrongLetter,  ///< the reply echoes the letter with its case changed
    kNak,          ///< the command is refused: letter and 0x15, nothing changes
    kBadCrc,       ///< every bit of the reply's CRC is flipped
    kNoise,        ///< bytes that are not a start byte come before the reply frame
    kCutShort,     ///< the reply's last line byte never comes
    kSlowBytes,    ///< the reply bytes come further apart than any read time-out
    kUnplug,       ///< the generator vanishes from the USB instead of answering
};

inline constexpr std::size_t kFaultCount = 8;

/// The name used on the command line, e.g. "no-reply".
std::string_view faultName(Fault fault);
std::optional<Fault> faultFromName(std::string_view name);

/// Faults that act on one reply together.
class FaultSet {
public:
    void insert(Fault fault) { bits_ |= bit(fault); }
    bool contains(Fault fault) const { return (bits_ & bit(fault)) != 0; }
    bool empty() const { return bits_ == 0; }

private:
    static unsigned bit(Fault fault) { return 1U << static_cast<unsigned>(fault); }
    unsigned bits_ = 0;
};

/// A request to damage replies: which fault, for which command, how often.
struct FaultRule {
    /// `count` value for a rule that never runs out.
    static constexpr int kUnlimited = -1;

    Fault kind = Fault::kNoReply;
    std::optional<char> letter;  ///< only replies to this command; every command when empty
    int count = kUnlimited;      ///< replies it acts on

    friend bool operator==(const FaultRule&, const FaultRule&) = default;
};

/// Reads "KIND[:LETTER[:COUNT]]", e.g. "no-reply", "nak:f", "wrong-letter:x:1", "noise::3".
/// An empty LETTER or "*" means every command; without COUNT the rule never runs out.
std::optional<FaultRule> parseFaultRule(std::string_view text);

}  // namespace tavero::sim
