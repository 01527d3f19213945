// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "core/GeneratorSettings.h"
#include "model/Edit.h"

namespace tavero::dialogs {

/// Takes the model's `current` values of `fields` into `base`, and into `draft` where the user
/// left them as they were in `base`; the fields taken into `draft`.
model::FieldSet followModel(GeneratorSettings& base, GeneratorSettings& draft,
                            const GeneratorSettings& current, model::FieldSet fields);

/// A dialog's copy of the record: the model's values as the dialog last took them, with the
/// user's changes on top. An edit carries only what the user changed, so a change another front
/// end made meanwhile is never written over with a stale copy.
class DraftRecord {
public:
    explicit DraftRecord(const GeneratorSettings& current) : base_(current), draft_(current) {}

    GeneratorSettings& values() { return draft_; }
    const GeneratorSettings& values() const { return draft_; }

    /// The fields the user changed since the last edit, then `commands`; from now on they
    /// count as the model's.
    model::Edit edit(std::string commands);
    /// Takes the model's `current` values of `fields` where the user left them as they were;
    /// the fields taken.
    model::FieldSet follow(const GeneratorSettings& current, model::FieldSet fields);

private:
    GeneratorSettings base_;
    GeneratorSettings draft_;
};

}  // namespace tavero::dialogs
