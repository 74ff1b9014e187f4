// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "networkservice.h"

#include <QCoroTask>
#include <QObject>
#include <QVariant>

#include <functional>
#include <optional>

namespace korvana {

class KeyValueStore;

// Knows whether the player is signed in and who the player is. Tokens are kept in the store per
// server: a sign-in belongs to the server that issued it and its token goes to no other.
class AuthManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isAuthenticated READ isAuthenticated NOTIFY isAuthenticatedChanged)
    Q_PROPERTY(QVariant currentUser READ currentUserValue NOTIFY currentUserChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    // Why a stored sign-in is still waiting: the server could not be reached. Empty otherwise.
    Q_PROPERTY(QString restoreMessage READ restoreMessage NOTIFY restoreMessageChanged)

public:
    // Restores the sign-in stored for the network's server (if it has one yet): a stored token
    // is handed to the network and checked at once.
    AuthManager(NetworkService &network, KeyValueStore &store, QObject *parent = nullptr);

    // The network now talks to baseUrl: shows that server's sign-in (restoring its token, if
    // any). Answers still on their way from the previous server change nothing.
    void useServer(const QString &baseUrl);
    [[nodiscard]] const QString &serverKey() const { return m_serverKey; }

    [[nodiscard]] bool isAuthenticated() const { return m_isAuthenticated; }
    [[nodiscard]] const std::optional<User> &currentUser() const { return m_currentUser; }
    [[nodiscard]] QVariant currentUserValue() const;
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    [[nodiscard]] QString errorMessageText() const { return m_errorMessage.value_or(QString()); }
    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    [[nodiscard]] QString restoreMessage() const { return m_restoreMessage; }

    Q_INVOKABLE void login(const QString &email, const QString &password)
    {
        loginTask(email, password);
    }
    Q_INVOKABLE void registerUser(const QString &username, const QString &email,
                                  const QString &password)
    {
        registerTask(username, email, password);
    }
    Q_INVOKABLE void logout();

    QCoro::Task<> loginTask(QString email, QString password);
    QCoro::Task<> registerTask(QString username, QString email, QString password);
    // Checks the stored token; started by construction. Only the server's refusal deletes the
    // token: when the server cannot be reached the check waits for retryRestore().
    QCoro::Task<> loadCurrentUser();
    // Checks a waiting stored token again; for when the server can be reached again.
    void retryRestore();
    // Reloads the signed-in user, e.g. for statistics after a game; a failure keeps the old one.
    Q_INVOKABLE void refreshCurrentUser() { refreshCurrentUserTask(); }
    QCoro::Task<> refreshCurrentUserTask();

Q_SIGNALS:
    void isAuthenticatedChanged();
    void currentUserChanged();
    void errorMessageChanged();
    void isLoadingChanged();
    void restoreMessageChanged();

private:
    QCoro::Task<> signIn(std::function<QCoro::Task<Result<LoginResponse>>()> send);
    void setAuthenticated(bool value);
    void setCurrentUser(std::optional<User> user);
    void setErrorMessage(std::optional<QString> message);
    void setLoading(bool value);
    void setRestoreMessage(QString message);
    [[nodiscard]] std::optional<QString> storedToken() const;
    void storeToken(const std::optional<QString> &token);

    NetworkService &m_network;
    KeyValueStore &m_store;
    QString m_serverKey; // whose sign-in is shown; empty before the first server
    bool m_isAuthenticated = false;
    std::optional<User> m_currentUser;
    std::optional<QString> m_errorMessage;
    bool m_isLoading = false;
    QString m_restoreMessage;
    bool m_restoreWaiting = false; // a stored token waits for the server
    bool m_restoring = false;
    // Bumped by every sign-in, registration and logout, so an answer that ends after one of
    // them cannot undo it.
    quint64 m_signInEpoch = 0;
    // The epoch of the latest sign-in or registration; it owns isLoading.
    quint64 m_latestSignIn = 0;
};

} // namespace korvana
