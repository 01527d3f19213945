// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <vector>

#include "res/DialogTemplate.h"

namespace tavero::res {

/// Dialog templates found by dialog id. The hosts take one: the program's own set
/// (programTemplates()) or, in tests, a set of test templates.
class TemplateSet {
public:
    /// The templates must outlive the set; a later template does not replace an earlier one of
    /// the same id.
    TemplateSet(std::initializer_list<const DialogTemplate*> templates);

    /// The template of the dialog, or nullptr.
    const DialogTemplate* find(int dialogId) const;

    const std::vector<const DialogTemplate*>& all() const { return templates_; }

private:
    std::vector<const DialogTemplate*> templates_;
};

}  // namespace tavero::res
