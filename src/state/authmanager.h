#pragma once

#include "networkservice.h"

#include <QCoroTask>
#include <QObject>
#include <QVariant>

#include <functional>
#include <optional>

namespace korvana {

class KeyValueStore;

// Knows whether the player is signed in and who the player is; keeps the token in the store.
class AuthManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isAuthenticated READ isAuthenticated NOTIFY isAuthenticatedChanged)
    Q_PROPERTY(QVariant currentUser READ currentUserValue NOTIFY currentUserChanged)
    Q_PROPERTY(QString errorMessage READ errorMessageText NOTIFY errorMessageChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)

public:
    // Restores a stored sign-in: a stored token is handed to the network and checked at once.
    AuthManager(NetworkService &network, KeyValueStore &store, QObject *parent = nullptr);

    [[nodiscard]] bool isAuthenticated() const { return m_isAuthenticated; }
    [[nodiscard]] const std::optional<User> &currentUser() const { return m_currentUser; }
    [[nodiscard]] QVariant currentUserValue() const;
    [[nodiscard]] const std::optional<QString> &errorMessage() const { return m_errorMessage; }
    [[nodiscard]] QString errorMessageText() const { return m_errorMessage.value_or(QString()); }
    [[nodiscard]] bool isLoading() const { return m_isLoading; }

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
    // Checks the stored token; started by construction.
    QCoro::Task<> loadCurrentUser();

Q_SIGNALS:
    void isAuthenticatedChanged();
    void currentUserChanged();
    void errorMessageChanged();
    void isLoadingChanged();

private:
    QCoro::Task<> signIn(std::function<QCoro::Task<Result<LoginResponse>>()> send);
    void setAuthenticated(bool value);
    void setCurrentUser(std::optional<User> user);
    void setErrorMessage(std::optional<QString> message);
    void setLoading(bool value);

    NetworkService &m_network;
    KeyValueStore &m_store;
    bool m_isAuthenticated = false;
    std::optional<User> m_currentUser;
    std::optional<QString> m_errorMessage;
    bool m_isLoading = false;
    // Bumped by every sign-in, registration and logout, so a restore that ends after one of
    // them cannot sign the player out again or delete the new token.
    quint64 m_signInEpoch = 0;
};

} // namespace korvana
