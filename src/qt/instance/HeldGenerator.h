// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <memory>
#include <ostream>

#include "ctl/InstanceSession.h"

namespace tavero::qt {

/// The generator on one of `devicePaths` (canonical) when another program of the user holds
/// it: a session through that program, not yet open. Null when none does: a socket left behind
/// by a program that was killed is passed over.
std::unique_ptr<ctl::InstanceSession> reachHeldGenerator(const QStringList& devicePaths,
                                                         std::ostream& errors);

/// The program of the user that holds the generator on one of `devicePaths`, introduced, for a
/// window to say who it is and to ask it to bring its window to the front. Null when none
/// does, or when it does not answer.
std::unique_ptr<ctl::InstanceSession> introduceHolder(const QStringList& devicePaths);

}  // namespace tavero::qt
