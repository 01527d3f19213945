// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/QtWindow.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <span>
#include <thread>
#include <utility>
#include <vector>

#include "qt/ControlFactory.h"
#include "qt/Mnemonics.h"
#include "qt/PictureWidget.h"
#include "qt/QtText.h"
#include "qt/ScrollNotifier.h"
#include "qt/SpinControl.h"
#include "qt/TickLabels.h"
#include "qt/WindowPlacement.h"
#include "qt/i18n/TextTranslation.h"

namespace tavero::qt {
namespace {

using res::ControlKind;

bool anyKind(ControlKind) {
    return true;
}
bool isPicture(ControlKind kind) {
    return kind == ControlKind::Picture;
}
bool isTrackbar(ControlKind kind) {
    return kind == ControlKind::Trackbar;
}
bool isEdit(ControlKind kind) {
    return kind == ControlKind::Edit;
}

/// The edit's property that holds the text of the value in effect.
constexpr const char* kTextInEffect = "textInEffect";
constexpr std::string_view kNotAppliedTip = "Nicht übernommen: Enter übernimmt den Wert.";

/// Marks an edit whose text is not the one in effect: italic on a warm ground, with a tooltip.
void markIfNotApplied(QLineEdit* edit) {
    const QVariant inEffect = edit->property(kTextInEffect);
    const bool notApplied = inEffect.isValid() && edit->text() != inEffect.toString();
    QFont font = edit->font();
    font.setItalic(notApplied);
    edit->setFont(font);
    QPalette palette = edit->parentWidget()->palette();
    if (notApplied) {
        palette.setColor(QPalette::Base, QColor(255, 236, 179));
        palette.setColor(QPalette::Text, QColor(64, 40, 0));
    }
    edit->setPalette(palette);
    edit->setToolTip(notApplied ? translatedText(kNotAppliedTip) : QString());
}

/// Dialog units follow the dialog font, as they always have: a quarter of the average
/// character width and an eighth of the height.
ui::PixelScale scaleFor(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int height = std::max(1, metrics.height());
    // A font without Latin letters (a symbol font as the only one installed) measures them as
    // nothing, which would shrink every control to nothing.
    const int average = letters > 0 ? (letters / 26 + 1) / 2 : metrics.averageCharWidth();
    return {average > 0 ? average : (height + 1) / 2, height};
}

/// The wheel's delta for one notch.
constexpr int kWheelNotch = 120;

/// The event loop wakes timers on whole milliseconds and up to a millisecond or two late, so a
/// timer is woken this much before its tick and sleeps out the rest to the microsecond.
constexpr std::chrono::milliseconds kWakeEarly{2};

constexpr std::array<std::pair<Qt::MouseButton, ui::KeyState>, 3> kButtonKeys = {{
    {Qt::LeftButton, ui::kKeyLeftButton},
    {Qt::RightButton, ui::kKeyRightButton},
    {Qt::MiddleButton, ui::kKeyMiddleButton},
}};

constexpr std::array<std::pair<Qt::KeyboardModifier, ui::KeyState>, 2> kModifierKeys = {{
    {Qt::ShiftModifier, ui::kKeyShift},
    {Qt::ControlModifier, ui::kKeyControl},
}};

ui::KeyState keyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    ui::KeyState keys = 0;
    for (const auto& [button, key] : kButtonKeys) {
        keys |= buttons.testFlag(button) ? key : 0;
    }
    for (const auto& [modifier, key] : kModifierKeys) {
        keys |= modifiers.testFlag(modifier) ? key : 0;
    }
    return keys;
}

template <typename Container>
void addMenuItems(Container* container, std::span<const res::MenuItem> items,
                  const std::function<void(int)>& chosen, QObject* context) {
    // Mnemonics are chosen among the translated texts, so that each language has its own.
    QStringList texts;
    for (const res::MenuItem& item : items) {
        texts.append(translatedText(item.text));
    }
    texts = withMnemonics(texts);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const res::MenuItem& item = items[i];
        const QString& text = texts[static_cast<qsizetype>(i)];
        if (item.isSeparator()) {
            container->addSeparator();
        } else if (item.isPopup()) {
            addMenuItems(container->addMenu(text), item.items, chosen, context);
        } else {
            QAction* action = container->addAction(text);
            action->setObjectName(QString::number(item.id));
            action->setShortcut(QKeySequence(toQString(item.shortcut), QKeySequence::PortableText));
            QObject::connect(action, &QAction::triggered, context,
                             [chosen, id = item.id] { chosen(id); });
        }
    }
}

}  // namespace

