// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "roomrecord.h"

#include "jsonfields.h"

#include <optional>

namespace korvana::store {
namespace {

constexpr qint64 formatVersion = 1;

struct StoredPlayer
{
    static constexpr const char *typeName = "StoredPlayer";
    QString id;
    QString name;
    bool isBot = false;
    bool hasPassed = false;
    qint64 score = 0;
    qint64 clockMs = 0;
    QList<QList<qint64>> pieces;  // [] in hand, [row, col, rotation] placed
    std::optional<Move> lastMove; // the wire's record
    QString sessionId;
    qint64 userId = 0;
    bool voted = false;

    static auto fields()
    {
        return std::tuple{json::required("id", &StoredPlayer::id),
                          json::required("name", &StoredPlayer::name),
                          json::required("isBot", &StoredPlayer::isBot),
                          json::required("hasPassed", &StoredPlayer::hasPassed),
                          json::required("score", &StoredPlayer::score),
                          json::required("clockMs", &StoredPlayer::clockMs),
                          json::required("pieces", &StoredPlayer::pieces),
                          json::optional("lastMove", &StoredPlayer::lastMove),
                          json::required("sessionId", &StoredPlayer::sessionId),
                          json::required("userId", &StoredPlayer::userId),
                          json::required("voted", &StoredPlayer::voted)};
    }
};

struct StoredRoom
{
    static constexpr const char *typeName = "StoredRoom";
    qint64 version = formatVersion;
    QString roomId;
    QString serverName;
    qint64 createdMs = 0;
    qint64 lastActionMs = 0;
    QString botSeed; // decimal: the seed may not fit a signed 64-bit number
    qint64 nextPlayerNumber = 1;
    QString status;
    qint64 currentPlayer = -1;
    qint64 turnNumber = 1;
    qint64 timeLimit = 0;
    qint64 turnStartedMs = 0;
    qint64 consecutivePasses = 0;
    qint64 winner = -1;
    QString board; // 400 digits, row by row
    QList<StoredPlayer> players;

