// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ctl/InstanceProtocol.h"

namespace tavero::ctl {

/// What a window says when its connect found the generator held by another program of the
/// user.
struct HolderNotice {
    std::string text;  ///< German; names the program and its process
    /// The text asks whether to bring the holder's window to the front (yes or no); otherwise
    /// it only tells (OK).
    bool asksToRaise = false;
};

HolderNotice holderNotice(const HolderIdentity& holder);

}  // namespace tavero::ctl
