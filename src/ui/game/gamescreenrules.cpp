#include "gamescreenrules.h"

#include "boardgeometry.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace korvana::ui {

int trayColumns(double panelWidth)
{
    constexpr int minimum = 5;
    const double columns = std::floor((panelWidth - 24) / 56);
    // NaN and huge widths from a broken layout fall back to the minimum.
    if (!std::isfinite(columns) || columns < minimum || columns > 1000)
        return minimum;
    return int(columns);
}

QString chipLabel(const QString &name, bool isMe)
{
    if (isMe)
        return QStringLiteral("Ty");
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

QList<Player> rankedPlayers(QList<Player> players)
{
    std::stable_sort(players.begin(), players.end(),
                     [](const Player &a, const Player &b) { return a.score > b.score; });
    return players;
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

QPointF floatingBoxCentre(QPointF location, QSizeF area)
{
    constexpr double half = 35;
    constexpr double lift = 95;
    // max(min(...)) in this order, as drawn: an area smaller than the box pins it at 35.
    const double x = std::max(std::min(location.x(), area.width() - half), half);
    const double y = std::max(std::min(location.y() - lift, area.height() - half), half);
    return {x, y};
}

} // namespace korvana::ui
