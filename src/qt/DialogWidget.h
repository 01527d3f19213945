// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QKeyEvent;
class QMenuBar;
class QMouseEvent;
class QWheelEvent;

namespace tavero::qt {

/// The QDialog of one open dialog: a client area holding the controls (so that client
/// coordinates start below the menu bar) and, when the template has one, a menu bar. It
/// catches Enter and Escape before the widgets and QDialog's own handling see them, the
/// close box, and the mouse on the client area, and hands them to its Events.
class DialogWidget : public QDialog {
public:
    class Events {
    public:
        /// A key pressed in `target` (the client area or a control); true when it is used up.
        virtual bool keyPressed(QObject* target, QKeyEvent* event) = 0;
        virtual void closeBoxPressed() = 0;
        virtual void escapePressed() = 0;
        /// A wheel event that no control took, positioned in the client area.
        virtual void wheelTurned(QWheelEvent* event) = 0;
        /// A press or double click on the client area or a control that lets clicks through.
        virtual void mousePressed(QMouseEvent* event) = 0;

    protected:
        ~Events() = default;
    };

    DialogWidget(Events& events, QWidget* parent);

    QWidget* clientArea() const { return clientArea_; }
    /// Adds the menu bar above the client area.
    void setMenuBar(QMenuBar* menuBar);
    /// Sees the key presses of `widget` and its children before they do.
    void watchKeys(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    Events& events_;
    QWidget* clientArea_;
};

}  // namespace tavero::qt