QtWindow::QtWindow(ui::Host& host, const res::DialogTemplate& dialogTemplate, ui::Dialog& dialog,
                   QWidget* parent)
    : host_(host),
      template_(dialogTemplate),
      dialog_(dialog),
      // The events interface is a private base: convert here, where it is accessible.
      widget_(new DialogWidget(static_cast<DialogWidget::Events&>(*this), parent)),
      scale_(scaleFor(widget_->font())) {
    if (auto fault = res::templateFault(dialogTemplate)) {
        qWarning("dialog %d: %s", dialogTemplate.id, fault->c_str());
    }
    widget_->setWindowTitle(translatedText(dialogTemplate.title));
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialogTemplate.minimizeBox) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    widget_->setWindowFlags(flags);
    widget_->clientArea()->setFixedSize(scale_.xToPixels(dialogTemplate.size.width),
                                        scale_.yToPixels(dialogTemplate.size.height));
    buildControls();
    buildMenu();
    widget_->watchKeys(widget_->clientArea());
}

QtWindow::~QtWindow() {
    binding_.reset();
    widget_.reset();
}

void QtWindow::buildControls() {
    std::vector<QWidget*> groupBoxes;
    QSlider* trackbar = nullptr;
    std::map<QSlider*, QList<QLabel*>> tickLabels;
    for (const res::ControlTemplate& layout : template_.controls) {
        QWidget* widget = createControl(layout, widget_->clientArea(), scale_);
        if (layout.kind == ControlKind::GroupBox) {
            groupBoxes.push_back(widget);
        } else if (layout.kind == ControlKind::Trackbar) {
            trackbar = static_cast<QSlider*>(widget);
        } else if (layout.has(res::style::kTickLabel) && trackbar != nullptr) {
            tickLabels[trackbar].append(static_cast<QLabel*>(widget));
        }
        if (layout.id == res::kNoId) {
            continue;
        }
        const Control& control = controls_[layout.id] = {&layout, widget};
        connectControl(control);
        if (res::hasRange(layout.kind)) {
            setRange(layout.id, 0, 100);
        }
    }
    for (auto& [slider, labels] : tickLabels) {
        new TickLabels(slider, std::move(labels));
    }
    // Frames stay behind the controls they surround.
    for (QWidget* groupBox : groupBoxes) {
        groupBox->lower();
    }
    for (const auto& [id, control] : controls_) {
        std::vector<int> group = res::radioGroup(template_, id);
        if (group.size() < 2 || group.front() != id) {
            continue;
        }
        for (const int member : group) {
            QObject::connect(static_cast<QAbstractButton*>(controls_.at(member).widget),
                             &QAbstractButton::toggled, widget_.get(),
                             [this, group] { keepOneTabStop(group); });
        }
        keepOneTabStop(group);
    }
}

