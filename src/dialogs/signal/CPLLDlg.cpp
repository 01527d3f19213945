// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/CPLLDlg.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/NumberText.h"
#include "core/SettingsLimits.h"
#include "dialogs/signal/DraftRecord.h"
#include "dialogs/signal/InputRefusal.h"
#include "dialogs/signal/RecordField.h"
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

constexpr std::string_view kInputErrorCaption = "Eingabefehler";
constexpr std::string_view kLeastFrequencyRefusal =
    "Für den eingegebenen Offset, ist eine Mininalfrequenz\nvon größer als 30 MHz notwendig\n\n"
    "Erhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.";

/// The refusal of a least frequency above `Maximalfrequenz` (in 0.01 Hz), which would leave the
/// output no frequency to take.
std::string aboveMaximumRefusal(std::uint32_t maximalfrequenz) {
    return "Für den eingegebenen Offset ist eine Minimalfrequenz\noberhalb der Maximalfrequenz "
           "von " +
           formatFixed(static_cast<double>(maximalfrequenz) / 100, 2) +
           " Hz notwendig\n\nErhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.";
}

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
}

bool CPLLDlg::onEnterKey() {
    texts_.readFrom(window());
    const std::optional<int> focus = window().focus();
    if (focus == ids::kTeilungsfaktorEdit) {
        checkFactor();
    } else if (focus == ids::kOffsetEdit) {
        checkOffset();
    }
    texts_.writeTo(window());
    return false;
}

void CPLLDlg::showChange(const model::SettingsNotice& notice) {
    showChangedFields(kFields, followModel(base_, settings_, settings(), notice.fields), settings_,
                      texts_, window());
}

void CPLLDlg::onCancel() {
    texts_.readFrom(window());
    const bool valid = checkFactor() && checkOffset() && applyLeastFrequency();
    if (valid) {
        settings_.pllFaktor = static_cast<std::uint32_t>(pendingFactor_);
        settings_.pllOffset = pendingOffset_;
    }
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

bool CPLLDlg::applyLeastFrequency() {
    if (pendingOffset_ >= 0) {
        return true;
    }
    GeneratorSettings pending = settings_;
    pending.pllFaktor = static_cast<std::uint32_t>(pendingFactor_);
    pending.pllOffset = pendingOffset_;
    const std::uint64_t least = pllRequiredMinimum(pending);  // in 0.01 Hz
    if (least > kMaximumFrequencyCentiHz || least > settings_.maximalfrequenz) {
        refuseInput(host(),
                    least > kMaximumFrequencyCentiHz
                        ? std::string(kLeastFrequencyRefusal)
                        : aboveMaximumRefusal(settings_.maximalfrequenz),
                    kInputErrorCaption);
        texts_[ids::kTeilungsfaktorEdit] = model::kPllFactorField.show(settings_.pllFaktor);
        texts_[ids::kOffsetEdit] = model::kPllOffsetField.show(settings_.pllOffset);
        return false;
    }
    settings_.minimalfrequenz =
        std::max(settings_.minimalfrequenz, static_cast<std::uint32_t>(least));
    settings_.frequenz = std::max(settings_.frequenz, settings_.minimalfrequenz);
    return true;
}

}  // namespace tavero::dialogs
