#include "gamestate.h"

#include "diagnostics.h"

#include <algorithm>

namespace korvana {
namespace {
constexpr qsizetype kBoardSide = 20;

qint64 cellValueOfColor(const std::optional<QString> &color)
{
    if (!color)
        return 0;
    const QString name = color->toLower();
    if (name == u"blue")
        return 1;
    if (name == u"yellow")
        return 2;
    if (name == u"red")
        return 3;
    if (name == u"green")
        return 4;
    return 0;
}

// Numbers, else cell objects, else an empty board: the board never makes a state unreadable.
Board readBoard(const json::ObjectReader &r)
{
    const auto element = r.find("board");
    if (!element)
        return emptyBoard();
    const json::PathNode node{r.path(), "board", -1};
    const json::Value value(*element, &node);
    Board numbers;
    if (!json::readValue(value, numbers))
        return numbers;
    QList<QList<BoardCell>> cells;
    if (json::readValue(value, cells))
        return emptyBoard();
    Board board;
    board.reserve(cells.size());
    for (const auto &row : std::as_const(cells)) {
        QList<qint64> values;
        values.reserve(row.size());
        for (const BoardCell &cell : row)
            values.append(cellValueOfColor(cell.color));
        board.append(std::move(values));
    }
    return board;
}
} // namespace

Board emptyBoard()
{
    return Board(kBoardSide, QList<qint64>(kBoardSide, 0));
}

std::expected<BoardCell, DecodeError> BoardCell::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    BoardCell c;
    r.optional("color", c.color);
    r.optional("pieceId", c.pieceId);
    return r.finish(std::move(c));
}

void BoardCell::write(json::Writer &w) const
{
    w.beginObject();
    w.field("color", color);
    w.field("pieceId", pieceId);
    w.endObject();
}

std::expected<PiecePosition, DecodeError> PiecePosition::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    PiecePosition p;
    r.required("row", p.row);
    r.required("col", p.col);
    return r.finish(std::move(p));
}

void PiecePosition::write(json::Writer &w) const
{
    w.beginObject();
    w.field("row", row);
    w.field("col", col);
    w.endObject();
}

std::expected<Move, DecodeError> Move::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    Move m;
    r.required("pieceId", m.pieceId);
    r.required("row", m.row);
    r.required("col", m.col);
    r.required("rotation", m.rotation);
    return r.finish(std::move(m));
}

void Move::write(json::Writer &w) const
{
    w.beginObject();
    w.field("pieceId", pieceId);
    w.field("row", row);
    w.field("col", col);
    w.field("rotation", rotation);
    w.endObject();
}

std::expected<Winner, DecodeError> Winner::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    Winner x;
    r.required("playerId", x.playerId);
    r.required("name", x.name);
    r.required("score", x.score);
    return r.finish(std::move(x));
}

void Winner::write(json::Writer &w) const
{
    w.beginObject();
    w.field("playerId", playerId);
    w.field("name", name);
    w.field("score", score);
    w.endObject();
}

std::expected<GamePiece, DecodeError> GamePiece::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    GamePiece p;
    r.required("id", p.id);
    r.required("name", p.name);
    r.withDefault("size", p.size, qint64(0));
    if (!r.ok())
        return r.finish(std::move(p));

    std::optional<Squares> squares;
    r.lenient("squares", squares);
    if (!squares)
        diag(QStringLiteral("⚠️ Nie można zdekodować squares dla klocka ") + p.id +
             QStringLiteral(", używam pustej tablicy"));
    p.squares = squares.value_or(Squares{});

    r.withDefault("placed", p.placed, false);
    r.lenient("position", p.position);
    r.withDefault("rotation", p.rotation, qint64(0));
    if (r.ok() && p.squares.isEmpty() && p.size > 0)
        diag(QStringLiteral("⚠️ Klocek ") + p.id +
             QStringLiteral(" ma puste squares, ale size=") + QString::number(p.size));
    return r.finish(std::move(p));
}

