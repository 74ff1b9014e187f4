// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boardsprites.h"

#include "boardcolors.h"
#include "colormarks.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace korvana::board {

namespace {

// Largest image side we paint: a hostile size must not allocate gigabytes.
constexpr int MaxPixels = 4096;

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

// An empty image covering `logical`, its corners snapped outwards to device pixels, and a
// painter drawing in item units.
struct Canvas
{
    Sprite sprite;
    double dpr = 1;

    Canvas(QRectF logical, double devicePixelRatio)
        : dpr(devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 1)
    {
        const double left = std::floor(logical.left() * dpr);
        const double top = std::floor(logical.top() * dpr);
        const double right = std::ceil(logical.right() * dpr);
        const double bottom = std::ceil(logical.bottom() * dpr);
        const int w = int(std::clamp(right - left, 1.0, double(MaxPixels)));
        const int h = int(std::clamp(bottom - top, 1.0, double(MaxPixels)));
        sprite.image = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        sprite.image.fill(Qt::transparent);
        sprite.rect = QRectF(left / dpr, top / dpr, w / dpr, h / dpr);
    }

    void begin(QPainter &p)
    {
        p.begin(&sprite.image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpr, dpr);
        p.translate(-sprite.rect.topLeft());
    }
};

// Lines and corners are drawn for the phone's 16-point cells and grow with the board, so a big
// board looks like a phone's board enlarged.
double lineScale(double cellSize)
{
    return std::max(cellSize / 16, 0.5);
}

QPainterPath roundedSquare(QPointF centre, double side, double radius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side), radius,
                        radius);
    return path;
}

void fillGradient(QPainter &p, const QPainterPath &path, const QColor &from, const QColor &to)
{
    const QRectF bounds = path.boundingRect();
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomRight());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    p.fillPath(path, gradient);
}

// Two box-blur passes per direction over a premultiplied image: close enough to a soft shadow
// of a few pixels.
void blur(QImage &image, int radius)
{
    if (radius <= 0)
        return;
    const int w = image.width();
    const int h = image.height();
    QList<QRgb> line(std::max(w, h));
    const auto pass = [&](int count, int length, auto at) {
        for (int i = 0; i < count; ++i) {
            for (int j = 0; j < length; ++j)
                line[j] = at(i, j);
            for (int j = 0; j < length; ++j) {
                int a = 0, r = 0, g = 0, b = 0;
                for (int k = std::max(0, j - radius); k <= std::min(length - 1, j + radius); ++k) {
                    a += qAlpha(line[k]);
                    r += qRed(line[k]);
                    g += qGreen(line[k]);
                    b += qBlue(line[k]);
                }
                const int span = 2 * radius + 1; // edges fade into transparency
                at(i, j) = qRgba(r / span, g / span, b / span, a / span);
            }
        }
    };
    for (int round = 0; round < 2; ++round) {
        pass(h, w, [&](int y, int x) -> QRgb & {
            return reinterpret_cast<QRgb *>(image.scanLine(y))[x];
        });
        pass(w, h, [&](int x, int y) -> QRgb & {
            return reinterpret_cast<QRgb *>(image.scanLine(y))[x];
        });
    }
}

// A colour's mark over a shape centred on `centre`, dark enough to read on every player colour.
void drawMark(QPainter &p, int mark, QPointF centre, double side)
{
    if (mark == 0)
        return;
    const QRectF box(centre.x() - side / 2, centre.y() - side / 2, side, side);
    p.fillPath(colorMarkPath(mark, box), QColor(0, 0, 0, 115));
}

} // namespace

