// SPDX-License-Identifier: GPL-3.0-or-later
#include "res/DialogTemplate.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace tavero::res {
namespace {

const MenuItem* findCommandIn(std::span<const MenuItem> items, int id) {
    for (const MenuItem& item : items) {
        if (item.isCommand() && item.id == id) {
            return &item;
        }
        if (const MenuItem* found = findCommandIn(item.items, id)) {
            return found;
        }
    }
    return nullptr;
}

std::optional<std::string> duplicateMenuId(std::span<const MenuItem> items, std::set<int>& seen) {
    for (const MenuItem& item : items) {
        if (item.isCommand() && !seen.insert(item.id).second) {
            return "menu command id " + std::to_string(item.id) + " is used twice";
        }
        if (auto fault = duplicateMenuId(item.items, seen)) {
            return fault;
        }
    }
    return std::nullopt;
}

struct StyleFit {
    style::Flags flag;
    std::string_view name;
    bool (*fits)(ControlKind);
};

constexpr StyleFit kStyleFits[] = {
    {style::kGroupStart, "group start",
     [](ControlKind k) { return k == ControlKind::RadioButton; }},
    {style::kDefault, "default", [](ControlKind k) { return k == ControlKind::Button; }},
    {style::kMultiLine, "multi-line", [](ControlKind k) { return k == ControlKind::Button; }},
    {style::kDigitsOnly, "digits only", [](ControlKind k) { return k == ControlKind::Edit; }},
    {style::kReadOnly, "read-only", [](ControlKind k) { return k == ControlKind::Edit; }},
    {style::kAlignRight, "right-aligned",
     [](ControlKind k) { return k == ControlKind::Edit || k == ControlKind::Label; }},
    {style::kAlignCenter, "centred", [](ControlKind k) { return k == ControlKind::Label; }},
    {style::kTickLabel, "tick label", [](ControlKind k) { return k == ControlKind::Label; }},
    {style::kVertical, "vertical",
     [](ControlKind k) { return k == ControlKind::Trackbar || k == ControlKind::ScrollBar; }},
};

std::string describe(const ControlTemplate& control) {
    return std::string(kindName(control.kind)) + " " + std::to_string(control.id);
}

}  // namespace

const ControlTemplate* findControl(const DialogTemplate& dialog, int id) {
    if (id == kNoId) {
        return nullptr;
    }
    const auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                 [id](const ControlTemplate& c) { return c.id == id; });
    return it == dialog.controls.end() ? nullptr : &*it;
}

const MenuItem* findMenuCommand(const DialogTemplate& dialog, int id) {
    return findCommandIn(dialog.menu, id);
}

const ControlTemplate* findDefaultButton(const DialogTemplate& dialog) {
    const auto it = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                 [](const ControlTemplate& c) { return c.has(style::kDefault); });
    return it == dialog.controls.end() ? nullptr : &*it;
}

std::vector<int> radioGroup(const DialogTemplate& dialog, int radioId) {
    const auto controls = dialog.controls;
    const auto self = std::find_if(controls.begin(), controls.end(), [radioId](const auto& c) {
        return c.id == radioId && c.kind == ControlKind::RadioButton;
    });
    if (radioId == kNoId || self == controls.end()) {
        return {};
    }
    auto first = self;
    while (!first->has(style::kGroupStart) && first != controls.begin() &&
           std::prev(first)->kind == ControlKind::RadioButton) {
        --first;
    }
    std::vector<int> group;
    for (auto it = first; it != controls.end() && it->kind == ControlKind::RadioButton; ++it) {
        if (it != first && it->has(style::kGroupStart)) {
            break;
        }
        group.push_back(it->id);
    }
    return group;
}

std::optional<std::string> templateFault(const DialogTemplate& dialog) {
    std::set<int> ids;
    int defaultButtons = 0;
    for (const ControlTemplate& control : dialog.controls) {
        if (control.id != kNoId && !ids.insert(control.id).second) {
            return "control id " + std::to_string(control.id) + " is used twice";
        }
        for (const StyleFit& fit : kStyleFits) {
            if (control.has(fit.flag) && !fit.fits(control.kind)) {
                return describe(control) + " cannot have the style " + std::string(fit.name);
            }
        }
        defaultButtons += control.has(style::kDefault) ? 1 : 0;
    }
    if (defaultButtons > 1) {
        return std::string("more than one default button");
    }
    for (const ControlTemplate& control : dialog.controls) {
        if (control.kind != ControlKind::SpinControl || control.buddy == kNoId) {
            continue;
        }
        const ControlTemplate* buddy = findControl(dialog, control.buddy);
        if (buddy == nullptr || buddy->kind != ControlKind::Edit) {
            return describe(control) + " has a buddy that is not an edit of the dialog";
        }
    }
    std::set<int> menuIds;
    return duplicateMenuId(dialog.menu, menuIds);
}

}  // namespace tavero::res
