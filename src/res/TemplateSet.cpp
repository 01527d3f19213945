// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/TemplateSet.h"

#include <algorithm>

namespace tavero::res {

TemplateSet::TemplateSet(std::initializer_list<const DialogTemplate*> templates)
    : templates_(templates) {}

const DialogTemplate* TemplateSet::find(int dialogId) const {
    const auto it = std::find_if(templates_.begin(), templates_.end(),
                                 [dialogId](const DialogTemplate* t) { return t->id == dialogId; });
    return it == templates_.end() ? nullptr : *it;
}

}  // namespace tavero::res