void GamePiece::write(json::Writer &w) const
{
    w.beginObject();
    w.field("id", id);
    w.field("name", name);
    w.field("size", size);
    w.field("squares", squares);
    w.field("placed", placed);
    w.field("position", position);
    w.field("rotation", rotation);
    w.endObject();
}

std::expected<Player, DecodeError> Player::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    Player p;
    r.required("playerId", p.id);
    r.required("name", p.name);
    r.required("color", p.color);
    r.withDefault("score", p.score, qint64(0));
    r.withDefault("pieces", p.pieces, {});
    r.withDefault("hasPassed", p.hasPassed, false);
    r.lenient("lastMove", p.lastMove);
    return r.finish(std::move(p));
}

void Player::write(json::Writer &w) const
{
    w.beginObject();
    w.field("playerId", id);
    w.field("name", name);
    w.field("color", color);
    w.field("score", score);
    w.field("pieces", pieces);
    w.field("hasPassed", hasPassed);
    w.field("lastMove", lastMove);
    w.endObject();
}

std::expected<GameState, DecodeError> GameState::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    GameState s;
    r.required("roomId", s.roomId);
    if (r.ok())
        s.board = readBoard(r);
    r.withDefault("players", s.players, {});
    r.required("gameStatus", s.gameStatus);
    r.lenient("currentPlayerId", s.currentPlayerId);
    r.withDefault("turnNumber", s.turnNumber, qint64(1));
    r.withDefault("timeLimit", s.timeLimit, qint64(0));
    r.lenient("timeRemaining", s.timeRemaining);
    r.withDefault("consecutivePasses", s.consecutivePasses, qint64(0));
    r.lenient("winner", s.winner);
    r.lenient("startVotes", s.startVotes);
    r.lenient("startVotesCount", s.startVotesCount);
    r.lenient("startVotesNeeded", s.startVotesNeeded);
    return r.finish(std::move(s));
}

void GameState::write(json::Writer &w) const
{
    w.beginObject();
    w.field("roomId", roomId);
    w.field("board", board);
    w.field("players", players);
    w.field("gameStatus", gameStatus);
    w.field("currentPlayerId", currentPlayerId);
    w.field("turnNumber", turnNumber);
    w.field("timeLimit", timeLimit);
    w.field("timeRemaining", timeRemaining);
    w.field("consecutivePasses", consecutivePasses);
    w.field("winner", winner);
    w.field("startVotes", startVotes);
    w.field("startVotesCount", startVotesCount);
    w.field("startVotesNeeded", startVotesNeeded);
    w.endObject();
}

std::expected<Session, DecodeError> Session::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    Session s;
    r.required("sessionId", s.sessionId);
    r.required("userId", s.userId);
    r.required("playerId", s.playerId);
    r.required("roomId", s.roomId);
    r.required("color", s.color);
    return r.finish(std::move(s));
}

void Session::write(json::Writer &w) const
{
    w.beginObject();
    w.field("sessionId", sessionId);
    w.field("userId", userId);
    w.field("playerId", playerId);
    w.field("roomId", roomId);
    w.field("color", color);
    w.endObject();
}

std::expected<SessionWrapper, DecodeError> SessionWrapper::read(const json::Value &v)
{
    json::ObjectReader r(v, typeName);
    SessionWrapper s;
    r.required("session", s.session);
    r.required("gameState", s.gameState);
    return r.finish(std::move(s));
}

void SessionWrapper::write(json::Writer &w) const
{
    w.beginObject();
    w.field("session", session);
    w.field("gameState", gameState);
    w.endObject();
}

QList<Player> rankedPlayers(QList<Player> players)
{
    std::stable_sort(players.begin(), players.end(),
                     [](const Player &a, const Player &b) { return a.score > b.score; });
    return players;
}

} // namespace korvana
