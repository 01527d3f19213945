// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/CModulationDlg.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "dialogs/signal/RecordField.h"
#include "model/TypedFields.h"
#include "res/ModulationTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::modulation;

/// In the order the closing checks them.
constexpr std::array<RecordField, 3> kFields = {{
    {ids::kModulationsfrequenzEdit, model::kModulationRateField},
    {ids::kPhasenhubEdit, model::kPhaseDeviationField},
    {ids::kFrequenzhubEdit, model::kFrequencyDeviationField},
}};

/// What a click on a radio button does to `modulationseinstellungen`.
struct BitChange {
    int radioId;
    std::uint8_t cleared;
    std::uint8_t set;
};

constexpr std::array<BitChange, 5> kRadioChanges = {{
    {ids::kIntern, kModulationPmQuelleExtern, 0},
    {ids::kExtern, 0, kModulationPmQuelleExtern},
    {ids::kPsk, kModulationPmArtMask, kPmArtPsk},
    {ids::kFsk, kModulationPmArtMask, kPmArtFsk},
    {ids::kAsk, kModulationPmArtMask, kPmArtAsk},
}};

/// The keying radio for the keying bits; both bits set shows as ASK.
int keyingRadio(std::uint8_t modulationseinstellungen) {
    switch (modulationseinstellungen & kModulationPmArtMask) {
        case kPmArtPsk:
            return ids::kPsk;
        case kPmArtFsk:
            return ids::kFsk;
        default:
            return ids::kAsk;
    }
}

}  // namespace

CModulationDlg::CModulationDlg(GeneratorSettings& settings, link::Com& port, link::PacketLink& link)
    : GeneratorDialog(port, link),
      settings_(settings),
      texts_{ids::kModulationsfrequenzEdit, ids::kPhasenhubEdit, ids::kFrequenzhubEdit,
             ids::kModulationshubEdit} {}

int CModulationDlg::templateId() const {
    return ids::kDialogId;
}

void CModulationDlg::onInit() {
    for (const RecordField& field : kFields) {
        texts_[field.editId] = showRecordField(field, settings_);
    }
    texts_[ids::kModulationshubEdit] = std::to_string(settings_.amplitudenhub);
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings_, window());

    const std::uint8_t bits = settings_.modulationseinstellungen;
    window().checkRadio(ids::kIntern, ids::kExtern,
                        (bits & kModulationPmQuelleExtern) != 0 ? ids::kExtern : ids::kIntern);
    window().checkRadio(ids::kPsk, ids::kAsk, keyingRadio(bits));
    window().setChecked(ids::kAm, (bits & kModulationAm) != 0);
}

void CModulationDlg::onCommand(int id) {
    std::uint8_t& bits = settings_.modulationseinstellungen;
    if (id == ids::kAm) {
        bits = static_cast<std::uint8_t>(window().isChecked(ids::kAm) ? bits | kModulationAm
                                                                      : bits & ~kModulationAm);
    } else {
        const auto change = std::find_if(kRadioChanges.begin(), kRadioChanges.end(),
                                         [id](const BitChange& c) { return c.radioId == id; });
        if (change == kRadioChanges.end()) {
            return;
        }
        bits = static_cast<std::uint8_t>((bits & ~change->cleared) | change->set);
    }
    sendModulation();
}

bool CModulationDlg::onEnterKey() {
    texts_.readFrom(window());
    if (const RecordField* field = findRecordField(kFields, window().focus())) {
        checkRecordField(*field, settings_, texts_, host());
        // Sent after a refusal too: the generator gets the values still stored.
        sendModulation();
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings_, window());
    return false;
}

void CModulationDlg::onCancel() {
    texts_.readFrom(window());
    const bool valid = checkRecordFields(kFields, settings_, texts_, host());
    if (valid) {
        sendModulation();
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings_, window());
    if (valid) {
        window().endDialog(res::kIdCancel);
    }
}

void CModulationDlg::sendModulation() {
    GeneratorAccess access = generator();
    access.commands().SendModulation(settings_);
}

}  // namespace tavero::dialogs