    static auto fields()
    {
        return std::tuple{json::required("v", &StoredRoom::version),
                          json::required("roomId", &StoredRoom::roomId),
                          json::required("serverName", &StoredRoom::serverName),
                          json::required("createdMs", &StoredRoom::createdMs),
                          // rows saved before it was kept lack it
                          json::withDefault("lastActionMs", &StoredRoom::lastActionMs, 0),
                          json::required("botSeed", &StoredRoom::botSeed),
                          json::required("nextPlayerNumber", &StoredRoom::nextPlayerNumber),
                          json::required("status", &StoredRoom::status),
                          json::required("currentPlayer", &StoredRoom::currentPlayer),
                          json::required("turnNumber", &StoredRoom::turnNumber),
                          json::required("timeLimit", &StoredRoom::timeLimit),
                          json::required("turnStartedMs", &StoredRoom::turnStartedMs),
                          json::required("consecutivePasses", &StoredRoom::consecutivePasses),
                          json::required("winner", &StoredRoom::winner),
                          json::required("board", &StoredRoom::board),
                          json::required("players", &StoredRoom::players)};
    }
};

bool inRange(qint64 value, qint64 low, qint64 high)
{
    return value >= low && value <= high;
}

} // namespace

QByteArray encodeRoom(const RoomRecord &room)
{
    const rules::Game &game = room.game;
    StoredRoom s;
    s.roomId = room.roomId;
    s.serverName = room.serverName;
    s.createdMs = room.createdMs;
    s.lastActionMs = room.lastActionMs;
    s.botSeed = QString::number(room.botSeed);
    s.nextPlayerNumber = room.nextPlayerNumber;
    s.status = wireName(game.status);
    s.currentPlayer = game.currentPlayer;
    s.turnNumber = game.turnNumber;
    s.timeLimit = game.timeLimit;
    s.turnStartedMs = game.turnStartedMs;
    s.consecutivePasses = game.consecutivePasses;
    s.winner = game.winner;
    s.board.reserve(rules::BoardSize * rules::BoardSize);
    for (auto cell : game.board.cells)
        s.board.append(QChar(u'0' + cell));
    for (std::size_t i = 0; i < game.players.size(); ++i) {
        const rules::PlayerState &p = game.players[i];
        StoredPlayer sp;
        sp.id = p.id;
        sp.name = p.name;
        sp.isBot = p.isBot;
        sp.hasPassed = p.hasPassed;
        sp.score = p.score;
        sp.clockMs = p.clockMs;
        for (const rules::PieceState &piece : p.pieces)
            sp.pieces.append(piece.placed ? QList<qint64>{piece.row, piece.col, piece.rotation}
                                          : QList<qint64>{});
        sp.lastMove = p.lastMove;
        if (i < room.seats.size()) {
            sp.sessionId = room.seats[i].sessionId;
            sp.userId = room.seats[i].userId;
            sp.voted = room.seats[i].voted;
        }
        s.players.append(std::move(sp));
    }
    return json::toJson(s);
}

std::expected<RoomRecord, QString> decodeRoom(QByteArrayView bytes)
{
    auto parsed = json::decode<StoredRoom>(bytes);
    if (!parsed)
        return std::unexpected(parsed.error().description());
    const StoredRoom &s = *parsed;
    const auto fail = [](const char *what) { return std::unexpected(QString::fromLatin1(what)); };
    if (s.version != formatVersion)
        return fail("unknown format version");
    const GameStatus status = gameStatusNamed(s.status);
    if (status == GameStatus::Unknown)
        return fail("unknown status");
    const qint64 n = s.players.size();
    if (n > rules::MaxPlayers || s.roomId.isEmpty())
        return fail("bad room");
    if (status == GameStatus::InProgress ? !inRange(s.currentPlayer, 0, n - 1)
                                         : s.currentPlayer != -1)
        return fail("bad current player");
    if (status == GameStatus::Finished ? !inRange(s.winner, 0, n - 1) : s.winner != -1)
        return fail("bad winner");
    if (!inRange(s.timeLimit, 0, 24 * 3600) || !inRange(s.turnNumber, 1, 1'000'000) ||
        !inRange(s.consecutivePasses, 0, 1'000'000) || !inRange(s.nextPlayerNumber, 1, 1'000'000))
        return fail("bad counters");
    if (s.board.size() != rules::BoardSize * rules::BoardSize)
        return fail("bad board size");
    bool seedOk = false;
    const quint64 seed = s.botSeed.toULongLong(&seedOk);
    if (!seedOk)
        return fail("bad bot seed");

    RoomRecord room;
    room.roomId = s.roomId;
    room.serverName = s.serverName;
    room.createdMs = s.createdMs;
    room.lastActionMs = s.lastActionMs;
    room.botSeed = seed;
    room.nextPlayerNumber = int(s.nextPlayerNumber);
    rules::Game &game = room.game;
    game.status = status;
    game.currentPlayer = int(s.currentPlayer);
    game.turnNumber = int(s.turnNumber);
    game.timeLimit = int(s.timeLimit);
    game.turnStartedMs = s.turnStartedMs;
    game.consecutivePasses = int(s.consecutivePasses);
    game.winner = int(s.winner);
    for (int i = 0; i < rules::BoardSize * rules::BoardSize; ++i) {
        const int v = s.board.at(i).unicode() - u'0';
        if (!inRange(v, 0, n))
            return fail("bad board cell");
        game.board.cells[std::size_t(i)] = std::uint8_t(v);
    }
    for (qint64 i = 0; i < n; ++i) {
        const StoredPlayer &sp = s.players[i];
        rules::PlayerState p;
        p.id = sp.id;
        p.name = sp.name;
        p.seat = int(i);
        p.color = int(i) + 1;
        p.isBot = sp.isBot;
        p.hasPassed = sp.hasPassed;
        p.score = int(sp.score);
        p.clockMs = sp.clockMs;
        if (sp.id.isEmpty() || sp.pieces.size() != rules::PieceCount ||
            !inRange(sp.clockMs, 0, qint64(s.timeLimit) * 1000) || !inRange(sp.score, 0, 200))
            return fail("bad player");
        for (int k = 0; k < rules::PieceCount; ++k) {
            const QList<qint64> &piece = sp.pieces[k];
            if (piece.isEmpty())
                continue;
            if (piece.size() != 3 || !inRange(piece[0], 0, rules::BoardSize - 1) ||
                !inRange(piece[1], 0, rules::BoardSize - 1) || !inRange(piece[2], 0, 270) ||
                rules::rotationIndex(int(piece[2])) < 0)
                return fail("bad piece");
            p.pieces[std::size_t(k)] = {true, int(piece[0]), int(piece[1]), int(piece[2])};
        }
        if (sp.lastMove && rules::pieceIndex(sp.lastMove->pieceId) < 0)
            return fail("bad last move");
        p.lastMove = sp.lastMove;
        if (sp.isBot != (sp.userId == 0) || sp.isBot != sp.sessionId.isEmpty())
            return fail("bad seat");
        game.players.push_back(std::move(p));
        room.seats.push_back({sp.sessionId, sp.userId, sp.voted});
    }
    return room;
}

} // namespace korvana::store