void QtWindow::buildMenu() {
    if (template_.menu.empty()) {
        return;
    }
    auto* menuBar = new QMenuBar(widget_.get());
    addMenuItems(
        menuBar, template_.menu,
        [this](int id) { deliver([id](ui::Dialog& dialog) { dialog.command(id); }); },
        widget_.get());
    widget_->setMenuBar(menuBar);
    // F10 opens the first menu, as on the Linux desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), widget_.get());
    QObject::connect(f10, &QShortcut::activated, menuBar,
                     [menuBar] { menuBar->setActiveAction(menuBar->actions().constFirst()); });
    // The bar takes the focus while a menu is open by keyboard, and keeps it, highlighted,
    // after Escape: the control that had the focus gets it back.
    QObject::connect(qApp, &QApplication::focusChanged, menuBar, [this](QWidget*, QWidget* now) {
        if (now != nullptr && widget_->clientArea()->isAncestorOf(now)) {
            focusBeforeMenu_ = now;
        }
    });
    for (const QAction* title : menuBar->actions()) {
        QObject::connect(title->menu(), &QMenu::aboutToHide, menuBar, [this, menuBar] {
            // Once the bar has settled, unless another of its menus opened.
            QTimer::singleShot(0, menuBar, [this, menuBar] {
                const QAction* active = menuBar->activeAction();
                const bool menuOpen = active != nullptr && active->menu()->isVisible();
                QWidget* focused = QApplication::focusWidget();
                if (!menuOpen && focusBeforeMenu_ && (focused == menuBar || focused == nullptr)) {
                    focusBeforeMenu_->setFocus(Qt::PopupFocusReason);
                }
            });
        });
    }
}

void QtWindow::connectControl(const Control& control) {
    const int id = control.layout->id;
    switch (control.layout->kind) {
        case ControlKind::Button:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
            QObject::connect(static_cast<QAbstractButton*>(control.widget),
                             &QAbstractButton::clicked, control.widget,
                             [this, id] { clicked(id); });
            break;
        case ControlKind::Trackbar:
        case ControlKind::ScrollBar:
            new ScrollNotifier(
                static_cast<QAbstractSlider*>(control.widget),
                control.layout->kind == ControlKind::Trackbar,
                [this, id](ui::ScrollCode code, int position) {
                    deliver([=](ui::Dialog& dialog) { dialog.onScroll(id, code, position); });
                });
            break;
        case ControlKind::Edit:
            QObject::connect(
                static_cast<QLineEdit*>(control.widget), &QLineEdit::textChanged, control.widget,
                [edit = static_cast<QLineEdit*>(control.widget)] { markIfNotApplied(edit); });
            break;
        case ControlKind::SpinControl:
            QObject::connect(static_cast<SpinControl*>(control.widget), &SpinControl::stepped,
                             control.widget, [this, id](int position) {
                                 deliver([=](ui::Dialog& dialog) {
                                     dialog.onScroll(id, ui::ScrollCode::ThumbPosition, position);
                                 });
                             });
            break;
        default:
            break;
    }
}

