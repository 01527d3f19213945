// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/ControlFactory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <algorithm>
#include <cstdlib>

#include "qt/ArrowIconEngine.h"
#include "qt/PictureWidget.h"
#include "qt/QtText.h"
#include "qt/SpinControl.h"
#include "qt/i18n/TextTranslation.h"

namespace tavero::qt {
namespace {

using res::ControlKind;
using res::ControlTemplate;
namespace style = res::style;

Qt::Orientation orientation(const ControlTemplate& control) {
    return control.has(style::kVertical) ? Qt::Vertical : Qt::Horizontal;
}

Qt::Alignment alignment(const ControlTemplate& control) {
    if (control.has(style::kAlignRight)) {
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    if (control.has(style::kAlignCenter)) {
        return Qt::AlignHCenter | Qt::AlignTop;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QWidget* createEdit(const ControlTemplate& control, QWidget* parent) {
    auto* edit = new QLineEdit(toQString(control.text), parent);
    edit->setReadOnly(control.has(style::kReadOnly));
    edit->setAlignment(alignment(control));
    if (control.has(style::kDigitsOnly)) {
        // One expression for all: its copies share what it compiles.
        static const QRegularExpression digits(QStringLiteral("[0-9]*"));
        edit->setValidator(new QRegularExpressionValidator(digits, edit));
    }
    return edit;
}

QWidget* createButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    switch (control.icon) {
        case res::ButtonIcon::ArrowUp:
            button->setIcon(QIcon(new ArrowIconEngine(QStyle::PE_IndicatorArrowUp)));
            break;
        case res::ButtonIcon::ArrowDown:
            button->setIcon(QIcon(new ArrowIconEngine(QStyle::PE_IndicatorArrowDown)));
            break;
        case res::ButtonIcon::None:
            break;
    }
    setButtonCaption(button, control, toQString(control.text));
    return button;
}

QWidget* createLabel(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(translatedText(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    const Qt::Alignment horizontal = alignment(control) & Qt::AlignHorizontal_Mask;
    // A tick label is centred on its tick, so its text on the label's middle.
    const bool tickLabel = control.has(style::kTickLabel);
    label->setWordWrap(!tickLabel);
    label->setAlignment(horizontal | (tickLabel ? Qt::AlignVCenter : Qt::AlignTop));
    return label;
}

QString twoLineCaption(const QString& caption) {
    const qsizetype middle = caption.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char(' ') &&
            (best < 0 || std::abs(i - middle) < std::abs(best - middle))) {
            best = i;
        }
    }
    QString wrapped = caption;
    if (best >= 0) {
        wrapped[best] = QLatin1Char('\n');
    }
    return wrapped;
}

const char* const kCaptionProperty = "taveroCaption";

/// Gives the font the largest pixel size whose character cell is at most cellHeight pixels.
/// The template sizes the cell; Qt sizes the em, which is smaller by the font's leading. A
/// proportional rescale is only an estimate: hinting and rounding make the cell grow unevenly
/// with the size, so the estimate is corrected a pixel at a time until it fits and one more
/// would not.
void fitCharacterCell(QFont& font, int cellHeight) {
    const auto cellAt = [&font](int pixelSize) {
        font.setPixelSize(pixelSize);
        return QFontMetrics(font).height();
    };
    const int cellAtTarget = cellAt(cellHeight);
    int pixelSize =
        cellAtTarget > 0 ? std::max(1, cellHeight * cellHeight / cellAtTarget) : cellHeight;
    while (pixelSize > 1 && cellAt(pixelSize) > cellHeight) {
        --pixelSize;
    }
    while (pixelSize < cellHeight && cellAt(pixelSize + 1) <= cellHeight) {
        ++pixelSize;
    }
    font.setPixelSize(pixelSize);
}

QWidget* createWidget(const ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::Edit:
            return createEdit(control, parent);
        case ControlKind::Button:
            return createButton(control, parent);
        case ControlKind::RadioButton: {
            // Groups follow the template, not the parent widget.
            auto* radio = new QRadioButton(translatedText(control.text), parent);
            radio->setAutoExclusive(false);
            return radio;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(translatedText(control.text), parent);
        case ControlKind::GroupBox:
            return new QGroupBox(translatedText(control.text), parent);
        case ControlKind::Label:
            return createLabel(control, parent);
        case ControlKind::Picture: {
            auto* picture = new PictureWidget(parent);
            picture->setPicture(control.picture);
            return picture;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            return list;
        }
        case ControlKind::ComboBox:
            return new QComboBox(parent);
        case ControlKind::Trackbar: {
            auto* slider = new QSlider(orientation(control), parent);
            if (slider->orientation() == Qt::Vertical) {
                // Minimum at the top, and the Up key moves towards it.
                slider->setInvertedAppearance(true);
                slider->setInvertedControls(true);
            }
            return slider;
        }
        case ControlKind::ScrollBar:
            return new QScrollBar(orientation(control), parent);
        case ControlKind::SpinControl:
            return new SpinControl(parent);
    }
    return nullptr;
}

}  // namespace

void setButtonCaption(QPushButton* button, const ControlTemplate& control, const QString& caption) {
    // The logic reads back its own text, not the translation shown.
    button->setProperty(kCaptionProperty, caption);
    const QString shown = translatedText(toUtf8(caption));
    if (control.icon != res::ButtonIcon::None) {
        button->setToolTip(shown);
        return;
    }
    button->setText(control.has(style::kMultiLine) ? twoLineCaption(shown) : shown);
}

QString buttonCaption(const QPushButton* button) {
    return button->property(kCaptionProperty).toString();
}

QWidget* createControl(const ControlTemplate& control, QWidget* clientArea,
                       const ui::PixelScale& scale) {
    QWidget* widget = createWidget(control, clientArea);
    if (control.id != res::kNoId) {
        widget->setObjectName(QString::number(control.id));
    }
    const ui::Rect rect = scale.toPixels(control.rect);
    int height = rect.bottom - rect.top;
    if (control.kind == ControlKind::ComboBox) {
        // The template's height includes the dropped-down list.
        height = widget->sizeHint().height();
    }
    widget->setGeometry(rect.left, rect.top, rect.right - rect.left, height);
    if (control.icon != res::ButtonIcon::None) {
        // The picture grows with its button, at every scale.
        const int side = std::min(rect.right - rect.left, height) * 3 / 5;
        static_cast<QPushButton*>(widget)->setIconSize(QSize(side, side));
    }
    if (res::passesClicksToDialog(control.kind)) {
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    if (!control.font.family.empty()) {
        QFont font(toQString(control.font.family));
        font.setBold(control.font.bold);
        fitCharacterCell(font, control.font.pixelHeight);
        widget->setFont(font);
    }
    if (control.textColor) {
        QPalette palette = widget->palette();
        palette.setColor(
            QPalette::WindowText,
            QColor(control.textColor->red, control.textColor->green, control.textColor->blue));
        widget->setPalette(palette);
    }
    widget->setEnabled(!control.has(style::kDisabled));
    widget->setVisible(!control.has(style::kHidden));
    return widget;
}

}  // namespace tavero::qt
