// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the window program's start-up: a bare Qt Widgets window with the main
// window's controls as Qt's stock widgets (same kinds, texts and places, one menu bar with the
// same entries), and nothing else. Prints "shown" once the window is on screen and its event
// loop runs, then waits to be ended.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QString>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <span>

#include "res/MainWindowTemplate.h"

namespace {

using tavero::res::ControlKind;
using tavero::res::ControlTemplate;

QWidget* stockWidget(const ControlTemplate& control, QWidget* parent) {
    const QString text =
        QString::fromUtf8(control.text.data(), static_cast<qsizetype>(control.text.size()));
    switch (control.kind) {
        case ControlKind::Edit:
            return new QLineEdit(text, parent);
        case ControlKind::Button:
            return new QPushButton(text, parent);
        case ControlKind::RadioButton:
            return new QRadioButton(text, parent);
        case ControlKind::CheckBox:
            return new QCheckBox(text, parent);
        case ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ControlKind::Label:
            return new QLabel(text, parent);
        case ControlKind::Picture:
            return new QWidget(parent);
        case ControlKind::ListBox:
            return new QListWidget(parent);
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::Trackbar:
            return new QSlider(parent);
        case ControlKind::ScrollBar:
            return new QScrollBar(parent);
        case ControlKind::SpinControl:
            return new QSpinBox(parent);
    }
    return nullptr;
}

template <typename Container>
void addMenuItems(Container* container, std::span<const tavero::res::MenuItem> items) {
    for (const tavero::res::MenuItem& item : items) {
        const QString text =
            QString::fromUtf8(item.text.data(), static_cast<qsizetype>(item.text.size()));
        if (item.isSeparator()) {
            container->addSeparator();
        } else if (item.isPopup()) {
            addMenuItems(container->addMenu(text), item.items);
        } else {
            container->addAction(text);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const tavero::res::DialogTemplate& layout = tavero::res::kMainWindowTemplate;
    QDialog window;
    window.setWindowTitle(QStringLiteral("Tavero"));
    auto* clientArea = new QWidget(&window);
    // Two pixels per dialog unit: about what the program's scale comes to.
    clientArea->setFixedSize(layout.size.width * 2, layout.size.height * 2);
    auto* windowLayout = new QVBoxLayout(&window);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->addWidget(clientArea);
    auto* menuBar = new QMenuBar(&window);
    addMenuItems(menuBar, layout.menu);
    windowLayout->setMenuBar(menuBar);
    for (const ControlTemplate& control : layout.controls) {
        QWidget* widget = stockWidget(control, clientArea);
        widget->setGeometry(control.rect.x * 2, control.rect.y * 2, control.rect.width * 2,
                            control.rect.height * 2);
    }
    // Armed before the window shows, as the program arms its connect, so that both count to
    // the same turn of the event loop.
    QTimer shown;
    shown.setSingleShot(true);
    shown.setTimerType(Qt::PreciseTimer);
    QObject::connect(&shown, &QTimer::timeout, [] {
        std::puts("shown");
        std::fflush(stdout);
    });
    shown.start(1);
    window.show();
    return application.exec();
}
