#include "shell/artwork.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>

namespace harmovia {
namespace {

QColor FromMood(MoodColour c, double darken = 0.0) {
    const auto channel = [darken](uint16_t v) {
        return std::clamp(v / 65535.0 - darken, 0.0, 1.0);
    };
    return QColor::fromRgbF(static_cast<float>(channel(c.red)),
                            static_cast<float>(channel(c.green)),
                            static_cast<float>(channel(c.blue)));
}

// Paints `paint` on a transparent square of `pixels`, in a coordinate system `logical`
// units wide, so every piece of art is drawn once in its own units at any resolution.
template <class Paint>
QImage Render(int pixels, double logical, Paint paint) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / logical, pixels / logical);
    paint(p);
    p.end();
    // A painted image keeps its paint engine as long as it lives; the copy is the pixels.
    return image.copy();
}

template <class MakeImage>
QIcon IconAt(int logical, MakeImage make) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap = QPixmap::fromImage(make(logical * scale));
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A glossy rounded tile: the shape every colour button shares.
void PaintTile(QPainter& p, const QBrush& face, const QColor& rim) {
    const QRectF tile(4, 4, 40, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(tile.translated(0, 1.5), 10, 10);
    p.setBrush(face);
    p.setPen(QPen(rim, 1.2));
    p.drawRoundedRect(tile, 10, 10);
    // Gloss over the upper half.
    QLinearGradient gloss(0, 5, 0, 24);
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(6.5, 5.5, 35, 18), 8, 8);
}

void PaintColourButton(QPainter& p, int index) {
    if (index >= 1 && index <= kMoodCount) {
        const QColor base = FromMood(MoodTable[static_cast<size_t>(index)].colour);
        QLinearGradient face(0, 4, 0, 44);
        face.setColorAt(0, base.lighter(135));
        face.setColorAt(0.55, base);
        face.setColorAt(1, base.darker(130));
        PaintTile(p, face, base.darker(190));
        return;
    }
    if (index == 0) {
        // All tunes: the nine mood colours round the tile.
        QConicalGradient wheel(24, 24, 90);
        for (int m = 1; m <= kMoodCount; ++m) {
            const QColor c = FromMood(MoodTable[static_cast<size_t>(m)].colour);
            wheel.setColorAt((m - 1) / 9.0, c);
            wheel.setColorAt(m / 9.0 - 0.001, c);
        }
        PaintTile(p, wheel, QColor(40, 40, 40));
        p.setBrush(QColor(255, 255, 255, 235));
        p.setPen(QPen(QColor(0, 0, 0, 60), 1));
        p.drawEllipse(QPointF(24, 25), 7, 7);
        return;
    }
    // Last added: a steel tile with a white plus.
    QLinearGradient face(0, 4, 0, 44);
    face.setColorAt(0, QColor(0xB8, 0xC4, 0xD2));
    face.setColorAt(1, QColor(0x5E, 0x6C, 0x7E));
    PaintTile(p, face, QColor(0x33, 0x3C, 0x48));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(QRectF(21.5, 15, 6, 21), 2, 2);
    p.drawRoundedRect(QRectF(13.5, 23, 22, 6), 2, 2);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(21, 14, 6, 21), 2, 2);
    p.drawRoundedRect(QRectF(13, 22, 22, 6), 2, 2);
}

// A brushed-steel round button with a dark glyph, drawn in 48 units.
void PaintPlayerButton(QPainter& p, PlayerButton button) {
    const QPointF centre(24, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawEllipse(centre + QPointF(0, 1.5), 21, 21);
    QLinearGradient rim(0, 2, 0, 46);
    rim.setColorAt(0, QColor(0xF4, 0xF4, 0xF4));
    rim.setColorAt(1, QColor(0x6A, 0x6A, 0x6A));
    p.setBrush(rim);
    p.setPen(QPen(QColor(0x38, 0x38, 0x38), 1));
    p.drawEllipse(centre, 21, 21);
    QRadialGradient face(QPointF(24, 16), 26);
    face.setColorAt(0, QColor(0xFA, 0xFA, 0xFA));
    face.setColorAt(1, QColor(0xA8, 0xA8, 0xA8));
    p.setBrush(face);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, 17.5, 17.5);

    p.setBrush(QColor(0x2A, 0x2E, 0x33));
    const auto triangle = [&p](double tipX, double backX, double half) {
        const std::array<QPointF, 3> points = {QPointF(backX, 24 - half), QPointF(tipX, 24),
                                               QPointF(backX, 24 + half)};
        p.drawPolygon(points.data(), 3);
    };
    switch (button) {
        case PlayerButton::Play:
            triangle(33, 19, 9.5);
            break;
        case PlayerButton::Stop:
            p.drawRoundedRect(QRectF(16.5, 16.5, 15, 15), 2, 2);
            break;
        case PlayerButton::Back:
            triangle(13, 24, 8);
            triangle(24, 35, 8);
            break;
        case PlayerButton::Forward:
            triangle(35, 24, 8);
            triangle(24, 13, 8);
            break;
    }
}

