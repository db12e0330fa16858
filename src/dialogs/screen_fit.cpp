#include "dialogs/screen_fit.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

QRect FitFrameWithin(QRect frame, const QRect& available) {
    if (available.isEmpty()) return frame;
    frame.setWidth(std::min(frame.width(), available.width()));
    frame.setHeight(std::min(frame.height(), available.height()));
    const int left =
        std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1);
    const int top =
        std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1);
    frame.moveTo(left, top);
    return frame;
}

QRect FrameBeside(const QRect& anchor, QSize size, const QRect& available) {
    QRect frame(QPoint(anchor.right() + 1, anchor.top()), size);
    if (frame.right() > available.right()) {
        const QRect leftOfAnchor(QPoint(anchor.left() - size.width(), anchor.top()), size);
        // Neither side has room: as far right as the screen lets it, covering the
        // anchor's right part.
        frame = leftOfAnchor.left() >= available.left()
                    ? leftOfAnchor
                    : QRect(QPoint(available.right() - size.width() + 1, anchor.top()), size);
    }
    return FitFrameWithin(frame, available);
}

QMargins FrameMargins(const QWidget& window, const QWidget* framed) {
    const auto margins = [](const QWidget& w) {
        const QRect frame = w.frameGeometry();
        const QRect inside = w.geometry();
        return QMargins(inside.left() - frame.left(), inside.top() - frame.top(),
                        frame.right() - inside.right(), frame.bottom() - inside.bottom());
    };
    if (window.isVisible()) return margins(window);
    if (framed && framed->isVisible()) return margins(*framed);
    // Not framed yet: at least the title bar the window manager will add.
    return QMargins(0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight), 0, 0);
}

void KeepOnScreen(QWidget& window, const QWidget* framed) {
    if (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    QScreen* screen = window.screen();
    if (!screen) return;
    const QMargins margins = FrameMargins(window, framed);
    const QRect inside = window.geometry();
    const QRect frame = FitFrameWithin(inside.marginsAdded(margins), screen->availableGeometry());
    const QRect fitted = frame.marginsRemoved(margins);
    if (fitted == inside) return;
    window.resize(std::max(fitted.width(), window.minimumWidth()),
                  std::max(fitted.height(), window.minimumHeight()));
    window.move(frame.topLeft());  // a window's position is its frame's
}
