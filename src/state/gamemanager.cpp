// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "gamemanager.h"

#include "diagnostics.h"
#include "failuremessages.h"
#include "variantconversion.h"

#include <QCoreApplication>
#include <QCoroTimer>
#include <QPointer>

using namespace std::chrono_literals;

namespace korvana {
GameManager::GameManager(NetworkService &network, QObject *parent)
    : QObject(parent)
    , m_network(network)
{
    // Each tick starts its own task; the timers are children, so they die with the manager and
    // a task checks the manager is still there after every wait.
    m_serverListTimer.setInterval(3000);
    connect(&m_serverListTimer, &QTimer::timeout, this, [this] { loadServersTask(); });
    connect(&m_updateTimer, &QTimer::timeout, this, [this] { refreshGameState(); });
    m_heldPollPause.setSingleShot(true);
    m_heldPollPause.setInterval(1000);
    connect(&m_heldPollPause, &QTimer::timeout, this, [this] { keepPolling(); });
}

QList<TimeOption> GameManager::builtInTimeOptions()
{
    return {{0, QCoreApplication::translate("GameManager", "Bez limitu"), 0},
            {1, QCoreApplication::translate("GameManager", "5 minut"), 300},
            {2, QCoreApplication::translate("GameManager", "10 minut"), 600},
            {3, QCoreApplication::translate("GameManager", "15 minut"), 900},
            {4, QCoreApplication::translate("GameManager", "30 minut"), 1800},
            {5, QCoreApplication::translate("GameManager", "1 godzina"), 3600}};
}

QVariant GameManager::gameStateValue() const
{
    if (!m_gameStateValue.isValid() && m_gameState)
        m_gameStateValue = toVariant(*m_gameState);
    return m_gameStateValue;
}

QVariantList GameManager::serversValue() const
{
    return toVariantList(m_servers);
}

QVariantList GameManager::piecesValue() const
{
    return toVariantList(m_pieces);
}

QVariantList GameManager::timeOptionsValue() const
{
    return toVariantList(m_timeOptions);
}

void GameManager::startServerListTimer()
{
    m_serverListTimer.start();
}

void GameManager::stopServerListTimer()
{
    m_serverListTimer.stop();
}

QCoro::Task<> GameManager::loadServersTask(ListReload reload)
{
    QPointer self(this);
    auto request = m_network.getServers();
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    if (result) {
        const auto count = result->size();
        setServers(std::move(*result));
        if (std::exchange(m_listOutage, std::nullopt))
            Q_EMIT isServerListUnavailableChanged();
        if (m_errorFromServerList)
            setErrorMessage(std::nullopt);
        diag(QStringLiteral("✅ Załadowano %1 serwerów z API").arg(count));
        co_return;
    }
    // Diagnostics by case; the sentence for the player comes from the failure table.
    if (const auto *error = asNetworkError(result.error())) {
        diag(QStringLiteral("❌ Błąd sieci przy ładowaniu serwerów: ") + error->printed());
        if (error->kind == NetworkError::Case::DecodingError)
            diag(QStringLiteral("❌ Błąd dekodowania odpowiedzi serwera"));
        else if (error->kind == NetworkError::Case::HttpError)
            diag(QStringLiteral("❌ Błąd HTTP %1").arg(error->statusCode));
        else if (error->kind == NetworkError::Case::ServerError)
            diag(QStringLiteral("❌ Błąd serwera: ") + error->message);
    } else {
        diag(QStringLiteral("❌ Nieoczekiwany błąd przy ładowaniu serwerów: ") +
             printed(result.error()));
    }
    setServers({});
    // The connection badge tells the rest of an outage; the player still hears of every reload
    // they asked for.
    const auto *network = asNetworkError(result.error());
    const int kind = network ? int(network->kind) : -1;
    if (reload == ListReload::Background && m_listOutage == kind)
        co_return;
    const bool wasAvailable = !m_listOutage;
    m_listOutage = kind;
    if (wasAvailable)
        Q_EMIT isServerListUnavailableChanged();
    setFailureMessage(failureReaction(Operation::LoadServers, result.error()).message,
                      result.error());
    m_errorFromServerList = true;
}

QCoro::Task<> GameManager::loadTimeOptionsTask()
{
    QPointer self(this);
    auto request = m_network.getTimeOptions();
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    if (result) {
        if (result->isEmpty()) {
            diag(QStringLiteral(
                "⚠️ Serwer zwrócił pustą listę opcji czasu, używam domyślnych"));
            setTimeOptions(builtInTimeOptions());
        } else {
            diag(QStringLiteral("✅ Załadowano %1 opcji czasu z serwera").arg(result->size()));
            setTimeOptions(std::move(*result));
        }
        co_return;
    }
    if (const auto *error = asNetworkError(result.error())) {
        switch (error->kind) {
        case NetworkError::Case::Unauthorized:
            diag(QStringLiteral("⚠️ Brak autoryzacji przy ładowaniu opcji czasu (endpoint "
                                "powinien być publiczny)"));
            break;
        case NetworkError::Case::DecodingError:
            diag(QStringLiteral("⚠️ Błąd dekodowania przy ładowaniu opcji czasu"));
            break;
        case NetworkError::Case::HttpError:
            diag(QStringLiteral("⚠️ Błąd HTTP %1 przy ładowaniu opcji czasu")
                     .arg(error->statusCode));
            break;
        case NetworkError::Case::ServerError:
            diag(QStringLiteral("⚠️ Błąd serwera przy ładowaniu opcji czasu: ") +
                 error->message);
            break;
        case NetworkError::Case::InvalidURL:
        case NetworkError::Case::InvalidResponse:
            diag(QStringLiteral("⚠️ Nie udało się załadować opcji czasu: ") +
                 error->description());
            break;
        }
    } else {
        diag(QStringLiteral("⚠️ Nie udało się załadować opcji czasu: ") +
             describe(result.error()));
        diag(QStringLiteral("⚠️ Używam domyślnych opcji czasu"));
    }
    setTimeOptions(builtInTimeOptions());
}

QCoro::Task<> GameManager::loadPiecesTask()
{
    QPointer self(this);
    auto request = m_network.getPieces();
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    if (!result) {
        diag(QStringLiteral("⚠️ Nie udało się załadować definicji klocków: ") +
             describe(result.error()));
        co_return;
    }
    const auto count = result->size();
    setPieces(std::move(*result));
    diag(QStringLiteral("✅ Załadowano %1 definicji klocków").arg(count));
}

QCoro::Task<Result<QList<ActiveGame>>> GameManager::loadActiveGames()
{
    return m_network.getActiveGames();
}

QCoro::Task<> GameManager::reloadActiveGamesTask()
{
    QPointer self(this);
    auto request = loadActiveGames();
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    Q_EMIT activeGamesLoaded(result ? toVariantList(*result) : QVariantList());
}

GameState GameManager::fillMissingSquares(GameState state) const
{
    for (Player &player : state.players) {
        for (GamePiece &piece : player.pieces) {
            if (!piece.squares.isEmpty() || piece.placed)
                continue;
            const auto definition =
                std::find_if(m_pieces.cbegin(), m_pieces.cend(),
                             [&](const PieceDefinition &d) { return d.id == piece.id; });
            if (definition == m_pieces.cend()) {
                diag(QStringLiteral("⚠️ Nie znaleziono definicji klocka ") + piece.id +
                     QStringLiteral(" w pieces list"));
                continue;
            }
            piece.squares = definition->squares;
            diag(QStringLiteral("✅ Uzupełniono squares dla klocka %1 (%2) z pieces list")
                     .arg(piece.id, piece.name));
        }
    }
    return state;
}

void GameManager::createSession(const QVariant &timeLimit)
{
    std::optional<qint64> seconds;
    if (timeLimit.isValid() && !timeLimit.isNull())
        seconds = timeLimit.toLongLong();
    createSessionTask(seconds);
}

QCoro::Task<> GameManager::enterPrelude()
{
    setLoading(true);
    setErrorMessage(std::nullopt);
    if (m_isInGame)
        leaveGame();
    if (m_pieces.isEmpty()) {
        auto load = loadPiecesTask();
        co_await std::move(load);
    }
}

QCoro::Task<Result<GameManager::Seat>>
GameManager::sendEntry(Entry entry, std::optional<qint64> timeLimit, QString roomId)
{
    switch (entry) {
    case Entry::Create: {
        auto request = m_network.createSession(timeLimit);
        auto result = co_await std::move(request);
        if (!result)
            co_return std::unexpected(std::move(result.error()));
        co_return Seat{result->sessionId, result->playerId, result->color,
                       std::move(result->gameState)};
    }
    case Entry::Join: {
        auto request = m_network.joinGame(roomId);
        auto result = co_await std::move(request);
        if (!result)
            co_return std::unexpected(std::move(result.error()));
        co_return Seat{result->sessionId, result->playerId, result->color,
                       std::move(result->gameState)};
    }
    case Entry::Rejoin:
        break;
    }
    auto request = m_network.rejoinGame(roomId);
    auto result = co_await std::move(request);
    if (!result)
        co_return std::unexpected(std::move(result.error()));
    co_return Seat{result->sessionId, result->playerId, result->color,
                   std::move(result->gameState)};
}

void GameManager::takeSeat(Seat seat, bool finishedCountsAsInGame)
{
    // A new game: answers about any earlier one no longer apply.
    ++m_gameEpoch;
    stopPolling();
    m_appliedSequence = m_lastSequence;
    m_finishHandled = false;
    setSessionId(seat.sessionId);
    setMyPlayerId(seat.playerId);
    setMyColor(seat.color);
    const GameStatus status = seat.gameState.gameStatus;
    setGameState(fillMissingSquares(std::move(seat.gameState)));
    const bool inGame =
        isLive(status) || (finishedCountsAsInGame && status == GameStatus::Finished);
    setInGame(inGame);
    if (inGame)
        keepPolling();
}

QCoro::Task<> GameManager::applySessionResponse(Seat seat)
{
    QPointer self(this);
    takeSeat(std::move(seat), true);
    auto reload = loadServersTask();
    co_await std::move(reload);
    if (self)
        setLoading(false);
}

QCoro::Task<> GameManager::retryEntry(Entry entry, std::optional<qint64> timeLimit, QString roomId)
{
    QPointer self(this);
    leaveGame();
    auto wait = QCoro::sleepFor(500ms);
    co_await std::move(wait);
    if (!self)
        co_return;
    if (m_pieces.isEmpty()) {
        auto load = loadPiecesTask();
        co_await std::move(load);
        if (!self)
            co_return;
    }
    auto request = sendEntry(entry, timeLimit, roomId);
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    if (result) {
        // A retried create only counts a game that is still open; a retried join any game.
        takeSeat(std::move(*result), entry == Entry::Join);
    } else {
        const auto retry = entry == Entry::Create ? Operation::RetryCreate : Operation::RetryJoin;
        setFailureMessage(failureReaction(retry, result.error()).message, result.error());
    }
    setLoading(false);
}

QCoro::Task<std::optional<RequestError>>
GameManager::enter(Entry entry, std::optional<qint64> timeLimit, QString roomId)
{
    QPointer self(this);
    auto prelude = enterPrelude();
    co_await std::move(prelude);
    if (!self)
        co_return std::nullopt;
    auto request = sendEntry(entry, timeLimit, roomId);
    auto result = co_await std::move(request);
    if (!self)
        co_return std::nullopt;
    if (!result)
        co_return std::move(result.error());
    auto apply = applySessionResponse(std::move(*result));
    co_await std::move(apply);
    co_return std::nullopt;
}

QCoro::Task<> GameManager::createSessionTask(std::optional<qint64> timeLimit)
{
    auto entering = enterOrReact(Entry::Create, timeLimit, {});
    co_await std::move(entering);
}

QCoro::Task<> GameManager::joinGameTask(QString roomId)
{
    auto entering = enterOrReact(Entry::Join, std::nullopt, roomId);
    co_await std::move(entering);
}

QCoro::Task<> GameManager::rejoinGameTask(QString roomId)
{
    auto entering = enterOrReact(Entry::Rejoin, std::nullopt, roomId);
    co_await std::move(entering);
}

QCoro::Task<> GameManager::enterOrReact(Entry entry, std::optional<qint64> timeLimit,
                                        QString roomId)
{
    QPointer self(this);
    auto entering = enter(entry, timeLimit, roomId);
    const auto failure = co_await std::move(entering);
    if (!self || !failure)
        co_return;
    const Operation operation = entry == Entry::Create ? Operation::CreateSession
                                : entry == Entry::Join ? Operation::JoinGame
                                                       : Operation::RejoinGame;
    const FailureReaction reaction = failureReaction(operation, *failure);
    if (reaction.followUp == FollowUp::RetryEntry) {
        auto retry = retryEntry(entry, timeLimit, roomId);
        co_await std::move(retry);
        co_return;
    }
    setFailureMessage(reaction.message, *failure);
    if (reaction.followUp == FollowUp::ReloadServers) {
        auto reload = loadServersTask();
        co_await std::move(reload);
        if (!self)
            co_return;
        // A failed reload shows its own alert; the player must still learn why the join failed.
        setErrorMessage(reaction.message);
    }
    setLoading(false);
}

void GameManager::setGameState(std::optional<GameState> state)
{
    // Most polls bring the same state again: nothing to redraw then.
    if (m_gameState == state)
        return;
    m_gameState = std::move(state);
    ++m_stateChanges;
    m_gameStateValue = QVariant();
    Q_EMIT gameStateChanged();
}

namespace {
// Assigns and announces only a real change, so QML redraws nothing for an unchanged value.
template <class T, class Signal>
void assign(GameManager *manager, T &member, T value, Signal changed)
{
    if (member == value)
        return;
    member = std::move(value);
    Q_EMIT(manager->*changed)();
}
} // namespace

void GameManager::setSessionId(std::optional<QString> id)
{
    assign(this, m_sessionId, std::move(id), &GameManager::sessionIdChanged);
}

void GameManager::setMyPlayerId(std::optional<QString> id)
{
    assign(this, m_myPlayerId, std::move(id), &GameManager::myPlayerIdChanged);
}

void GameManager::setMyColor(std::optional<QString> color)
{
    assign(this, m_myColor, std::move(color), &GameManager::myColorChanged);
}

void GameManager::setSelectedPieceId(std::optional<QString> id)
{
    assign(this, m_selectedPieceId, std::move(id), &GameManager::selectedPieceIdChanged);
}

void GameManager::setSelectedPieceIdText(const QString &id)
{
    setSelectedPieceId(id.isEmpty() ? std::nullopt : std::optional<QString>(id));
}

void GameManager::setSelectedRotation(int degrees)
{
    assign(this, m_selectedRotation, degrees, &GameManager::selectedRotationChanged);
}

void GameManager::setServers(QList<GameServer> servers)
{
    assign(this, m_servers, std::move(servers), &GameManager::serversChanged);
}

void GameManager::setPieces(QList<PieceDefinition> pieces)
{
    assign(this, m_pieces, std::move(pieces), &GameManager::piecesChanged);
}

void GameManager::setTimeOptions(QList<TimeOption> options)
{
    assign(this, m_timeOptions, std::move(options), &GameManager::timeOptionsChanged);
}

void GameManager::setLoading(bool value)
{
    if (value)
        ++m_loadingGeneration;
    assign(this, m_isLoading, value, &GameManager::isLoadingChanged);
}

void GameManager::setFailureMessage(QString message, const RequestError &error)
{
    setErrorMessage(std::move(message));
    m_errorFromOutage = std::holds_alternative<TransportError>(error);
}

void GameManager::connectionRestored()
{
    if (m_errorFromOutage)
        setErrorMessage(std::nullopt);
    if (m_sessionId && !m_finishHandled && m_isInGame)
        refreshGameState();
}

void GameManager::setErrorMessage(std::optional<QString> message)
{
    m_errorFromServerList = false;
    m_errorFromOutage = false;
    assign(this, m_errorMessage, std::move(message), &GameManager::errorMessageChanged);
}

void GameManager::setErrorMessageText(const QString &message)
{
    setErrorMessage(message.isEmpty() ? std::nullopt : std::optional<QString>(message));
}

void GameManager::setInGame(bool value)
{
    assign(this, m_isInGame, value, &GameManager::isInGameChanged);
}

} // namespace korvana