Sprite backdropSprite(double cellSize, int boardSize, qsizetype playerCount, double dpr,
                      int hiddenGlows)
{
    const double side = cellSize * boardSize;
    const double k = lineScale(cellSize);
    const double margin = cellSize / 2 + k;
    Canvas canvas(QRectF(-margin, -margin, side + 2 * margin, side + 2 * margin), dpr);
    QPainter p;
    canvas.begin(p);

    QPainterPath background;
    background.addRoundedRect(QRectF(0, 0, side, side), 8 * k, 8 * k);
    fillGradient(p, background, QColor::fromRgbF(0.05f, 0.05f, 0.08f),
                 QColor::fromRgbF(0.03f, 0.03f, 0.05f));
    p.strokePath(background, QPen(withAlpha(Qt::white, 0.1), k));

    p.setPen(QPen(withAlpha(Qt::white, 0.06), 0.5 * k));
    for (int i = 0; i <= boardSize; ++i) {
        const double at = i * cellSize;
        p.drawLine(QPointF(at, 0), QPointF(at, side));
        p.drawLine(QPointF(0, at), QPointF(side, at));
    }

    const double near = cellSize;
    const double far = (boardSize - 1) * cellSize;
    struct Glow
    {
        int color;
        QPointF centre;
    };
    const Glow glows[] = {
        {Blue, {near, near}}, {Yellow, {far, near}}, {Red, {far, far}}, {Green, {near, far}}};
    for (int i = 0; i < 4; ++i) {
        if (hiddenGlows & (1 << i))
            continue;
        const QColor color = displayColor(glows[i].color);
        const bool active = playerCount > i;
        const QPointF centre = glows[i].centre;
        QRadialGradient halo(centre, 1.5 * cellSize);
        halo.setColorAt(0, withAlpha(color, active ? 0.4 : 0.15));
        halo.setColorAt(1, withAlpha(color, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(centre, 1.5 * cellSize, 1.5 * cellSize);
        p.setBrush(withAlpha(color, active ? 0.8 : 0.3));
        p.setPen(QPen(withAlpha(color, 0.5), k));
        p.drawEllipse(centre, 0.4 * cellSize, 0.4 * cellSize);
    }
    p.end();
    return canvas.sprite;
}

Sprite cellSprite(const QColor &color, double cellSize, double dpr, int mark)
{
    Canvas canvas(QRectF(0, 0, cellSize, cellSize), dpr);
    QPainter p;
    canvas.begin(p);
    const QPointF centre(cellSize / 2, cellSize / 2);
    const double k = lineScale(cellSize);
    p.fillPath(roundedSquare(centre, cellSize - 1.5 * k, 3 * k), color);
    fillGradient(p, roundedSquare(centre, cellSize - 4 * k, 2 * k), withAlpha(color, 0.5), color);
    drawMark(p, mark, centre, 0.55 * cellSize);
    p.end();
    return canvas.sprite;
}

Sprite selectionSprite(double cellSize, double dpr)
{
    const double k = lineScale(cellSize);
    Canvas canvas(QRectF(-k, -k, cellSize + 2 * k, cellSize + 2 * k), dpr);
    QPainter p;
    canvas.begin(p);
    p.strokePath(roundedSquare(QPointF(cellSize / 2, cellSize / 2), cellSize - 1.5 * k, 3 * k),
                 QPen(systemYellow(), 2 * k));
    p.end();
    return canvas.sprite;
}

Sprite crosshairSprite(const QColor &color, double cellSize, double dpr)
{
    const double k = lineScale(cellSize);
    const double reach = 0.7 * cellSize + 3 * k;
    const QPointF centre(cellSize / 2, cellSize / 2);
    Canvas canvas(QRectF(centre.x() - reach, centre.y() - reach, 2 * reach, 2 * reach), dpr);
    QPainter p;
    canvas.begin(p);

    p.setPen(QPen(color, 2 * k));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 0.4 * cellSize, 0.4 * cellSize);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(centre, 0.125 * cellSize, 0.125 * cellSize);
    const double arm = 1.2 * cellSize;
    p.drawRect(QRectF(centre.x() - arm / 2, centre.y() - k, arm, 2 * k));
    p.drawRect(QRectF(centre.x() - k, centre.y() - arm / 2, 2 * k, arm));

    // Bracket i: an L in a size x size frame turned i quarter turns clockwise about the frame's
    // centre, the frame centred on the cell's corner i (clockwise from the top-left).
    const double size = 0.4 * cellSize;
    QPen pen(color, 2 * k, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QPointF corners[] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(centre + corners[i] * (cellSize / 2));
        p.rotate(90.0 * i);
        QPainterPath bracket;
        bracket.moveTo(-size / 2, size / 2);
        bracket.lineTo(-size / 2, -size / 2);
        bracket.lineTo(size / 2, -size / 2);
        p.drawPath(bracket);
        p.restore();
    }
    p.end();
    return canvas.sprite;
}

Sprite pulseRingSprite(const QColor &color, double cellSize, double maxScale, double dpr)
{
    const double k = lineScale(cellSize);
    const double reach = 0.75 * cellSize + k;
    const QPointF centre(cellSize / 2, cellSize / 2);
    const QRectF rect(centre.x() - reach, centre.y() - reach, 2 * reach, 2 * reach);
    // Painted at the largest scale; the node shrinks it to the current one.
    const double scale = std::max(1.0, maxScale);
    Canvas canvas(QRectF(0, 0, rect.width() * scale, rect.height() * scale), dpr);
    QPainter p;
    canvas.begin(p);
    p.scale(scale, scale);
    p.setPen(QPen(withAlpha(color, 0.5), 2 * k));
    p.drawEllipse(QPointF(reach, reach), 0.75 * cellSize, 0.75 * cellSize);
    p.end();
    canvas.sprite.rect = rect;
    return canvas.sprite;
}

Sprite ghostSprite(const QColor &color, double cellSize, double dpr, int mark)
{
    Canvas canvas(QRectF(0, 0, cellSize, cellSize), dpr);
    QPainter p;
    canvas.begin(p);
    const double k = lineScale(cellSize);
    const QPointF centre(cellSize / 2, cellSize / 2);
    const QPainterPath square = roundedSquare(centre, cellSize - 2 * k, 3 * k);
    p.fillPath(square, withAlpha(color, 0.5));
    p.strokePath(square, QPen(color, 2 * k));
    drawMark(p, mark, centre, 0.55 * cellSize);
    p.end();
    return canvas.sprite;
}

Sprite hintSprite(const QColor &color, double cellSize, double dpr, int mark)
{
    Canvas canvas(QRectF(0, 0, cellSize, cellSize), dpr);
    QPainter p;
    canvas.begin(p);
    const QPointF centre(cellSize / 2, cellSize / 2);
    // Quiet enough to leave the board readable, clear enough to find: a faint square and a small
    // centre.
    const double k = lineScale(cellSize);
    const QPainterPath square = roundedSquare(centre, cellSize - 4 * k, 2 * k);
    p.fillPath(square, withAlpha(color, 0.12));
    p.strokePath(square, QPen(withAlpha(color, 0.5), k));
    if (mark == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(color, 0.85));
        p.drawEllipse(centre, 0.15 * cellSize, 0.15 * cellSize);
    } else {
        const double side = 0.45 * cellSize;
        p.fillPath(
            colorMarkPath(mark, QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side)),
            withAlpha(color, 0.65));
    }
    p.end();
    return canvas.sprite;
}

Sprite pieceSquareSprite(const QColor &color, double unit, bool shadow, double dpr, int mark)
{
    const double side = std::max(unit - 1.5, 2.0);
    const double reach = side / 2 + (shadow ? 4 : 1);
    Canvas canvas(QRectF(-reach, -reach, 2 * reach, 2 * reach), dpr);
    QPainter p;
    if (shadow) {
        canvas.begin(p);
        p.fillPath(roundedSquare(QPointF(0, 1), side, 2), withAlpha(color, 0.3));
        p.end();
        blur(canvas.sprite.image, int(std::lround(canvas.dpr)));
    }
    canvas.begin(p);
    const QPainterPath square = roundedSquare(QPointF(0, 0), side, 2);
    fillGradient(p, square, withAlpha(color, 0.9), withAlpha(color, 0.7));
    p.strokePath(square, QPen(withAlpha(Qt::white, 0.4), 0.5));
    drawMark(p, mark, QPointF(0, 0), 0.55 * side);
    p.end();
    return canvas.sprite;
}

} // namespace korvana::board
