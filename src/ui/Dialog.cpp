// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Dialog.h"

#include <stdexcept>

#include "res/StandardIds.h"
#include "ui/Window.h"

namespace tavero::ui {

Dialog::~Dialog() {
    if (binding_ != nullptr) {
        binding_->dialog_ = nullptr;
    }
}

void Dialog::onOk() {
    window().endDialog(res::kIdOk);
}

void Dialog::onCancel() {
    window().endDialog(res::kIdCancel);
}

void Dialog::onClose() {
    onCancel();
}

void Dialog::end(int result) {
    window().endDialog(result);
}

void Dialog::command(int id) {
    if (id == res::kIdOk) {
        onOk();
    } else if (id == res::kIdCancel) {
        onCancel();
    } else {
        onCommand(id);
    }
}

Window& Dialog::window() const {
    if (binding_ == nullptr) {
        throw std::logic_error("dialog used while it is not open");
    }
    return binding_->window_;
}

Host& Dialog::host() const {
    if (binding_ == nullptr) {
        throw std::logic_error("dialog used while it is not open");
    }
    return binding_->host_;
}

DialogBinding::DialogBinding(Dialog& dialog, Host& host, Window& window)
    : dialog_(&dialog), host_(host), window_(window) {
    if (dialog.isOpen()) {
        throw std::logic_error("dialog is already open");
    }
    dialog.binding_ = this;
}

DialogBinding::~DialogBinding() {
    if (dialog_ != nullptr) {
        dialog_->binding_ = nullptr;
    }
}

}  // namespace tavero::ui
