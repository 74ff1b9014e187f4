// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Frame cost of the game board while a piece is dragged over it, on the software renderer
// (offscreen): the ghost and crosshair move every frame, the board changes every tenth. For
// comparison the same scene as a plain QML Repeater of 400 rectangles. Figures, never a gate.
//
//   bench_board [frames]          (QT_SCALE_FACTOR=3 for a phone's pixel density)
#include "boardrules.h"
#include "gameboard.h"

#include "bots/bot.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <time.h>

using namespace korvana;

namespace {

constexpr int PhoneSide = 320; // the game screen's board on a phone
constexpr int WideSide = 760;  // about the board of a 1280 x 800 window

// A middle game of four bots with about half the board taken, as the client's record.
struct Position
{
    rules::Game game;
    GameState state;
};

GameState clientState(const rules::Game &game)
{
    GameState state;
    state.gameStatus = GameStatus::InProgress;
    for (int r = 0; r < rules::BoardSize; ++r) {
        for (int c = 0; c < rules::BoardSize; ++c)
            state.board[r][c] = game.board.at(r, c);
    }
    for (const rules::PlayerState &p : game.players) {
        Player player;
        player.id = p.id;
        player.name = p.name;
        player.color = rules::colorName(p.color);
        for (int i = 0; i < rules::PieceCount; ++i) {
            const auto &definition = rules::pieceCatalogue()[std::size_t(i)];
            GamePiece piece;
            piece.id = QStringLiteral("%1-%2").arg(definition.id, p.id);
            piece.size = definition.size();
            for (const auto &[r, c] : definition.squares)
                piece.squares.append(Square{r, c});
            piece.placed = p.pieces[std::size_t(i)].placed;
            player.pieces.append(piece);
        }
        state.players.append(player);
    }
    return state;
}

Position halfFullBoard()
{
    Position position;
    rules::Game &game = position.game;
    game = rules::newGame();
    for (int i = 0; i < 4; ++i)
        (void)rules::addPlayer(game, QString::number(i), QStringLiteral("Bot"), true);
    (void)rules::startGame(game, 0);
    while (game.status == GameStatus::InProgress && rules::occupiedCells(game.board).count() < 200)
        (void)bots::playTurn(game, 3, 0);
    position.state = clientState(game);
    return position;
}

struct Figures
{
    double median = 0, p90 = 0, p99 = 0, max = 0, mean = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, std::size_t(q * ms.size()))];
    };
    Figures f;
    f.median = at(0.5);
    f.p90 = at(0.9);
    f.p99 = at(0.99);
    f.max = ms.back();
    for (double v : ms)
        f.mean += v;
    f.mean /= double(ms.size());
    return f;
}

// This thread's CPU time in ns: on a shared machine the wall clock also counts other programs.
double threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

struct Samples
{
    std::vector<double> wall; // ms
    std::vector<double> cpu;  // ms
    std::vector<double> cpuBoardChanged;
};

// Runs `frames` frames: step(i) changes the scene, then the frame renders (the software render
// loop renders on this thread). A frame's cost is the change plus the render loop's work from
// animation to the swapped frame; the idle wait for the next update request is not counted.
Samples runFrames(QQuickWindow &window, int frames, const std::function<void(int)> &step)
{
    QElapsedTimer clock;
    clock.start();
    double wallStart = 0, cpuStart = 0, wallRender = 0, cpuRender = 0;
    bool swapped = false;
    QObject::connect(&window, &QQuickWindow::afterAnimating, &window, [&] {
        wallStart = double(clock.nsecsElapsed());
        cpuStart = threadCpuNs();
    });
    QObject::connect(&window, &QQuickWindow::frameSwapped, &window, [&] {
        wallRender = double(clock.nsecsElapsed()) - wallStart;
        cpuRender = threadCpuNs() - cpuStart;
        swapped = true;
    });

    Samples samples;
    for (int i = -20; i < frames; ++i) { // 20 warm-up frames
        swapped = false;
        const double wallBefore = double(clock.nsecsElapsed());
        const double cpuBefore = threadCpuNs();
        step(i < 0 ? i + 20 : i);
        const double wallChange = double(clock.nsecsElapsed()) - wallBefore;
        const double cpuChange = threadCpuNs() - cpuBefore;
        window.update();
        while (!swapped)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (i < 0)
            continue;
        samples.wall.push_back((wallChange + wallRender) / 1e6);
        samples.cpu.push_back((cpuChange + cpuRender) / 1e6);
        if (i % 10 == 9)
            samples.cpuBoardChanged.push_back(samples.cpu.back());
    }
    QObject::disconnect(&window, nullptr, &window, nullptr);
    return samples;
}

// The finger's path: row by row across the board, one cell per frame.
board::Cell pathCell(int frame)
{
    return {(frame / 20) % 20, frame % 20};
}

void report(const char *name, const Samples &samples)
{
    std::printf("%s\n", name);
    const auto line = [](const char *what, const std::vector<double> &ms) {
        const Figures f = figures(ms);
        std::printf("  %-30s median %.3f  p90 %.3f  p99 %.3f  max %.3f  mean %.3f ms\n", what,
                    f.median, f.p90, f.p99, f.max, f.mean);
    };
    line("wall clock", samples.wall);
    line("thread CPU", samples.cpu);
    line("thread CPU, board changed", samples.cpuBoardChanged);
}

