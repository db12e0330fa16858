// Windows kept wholly on the screen they are shown on: a size remembered on a larger
// screen shrinks to fit a smaller one, and a window opened beside another goes where
// there is room.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

// The frame moved, and first shrunk where it is larger, so that it lies wholly within
// available.
QRect FitFrameWithin(QRect frame, const QRect& available);

// Where a frame of `size` goes beside `anchor`: on its right when it fits there, else
// on its left, else over anchor's right edge as far right as it fits; its top as
// anchor's; always wholly within available.
QRect FrameBeside(const QRect& anchor, QSize size, const QRect& available);

// The frame margins a top-level window has or, before the window manager has framed
// it, those of `framed` (a window shown already), else a title bar's.
QMargins FrameMargins(const QWidget& window, const QWidget* framed = nullptr);

// Shrinks and moves a top-level window so that its frame lies wholly within the
// available geometry of its screen; a maximised or full-screen window is left alone.
void KeepOnScreen(QWidget& window, const QWidget* framed = nullptr);
