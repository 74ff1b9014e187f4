#include "boardrules.h"

#include "bots/bot.h"
#include "rules/game.h"
#include "rules/legality.h"

#include <QElapsedTimer>
#include <QTest>

#include <random>

using namespace korvana;

namespace {

Board clientBoard(const rules::Board &board)
{
    Board result(rules::BoardSize, QList<qint64>(rules::BoardSize, 0));
    for (int r = 0; r < rules::BoardSize; ++r) {
        for (int c = 0; c < rules::BoardSize; ++c)
            result[r][c] = board.at(r, c);
    }
    return result;
}

Squares clientSquares(const std::vector<rules::Square> &squares)
{
    Squares result;
    for (const auto &[r, c] : squares)
        result.append(Square{r, c});
    return result;
}

// The colour name a client would hold for colour number `me`; "" for 0 (no colour).
QString colorNameOf(int me)
{
    return me == 0 ? QString() : rules::colorName(me).toUpper();
}

} // namespace

// The client's preview and the server's legality must never disagree: a green ghost the server
// refuses, or a red one over a legal move, would mislead the player.
class TestPlacementAgreement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void agreesOnPositionsReachedByLegalPlay_data();
    void agreesOnPositionsReachedByLegalPlay();

private:
    // First disagreement in `board` for colour `me`, or empty. Every piece, rotation and anchor
    // cell, one check at a time on both sides (anchors a few cells off the board too: squares
    // may still land on it).
    static QString compareEachCell(const rules::Board &board, int me);
    // The same over the board's cells through the whole-board scans of both sides, which is
    // cheap enough for every position.
    static QString compareScans(const rules::Board &board, int me);
};

namespace {

QString describe(int piece, int rotation, int me)
{
    return QStringLiteral("%1 at %2 deg, colour '%3'")
        .arg(rules::pieceCatalogue()[std::size_t(piece)].id)
        .arg(rotation)
        .arg(colorNameOf(me));
}

} // namespace

QString TestPlacementAgreement::compareEachCell(const rules::Board &serverBoard, int me)
{
    const Board board = clientBoard(serverBoard);
    const QString colorName = colorNameOf(me);
    for (int piece = 0; piece < rules::PieceCount; ++piece) {
        const auto &squares = rules::pieceCatalogue()[std::size_t(piece)].squares;
        const Squares client = clientSquares(squares);
        for (const int rotation : rules::Rotations) {
            QList<board::Cell> valid;
            for (int row = -4; row < rules::BoardSize + 4; ++row) {
                for (int col = -4; col < rules::BoardSize + 4; ++col) {
                    const auto verdict =
                        rules::checkPlacement(serverBoard, squares, rotation, row, col, me);
                    const bool server = verdict == rules::PlacementVerdict::Valid;
                    const bool mine =
                        board::isPlacementValid(client, rotation, row, col, board, colorName);
                    if (server != mine) {
                        return QStringLiteral("%1, (%2,%3): client %4, server %5 (%6)")
                            .arg(describe(piece, rotation, me))
                            .arg(row)
                            .arg(col)
                            .arg(mine)
                            .arg(server)
                            .arg(rules::verdictText(verdict));
                    }
                    if (mine && rules::isInside(row, col))
                        valid.append({row, col});
                }
            }
            if (board::validCells(client, rotation, board, colorName) != valid)
                return QStringLiteral("validCells of %1").arg(describe(piece, rotation, me));
        }
    }
    return {};
}

QString TestPlacementAgreement::compareScans(const rules::Board &serverBoard, int me)
{
    const Board board = clientBoard(serverBoard);
    const QString colorName = colorNameOf(me);
    for (int piece = 0; piece < rules::PieceCount; ++piece) {
        const Squares client = clientSquares(rules::pieceCatalogue()[std::size_t(piece)].squares);
        for (int r = 0; r < rules::RotationCount; ++r) {
            const int rotation = rules::Rotations[std::size_t(r)];
            rules::BitBoard mine;
            for (const auto &[row, col] : board::validCells(client, rotation, board, colorName))
                mine.set(row, col);
            if (mine != rules::validAnchors(serverBoard, me, piece, r))
                return QStringLiteral("all cells of %1").arg(describe(piece, rotation, me));
        }
    }
    return {};
}

void TestPlacementAgreement::agreesOnPositionsReachedByLegalPlay_data()
{
    QTest::addColumn<int>("players");
    QTest::addColumn<int>("positions");
    QTest::addColumn<quint64>("seed");

    QTest::addRow("2 players") << 2 << 800 << quint64(11);
    QTest::addRow("3 players") << 3 << 800 << quint64(23);
    QTest::addRow("4 players") << 4 << 1200 << quint64(37);
}

void TestPlacementAgreement::agreesOnPositionsReachedByLegalPlay()
{
    QFETCH(int, players);
    QFETCH(int, positions);
    QFETCH(quint64, seed);
    constexpr int CellByCellEvery = 40;

    std::mt19937_64 random(seed);
    int checked = 0;
    int placements = 0;
    for (int game = 0; checked < positions; ++game) {
        rules::GameState state = rules::newGame();
        for (int p = 0; p < players; ++p) {
            QVERIFY(
                rules::addPlayer(state, QStringLiteral("p%1").arg(p), QStringLiteral("Bot"), true));
        }
        QVERIFY(rules::startGame(state, 0));

        while (state.status == rules::GameStatus::InProgress && checked < positions) {
            // Each colour in turn, seated or not; now and then no colour at all, cell by cell.
            const int me = checked % rules::MaxPlayers + 1;
            QString failure = compareScans(state.board, me);
            if (failure.isEmpty() && checked % CellByCellEvery == 0)
                failure = compareEachCell(state.board, (checked / CellByCellEvery) % 5);
            QVERIFY2(failure.isEmpty(), qPrintable(QStringLiteral("game %1, turn %2: %3")
                                                       .arg(game)
                                                       .arg(state.turnNumber)
                                                       .arg(failure)));
            ++checked;

            // Mostly the bot's choice, sometimes any legal move, so odd shapes appear too.
            const int player = state.currentPlayer;
            const auto moves = rules::legalMoves(state, player);
            if (moves.empty()) {
                QVERIFY(rules::pass(state, player, 0));
            } else if (random() % 3 == 0) {
                const auto move = moves[random() % moves.size()];
                QVERIFY(
                    rules::place(state, player, move.piece, move.row, move.col, move.rotation, 0));
                ++placements;
            } else {
                QVERIFY(bots::playTurn(state, seed + std::uint64_t(game), 0));
                ++placements;
            }
        }
    }
    QCOMPARE(checked, positions);
    QVERIFY(placements > positions / 2);
}

QTEST_GUILESS_MAIN(TestPlacementAgreement)
#include "tst_placementagreement.moc"
