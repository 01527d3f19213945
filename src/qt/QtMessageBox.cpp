// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtMessageBox.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>
#include <array>
#include <vector>

#include "qt/i18n/TextTranslation.h"

namespace tavero::qt {
namespace {

struct ButtonText {
    ui::Answer answer;
    QMessageBox::StandardButton button;
    const char* text;
};

// In the order a box shows them, which is also the order an unclear close falls back through.
constexpr std::array<ButtonText, 4> kButtons = {{
    {ui::Answer::Ok, QMessageBox::Ok, "OK"},
    {ui::Answer::Yes, QMessageBox::Yes, "Ja"},
    {ui::Answer::No, QMessageBox::No, "Nein"},
    {ui::Answer::Cancel, QMessageBox::Cancel, "Abbrechen"},
}};

QMessageBox::Icon qtIcon(ui::Icon icon) {
    switch (icon) {
        case ui::Icon::Information:
            return QMessageBox::Information;
        case ui::Icon::Warning:
            return QMessageBox::Warning;
        case ui::Icon::Question:
            return QMessageBox::Question;
        case ui::Icon::Error:
            return QMessageBox::Critical;
        case ui::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

ui::Answer execMessageBox(QWidget* parent, const ui::MessageBoxRequest& box) {
    QMessageBox messageBox(parent);
    messageBox.setWindowTitle(translatedText(box.caption));
    messageBox.setTextFormat(Qt::PlainText);
    messageBox.setText(translatedText(box.text));
    messageBox.setIcon(qtIcon(box.icon));

    std::vector<std::pair<QAbstractButton*, ui::Answer>> answers;
    for (const ButtonText& button : kButtons) {
        if (ui::offers(box.buttons, button.answer)) {
            QPushButton* added = messageBox.addButton(button.button);
            added->setText(translatedText(button.text));
            answers.emplace_back(added, button.answer);
        }
    }
    messageBox.setDefaultButton(static_cast<QPushButton*>(answers.front().first));
    // A box narrower than its caption would have the caption cut short: widen it by a strut that
    // also leaves room for the buttons of the title bar.
    if (auto* grid = qobject_cast<QGridLayout*>(messageBox.layout())) {
        const int caption = messageBox.fontMetrics().horizontalAdvance(messageBox.windowTitle()) +
                            4 * messageBox.style()->pixelMetric(QStyle::PM_TitleBarHeight);
        grid->addItem(new QSpacerItem(caption, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    messageBox.exec();

    for (const auto& [button, answer] : answers) {
        if (button == messageBox.clickedButton()) {
            return answer;
        }
    }
    return answers.back().second;
}

}  // namespace tavero::qt
