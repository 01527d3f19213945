// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "qt/remote/RemoteControlSettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tavero::qt {

/// "Fernsteuerung": turns the raw SCPI socket, VXI-11 and the front panel on and off and sets
/// their address; says what a choice opens beyond this computer.
class RemoteControlDialog final : public QDialog {
    Q_OBJECT

public:
    RemoteControlDialog(const RemoteControlSettings& settings, QWidget* parent = nullptr);

    /// The settings as the fields show them.
    RemoteControlSettings settings() const;
    /// Who reaches what the fields choose: only this computer, or the network with the
    /// services it opens; empty while nothing is on.
    QString reachText() const;

private:
    void showReach();

    QCheckBox* scpiSocket_;
    QSpinBox* scpiPort_;
    QCheckBox* vxi11_;
    QCheckBox* frontPanel_;
    QSpinBox* httpPort_;
    QLineEdit* host_;
    QLabel* reach_;
};

}  // namespace tavero::qt
