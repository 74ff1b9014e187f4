// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamescreenlogic.h"

#include "boardcolors.h"
#include "boardgeometry.h"

#include <QCoreApplication>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace korvana::ui {

namespace {

using Shape = QList<std::pair<qint64, qint64>>;

// The same shape under every turn and mirror gives one form: the smallest of the eight, each
// moved to the top-left corner and sorted.
Shape canonicalShape(const Squares &squares)
{
    Shape best;
    for (int variant = 0; variant < 8; ++variant) {
        Shape shape;
        qint64 top = 0, left = 0;
        for (const Square &square : squares) {
            // Pieces are a few squares across; anything else has no name (and no overflow).
            if (square.size() < 2 || std::abs(square[0]) > 100 || std::abs(square[1]) > 100)
                return {};
            qint64 r = square[0], c = square[1];
            for (int turn = 0; turn < variant % 4; ++turn)
                std::tie(r, c) = std::pair{-c, r};
            if (variant >= 4)
                c = -c;
            top = shape.isEmpty() ? r : std::min(top, r);
            left = shape.isEmpty() ? c : std::min(left, c);
            shape.append({r, c});
        }
        for (auto &[r, c] : shape)
            r -= top, c -= left;
        std::sort(shape.begin(), shape.end());
        if (variant == 0 || shape < best)
            best = shape;
    }
    return best;
}

// Letters of the shapes as players call them; the square of four is "kwadratowy" (klocek).
const QList<std::pair<Shape, QString>> &namedShapes()
{
    static const auto table = [] {
        const QList<std::pair<Squares, QString>> shapes{
            {{{0, 0}}, QString::fromUtf8(QT_TRANSLATE_NOOP("GameScreen", "pojedynczy"))},
            {{{0, 0}, {0, 1}}, QStringLiteral("I")},
            {{{0, 0}, {0, 1}, {0, 2}}, QStringLiteral("I")},
            {{{0, 0}, {0, 1}, {1, 0}}, QStringLiteral("V")},
            {{{0, 0}, {0, 1}, {0, 2}, {0, 3}}, QStringLiteral("I")},
            {{{0, 0}, {1, 0}, {2, 0}, {2, 1}}, QStringLiteral("L")},
            {{{0, 0}, {0, 1}, {1, 0}, {1, 1}},
             QString::fromUtf8(QT_TRANSLATE_NOOP("GameScreen", "kwadratowy"))},
            {{{0, 0}, {0, 1}, {0, 2}, {1, 1}}, QStringLiteral("T")},
            {{{0, 0}, {1, 0}, {1, 1}, {2, 1}}, QStringLiteral("S")},
            {{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}, QStringLiteral("I")},
            {{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}}, QStringLiteral("L")},
            {{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 1}}, QStringLiteral("Y")},
            {{{0, 0}, {0, 1}, {1, 1}, {1, 2}, {1, 3}}, QStringLiteral("N")},
            {{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}}, QStringLiteral("P")},
            {{{0, 0}, {0, 2}, {1, 0}, {1, 1}, {1, 2}}, QStringLiteral("U")},
            {{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}}, QStringLiteral("V")},
            {{{0, 0}, {1, 0}, {1, 1}, {2, 1}, {2, 2}}, QStringLiteral("W")},
            {{{0, 0}, {0, 1}, {1, 1}, {2, 1}, {2, 2}}, QStringLiteral("Z")},
            {{{0, 0}, {0, 1}, {0, 2}, {1, 1}, {2, 1}}, QStringLiteral("T")},
            {{{0, 0}, {0, 1}, {1, 1}, {1, 2}, {2, 1}}, QStringLiteral("F")},
            {{{0, 0}, {1, -1}, {1, 0}, {1, 1}, {2, 0}}, QStringLiteral("X")},
        };
        QList<std::pair<Shape, QString>> result;
        for (const auto &[squares, name] : shapes)
            result.append({canonicalShape(squares), name});
        return result;
    }();
    return table;
}

// 1 pole, 2 pola, 5 pól, 22 pola: the plural forms come from the catalogue.
QString fields(qsizetype count)
{
    return QCoreApplication::translate("GameScreen", "%n pól", nullptr, int(count));
}

} // namespace

