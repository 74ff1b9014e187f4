// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamecontroller.h"

#include "appobjects.h"
#include "gamemanager.h"
#include "languagechange.h"
#include "mousedrag.h"
#include "soundmanager.h"

#include <QtQml/qqmlextensionplugin.h>

#include <algorithm>
#include <utility>

// The board's QML module is a static plugin and the game screen is what imports it; this file is
// linked into every program that shows a game, so it pulls the board in.
Q_IMPORT_QML_PLUGIN(Korvana_BoardPlugin)

namespace korvana::ui {

namespace {

QVariantList squaresValue(const Squares &squares)
{
    QVariantList list;
    list.reserve(squares.size());
    for (const Square &square : squares) {
        QVariantList pair;
        for (const qint64 value : square)
            pair.append(value);
        list.append(QVariant(pair));
    }
    return list;
}

} // namespace

GameController::GameController(QObject *parent)
    : GameController(published().gameManager, SystemFeedback::shared(), parent)
{
}

GameController::GameController(GameManager *gameManager, SystemFeedback &feedback, QObject *parent)
    : QObject(parent)
    , m_game(gameManager)
    , m_feedback(feedback)
{
    m_clock.start();
    // The texts these announce are translated when read.
    onLanguageChange(this, [this] {
        Q_EMIT cursorChanged();
        Q_EMIT isOutOfMovesChanged();
    });
    if (!m_game)
        return;
    // The signals mark changes, so whatever the screen first shows counts as the old value.
    if (const auto &state = m_game->gameState()) {
        m_lastCurrentPlayerId = state->currentPlayerId;
        m_lastStatus = state->gameStatus;
    }
    connect(m_game, &GameManager::gameStateChanged, this, &GameController::gameStateChanged);
    followTurns();
    connect(m_game, &GameManager::myPlayerIdChanged, this, &GameController::refreshLists);
    connect(m_game, &GameManager::selectedPieceIdChanged, this,
            &GameController::floatingPieceChanged);
    connect(m_game, &GameManager::selectedRotationChanged, this, &GameController::refreshPreview);
    connect(m_game, &GameManager::selectedRotationChanged, this,
            &GameController::floatingPieceChanged);
    refreshLists();
}

void GameController::setSoundManager(SoundManager *sound)
{
    if (m_sound == sound)
        return;
    m_sound = sound;
    Q_EMIT soundManagerChanged();
}

QVariant GameController::isPreviewValid() const
{
    return m_preview.isValid ? QVariant(*m_preview.isValid) : QVariant::fromValue(nullptr);
}

bool GameController::showsTargetCrosshair() const
{
    return (!m_draggedPieceId.isEmpty() && m_preview.position.has_value()) || m_cursor.has_value();
}

QString GameController::cursorDescriptionText() const
{
    if (!m_cursor || !m_game || !m_game->gameState())
        return {};
    const Board &board = m_game->gameState()->board;
    return cursorDescription(*m_cursor, board.value(m_cursor->row).value(m_cursor->col),
                             m_game->myColor().value_or(QString()), m_preview.isValid);
}

void GameController::setBoardFrame(const QRectF &frame)
{
    if (m_boardFrame == frame)
        return;
    m_boardFrame = frame;
    Q_EMIT boardFrameChanged();
}

void GameController::setSelectedRow(int row)
{
    if (m_selectedRow == row)
        return;
    m_selectedRow = row;
    Q_EMIT selectionChanged();
}

void GameController::setSelectedCol(int col)
{
    if (m_selectedCol == col)
        return;
    m_selectedCol = col;
    Q_EMIT selectionChanged();
}

QVariant GameController::boardState() const
{
    if (!m_game || !m_game->gameState())
        return {};
    return QVariant::fromValue(*m_game->gameState());
}

QVariant GameController::floatingPiece() const
{
    if (m_draggedPieceId.isEmpty() || !m_dragLocation || !m_game || !m_game->gameState())
        return QVariant::fromValue(nullptr);
    const GamePiece *piece =
        findMyPiece(*m_game->gameState(), m_game->myPlayerId(), m_draggedPieceId);
    if (!piece)
        return QVariant::fromValue(nullptr);
    return QVariantMap{
        {QStringLiteral("id"), piece->id},
        {QStringLiteral("squares"), squaresValue(piece->squares)},
        {QStringLiteral("turned"),
         squaresValue(board::rotatedSquares(piece->squares, m_game->selectedRotation()))}};
}

void GameController::selectPiece(const QString &pieceId)
{
    if (!m_game || pieceId.isEmpty())
        return;
    m_game->setSelectedPieceId(pieceId);
    play(feedback::Event::Selected);
}

void GameController::trayDragChanged(const QString &pieceId, QPointF tileCentre,
                                     QPointF translation)
{
    if (!m_game || pieceId.isEmpty() || m_dragCancelled)
        return;
    if (m_draggedPieceId.isEmpty()) {
        stopCursor(); // a finger takes over from the keyboard
        m_game->setSelectedPieceId(pieceId);
        m_draggedPieceId = pieceId;
        play(feedback::Event::Selected);
    }
    m_dragLocation = tileCentre + translation;
    m_dragOffset = translation;
    Q_EMIT dragChanged();
    Q_EMIT floatingPieceChanged();
}

void GameController::trayDragEnded(const QString &pieceId, QPointF translation)
{
    if (m_dragCancelled) {
        m_dragCancelled = false;
        resetDrag();
        return;
    }
    // The release over the board is the player's main gesture: it reaches finishDrag before
    // the tray clears the drag.
    finishDrag();
    if (isShortDrag(translation) && m_game && !pieceId.isEmpty()) {
        m_game->setSelectedPieceId(pieceId);
        play(feedback::Event::SelectedShortDrag);
    }
    resetDrag();
}

void GameController::pressTrayPiece(const QString &pieceId, bool isMouse, QPointF point,
                                    double side)
{
    if (!m_draggedPieceId.isEmpty() || !m_game || !m_game->gameState())
        return;
    m_isMouseDrag = isMouse;
    m_grabOffset = {};
    if (isMouse) {
        if (const GamePiece *piece =
                findMyPiece(*m_game->gameState(), m_game->myPlayerId(), pieceId)) {
            m_grabOffset = grabOffsetCells(piece->squares, m_game->selectedRotation(), point, side);
        }
    }
    Q_EMIT dragChanged();
}

void GameController::updateDragPreview(QPointF location, QPointF translation)
{
    if (m_draggedPieceId.isEmpty() || !m_game)
        return;
    m_dragLocation = location;
    m_dragOffset = translation;
    m_previewLocation = location;
    Q_EMIT dragChanged();
    refreshPreview();
}

void GameController::refreshPreview()
{
    if (m_cursor && m_game && m_game->gameState()) {
        const GameState &state = *m_game->gameState();
        const GamePiece *piece =
            findMyPiece(state, m_game->myPlayerId(), m_game->selectedPieceId());
        std::optional<bool> fits;
        if (piece) {
            fits = board::isPlacementValid(piece->squares, m_game->selectedRotation(),
                                           m_cursor->row, m_cursor->col, state.board,
                                           m_game->myColor().value_or(QString()));
        }
        setPreview({*m_cursor, fits});
        Q_EMIT cursorChanged();
        return;
    }
    if (m_draggedPieceId.isEmpty() || !m_previewLocation || !m_game)
        return;
    // A mouse holds the piece where it took it: the anchor square lies off the pointer.
    const double cell = m_boardFrame.width() / board::BoardCells;
    const QPointF anchor =
        m_isMouseDrag ? *m_previewLocation - m_grabOffset * cell : *m_previewLocation;
    const auto preview = dragPreview(anchor, m_boardFrame,
                                     {m_game->gameState(), m_game->myPlayerId(), m_game->myColor(),
                                      m_game->selectedPieceId(), m_game->selectedRotation()});
    if (preview)
        setPreview(*preview);
}

void GameController::finishDrag()
{
    if (m_preview.position && m_preview.isValid == true)
        placeSelectedPiece(m_preview.position->row, m_preview.position->col);
    resetDrag();
}

void GameController::cancelDrag()
{
    if (m_draggedPieceId.isEmpty())
        return;
    m_dragCancelled = true;
    resetDrag();
}

void GameController::abandonTrayDrag()
{
    m_dragCancelled = false;
    resetDrag();
}

void GameController::cellTapped(int row, int col)
{
    setSelectedRow(row);
    setSelectedCol(col);
    placeSelectedPiece(row, col);
}

void GameController::placeSelectedPiece(int row, int col)
{
    if (!m_game)
        return;
    const auto &pieceId = m_game->selectedPieceId();
    const auto &state = m_game->gameState();
    if (!pieceId || !state || state->gameStatus != GameStatus::InProgress)
        return;
    if (!isMyTurn(*state, m_game->myPlayerId()))
        return;
    placeTask(*pieceId, row, col);
}

QCoro::Task<> GameController::placeTask(QString pieceId, int row, int col)
{
    QPointer self(this);
    QPointer game = m_game;
    if (!game)
        co_return;
    const auto session = game->sessionId();
    if (++m_placing == 1)
        Q_EMIT isPlacingChanged();
    auto task = game->placePieceTask(pieceId, row, col, game->selectedRotation());
    co_await std::move(task);
    if (!self)
        co_return;
    if (--m_placing == 0)
        Q_EMIT isPlacingChanged();
    if (!game)
        co_return;
    // A game left while the move was on its way gets no sound of it.
    if (game->sessionId() == session) {
        if (game->errorMessage()) {
            play(feedback::Event::Refused);
        } else {
            if (m_sound)
                m_sound->playPlacementSound();
            haptic(feedback::Haptic::MediumImpact);
        }
    }
    game->setSelectedPieceId(std::nullopt);
    setSelectedRow(-1);
    setSelectedCol(-1);
    game->setSelectedRotation(0);
}

void GameController::rotate()
{
    if (!m_game)
        return;
    m_game->setSelectedRotation((m_game->selectedRotation() + 90) % 360);
    play(feedback::Event::Rotated);
}

void GameController::selectNeighbourPiece(int step)
{
    if (m_trayPieceList.isEmpty() || !m_game)
        return;
    const qsizetype count = m_trayPieceList.size();
    qsizetype index = step > 0 ? -1 : count;
    for (qsizetype i = 0; i < count; ++i) {
        if (m_trayPieceList.at(i).id == m_game->selectedPieceId())
            index = i;
    }
    index = ((index + step) % count + count) % count;
    selectPiece(m_trayPieceList.at(index).id);
}

void GameController::startCursor()
{
    if (m_cursor || !m_game || !m_game->gameState())
        return;
    const GameState &state = *m_game->gameState();
    const QString color = m_game->myColor().value_or(QString());
    std::optional<board::Cell> start = firstMoveCorner(state.board, color);
    if (!start)
        start = m_lastCursor;
    if (const GamePiece *piece =
            findMyPiece(state, m_game->myPlayerId(), m_game->selectedPieceId());
        !start && piece) {
        const auto cells =
            board::validCells(piece->squares, m_game->selectedRotation(), state.board, color);
        if (!cells.isEmpty())
            start = cells.constFirst();
    }
    m_cursor = start.value_or(board::Cell{board::BoardCells / 2, board::BoardCells / 2});
    m_lastCursor = m_cursor;
    refreshPreview();
    Q_EMIT previewChanged();
}

void GameController::moveCursor(int rows, int cols)
{
    if (!m_cursor)
        return;
    const int last = board::BoardCells - 1;
    m_cursor = board::Cell{std::clamp(m_cursor->row + rows, 0, last),
                           std::clamp(m_cursor->col + cols, 0, last)};
    m_lastCursor = m_cursor;
    refreshPreview();
}

bool GameController::visitNextFit()
{
    if (!m_cursor || !m_game || !m_game->gameState())
        return false;
    const GameState &state = *m_game->gameState();
    const GamePiece *piece = findMyPiece(state, m_game->myPlayerId(), m_game->selectedPieceId());
    if (!piece)
        return false;
    const auto cells = board::validCells(piece->squares, m_game->selectedRotation(), state.board,
                                         m_game->myColor().value_or(QString()));
    if (cells.isEmpty())
        return false;
    const auto after = [this](board::Cell cell) {
        return std::pair(cell.row, cell.col) > std::pair(m_cursor->row, m_cursor->col);
    };
    const auto next = std::find_if(cells.cbegin(), cells.cend(), after);
    m_cursor = next != cells.cend() ? *next : cells.constFirst();
    m_lastCursor = m_cursor;
    refreshPreview();
    return true;
}

bool GameController::placeAtCursor()
{
    if (!m_cursor || m_preview.isValid != true || !m_game || !m_game->gameState() ||
        !isMyTurn(*m_game->gameState(), m_game->myPlayerId()))
        return false;
    placeSelectedPiece(m_cursor->row, m_cursor->col);
    stopCursor();
    return true;
}

void GameController::stopCursor()
{
    if (!m_cursor)
        return;
    m_cursor.reset();
    setPreview({});
    Q_EMIT previewChanged();
    Q_EMIT cursorChanged();
}

void GameController::gameStateChanged()
{
    const auto &state = m_game->gameState();
    const std::optional<QString> current = state ? state->currentPlayerId : std::nullopt;
    const std::optional<GameStatus> status =
        state ? std::optional(state->gameStatus) : std::nullopt;

    if (givesTurnSignal(m_lastCurrentPlayerId, current, m_game->myPlayerId()))
        play(feedback::Event::MyTurn);
    m_lastCurrentPlayerId = current;

    if (status != m_lastStatus && status == GameStatus::Finished && !m_wasGameFinished) {
        m_wasGameFinished = true;
        Q_EMIT wasGameFinishedChanged();
        play(feedback::Event::GameFinished);
    }
    m_lastStatus = status;

    Q_EMIT boardStateChanged();
    followTurns();
    refreshLists();
    refreshPreview();
}

void GameController::followTurns()
{
    const auto &state = m_game->gameState();
    if (!state) {
        m_previousState.reset();
        return;
    }
    const GameState *previous = m_previousState ? &*m_previousState : nullptr;
    // A different game, or one joined just now: what came before is not its history.
    if (previous && previous->roomId != state->roomId)
        previous = nullptr;
    // A poll overtaken by a move's reply shows an older turn: it tells nothing new.
    if (previous && state->turnNumber < previous->turnNumber)
        return;
    if (auto mark = lastMoveMark(previous, *state); mark && mark != m_lastMove) {
        m_lastMove = std::move(mark);
        Q_EMIT lastMoveChanged();
    }
    if (previous) {
        if (const QStringList notices = turnNotices(*previous, *state, m_game->myPlayerId());
            !notices.isEmpty()) {
            m_turnNotice = notices.join(QStringLiteral(". "));
            Q_EMIT turnNoticed();
        }
    }
    m_previousState = state;
}

void GameController::refreshLists()
{
    if (!m_game)
        return;
    const auto &state = m_game->gameState();
    QList<GamePiece> tray = state ? trayPieces(*state, m_game->myPlayerId()) : QList<GamePiece>();
    // Each poll brings a new state; the tray's tiles are rebuilt only when the pieces change,
    // so a tile being dragged survives the polls.
    if (tray != m_trayPieceList) {
        m_trayPieceList = std::move(tray);
        m_trayPieces.clear();
        for (const GamePiece &piece : std::as_const(m_trayPieceList)) {
            m_trayPieces.append(
                QVariantMap{{QStringLiteral("id"), piece.id},
                            {QStringLiteral("squares"), squaresValue(piece.squares)},
                            {QStringLiteral("rotation"), piece.rotation}});
        }
        Q_EMIT trayPiecesChanged();
    }

    const bool out = state && ui::isOutOfMoves(*state, m_game->myPlayerId());
    const bool ranOut =
        state && m_timeOutWatch.update(*state, m_game->myPlayerId(), m_clock.elapsed());
    if (out != m_isOutOfMoves || ranOut != m_myTimeRanOut) {
        m_isOutOfMoves = out;
        m_myTimeRanOut = ranOut;
        Q_EMIT isOutOfMovesChanged();
    }

    QList<Player> ranked = state ? rankedPlayers(state->players) : QList<Player>();
    if (ranked != m_rankedPlayerList) {
        m_rankedPlayerList = std::move(ranked);
        m_rankedPlayers.clear();
        int place = 0;
        for (const Player &player : std::as_const(m_rankedPlayerList)) {
            m_rankedPlayers.append(QVariantMap{{QStringLiteral("place"), ++place},
                                               {QStringLiteral("playerId"), player.id},
                                               {QStringLiteral("name"), player.name},
                                               {QStringLiteral("color"), player.color},
                                               {QStringLiteral("score"), player.score},
                                               {QStringLiteral("bonus"), endBonusNote(player)}});
        }
        Q_EMIT rankedPlayersChanged();
    }
    Q_EMIT floatingPieceChanged();
}

void GameController::play(feedback::Event event)
{
    if (m_sound)
        m_sound->play(event);
}

void GameController::haptic(feedback::Haptic haptic)
{
    if (m_sound && m_sound->isSoundEnabled())
        m_feedback.haptic(haptic);
}

void GameController::setPreview(DragPreview preview)
{
    if (m_preview == preview)
        return;
    m_preview = std::move(preview);
    Q_EMIT previewChanged();
}

void GameController::resetDrag()
{
    const bool hadDrag = !m_draggedPieceId.isEmpty() || m_dragLocation || !m_dragOffset.isNull();
    m_draggedPieceId.clear();
    m_dragLocation.reset();
    m_dragOffset = {};
    m_previewLocation.reset();
    setPreview({});
    refreshPreview(); // the keyboard's cursor, if it is on the board
    if (hadDrag) {
        Q_EMIT dragChanged();
        Q_EMIT floatingPieceChanged();
        // The crosshair depends on the drag as well as on the preview.
        Q_EMIT previewChanged();
    }
}

} // namespace korvana::ui
