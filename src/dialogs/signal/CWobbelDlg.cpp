// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/CWobbelDlg.h"

#include <array>

#include "dialogs/signal/RecordField.h"
#include "model/TypedFields.h"
#include "res/WobbelTemplate.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

namespace ids = res::wobbel;

/// In the order the closing checks them.
constexpr std::array<RecordField, 3> kFields = {{
    {ids::kStartfrequenzEdit, model::kSweepStartField},
    {ids::kStoppfrequenzEdit, model::kSweepStopField},
    {ids::kWobbelfrequenzEdit, model::kSweepRateField},
}};

}  // namespace

CWobbelDlg::CWobbelDlg(GeneratorSettings& settings, link::Com& port, link::PacketLink& link)
    : GeneratorDialog(port, link),
      settings_(settings),
      texts_{ids::kStartfrequenzEdit, ids::kStoppfrequenzEdit, ids::kWobbelfrequenzEdit} {}

int CWobbelDlg::templateId() const {
    return ids::kDialogId;
}

void CWobbelDlg::onInit() {
    for (const RecordField& field : kFields) {
        texts_[field.editId] = showRecordField(field, settings_);
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings_, window());
}

bool CWobbelDlg::onEnterKey() {
    texts_.readFrom(window());
    if (const RecordField* field = findRecordField(kFields, window().focus())) {
        checkRecordField(*field, settings_, texts_, host());
        // Sent after a refusal too: the generator gets the values still stored.
        sendSweep();
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings_, window());
    return false;
}

void CWobbelDlg::onCancel() {
    texts_.readFrom(window());
    const bool valid = checkRecordFields(kFields, settings_, texts_, host());
    if (valid) {
        sendSweep();
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings_, window());
    if (valid) {
        window().endDialog(res::kIdCancel);
    }
}

void CWobbelDlg::sendSweep() {
    GeneratorAccess access = generator();
    access.commands().SendSweep(settings_);
}

}  // namespace tavero::dialogs
