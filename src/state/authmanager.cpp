// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "authmanager.h"

#include "keyvaluestore.h"
#include "serveraddress.h"

#include <QCoreApplication>
#include <QPointer>

namespace korvana {
namespace {
QVariantMap userMap(const User &user)
{
    QVariantMap map{{"id", user.id}, {"username", user.username}, {"email", user.email}};
    if (user.role)
        map.insert("role", *user.role);
    if (user.stats)
        map.insert("stats", QVariantMap{{"gamesPlayed", user.stats->gamesPlayed},
                                        {"gamesWon", user.stats->gamesWon},
                                        {"totalScore", user.stats->totalScore},
                                        {"bestScore", user.stats->bestScore}});
    return map;
}
} // namespace

AuthManager::AuthManager(NetworkService &network, KeyValueStore &store, QObject *parent)
    : QObject(parent)
    , m_network(network)
    , m_store(store)
{
    if (!m_network.baseUrl().isEmpty())
        useServer(m_network.baseUrl());
}

void AuthManager::useServer(const QString &baseUrl)
{
    const QString key = korvana::serverKey(baseUrl);
    if (key == m_serverKey)
        return;
    ++m_signInEpoch;
    m_restoreWaiting = false;
    m_restoring = false;
    setRestoreMessage({});
    setLoading(false);
    setAuthenticated(false);
    setCurrentUser(std::nullopt);
    m_serverKey = key;
    // The one token of an earlier version goes to the first server used, once.
    if (const auto legacy = m_store.string(storekeys::authToken)) {
        if (!storedToken())
            storeToken(*legacy);
        m_store.remove(storekeys::authToken);
    }
    const auto token = storedToken();
    m_network.setAuthToken(token);
    if (token)
        loadCurrentUser();
}

std::optional<QString> AuthManager::storedToken() const
{
    const QVariant token =
        m_store.map(storekeys::serverTokens).value_or(QVariantMap()).value(m_serverKey);
    if (m_serverKey.isEmpty() || token.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return token.toString();
}

void AuthManager::storeToken(const std::optional<QString> &token)
{
    if (m_serverKey.isEmpty())
        return;
    QVariantMap tokens = m_store.map(storekeys::serverTokens).value_or(QVariantMap());
    if (token)
        tokens.insert(m_serverKey, *token);
    else if (!tokens.remove(m_serverKey))
        return;
    m_store.setMap(storekeys::serverTokens, tokens);
}

QVariant AuthManager::currentUserValue() const
{
    return m_currentUser ? QVariant(userMap(*m_currentUser)) : QVariant();
}

QCoro::Task<> AuthManager::loadCurrentUser()
{
    QPointer self(this);
    const quint64 epoch = m_signInEpoch;
    m_restoring = true;
    auto request = m_network.getCurrentUser();
    auto result = co_await std::move(request);
    if (!self || epoch != m_signInEpoch)
        co_return;
    m_restoring = false;
    if (result) {
        m_restoreWaiting = false;
        setRestoreMessage({});
        setCurrentUser(std::move(*result));
        setAuthenticated(true);
        co_return;
    }
    setAuthenticated(false);
    // Only no answer or a server in trouble (5xx) leaves the token's worth unknown; any other
    // answer came from a server that looked at it.
    const NetworkError *refusal = asNetworkError(result.error());
    if (refusal && refusal->statusCode < 500) {
        m_restoreWaiting = false;
        setRestoreMessage({});
        storeToken(std::nullopt);
        co_return;
    }
    // Offline, or a server in trouble: the token may still be good.
    m_restoreWaiting = true;
    setRestoreMessage(QCoreApplication::translate(
        "AuthManager", "Nie można połączyć się z serwerem. Spróbujemy ponownie, gdy wróci."));
}

void AuthManager::retryRestore()
{
    if (m_restoreWaiting && !m_restoring)
        loadCurrentUser();
}

QCoro::Task<> AuthManager::refreshCurrentUserTask()
{
    if (!m_isAuthenticated)
        co_return;
    QPointer self(this);
    const quint64 epoch = m_signInEpoch;
    auto request = m_network.getCurrentUser();
    auto result = co_await std::move(request);
    if (self && epoch == m_signInEpoch && result)
        setCurrentUser(std::move(*result));
}

QCoro::Task<> AuthManager::loginTask(QString email, QString password)
{
    return signIn([this, email, password] { return m_network.login(email, password); });
}

QCoro::Task<> AuthManager::registerTask(QString username, QString email, QString password)
{
    return signIn([this, username, email, password] {
        return m_network.registerUser(username, email, password);
    });
}

QCoro::Task<> AuthManager::signIn(std::function<QCoro::Task<Result<LoginResponse>>()> send)
{
    QPointer self(this);
    const quint64 epoch = ++m_signInEpoch;
    m_latestSignIn = epoch;
    m_restoreWaiting = false;
    m_restoring = false;
    setRestoreMessage({});
    setLoading(true);
    setErrorMessage(std::nullopt);
    auto request = send();
    auto result = co_await std::move(request);
    if (!self)
        co_return;
    // A logout, a newer attempt or another server came meanwhile: this answer changes nothing.
    if (epoch != m_signInEpoch) {
        if (epoch == m_latestSignIn)
            setLoading(false);
        co_return;
    }
    if (result) {
        setCurrentUser(std::move(result->user));
        m_network.setAuthToken(result->token);
        setAuthenticated(true);
        storeToken(result->token);
    } else {
        setErrorMessage(describe(result.error()));
    }
    setLoading(false);
}

void AuthManager::logout()
{
    ++m_signInEpoch;
    m_restoreWaiting = false;
    m_restoring = false;
    setRestoreMessage({});
    setAuthenticated(false);
    setCurrentUser(std::nullopt);
    storeToken(std::nullopt);
    m_network.setAuthToken(std::nullopt);
}

void AuthManager::setAuthenticated(bool value)
{
    if (m_isAuthenticated == value)
        return;
    m_isAuthenticated = value;
    Q_EMIT isAuthenticatedChanged();
}

void AuthManager::setCurrentUser(std::optional<User> user)
{
    if (m_currentUser == user)
        return;
    m_currentUser = std::move(user);
    Q_EMIT currentUserChanged();
}

void AuthManager::setErrorMessage(std::optional<QString> message)
{
    if (m_errorMessage == message)
        return;
    m_errorMessage = std::move(message);
    Q_EMIT errorMessageChanged();
}

void AuthManager::setRestoreMessage(QString message)
{
    if (m_restoreMessage == message)
        return;
    m_restoreMessage = std::move(message);
    Q_EMIT restoreMessageChanged();
}

void AuthManager::setLoading(bool value)
{
    if (m_isLoading == value)
        return;
    m_isLoading = value;
    Q_EMIT isLoadingChanged();
}

} // namespace korvana