// The board item of `side` points, fed as the game screen feeds it (the game state record in a
// QVariant) or as maps and lists.
Samples benchBoard(const Position &start, int frames, bool asMaps, int side)
{
    QQuickWindow window;
    window.setColor(Qt::black);
    window.resize(side + 20, side + 20);
    board::GameBoard item(window.contentItem());
    item.setPosition(QPointF(10, 10));
    item.setSize(QSizeF(side, side));
    item.setShowTargetCrosshair(true);
    window.show();

    // The states the board goes through: one more placement every tenth frame.
    std::vector<GameState> states{start.state};
    std::vector<QVariant> variants;
    rules::Game game = start.game;
    for (int i = 0; i < frames / 10 + 3; ++i) {
        if (game.status == GameStatus::InProgress)
            (void)bots::playTurn(game, 5, 0);
        else
            game = start.game;
        states.push_back(clientState(game));
    }
    for (const GameState &state : states) {
        variants.push_back(asMaps ? QJsonDocument::fromJson(json::toJson(state)).toVariant()
                                  : QVariant::fromValue(state));
    }
    const auto setState = [&](std::size_t i) { item.setGameState(variants[i]); };
    setState(0);
    const Player &me = start.state.players.first();
    const GamePiece &piece = me.pieces.last(); // a five-square piece
    item.setSelectedPieceId(piece.id);
    item.setSelectedRotation(90);

    Samples samples = runFrames(window, frames, [&](int frame) {
        if (frame % 10 == 9)
            setState(std::size_t(frame / 10 + 1));
        const board::Cell cell = pathCell(frame);
        // What the game screen does on every move: check the placement, move the preview.
        const bool valid = board::isPlacementValid(piece.squares, 90, cell.row, cell.col,
                                                   states[std::size_t(frame / 10)].board, me.color);
        item.setIsPreviewValid(valid);
        item.setPreviewRow(cell.row);
        item.setPreviewCol(cell.col);
    });
    // The last frame as a picture, to look at: KORVANA_BENCH_GRAB=/tmp/board.png
    if (const QString path = qEnvironmentVariable("KORVANA_BENCH_GRAB"); !path.isEmpty())
        window.grabWindow().save(path);
    return samples;
}

// The same scene as a lean QML tree: 400 rectangles in a Repeater and five for the ghost.
Samples benchRepeater(const Position &start, int frames)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick
        Rectangle {
            id: root
            width: 340; height: 340
            color: "black"
            property var cells: []
            property int previewRow: 0
            property int previewCol: 0
            property bool previewValid: false
            readonly property real cell: 16
            readonly property var palette: ["transparent", "#3399e6", "#f2bf33", "#e6404d", "#40bf80"]
            Rectangle {
                x: 10; y: 10; width: 320; height: 320; radius: 8
                color: "#0d0d14"; border.color: "#1affffff"
                Repeater {
                    model: 400
                    Rectangle {
                        required property int index
                        x: (index % 20) * root.cell + 0.75; y: Math.floor(index / 20) * root.cell + 0.75
                        width: root.cell - 1.5; height: width; radius: 3
                        color: root.palette[root.cells[index] || 0]
                    }
                }
                Repeater {
                    model: [[0, 0], [-1, 0], [-2, 0], [-3, 0], [0, 1]]
                    Rectangle {
                        required property var modelData
                        x: (root.previewCol + modelData[1]) * root.cell + 1
                        y: (root.previewRow + modelData[0]) * root.cell + 1
                        width: root.cell - 2; height: width; radius: 3
                        color: root.previewValid ? "#8030d158" : "#80ff453a"
                        border.color: root.previewValid ? "#30d158" : "#ff453a"; border.width: 2
                    }
                }
            }
        })",
                      QUrl());
    std::unique_ptr<QObject> root(component.create());
    if (!root) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return {{0}, {0}, {0}};
    }
    QQuickWindow window;
    window.resize(340, 340);
    auto *item = qobject_cast<QQuickItem *>(root.get());
    item->setParentItem(window.contentItem());
    window.show();

    const auto cellsOf = [](const Board &board) {
        QVariantList cells;
        for (const auto &row : board)
            for (const qint64 v : row)
                cells.append(v);
        return cells;
    };
    Board current = start.state.board;
    item->setProperty("cells", cellsOf(current));
    return runFrames(window, frames, [&](int frame) {
        if (frame % 10 == 9) { // one more cell taken
            const int index = (frame * 37) % 400;
            current[index / 20][index % 20] = 1 + frame % 4;
            item->setProperty("cells", cellsOf(current));
        }
        const board::Cell cell = pathCell(frame);
        item->setProperty("previewValid", frame % 3 == 0);
        item->setProperty("previewRow", cell.row);
        item->setProperty("previewCol", cell.col);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(50, QByteArray(argv[1]).toInt()) : 400;

    const Position start = halfFullBoard();
    std::printf("bench_board: %d frames, %lld cells taken, software renderer, scale %s\n", frames,
                qlonglong(rules::occupiedCells(start.game.board).count()),
                qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                    ? qgetenv("QT_SCALE_FACTOR").constData()
                    : "1");
    report("GameBoard 320 x 320 (a phone), the game state record",
           benchBoard(start, frames, false, PhoneSide));
    report("GameBoard 760 x 760 (a 1280 x 800 window), the game state record",
           benchBoard(start, frames, false, WideSide));
    report("GameBoard 320 x 320, the game state as QML maps",
           benchBoard(start, frames, true, PhoneSide));
    report("QML Repeater of 400 rectangles, 320 x 320", benchRepeater(start, frames));
    return 0;
}
