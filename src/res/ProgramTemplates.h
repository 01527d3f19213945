// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "res/TemplateSet.h"

namespace tavero::res {

/// The templates of the program's dialogs.
const TemplateSet& programTemplates();

}  // namespace tavero::res
