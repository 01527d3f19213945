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

CModulationDlg::CModulationDlg(model::GeneratorModel& generator)
    : GeneratorDialog(generator),
      record_(settings()),
      texts_{ids::kModulationsfrequenzEdit, ids::kPhasenhubEdit, ids::kFrequenzhubEdit,
             ids::kModulationshubEdit} {}

int CModulationDlg::templateId() const {
    return ids::kDialogId;
}

void CModulationDlg::onInit() {
    record_ = DraftRecord(settings());
    for (const RecordField& field : kFields) {
        texts_[field.editId] = showRecordField(field, record_.values());
    }
    texts_[ids::kModulationshubEdit] = std::to_string(record_.values().amplitudenhub);
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings(), window());
    showModulationBits();
}

void CModulationDlg::showModulationBits() {
    const std::uint8_t bits = record_.values().modulationseinstellungen;
    window().checkRadio(ids::kIntern, ids::kExtern,
                        (bits & kModulationPmQuelleExtern) != 0 ? ids::kExtern : ids::kIntern);
    window().checkRadio(ids::kPsk, ids::kAsk, keyingRadio(bits));
    window().setChecked(ids::kAm, (bits & kModulationAm) != 0);
}

void CModulationDlg::onCommand(int id) {
    std::uint8_t& bits = record_.values().modulationseinstellungen;
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
    sendModulation("m");
}

bool CModulationDlg::onEnterKey() {
    texts_.readFrom(window());
    if (const RecordField* field = findRecordField(kFields, window().focus())) {
        checkRecordField(*field, record_.values(), texts_, host());
        // Sent after a refusal too: the generator gets the values still stored.
        sendModulation("m");
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings(), window());
    return false;
}

void CModulationDlg::onCancel() {
    texts_.readFrom(window());
    const bool valid = checkRecordFields(kFields, record_.values(), texts_, host());
    // Fields accepted before a refused one are stored, but not sent.
    sendModulation(valid ? "m" : "");
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings(), window());
    if (valid) {
        window().endDialog(res::kIdCancel);
    }
}

void CModulationDlg::showChange(const model::SettingsNotice& notice) {
    const model::FieldSet taken = record_.follow(settings(), notice.fields);
    showChangedFields(kFields, taken, record_.values(), texts_, window());
    showValuesInEffect(kFields, settings(), window());
    if (taken[settingsFieldIndex("Modulationseinstellungen")]) {
        showModulationBits();
    }
    if (taken[settingsFieldIndex("Amplitudenhub")]) {
        texts_[ids::kModulationshubEdit] = std::to_string(record_.values().amplitudenhub);
        window().setText(ids::kModulationshubEdit, texts_[ids::kModulationshubEdit]);
    }
}

void CModulationDlg::sendModulation(const char* commands) {
    GeneratorAccess access = generator();
    access.apply(record_.edit(commands));
}

}  // namespace tavero::dialogs