QString pieceName(const Squares &squares)
{
    const Shape shape = canonicalShape(squares);
    for (const auto &[known, name] : namedShapes()) {
        if (known == shape)
            return QCoreApplication::translate("GameScreen", "Klocek %1, %2")
                .arg(QCoreApplication::translate("GameScreen", name.toUtf8().constData()),
                     fields(squares.size()));
    }
    return QCoreApplication::translate("GameScreen", "Klocek, %1").arg(fields(squares.size()));
}

std::optional<board::Cell> firstMoveCorner(const Board &board, const QString &myColor)
{
    const int me = board::colorNumber(myColor);
    const auto value = [&](int r, int c) { return board.value(r).value(c, -1); };
    for (int r = 0; r < board.size(); ++r) {
        if (board.at(r).contains(me) && me != board::NoColor)
            return std::nullopt;
    }
    // Clockwise from the top-left, as the colours sit: blue, yellow, red, green.
    constexpr board::Cell corners[] = {{0, 0}, {0, 19}, {19, 19}, {19, 0}};
    const int first = me >= board::Blue && me <= board::Green ? me - 1 : 0;
    for (int i = 0; i < 4; ++i) {
        const board::Cell corner = corners[(first + i) % 4];
        if (value(corner.row, corner.col) == 0)
            return corner;
    }
    return std::nullopt;
}

QString cursorDescription(board::Cell cell, qint64 value, const QString &myColor,
                          std::optional<bool> fits)
{
    static const QStringList colours{QString(),
                                     QCoreApplication::translate("GameScreen", "niebieski klocek"),
                                     QCoreApplication::translate("GameScreen", "żółty klocek"),
                                     QCoreApplication::translate("GameScreen", "czerwony klocek"),
                                     QCoreApplication::translate("GameScreen", "zielony klocek")};
    QString what = QCoreApplication::translate("GameScreen", "puste");
    if (value == board::colorNumber(myColor) && value != board::NoColor)
        what = QCoreApplication::translate("GameScreen", "twój klocek");
    else if (value >= board::Blue && value <= board::Green)
        what = colours.at(int(value));
    else if (value != 0)
        what = QCoreApplication::translate("GameScreen", "zajęte");
    const QString verdict = !fits ? QCoreApplication::translate("GameScreen", "nie wybrano klocka")
                            : *fits
                                ? QCoreApplication::translate("GameScreen", "klocek pasuje")
                                : QCoreApplication::translate("GameScreen", "klocek nie pasuje");
    return QStringLiteral("Wiersz %1, kolumna %2, %3, %4")
        .arg(cell.row + 1)
        .arg(cell.col + 1)
        .arg(what, verdict);
}

int trayColumns(double panelWidth, double tileSide)
{
    constexpr int minimum = 5;
    const double columns = std::floor((panelWidth - 24) / (std::max(tileSide, 1.0) + 6));
    // NaN and huge widths from a broken layout fall back to the minimum.
    if (!std::isfinite(columns) || columns < minimum || columns > 1000)
        return minimum;
    return int(columns);
}

QString chipLabel(const QString &name, bool isMe)
{
    if (isMe)
        return QCoreApplication::translate("GameScreen", "Ty");
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, name);
    int characters = 0;
    while (characters < 6 && finder.toNextBoundary() != -1)
        ++characters;
    return characters < 6 ? name : name.left(finder.position());
}

QString formatTime(qint64 seconds)
{
    if (seconds > 59)
        return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QString::number(seconds) + QLatin1Char('s');
}

TimerTone timerTone(qint64 secondsLeft)
{
    if (secondsLeft < 10)
        return TimerTone::Red;
    if (secondsLeft < 30)
        return TimerTone::Orange;
    return TimerTone::White;
}

bool isMyTurn(const GameState &state, const std::optional<QString> &myPlayerId)
{
    return myPlayerId && state.currentPlayerId && *myPlayerId == *state.currentPlayerId;
}

const Player *findPlayer(const GameState &state, const std::optional<QString> &id)
{
    if (!id)
        return nullptr;
    const auto found = std::find_if(state.players.cbegin(), state.players.cend(),
                                    [&](const Player &p) { return p.id == *id; });
    return found == state.players.cend() ? nullptr : &*found;
}

