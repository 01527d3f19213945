// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "qt/DialogWidget.h"
#include "qt/TickSchedule.h"
#include "res/DialogTemplate.h"
#include "ui/Dialog.h"
#include "ui/Host.h"
#include "ui/Window.h"

class QKeyEvent;
class QTimer;

namespace tavero::qt {

/// One open dialog on Qt Widgets: builds a DialogWidget from the template and maps Qt's events
/// to the dialog's handlers (see ui::Dialog for what arrives when). QtHost::runModal makes one
/// per run; tests may make one directly, open() it and show its widget without a modal loop.
class QtWindow final : public ui::Window, private DialogWidget::Events {
public:
    /// @param parent the window in front, or nullptr for the program's first window
    QtWindow(ui::Host& host, const res::DialogTemplate& dialogTemplate, ui::Dialog& dialog,
             QWidget* parent);
    ~QtWindow() override;

    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    /// Ties the dialog to this window, runs onInit and gives the focus to the first control
    /// that takes it (unless onInit chose one).
    void open();
    /// Shows the dialog modally until it ends; returns its result.
    int exec();

    DialogWidget& widget() { return *widget_; }
    bool ended() const { return ended_; }
    int result() const { return result_; }

    // ui::Window
    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    void setTextInEffect(int id, std::string_view text) override;
    void enable(int id, bool enabled) override;
    bool isEnabled(int id) const override;
    void setReadOnly(bool readOnly) override;
    void show(int id, bool visible) override;
    bool isVisible(int id) const override;
    void setChecked(int id, bool checked) override;
    bool isChecked(int id) const override;
    void checkRadio(int first, int last, int id) override;
    void setPicture(int id, res::Picture picture) override;
    int addRow(int id, std::string_view text) override;
    void deleteRow(int id, int row) override;
    void deleteAllRows(int id) override;
    int rowCount(int id) const override;
    int selectedRow(int id) const override;
    void selectRow(int id, int row) override;
    void setRange(int id, int minimum, int maximum) override;
    void setPosition(int id, int position) override;
    int position(int id) const override;
    void setTickInterval(int id, int interval) override;
    std::optional<int> focus() const override;
    void setFocus(int id) override;
    using ui::Window::startTimer;
    void startTimer(int timerId, int periodMs, ui::TickDelivery delivery) override;
    void stopTimer(int timerId) override;
    ui::Rect controlRect(int id) const override;
    ui::Rect frameRect() const override;
    void endDialog(int result) override;

private:
    struct Control {
        const res::ControlTemplate* layout;
        QWidget* widget;
    };

    /// A single-shot precise QTimer set afresh for every tick, so that the ticks keep their
    /// grid (a repeating QTimer starts a new grid after a tick more than a period late).
    struct Timer {
        QTimer* timer = nullptr;
        std::optional<TickSchedule> schedule;
        ui::TickDelivery delivery = ui::TickDelivery::BetweenHandlers;
        /// The tick fell due during a nested event loop of a running handler (a message box)
        /// and waits for the handler's end.
        bool held = false;
    };

    using KindTest = bool (*)(res::ControlKind);

    // DialogWidget::Events
    bool keyPressed(QObject* target, QKeyEvent* event) override;
    void closeBoxPressed() override;
    void escapePressed() override;
    void wheelTurned(QWheelEvent* event) override;
    void mousePressed(QMouseEvent* event) override;

    void buildControls();
    void buildMenu();
    void connectControl(const Control& control);
    /// Calls a handler unless the dialog has ended; closes the window once the outermost
    /// handler returns after an end.
    template <typename Handler>
    void deliver(Handler&& handler);
    void close();
    void timerFired(int timerId);
    /// Whether another dialog is in front: a handler of this window waits for the dialog it
    /// opened, and this window keeps time meanwhile.
    bool dialogInFront() const;
    /// Delivers the ticks held while a handler ran, one per timer.
    void deliverHeldTicks();
    void clicked(int id);
    void pressEnter();
    /// Arrows move within a radio group and step the spin control of a buddy edit.
    bool arrowPressed(QObject* target, int key);
    /// Focuses and ticks the next usable member of the radio group that holds `id`.
    bool moveInRadioGroup(int id, bool forward);
    /// `+` and `-` outside text fields: one wheel notch up or down.
    bool stepLikeTheWheel(QObject* target, QKeyEvent* event);
    void keepOneTabStop(const std::vector<int>& group);
    /// The control that is `widget` or holds it.
    const Control* controlOf(const QObject* widget) const;
    /// The control, or nullptr after a warning when the id is missing or the kind wrong.
    const Control* find(int id, KindTest fits, const char* operation) const;

    ui::Host& host_;
    const res::DialogTemplate& template_;
    ui::Dialog& dialog_;
    std::unique_ptr<DialogWidget> widget_;
    ui::PixelScale scale_;
    std::map<int, Control> controls_;
    std::map<int, Timer> timers_;
    std::optional<ui::DialogBinding> binding_;
    bool focusChosen_ = false;
    /// The control that had the focus when a menu opened, which gets it back when the menus
    /// close without a command.
    QPointer<QWidget> focusBeforeMenu_;
    int handlersRunning_ = 0;
    bool ended_ = false;
    /// The controls read-only disabled, which it enables again.
    std::optional<std::set<int>> lockedEnabled_;
    int result_ = 0;
};

}  // namespace tavero::qt
