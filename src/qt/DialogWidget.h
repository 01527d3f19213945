// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QKeyEvent;
class QMenuBar;
class QMouseEvent;
class QMoveEvent;
class QResizeEvent;
class QScrollArea;
class QWheelEvent;

namespace tavero::qt {

/// The QDialog of one open dialog: a client area holding the controls (so that client
/// coordinates start below the menu bar) and, when the template has one, a menu bar. The
/// client area keeps its fixed layout; on a screen too small for it, it scrolls. It
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
    /// The view the client area scrolls in; it shows the whole area whenever the screen allows.
    QScrollArea* scrollArea() const { return scrollArea_; }
    /// Adds the menu bar above the client area.
    void setMenuBar(QMenuBar* menuBar);
    /// Sees the key presses of `widget` and its children before they do.
    void watchKeys(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void setVisible(bool visible) override;
    /// The window manager's frame is known once it has placed the window: the view is fitted
    /// again to the room it leaves, and the window kept on the screen.
    void moveEvent(QMoveEvent* event) override;
    /// A window manager may give the window less room than it asked for, to keep it on the
    /// screen: the view then shrinks to the window, so that it scrolls to the whole client area
    /// instead of reaching beyond the window's edge.
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    /// Sizes the view to the client area, or to the screen's free room when that is smaller.
    void fitToScreen();
    /// Sizes the view to the client area, or to `room` when that is smaller.
    void fitTo(QSize room);
    int menuHeight() const;
    /// The frame around the window; a guess with a title bar until the window is shown.
    QMargins frame() const;

    Events& events_;
    QWidget* clientArea_;
    QScrollArea* scrollArea_;
    /// The frame the view was last fitted to.
    QMargins fittedFrame_;
};

}  // namespace tavero::qt