void PaintProgramIcon(QPainter& p) {
    // A dark rounded square, a ring of the nine mood colours and a note in a white centre;
    // drawn in 64 units.
    QLinearGradient back(0, 2, 0, 62);
    back.setColorAt(0, QColor(0x4A, 0x4D, 0x52));
    back.setColorAt(1, QColor(0x1E, 0x20, 0x24));
    p.setPen(QPen(QColor(0x10, 0x10, 0x12), 1));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(2.5, 2.5, 59, 59), 13, 13);
    const QRectF ring(8, 8, 48, 48);
    for (int m = 1; m <= kMoodCount; ++m) {
        p.setPen(Qt::NoPen);
        p.setBrush(FromMood(MoodTable[static_cast<size_t>(m)].colour));
        const int start = static_cast<int>(std::lround((90.0 - (m - 1) * 40.0) * 16));
        p.drawPie(ring, start, -40 * 16);
    }
    QRadialGradient centre(QPointF(32, 28), 20);
    centre.setColorAt(0, Qt::white);
    centre.setColorAt(1, QColor(0xDD, 0xDD, 0xDD));
    p.setBrush(centre);
    p.setPen(QPen(QColor(0, 0, 0, 90), 1));
    p.drawEllipse(QPointF(32, 32), 15, 15);
    // An eighth note.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x24, 0x28));
    p.save();
    p.translate(29, 38);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), 4.6, 3.4);
    p.restore();
    p.drawRect(QRectF(32.2, 22, 2, 16.5));
    QPainterPath flag;
    flag.moveTo(34.2, 22);
    flag.cubicTo(36, 26, 41, 26, 39.5, 32);
    flag.cubicTo(39, 28, 36.5, 27.5, 34.2, 27);
    flag.closeSubpath();
    p.drawPath(flag);
}

}  // namespace

QImage ColourButtonImage(int index, int pixels) {
    return Render(pixels, 48, [index](QPainter& p) { PaintColourButton(p, index); });
}

QIcon ColourButtonIcon(int index) {
    return IconAt(kColourButtonSize, [index](int px) { return ColourButtonImage(index, px); });
}

QImage PlayerButtonImage(PlayerButton button, int pixels) {
    return Render(pixels, 48, [button](QPainter& p) { PaintPlayerButton(p, button); });
}

QIcon PlayerButtonIcon(PlayerButton button, int logicalSize) {
    return IconAt(logicalSize, [button](int px) { return PlayerButtonImage(button, px); });
}

QImage ProgramIconImage(int pixels) {
    return Render(pixels, 64, [](QPainter& p) { PaintProgramIcon(p); });
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int px : {16, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(px)));
    }
    return icon;
}

QIcon MoodDiscIcon(int mood) {
    return IconAt(16, [mood](int px) {
        return Render(px, 16, [mood](QPainter& p) {
            if (!IsMood(mood)) {
                return;
            }
            p.setPen(Qt::NoPen);
            p.setBrush(FromMood(MoodTable[static_cast<size_t>(mood)].colour));
            p.drawEllipse(QRectF(0, 0, 16, 16));
        });
    });
}

QIcon SearchGlyphIcon() {
    return IconAt(16, [](int px) {
        return Render(px, 16, [](QPainter& p) {
            p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.8, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(6.5, 6.5), 4.2, 4.2);
            p.drawLine(QPointF(9.6, 9.6), QPointF(14, 14));
        });
    });
}

void PaintDisplayPanel(QPainter& p, const QRectF& area) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outer = area.adjusted(0.5, 0.5, -0.5, -0.5);
    // Bezel, then a softly lit screen with a shadow along its top edge.
    QLinearGradient bezel(0, outer.top(), 0, outer.bottom());
    bezel.setColorAt(0, QColor(0x3A, 0x3A, 0x3A));
    bezel.setColorAt(1, QColor(0x9A, 0x9A, 0x9A));
    p.setPen(QPen(QColor(0x2C, 0x2C, 0x2C), 1));
    p.setBrush(bezel);
    p.drawRoundedRect(outer, 9, 9);
    const QRectF screen = outer.adjusted(2.5, 2.5, -2.5, -2.5);
    QLinearGradient glass(0, screen.top(), 0, screen.bottom());
    glass.setColorAt(0, QColor(0xC9, 0xD3, 0xBE));
    glass.setColorAt(0.25, QColor(0xE4, 0xEB, 0xD9));
    glass.setColorAt(1, QColor(0xD3, 0xDC, 0xC6));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawRoundedRect(screen, 7, 7);
    QLinearGradient shade(0, screen.top(), 0, screen.top() + 8);
    shade.setColorAt(0, QColor(0, 0, 0, 55));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(shade);
    p.drawRoundedRect(screen, 7, 7);
    p.restore();
}

void DrawMoodCell(QPainter& painter, const QRect& cell, int rowHeight, MoodColour colour,
                  bool playingDot) {
    const double h = rowHeight - 4;
    const QRectF ring(cell.left(), cell.top() + 2, h, h);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(FromMood(colour, 0.073));
    painter.drawEllipse(ring);
    painter.setBrush(FromMood(colour));
    painter.drawEllipse(ring.adjusted(2, 2, -2, -2));
    if (playingDot) {
        painter.setBrush(Qt::white);
        painter.drawEllipse(ring.center(), h / 4, h / 4);
    }
    painter.restore();
}

void DrawHandSetMark(QPainter& painter, const QRect& cell, int rowHeight) {
    const double h = rowHeight - 4;
    const double r = h / 5;
    const QPointF centre(cell.left() + h - r, cell.top() + 2 + h - r);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x20, 0x24, 0x2A), 1.2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, r, r);
    painter.restore();
}

}  // namespace harmovia
