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

}  // namespace tavero::qt
