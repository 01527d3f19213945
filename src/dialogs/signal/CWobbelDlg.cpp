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

CWobbelDlg::CWobbelDlg(model::GeneratorModel& generator)
    : GeneratorDialog(generator),
      record_(settings()),
      texts_{ids::kStartfrequenzEdit, ids::kStoppfrequenzEdit, ids::kWobbelfrequenzEdit} {}

int CWobbelDlg::templateId() const {
    return ids::kDialogId;
}

void CWobbelDlg::onInit() {
    record_ = DraftRecord(settings());
    for (const RecordField& field : kFields) {
        texts_[field.editId] = showRecordField(field, record_.values());
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings(), window());
}

bool CWobbelDlg::onEnterKey() {
    texts_.readFrom(window());
    if (const RecordField* field = findRecordField(kFields, window().focus())) {
        checkRecordField(*field, record_.values(), texts_, host());
        // Sent after a refusal too: the generator gets the values still stored.
        sendSweep("w");
    }
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings(), window());
    return false;
}

void CWobbelDlg::onCancel() {
    texts_.readFrom(window());
    const bool valid = checkRecordFields(kFields, record_.values(), texts_, host());
    // Fields accepted before a refused one are stored, but not sent.
    sendSweep(valid ? "w" : "");
    texts_.writeTo(window());
    showValuesInEffect(kFields, settings(), window());
    if (valid) {
        window().endDialog(res::kIdCancel);
    }
}

void CWobbelDlg::showChange(const model::SettingsNotice& notice) {
    showChangedFields(kFields, record_.follow(settings(), notice.fields), record_.values(), texts_,
                      window());
    showValuesInEffect(kFields, settings(), window());
}

void CWobbelDlg::sendSweep(const char* commands) {
    GeneratorAccess access = generator();
    access.apply(record_.edit(commands));
}

}  // namespace tavero::dialogs
