// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/remote/RemoteControlDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

#include "qt/i18n/TextTranslation.h"
#include "qt/network/ListenAddress.h"
#include "qt/remote/RemoteControlTexts.h"

namespace tavero::qt {

namespace {

QString translated(const char* german) {
    return translatedText(german);
}

QSpinBox* portBox(const char* name, quint16 port) {
    auto* box = new QSpinBox;
    box->setObjectName(name);
    box->setRange(1, 65535);
    box->setValue(port);
    return box;
}

/// A check box with the port of its service beside it.
QHBoxLayout* withPort(QCheckBox* service, QSpinBox* port) {
    auto* row = new QHBoxLayout;
    row->addWidget(service);
    row->addWidget(port);
    row->addStretch();
    return row;
}

}  // namespace

RemoteControlDialog::RemoteControlDialog(const RemoteControlSettings& settings, QWidget* parent)
    : QDialog(parent),
      scpiSocket_(new QCheckBox(translated(texts::kRemoteScpiSocket))),
      scpiPort_(portBox("scpiPort", settings.scpiPort)),
      vxi11_(new QCheckBox(translated(texts::kRemoteVxi11))),
      frontPanel_(new QCheckBox(translated(texts::kRemoteFrontPanel))),
      httpPort_(portBox("httpPort", settings.httpPort)),
      host_(new QLineEdit(settings.host)),
      reach_(new QLabel) {
    setWindowTitle(translated(texts::kRemoteTitle));
    scpiSocket_->setObjectName("scpiSocket");
    scpiSocket_->setChecked(settings.scpiSocket);
    vxi11_->setObjectName("vxi11");
    vxi11_->setChecked(settings.vxi11);
    frontPanel_->setObjectName("frontPanel");
    frontPanel_->setChecked(settings.frontPanel);
    host_->setObjectName("host");
    reach_->setObjectName("reach");
    reach_->setWordWrap(true);

    auto* address = new QFormLayout;
    address->addRow(translated(texts::kRemoteAddress), host_);
    auto* hint = new QLabel(translated(texts::kRemoteAddressHint));
    hint->setWordWrap(true);
    address->addRow(QString(), hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(withPort(scpiSocket_, scpiPort_));
    layout->addWidget(vxi11_);
    layout->addLayout(withPort(frontPanel_, httpPort_));
    layout->addLayout(address);
    layout->addWidget(reach_);
    layout->addWidget(buttons);

    for (QCheckBox* box : {scpiSocket_, vxi11_, frontPanel_}) {
        connect(box, &QCheckBox::toggled, this, &RemoteControlDialog::showReach);
    }
    for (QSpinBox* box : {scpiPort_, httpPort_}) {
        connect(box, &QSpinBox::valueChanged, this, &RemoteControlDialog::showReach);
    }
    connect(host_, &QLineEdit::textChanged, this, &RemoteControlDialog::showReach);
    showReach();
}

RemoteControlSettings RemoteControlDialog::settings() const {
    return {.scpiSocket = scpiSocket_->isChecked(),
            .vxi11 = vxi11_->isChecked(),
            .frontPanel = frontPanel_->isChecked(),
            .host = host_->text().trimmed(),
            .scpiPort = static_cast<quint16>(scpiPort_->value()),
            .httpPort = static_cast<quint16>(httpPort_->value())};
}

QString RemoteControlDialog::reachText() const {
    const RemoteControlSettings chosen = settings();
    if (!chosen.anyOn() || QHostAddress(chosen.host).isNull()) {
        return {};
    }
    // Read as the services will read it, so that "::" is named as serve names it.
    const QHostAddress host =
        parseListenAddress(QString::fromStdString(remoteOptions(chosen).listen))->host;
    if (host.isLoopback()) {
        return translated(texts::kRemoteLoopback);
    }
    QStringList opened;
    if (chosen.scpiSocket) {
        opened << translated(texts::kRemoteScpiOnPort).arg(chosen.scpiPort);
    }
    if (chosen.vxi11) {
        opened << translated(texts::kRemoteVxi11WithMapper);
    }
    if (chosen.frontPanel) {
        opened << translated(texts::kRemoteFrontPanelOnPort).arg(chosen.httpPort);
    }
    return translated(texts::kRemoteOpenToNetwork)
        .arg(hostText(host), opened.join(QStringLiteral(", ")));
}

void RemoteControlDialog::showReach() {
    reach_->setText(reachText());
}

}  // namespace tavero::qt