void QtWindow::open() {
    binding_.emplace(dialog_, host_, *this);
    deliver([](ui::Dialog& dialog) { dialog.onInit(); });
    if (ended_ || focusChosen_) {
        return;
    }
    for (const res::ControlTemplate& layout : template_.controls) {
        const auto it = controls_.find(layout.id);
        if (it != controls_.end() && res::takesFocus(layout.kind) &&
            !it->second.widget->isHidden() && it->second.widget->isEnabled()) {
            it->second.widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

int QtWindow::exec() {
    // The program's own window opens where it closed last time.
    const bool programWindow = widget_->parentWidget() == nullptr;
    if (!ended_) {
        if (programWindow) {
            restorePlacement(*widget_);
        }
        widget_->exec();
        if (programWindow) {
            savePlacement(*widget_);
        }
    }
    if (!ended_) {
        // The event loop was told to quit (the program ends): the dialog counts as cancelled.
        ended_ = true;
        result_ = res::kIdCancel;
        close();
    }
    return result_;
}

template <typename Handler>
void QtWindow::deliver(Handler&& handler) {
    ui::Dialog* dialog = binding_ ? binding_->dialog() : nullptr;
    if (ended_ || dialog == nullptr) {
        return;
    }
    ++handlersRunning_;
    handler(*dialog);
    --handlersRunning_;
    if (handlersRunning_ > 0) {
        return;
    }
    if (ended_) {
        close();
    } else {
        deliverHeldTicks();
    }
}

void QtWindow::close() {
    for (auto& [id, timer] : timers_) {
        timer.timer->stop();
        timer.held = false;
    }
    binding_.reset();
    widget_->done(result_);
}

void QtWindow::clicked(int id) {
    const Control& control = controls_.at(id);
    if (control.layout->kind == ControlKind::RadioButton) {
        for (int member : res::radioGroup(template_, id)) {
            static_cast<QAbstractButton*>(controls_.at(member).widget)->setChecked(member == id);
        }
    }
    deliver([id](ui::Dialog& dialog) { dialog.command(id); });
}

void QtWindow::pressEnter() {
    bool used = false;
    deliver([&used](ui::Dialog& dialog) { used = dialog.onEnterKey(); });
    if (used || ended_) {
        return;
    }
    // A push button with the focus stands in for the default button.
    const Control* focused = controlOf(widget_->focusWidget());
    const res::ControlTemplate* button =
        focused != nullptr && focused->layout->kind == ControlKind::Button
            ? focused->layout
            : res::findDefaultButton(template_);
    if (button == nullptr) {
        return;
    }
    QWidget* widget = controls_.at(button->id).widget;
    if (!widget->isHidden() && widget->isEnabled()) {
        static_cast<QPushButton*>(widget)->click();
    }
}

// Events of the widget

bool QtWindow::keyPressed(QObject* target, QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            pressEnter();
            return true;
        case Qt::Key_Escape:
            escapePressed();
            return true;
        case Qt::Key_Plus:
        case Qt::Key_Minus:
            return stepLikeTheWheel(target, event);
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return arrowPressed(target, event->key());
        default:
            return false;
    }
}

bool QtWindow::arrowPressed(QObject* target, int key) {
    const Control* control = controlOf(target);
    if (control == nullptr) {
        return false;
    }
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    if (control->layout->kind == ControlKind::RadioButton) {
        return moveInRadioGroup(control->layout->id, forward);
    }
    // Up and Down in the buddy edit of a spin control step the spin control.
    if (control->layout->kind != ControlKind::Edit || key == Qt::Key_Left || key == Qt::Key_Right) {
        return false;
    }
    for (const auto& [id, spin] : controls_) {
        if (spin.layout->kind == ControlKind::SpinControl &&
            spin.layout->buddy == control->layout->id) {
            static_cast<SpinControl*>(spin.widget)->step(forward ? -1 : 1);
            return true;
        }
    }
    return false;
}

bool QtWindow::moveInRadioGroup(int id, bool forward) {
    const std::vector<int> group = res::radioGroup(template_, id);
    const auto self = std::find(group.begin(), group.end(), id);
    if (group.size() < 2 || self == group.end()) {
        return false;
    }
    // Round the group, past members that cannot be chosen, as radio groups go.
    const auto count = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t start = self - group.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const std::ptrdiff_t index = (start + (forward ? step : count - step)) % count;
        const int next = group[static_cast<std::size_t>(index)];
        QWidget* widget = controls_.at(next).widget;
        if (!widget->isHidden() && widget->isEnabled()) {
            widget->setFocus(Qt::TabFocusReason);
            clicked(next);
            return true;
        }
    }
    return true;
}

bool QtWindow::stepLikeTheWheel(QObject* target, QKeyEvent* event) {
    // Text fields keep their signs; shortcuts keep their modifiers.
    const Qt::KeyboardModifiers shortcut = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (qobject_cast<QLineEdit*>(target) != nullptr || (event->modifiers() & shortcut) != 0) {
        return false;
    }
    // One notch with no key held, turned over the middle of the window.
    const ui::Rect frame = frameRect();
    const ui::WheelEvent notch{event->key() == Qt::Key_Plus ? kWheelNotch : -kWheelNotch,
                               0,
                               {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2}};
    deliver([&notch](ui::Dialog& dialog) { dialog.onMouseWheel(notch); });
    return true;
}

void QtWindow::keepOneTabStop(const std::vector<int>& group) {
    // Tab reaches a radio group once, at its ticked member (the first while none is ticked);
    // the arrows move within it.
    const auto ticked = std::find_if(group.begin(), group.end(), [this](int id) {
        return static_cast<QAbstractButton*>(controls_.at(id).widget)->isChecked();
    });
    const int stop = ticked != group.end() ? *ticked : group.front();
    for (const int id : group) {
        controls_.at(id).widget->setFocusPolicy(id == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

void QtWindow::closeBoxPressed() {
    deliver([](ui::Dialog& dialog) { dialog.onClose(); });
}

void QtWindow::escapePressed() {
    deliver([](ui::Dialog& dialog) { dialog.onCancel(); });
}

void QtWindow::wheelTurned(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        return;
    }
    const QPoint position = event->position().toPoint();
    const ui::WheelEvent wheel{
        delta, keyState(event->buttons(), event->modifiers()), {position.x(), position.y()}};
    deliver([&wheel](ui::Dialog& dialog) { dialog.onMouseWheel(wheel); });
}

void QtWindow::mousePressed(QMouseEvent* event) {
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (!doubleClick && event->flags().testFlag(Qt::MouseEventCreatedDoubleClick)) {
        // The second press of a double click arrives as the double click alone.
        return;
    }
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        return;
    }
    const QPoint position = event->position().toPoint();
    const ui::MouseClick click{
        event->button() == Qt::LeftButton ? ui::MouseButton::Left : ui::MouseButton::Right,
        doubleClick,
        {position.x(), position.y()}};
    deliver([&click](ui::Dialog& dialog) { dialog.onMouseClick(click); });
}

// Lookup

const QtWindow::Control* QtWindow::controlOf(const QObject* widget) const {
    for (; widget != nullptr && widget != widget_->clientArea(); widget = widget->parent()) {
        for (const auto& [id, control] : controls_) {
            if (control.widget == widget) {
                return &control;
            }
        }
    }
    return nullptr;
}

const QtWindow::Control* QtWindow::find(int id, KindTest fits, const char* operation) const {
    const auto it = controls_.find(id);
    if (it == controls_.end() || !fits(it->second.layout->kind)) {
        qWarning("dialog %d: cannot %s control %d", template_.id, operation, id);
        return nullptr;
    }
    return &it->second;
}

// ui::Window

std::string QtWindow::text(int id) const {
    const Control* control = find(id, res::hasText, "read the text of");
    if (control == nullptr) {
        return {};
    }
    QWidget* w = control->widget;
    switch (control->layout->kind) {
        case ControlKind::Edit:
            return toUtf8(static_cast<QLineEdit*>(w)->text());
        case ControlKind::Button:
            return toUtf8(buttonCaption(static_cast<QPushButton*>(w)));
        case ControlKind::GroupBox:
            return toUtf8(static_cast<QGroupBox*>(w)->title());
        case ControlKind::Label:
            return toUtf8(static_cast<QLabel*>(w)->text());
        default:
            return toUtf8(static_cast<QAbstractButton*>(w)->text());
    }
}

void QtWindow::setText(int id, std::string_view text) {
    const Control* control = find(id, res::hasText, "set the text of");
    if (control == nullptr) {
        return;
    }
    QWidget* w = control->widget;
    switch (control->layout->kind) {
        case ControlKind::Edit:
            // The user's values, never translated.
            static_cast<QLineEdit*>(w)->setText(toQString(text));
            break;
        case ControlKind::Button:
            setButtonCaption(static_cast<QPushButton*>(w), *control->layout, toQString(text));
            break;
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(w)->setTitle(translatedText(text));
            break;
        case ControlKind::Label:
            static_cast<QLabel*>(w)->setText(translatedText(text));
            break;
        default:
            static_cast<QAbstractButton*>(w)->setText(translatedText(text));
            break;
    }
}

void QtWindow::setTextInEffect(int id, std::string_view text) {
    if (const Control* control = find(id, isEdit, "mark the text in effect of")) {
        auto* edit = static_cast<QLineEdit*>(control->widget);
        edit->setProperty(kTextInEffect, toQString(text));
        markIfNotApplied(edit);
    }
}

void QtWindow::enable(int id, bool enabled) {
    if (const Control* control = find(id, anyKind, "enable")) {
        if (lockedEnabled_ && id != res::kIdCancel) {
            if (enabled) {
                lockedEnabled_->insert(id);
            } else {
                lockedEnabled_->erase(id);
            }
            return;
        }
        control->widget->setEnabled(enabled);
    }
}

void QtWindow::setReadOnly(bool readOnly) {
    if (readOnly == lockedEnabled_.has_value()) {
        return;
    }
    if (readOnly) {
        lockedEnabled_.emplace();
        for (auto& [id, control] : controls_) {
            if (id != res::kIdCancel && control.widget->isEnabled()) {
                lockedEnabled_->insert(id);
                control.widget->setEnabled(false);
            }
        }
        return;
    }
    for (const int id : *lockedEnabled_) {
        controls_.at(id).widget->setEnabled(true);
    }
    lockedEnabled_.reset();
}

bool QtWindow::isEnabled(int id) const {
    const Control* control = find(id, anyKind, "read the state of");
    return control != nullptr && control->widget->isEnabled();
}

void QtWindow::show(int id, bool visible) {
    if (const Control* control = find(id, anyKind, "show")) {
        control->widget->setVisible(visible);
    }
}

bool QtWindow::isVisible(int id) const {
    const Control* control = find(id, anyKind, "read the state of");
    return control != nullptr && !control->widget->isHidden();
}

void QtWindow::setChecked(int id, bool checked) {
    if (const Control* control = find(id, res::isCheckable, "tick")) {
        static_cast<QAbstractButton*>(control->widget)->setChecked(checked);
    }
}

bool QtWindow::isChecked(int id) const {
    const Control* control = find(id, res::isCheckable, "read the tick of");
    return control != nullptr && static_cast<QAbstractButton*>(control->widget)->isChecked();
}

void QtWindow::checkRadio(int first, int last, int id) {
    if (find(id, res::isCheckable, "tick") == nullptr) {
        return;
    }
    for (auto it = controls_.lower_bound(first); it != controls_.end() && it->first <= last; ++it) {
        if (res::isCheckable(it->second.layout->kind)) {
            static_cast<QAbstractButton*>(it->second.widget)->setChecked(it->first == id);
        }
    }
}

void QtWindow::setPicture(int id, res::Picture picture) {
    if (const Control* control = find(id, isPicture, "set the picture of")) {
        static_cast<PictureWidget*>(control->widget)->setPicture(picture);
    }
}

int QtWindow::addRow(int id, std::string_view text) {
    const Control* control = find(id, res::hasRows, "add a row to");
    if (control == nullptr) {
        return ui::kNoRow;
    }
    if (auto* list = qobject_cast<QListWidget*>(control->widget)) {
        // Rows hold stored names: only the fixed part of a row is translated.
        list->addItem(translatedText(text));
        return list->count() - 1;
    }
    auto* combo = static_cast<QComboBox*>(control->widget);
    const int selected = combo->currentIndex();
    combo->addItem(translatedText(text));
    // A drop-down list selects its first row by itself; the logic's lists start unselected.
    combo->setCurrentIndex(selected);
    return combo->count() - 1;
}

void QtWindow::deleteRow(int id, int row) {
    const Control* control = find(id, res::hasRows, "delete a row of");
    if (control == nullptr || row < 0 || row >= rowCount(id)) {
        return;
    }
    // Deleting the selected row leaves none selected; Qt would select a neighbour.
    const bool wasSelected = selectedRow(id) == row;
    if (auto* list = qobject_cast<QListWidget*>(control->widget)) {
        delete list->takeItem(row);
        if (wasSelected) {
            list->clearSelection();
        }
        return;
    }
    auto* combo = static_cast<QComboBox*>(control->widget);
    combo->removeItem(row);
    if (wasSelected) {
        combo->setCurrentIndex(ui::kNoRow);
    }
}

void QtWindow::deleteAllRows(int id) {
    const Control* control = find(id, res::hasRows, "delete the rows of");
    if (control == nullptr) {
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(control->widget)) {
        list->clear();
    } else {
        static_cast<QComboBox*>(control->widget)->clear();
    }
}

int QtWindow::rowCount(int id) const {
    const Control* control = find(id, res::hasRows, "count the rows of");
    if (control == nullptr) {
        return 0;
    }
    if (auto* list = qobject_cast<QListWidget*>(control->widget)) {
        return list->count();
    }
    return static_cast<QComboBox*>(control->widget)->count();
}

int QtWindow::selectedRow(int id) const {
    const Control* control = find(id, res::hasRows, "read the selection of");
    if (control == nullptr) {
        return ui::kNoRow;
    }
    if (auto* list = qobject_cast<QListWidget*>(control->widget)) {
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? ui::kNoRow : list->row(selected.first());
    }
    return static_cast<QComboBox*>(control->widget)->currentIndex();
}

void QtWindow::selectRow(int id, int row) {
    const Control* control = find(id, res::hasRows, "select a row of");
    if (control == nullptr || row < ui::kNoRow || row >= rowCount(id)) {
        return;
    }
    if (auto* list = qobject_cast<QListWidget*>(control->widget)) {
        list->clearSelection();
        list->setCurrentRow(row);
        return;
    }
    static_cast<QComboBox*>(control->widget)->setCurrentIndex(row);
}

void QtWindow::setRange(int id, int minimum, int maximum) {
    const Control* control = find(id, res::hasRange, "set the range of");
    if (control == nullptr) {
        return;
    }
    if (auto* spin = qobject_cast<SpinControl*>(control->widget)) {
        spin->setRange(minimum, maximum);
        return;
    }
    auto* slider = static_cast<QAbstractSlider*>(control->widget);
    slider->setRange(minimum, maximum);
    if (control->layout->kind == ControlKind::Trackbar) {
        // A click in the channel moves a fifth of the range.
        slider->setPageStep(std::max(1, (maximum - minimum) / 5));
    }
}

void QtWindow::setPosition(int id, int position) {
    const Control* control = find(id, res::hasRange, "set the position of");
    if (control == nullptr) {
        return;
    }
    if (auto* spin = qobject_cast<SpinControl*>(control->widget)) {
        spin->setPosition(position);
    } else {
        static_cast<QAbstractSlider*>(control->widget)->setValue(position);
    }
}

int QtWindow::position(int id) const {
    const Control* control = find(id, res::hasRange, "read the position of");
    if (control == nullptr) {
        return 0;
    }
    if (auto* spin = qobject_cast<SpinControl*>(control->widget)) {
        return spin->position();
    }
    auto* slider = static_cast<QAbstractSlider*>(control->widget);
    // A trackbar has moved by the time its notification arrives; a scroll bar has not.
    return control->layout->kind == ControlKind::Trackbar ? slider->sliderPosition()
                                                          : slider->value();
}

void QtWindow::setTickInterval(int id, int interval) {
    const Control* control = find(id, isTrackbar, "set the ticks of");
    if (control == nullptr) {
        return;
    }
    auto* slider = static_cast<QSlider*>(control->widget);
    slider->setTickInterval(interval);
    const QSlider::TickPosition ticks =
        slider->orientation() == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow;
    slider->setTickPosition(interval > 0 ? ticks : QSlider::NoTicks);
}

std::optional<int> QtWindow::focus() const {
    const Control* control = controlOf(widget_->focusWidget());
    return control == nullptr ? std::nullopt : std::optional<int>(control->layout->id);
}

void QtWindow::setFocus(int id) {
    if (const Control* control = find(id, res::takesFocus, "focus")) {
        control->widget->setFocus(Qt::OtherFocusReason);
        focusChosen_ = true;
    }
}

void QtWindow::startTimer(int timerId, int periodMs, ui::TickDelivery delivery) {
    if (ended_) {
        return;
    }
    Timer& timer = timers_[timerId];
    timer.delivery = delivery;
    if (timer.timer == nullptr) {
        timer.timer = new QTimer(widget_.get());
        timer.timer->setObjectName(QStringLiteral("timer %1").arg(timerId));
        timer.timer->setSingleShot(true);
        timer.timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.timer, &QTimer::timeout, widget_.get(),
                         [this, timerId] { timerFired(timerId); });
    }
    const auto now = TickSchedule::Clock::now();
    timer.schedule.emplace(now, std::chrono::milliseconds(std::max(1, periodMs)));
    timer.held = false;
    timer.timer->start(timer.schedule->waitFrom(now + kWakeEarly));
}

void QtWindow::stopTimer(int timerId) {
    const auto it = timers_.find(timerId);
    if (it != timers_.end()) {
        it->second.timer->stop();
        it->second.held = false;
    }
}

void QtWindow::timerFired(int timerId) {
    Timer& timer = timers_.at(timerId);
    TickSchedule& schedule = *timer.schedule;
    const auto woken = TickSchedule::Clock::now();
    if (woken + kWakeEarly < schedule.due()) {
        // Woken well before its time: wait for the rest.
        timer.timer->start(schedule.waitFrom(woken + kWakeEarly));
        return;
    }
    // A sleep of two milliseconds at most, which the event loop could not time as finely.
    std::this_thread::sleep_until(schedule.due());
    schedule.advancePast(TickSchedule::Clock::now());
    timer.timer->start(schedule.waitFrom(TickSchedule::Clock::now() + kWakeEarly));
    if (handlersRunning_ > 0 && !dialogInFront() &&
        timer.delivery == ui::TickDelivery::BetweenHandlers) {
        // Ticks never interrupt a handler, not even from inside its message box.
        timer.held = true;
        return;
    }
    deliver([timerId](ui::Dialog& dialog) { dialog.onTimer(timerId); });
}

bool QtWindow::dialogInFront() const {
    const auto* front = dynamic_cast<const DialogWidget*>(QApplication::activeModalWidget());
    return front != nullptr && front != widget_.get();
}

void QtWindow::deliverHeldTicks() {
    std::vector<int> held;
    for (const auto& [id, timer] : timers_) {
        if (timer.held) {
            held.push_back(id);
        }
    }
    for (const int id : held) {
        Timer& timer = timers_.at(id);
        // An earlier tick's handler may have stopped this timer or ended the dialog.
        if (timer.held && !ended_) {
            timer.held = false;
            deliver([id](ui::Dialog& dialog) { dialog.onTimer(id); });
        }
    }
}

ui::Rect QtWindow::controlRect(int id) const {
    const Control* control = find(id, anyKind, "locate");
    if (control == nullptr) {
        return {};
    }
    const QRect g = control->widget->geometry();
    return {g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

ui::Rect QtWindow::frameRect() const {
    const QPoint origin = widget_->clientArea()->mapToGlobal(QPoint(0, 0));
    const QRect frame = widget_->frameGeometry();
    return {frame.x() - origin.x(), frame.y() - origin.y(), frame.x() + frame.width() - origin.x(),
            frame.y() + frame.height() - origin.y()};
}

void QtWindow::endDialog(int result) {
    ended_ = true;
    result_ = result;
    if (handlersRunning_ == 0) {
        close();
    }
}

}  // namespace tavero::qt
