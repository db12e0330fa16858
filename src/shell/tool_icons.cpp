// The tool bar's images: the theme's icon where one fits, otherwise a picture drawn here.
#include "shell/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kOutline(0x40, 0x40, 0x40);
const QColor kChannel(255, 226, 102);
const QColor kTransponder(153, 255, 153);
const QColor kFree(192, 192, 192);
const QColor kRed(0xD0, 0x20, 0x20);
const QColor kGreen(0x20, 0x90, 0x30);
const QColor kBlue(0x20, 0x60, 0xC0);

// A table of four rows filling the left part of the picture; highlight marks rows drawn
// in the selection colour.
void Rows(QPainter& p, const QColor& fill, int highlightFirst = -1, int highlightLast = -2,
          int width = 22, int left = 2) {
    for (int r = 0; r < 4; ++r) {
        const QRectF row(left + 0.5, 3.5 + r * 7, width, 6);
        const bool lit = r >= highlightFirst && r <= highlightLast;
        p.setPen(QPen(kOutline, 1));
        p.setBrush(lit ? QColor(0x30, 0x70, 0xD0) : fill);
        p.drawRect(row);
    }
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width = 3) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF a = line;
    a.setLength(7);
    a.setAngle(line.angle() + 35);
    QLineF b = line;
    b.setLength(7);
    b.setAngle(line.angle() - 35);
    QPainterPath head;
    head.moveTo(a.p2());
    head.lineTo(to);
    head.lineTo(b.p2());
    p.drawPath(head);
}

void Cross(QPainter& p, QPointF centre, double r) {
    p.setPen(QPen(kRed, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-r, -r), centre + QPointF(r, r));
    p.drawLine(centre + QPointF(-r, r), centre + QPointF(r, -r));
}

void Sheet(QPainter& p, QRectF rect, const QColor& fill) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(fill);
    p.drawRect(rect);
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    for (double y = rect.top() + 5; y < rect.bottom() - 2; y += 4)
        p.drawLine(QPointF(rect.left() + 3, y), QPointF(rect.right() - 3, y));
}

