// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/CPLLDlg.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "dialogs/signal/DraftRecord.h"
#include "dialogs/signal/InputRefusal.h"
#include "dialogs/signal/RecordField.h"
#include "model/PllStage.h"
#include "model/TypedFields.h"
#include "res/PllTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::pll;

constexpr std::array<RecordField, 2> kFields = {{
    {ids::kTeilungsfaktorEdit, model::kPllFactorField},
    {ids::kOffsetEdit, model::kPllOffsetField},
}};

}  // namespace

CPLLDlg::CPLLDlg(GeneratorSettings& settings, model::GeneratorModel& generator)
    : GeneratorDialog(generator),
      settings_(settings),
      base_(settings),
      texts_{ids::kTeilungsfaktorEdit, ids::kOffsetEdit} {}

model::Edit CPLLDlg::edit() const {
    return model::Edit::fromDraft(base_, settings_, std::string(model::kPllCommands));
}

int CPLLDlg::templateId() const {
    return ids::kDialogId;
}

void CPLLDlg::onInit() {
    pendingFactor_ = static_cast<std::int32_t>(settings_.pllFaktor);
    pendingOffset_ = settings_.pllOffset;
    texts_[ids::kTeilungsfaktorEdit] = model::kPllFactorField.show(settings_.pllFaktor);
    texts_[ids::kOffsetEdit] = model::kPllOffsetField.show(settings_.pllOffset);
    texts_.writeTo(window());
    for (const int id : {ids::kTeilungsfaktorEdit, ids::kOffsetEdit}) {
        window().setTextInEffect(id, texts_[id]);
    }
}

bool CPLLDlg::onEnterKey() {
    texts_.readFrom(window());
    const std::optional<int> focus = window().focus();
    // An accepted value takes effect when the dialog closes; until then it is the one in effect.
    const bool accepted = (focus == ids::kTeilungsfaktorEdit && checkFactor()) ||
                          (focus == ids::kOffsetEdit && checkOffset());
    texts_.writeTo(window());
    if (accepted) {
        window().setTextInEffect(*focus, texts_[*focus]);
    }
    return false;
}

void CPLLDlg::showChange(const model::SettingsNotice& notice) {
    showChangedFields(kFields, followModel(base_, settings_, settings(), notice.fields), settings_,
                      texts_, window());
}

void CPLLDlg::onCancel() {
    texts_.readFrom(window());
    const bool valid = checkFactor() && checkOffset() && applyStage();
    texts_.writeTo(window());
    if (valid) {
        window().endDialog(res::kIdCancel);
    }
}

bool CPLLDlg::checkFactor() {
    std::string& text = texts_[ids::kTeilungsfaktorEdit];
    if (const std::optional<std::int64_t> factor = model::kPllFactorField.accept(text)) {
        // An accepted factor keeps the text as typed.
        pendingFactor_ = static_cast<std::int32_t>(*factor);
        return true;
    }
    refuseInput(host(), model::kPllFactorField.refusal);
    text = model::kPllFactorField.show(settings_.pllFaktor);
    return false;
}

bool CPLLDlg::checkOffset() {
    std::string& text = texts_[ids::kOffsetEdit];
    if (const std::optional<std::int64_t> offset = model::kPllOffsetField.accept(text)) {
        pendingOffset_ = static_cast<std::int32_t>(*offset);
        text = model::kPllOffsetField.show(*offset);
        return true;
    }
    refuseInput(host(), model::kPllOffsetField.refusal);
    text = model::kPllOffsetField.show(settings_.pllOffset);
    return false;
}

bool CPLLDlg::applyStage() {
    const std::variant<GeneratorSettings, std::string> staged =
        model::withPllStage(settings_, static_cast<std::uint32_t>(pendingFactor_), pendingOffset_);
    if (const auto* refusal = std::get_if<std::string>(&staged)) {
        refuseInput(host(), *refusal, model::kPllRefusalCaption);
        texts_[ids::kTeilungsfaktorEdit] = model::kPllFactorField.show(settings_.pllFaktor);
        texts_[ids::kOffsetEdit] = model::kPllOffsetField.show(settings_.pllOffset);
        return false;
    }
    settings_ = std::get<GeneratorSettings>(staged);
    return true;
}

}  // namespace tavero::dialogs