const GamePiece *findMyPiece(const GameState &state, const std::optional<QString> &myPlayerId,
                             const std::optional<QString> &pieceId)
{
    const Player *me = findPlayer(state, myPlayerId);
    if (!me || !pieceId)
        return nullptr;
    const auto found = std::find_if(me->pieces.cbegin(), me->pieces.cend(),
                                    [&](const GamePiece &p) { return p.id == *pieceId; });
    return found == me->pieces.cend() ? nullptr : &*found;
}

bool isOutOfMoves(const GameState &state, const std::optional<QString> &myPlayerId)
{
    const Player *me = findPlayer(state, myPlayerId);
    return me && me->hasPassed && state.gameStatus == GameStatus::InProgress &&
           !isMyTurn(state, myPlayerId);
}

QString outOfGameNotice(bool myTimeRanOut)
{
    return myTimeRanOut ? QCoreApplication::translate(
                              "GameScreen", "Czas minął. Jesteś poza grą. Poczekaj na koniec gry.")
                        : QCoreApplication::translate("GameScreen",
                                                      "Jesteś poza grą. Poczekaj na koniec gry.");
}

bool TimeOutWatch::update(const GameState &state, const std::optional<QString> &myPlayerId,
                          qint64 nowMs)
{
    // The server rounds the seconds up and the answer takes a while: a second of slack.
    constexpr qint64 slackMs = 1000;
    const Player *me = findPlayer(state, myPlayerId);
    if (!me || state.gameStatus != GameStatus::InProgress)
        return m_ranOut;
    if (isMyTurn(state, myPlayerId)) {
        if (state.timeLimit > 0 && state.timeRemaining)
            m_deadlineMs = nowMs + *state.timeRemaining * 1000;
        return m_ranOut;
    }
    if (me->hasPassed && m_deadlineMs && nowMs + slackMs >= *m_deadlineMs)
        m_ranOut = true;
    m_deadlineMs.reset();
    return m_ranOut;
}

QList<GamePiece> trayPieces(const GameState &state, const std::optional<QString> &myPlayerId)
{
    QList<GamePiece> pieces;
    if (const Player *me = findPlayer(state, myPlayerId)) {
        for (const GamePiece &piece : me->pieces) {
            if (!piece.placed && !piece.squares.isEmpty())
                pieces.append(piece);
        }
    }
    return pieces;
}

bool givesTurnSignal(const std::optional<QString> &oldPlayerId,
                     const std::optional<QString> &newPlayerId,
                     const std::optional<QString> &myPlayerId)
{
    if (!newPlayerId || oldPlayerId == newPlayerId)
        return false;
    return myPlayerId == newPlayerId;
}

bool isShortDrag(QPointF translation)
{
    return std::abs(translation.x()) < 12 && std::abs(translation.y()) < 12;
}

std::optional<DragPreview> dragPreview(QPointF location, QRectF boardFrame,
                                       const DragContext &context)
{
    const auto cell = board::dragCell(location - boardFrame.topLeft(), boardFrame.size());
    if (!cell)
        return DragPreview{};
    if (!context.state)
        return std::nullopt;
    const GamePiece *piece =
        findMyPiece(*context.state, context.myPlayerId, context.selectedPieceId);
    if (!piece)
        return DragPreview{};
    const bool valid =
        board::isPlacementValid(piece->squares, context.rotation, cell->row, cell->col,
                                context.state->board, context.myColor.value_or(QString()));
    return DragPreview{*cell, valid};
}

QPointF floatingBoxCentre(QPointF location, QSizeF area, double scale)
{
    const double half = 35 * scale;
    const double lift = 95 * scale;
    // max(min(...)) in this order, as drawn: an area smaller than the box pins it at 35.
    const double x = std::max(std::min(location.x(), area.width() - half), half);
    double y = std::max(std::min(location.y() - lift, area.height() - half), half);
    // Near the top edge the box would sit on the finger's target: it goes below the finger.
    if (location.y() - lift < half)
        y = std::max(std::min(location.y() + lift, area.height() - half), half);
    return {x, y};
}

} // namespace korvana::ui