void Draw(QPainter& p, ToolGlyph glyph) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
        case ToolGlyph::Open: {
            p.setPen(QPen(kOutline, 1.2));
            p.setBrush(QColor(0xE8, 0xB8, 0x40));
            p.drawRect(QRectF(3.5, 8.5, 25, 19));
            p.drawRect(QRectF(3.5, 5.5, 10, 4));
            p.setBrush(QColor(0xF8, 0xD8, 0x70));
            QPolygonF front{{3.5, 27.5}, {8.5, 13.5}, {30.5, 13.5}, {26.5, 27.5}};
            p.drawPolygon(front);
            break;
        }
        case ToolGlyph::Save: {
            p.setPen(QPen(kOutline, 1.2));
            p.setBrush(kBlue);
            p.drawRoundedRect(QRectF(4.5, 4.5, 23, 23), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(8.5, 4.5, 15, 9));
            p.setBrush(QColor(0xD0, 0xD0, 0xD0));
            p.drawRect(QRectF(9.5, 18.5, 13, 9));
            break;
        }
        case ToolGlyph::Copy:
            Sheet(p, QRectF(3.5, 3.5, 16, 20), Qt::white);
            Sheet(p, QRectF(12.5, 9.5, 16, 20), kChannel);
            break;
        case ToolGlyph::Paste: {
            p.setPen(QPen(kOutline, 1.2));
            p.setBrush(QColor(0xB0, 0x80, 0x50));
            p.drawRoundedRect(QRectF(4.5, 5.5, 20, 24), 2, 2);
            p.setBrush(QColor(0xA0, 0xA0, 0xA0));
            p.drawRect(QRectF(10.5, 3.5, 8, 5));
            Sheet(p, QRectF(13.5, 12.5, 15, 17), kChannel);
            break;
        }
        case ToolGlyph::DeleteChannels:
            Rows(p, kChannel, 1, 2);
            Cross(p, QPointF(24, 22), 5);
            break;
        case ToolGlyph::MoveChannels: {
            Rows(p, kChannel, 0, 0, 18);
            QPainterPath path;
            p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            path.moveTo(21, 6.5);
            path.cubicTo(31, 6.5, 31, 25.5, 24, 25.5);
            p.drawPath(path);
            Arrow(p, QPointF(26, 25.5), QPointF(20, 25.5), kGreen);
            break;
        }
        case ToolGlyph::GoToChannel: {
            Rows(p, kChannel, 2, 2, 20, 10);
            Arrow(p, QPointF(1.5, 6), QPointF(8.5, 20.5), kBlue);
            break;
        }
        case ToolGlyph::InsertChannel: {
            Rows(p, kChannel, -1, -2, 20);
            p.setPen(QPen(kOutline, 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(2.5, 10.5, 20, 6));
            p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(26, 8), QPointF(26, 20));
            p.drawLine(QPointF(20, 14), QPointF(32, 14));
            break;
        }
        case ToolGlyph::SwapSatellites: {
            QFont font = p.font();
            font.setPixelSize(12);
            font.setBold(true);
            p.setFont(font);
            p.setPen(kOutline);
            p.drawText(QRectF(0, 0, 12, 14), Qt::AlignCenter, QStringLiteral("A"));
            p.drawText(QRectF(20, 18, 12, 14), Qt::AlignCenter, QStringLiteral("B"));
            Arrow(p, QPointF(10, 11), QPointF(25, 11), kBlue, 2.5);
            Arrow(p, QPointF(22, 21), QPointF(7, 21), kGreen, 2.5);
            break;
        }
        case ToolGlyph::DeleteTransponder:
            Rows(p, kTransponder, -1, -2);
            p.setPen(QPen(kOutline, 1));
            p.setBrush(kFree);
            p.drawRect(QRectF(2.5, 10.5, 22, 6));
            Cross(p, QPointF(24, 22), 5);
            break;
        case ToolGlyph::OptimiseTransponders: {
            p.setPen(QPen(kOutline, 1));
            p.setBrush(kTransponder);
            p.drawRect(QRectF(1.5, 3.5, 12, 6));
            p.drawRect(QRectF(1.5, 22.5, 12, 6));
            p.drawRect(QRectF(19.5, 13.5, 12, 6));
            Arrow(p, QPointF(14, 7), QPointF(22, 13), kBlue, 2.5);
            Arrow(p, QPointF(14, 25), QPointF(22, 19.5), kBlue, 2.5);
            break;
        }
        case ToolGlyph::FavouriteUp:
            Arrow(p, QPointF(16, 28), QPointF(16, 5), kGreen, 5);
            break;
        case ToolGlyph::FavouriteDown:
            Arrow(p, QPointF(16, 4), QPointF(16, 27), kGreen, 5);
            break;
        case ToolGlyph::MoveFavourites:
            Rows(p, kChannel, 1, 1, 16);
            Arrow(p, QPointF(25, 15), QPointF(25, 3), kGreen, 3);
            Arrow(p, QPointF(25, 17), QPointF(25, 29), kGreen, 3);
            break;
        case ToolGlyph::ClosePage:
            Sheet(p, QRectF(4.5, 3.5, 20, 25), Qt::white);
            Cross(p, QPointF(22, 22), 5);
            break;
        case ToolGlyph::Exit: {
            p.setPen(QPen(kOutline, 1.2));
            p.setBrush(QColor(0x90, 0x60, 0x30));
            p.drawRect(QRectF(4.5, 3.5, 14, 25));
            p.setBrush(QColor(0xF0, 0xF0, 0xF0));
            p.drawRect(QRectF(7.5, 6.5, 8, 19));
            Arrow(p, QPointF(14, 16), QPointF(30, 16), kRed, 3);
            break;
        }
    }
}

}  // namespace

QIcon DrawnToolIcon(ToolGlyph glyph) {
    QIcon icon;
    for (const int size : {32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.scale(size / 32.0, size / 32.0);
        Draw(painter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon ToolIcon(ToolGlyph glyph, const char* themeName) {
    if (themeName && QIcon::hasThemeIcon(QString::fromLatin1(themeName)))
        return QIcon::fromTheme(QString::fromLatin1(themeName));
    return DrawnToolIcon(glyph);
}
