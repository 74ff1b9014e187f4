// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The four board colours for colour-blind players: still far apart after a simulation of each
// kind of dichromacy, and told apart by their marks' shapes alone.
#include "boardcolors.h"
#include "colormarks.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <array>
#include <cmath>

using namespace korvana::board;

namespace {

using Vec3 = std::array<double, 3>;
using Matrix = std::array<Vec3, 3>;

Vec3 times(const Matrix &m, const Vec3 &v)
{
    Vec3 r{};
    for (int i = 0; i < 3; ++i)
        r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return r;
}

// The colour as seen through `deficiency`, in CIELAB (D65).
Vec3 simulatedLab(const QColor &color, const Matrix &deficiency)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    Vec3 rgb =
        times(deficiency, {linear(color.redF()), linear(color.greenF()), linear(color.blueF())});
    for (double &c : rgb)
        c = std::clamp(c, 0.0, 1.0);
    const Matrix toXyz{{{0.4124564 / 0.95047, 0.3575761 / 0.95047, 0.1804375 / 0.95047},
                        {0.2126729, 0.7151522, 0.0721750},
                        {0.0193339 / 1.08883, 0.1191920 / 1.08883, 0.9503041 / 1.08883}}};
    const Vec3 xyz = times(toXyz, rgb); // relative to the white point
    const auto f = [](double t) {
        constexpr double d = 6.0 / 29;
        return t > d * d * d ? std::cbrt(t) : t / (3 * d * d) + 4.0 / 29;
    };
    return {116 * f(xyz[1]) - 16, 500 * (f(xyz[0]) - f(xyz[1])), 200 * (f(xyz[1]) - f(xyz[2]))};
}

// The mark drawn without colour, as covered or not, pixel by pixel.
QList<bool> markMask(int colorNumber)
{
    QImage image(32, 32, QImage::Format_Alpha8);
    image.fill(0);
    QPainter p(&image);
    p.fillPath(colorMarkPath(colorNumber, QRectF(0, 0, 32, 32)), Qt::black);
    p.end();
    QList<bool> mask;
    for (int i = 0; i < 32 * 32; ++i)
        mask << (image.constBits()[i] > 127);
    return mask;
}

} // namespace

class TestColorMarks : public QObject
{
    Q_OBJECT
private slots:
    void coloursStayApartForColourBlindEyes_data();
    void coloursStayApartForColourBlindEyes();
    void marksDifferInShape();
};

void TestColorMarks::coloursStayApartForColourBlindEyes_data()
{
    // Machado, Oliveira and Fernandes (2009), severity 1.0, on linear RGB, row by row.
    QTest::addColumn<QList<double>>("m");
    // clang-format off
    QTest::addRow("protanopia") << QList<double>{0.152286, 1.052583, -0.204868,
                                                 0.114503, 0.786281, 0.099216,
                                                 -0.003882, -0.048116, 1.051998};
    QTest::addRow("deuteranopia") << QList<double>{0.367322, 0.860646, -0.227968,
                                                   0.280085, 0.672501, 0.047413,
                                                   -0.011820, 0.042940, 0.968881};
    QTest::addRow("tritanopia") << QList<double>{1.255528, -0.076749, -0.178779,
                                                 -0.078411, 0.930809, 0.147602,
                                                 0.004733, 0.691367, 0.303900};
    // clang-format on
}

void TestColorMarks::coloursStayApartForColourBlindEyes()
{
    QFETCH(QList<double>, m);
    const Matrix deficiency{{{m[0], m[1], m[2]}, {m[3], m[4], m[5]}, {m[6], m[7], m[8]}}};
    // CIE76 distance; 15 is well beyond "clearly different" (about 10). The closest pair is blue
    // and green under tritanopia.
    for (int a = Blue; a <= Green; ++a) {
        for (int b = a + 1; b <= Green; ++b) {
            const Vec3 la = simulatedLab(displayColor(a), deficiency);
            const Vec3 lb = simulatedLab(displayColor(b), deficiency);
            const double distance = std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
            QVERIFY2(distance >= 15,
                     qPrintable(QStringLiteral("%1, %2: %3").arg(a).arg(b).arg(distance)));
        }
    }
}

void TestColorMarks::marksDifferInShape()
{
    // Every mark covers a good part of its box, and any two differ in at least a third of the
    // pixels either covers.
    QList<bool> masks[Green + 1];
    for (int n = Blue; n <= Green; ++n) {
        masks[n] = markMask(n);
        QVERIFY(masks[n].count(true) > 32 * 32 / 8);
    }
    for (int a = Blue; a <= Green; ++a) {
        for (int b = a + 1; b <= Green; ++b) {
            int differ = 0;
            int either = 0;
            for (int i = 0; i < 32 * 32; ++i) {
                differ += masks[a][i] != masks[b][i] ? 1 : 0;
                either += masks[a][i] || masks[b][i] ? 1 : 0;
            }
            QVERIFY2(differ * 3 >= either, qPrintable(QStringLiteral("%1, %2").arg(a).arg(b)));
        }
    }
}

QTEST_APPLESS_MAIN(TestColorMarks)
#include "tst_colormarks.moc"
