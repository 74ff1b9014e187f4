// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "lobbymanager.h"

#include "diagnostics.h"
#include "failuremessages.h"
#include "operationstatus.h"

#include <QCoreApplication>

namespace korvana {

LobbyManager::LobbyManager(NetworkService &network, OperationStatus &status, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_status(status)
    , m_rooms(std::type_identity<GameServer>(), QStringLiteral("roomId"))
    , m_ownGames(std::type_identity<ActiveGame>(), QStringLiteral("roomId"))
{
    // Each tick starts its own task; the timer is a member, so it dies with the lobby and a task
    // checks the lobby is still there after every wait.
    m_serverListTimer.setInterval(3000);
    connect(&m_serverListTimer, &QTimer::timeout, this, [this] { loadServers(); });
}

QList<TimeOption> LobbyManager::builtInTimeOptions()
{
    return {{0, QCoreApplication::translate("GameManager", "Bez limitu"), 0},
            {1, QCoreApplication::translate("GameManager", "5 minut"), 300},
            {2, QCoreApplication::translate("GameManager", "10 minut"), 600},
            {3, QCoreApplication::translate("GameManager", "15 minut"), 900},
            {4, QCoreApplication::translate("GameManager", "30 minut"), 1800},
            {5, QCoreApplication::translate("GameManager", "1 godzina"), 3600}};
}

QCoro::Task<> LobbyManager::loadServers(ListReload reload)
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
        if (m_status.isServerListAlert())
            m_status.setErrorMessage(std::nullopt);
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
    m_status.setServerListAlert(failureReaction(Operation::LoadServers, result.error()).message,
                                result.error());
}

QCoro::Task<> LobbyManager::loadTimeOptions()
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

QCoro::Task<> LobbyManager::loadPieces()
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

QCoro::Task<Result<QList<ActiveGame>>> LobbyManager::loadActiveGames()
{
    return m_network.getActiveGames();
}

QCoro::Task<> LobbyManager::reloadOwnGames()
{
    QPointer self(this);
    const quint64 round = m_ownGamesRound;
    auto request = loadActiveGames();
    auto result = co_await std::move(request);
    if (!self || round != m_ownGamesRound)
        co_return;
    // A failure only empties the list; the player sees no message for it.
    m_ownGames.setRecords(result ? *result : QList<ActiveGame>());
}

void LobbyManager::clearOwnGames()
{
    ++m_ownGamesRound;
    m_ownGames.clear();
}

void LobbyManager::setServers(QList<GameServer> servers)
{
    if (m_servers == servers)
        return;
    m_servers = std::move(servers);
    m_rooms.setRecords(m_servers);
}

void LobbyManager::setPieces(QList<PieceDefinition> pieces)
{
    if (m_pieces == pieces)
        return;
    m_pieces = std::move(pieces);
    Q_EMIT piecesChanged();
}

void LobbyManager::setTimeOptions(QList<TimeOption> options)
{
    if (m_timeOptions == options)
        return;
    m_timeOptions = std::move(options);
    Q_EMIT timeOptionsChanged();
}

} // namespace korvana
