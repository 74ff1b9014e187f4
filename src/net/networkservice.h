// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "accountmessages.h"
#include "networkerror.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>

#include <expected>
#include <optional>

namespace korvana {

template <class T> using Result = std::expected<T, RequestError>;

// What came back from one HTTP exchange, before it is read as a message.
struct RawReply
{
    std::optional<RequestError> error;
    int status = 0;
    QByteArray body;
    QByteArray etag;
    bool preferenceApplied = false; // the server honoured "Prefer: wait"
};

// How one exchange differs from a plain request.
struct ExchangeOptions
{
    QList<std::pair<QByteArray, QByteArray>> headers;
    bool notModifiedIsAnswer = false; // a 304 answers a request with If-None-Match
    bool cancellable = false;         // ended by cancelHeldPolls()
    std::optional<int> timeoutMs;     // instead of the service's own
};

// One poll of the current game: its state, none when the server answered 304 (nothing
// changed); the state's ETag; and whether the server holds polls (it said Preference-Applied).
struct SessionPoll
{
    std::optional<GameSessionResponse> session;
    QByteArray etag;
    bool holdsPolls = false;
};

// The one object every request to the game server goes through. It carries the bearer token and
// turns every failure into a NetworkError or passes a transport failure through.
class NetworkService : public QObject
{
    Q_OBJECT
public:
    explicit NetworkService(QString baseUrl, QObject *parent = nullptr);
    ~NetworkService() override;

    [[nodiscard]] const QString &baseUrl() const { return m_baseUrl; }
    // For requests built from now on; the caller hands over that server's token too.
    void setBaseUrl(QString baseUrl) { m_baseUrl = std::move(baseUrl); }
    [[nodiscard]] QString url(const QString &path) const { return m_baseUrl + path; }

    // The client's one network manager, shared by its other probes.
    [[nodiscard]] QNetworkAccessManager &accessManager() { return m_network; }

    // Sent with every request. Only the sign-in's owner sets or clears it.
    [[nodiscard]] const std::optional<QString> &authToken() const { return m_authToken; }
    void setAuthToken(std::optional<QString> token) { m_authToken = std::move(token); }

    // 60 s as on a phone; tests shorten it.
    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    // How long a held poll asks the server to wait, and how much longer the client waits for
    // its answer before it counts as failed; tests shorten both.
    void setHeldPollWait(int seconds, int graceMs)
    {
        m_heldPollWaitSeconds = seconds;
        m_heldPollGraceMs = graceMs;
    }

Q_SIGNALS:
    // A request got a successful answer: the server is reachable.
    void serverAnswered();
    // A request failed below HTTP (refused, reset, timed out), or a held poll stayed out well
    // past its wait: the server may be gone.
    void serverUnreachable();

public:
    template <json::Record T>
    QCoro::Task<Result<T>> request(QString url, QByteArray method,
                                   std::optional<QByteArray> body = std::nullopt)
    {
        auto exchanged = exchange(std::move(url), std::move(method), std::move(body));
        const RawReply raw = co_await std::move(exchanged);
        if (raw.error)
            co_return std::unexpected(*raw.error);
        auto decoded = json::decode<T>(raw.body);
        if (!decoded) {
            reportUnreadable(raw.body, decoded.error());
            co_return std::unexpected(RequestError(NetworkError::decodingError()));
        }
        co_return std::move(*decoded);
    }

    template <json::Record T, json::WritableRecord Body>
    QCoro::Task<Result<T>> request(QString url, QByteArray method, Body body)
    {
        return request<T>(std::move(url), std::move(method), json::toJson(body));
    }

    // Account.
    QCoro::Task<Result<LoginResponse>> login(QString email, QString password);
    QCoro::Task<Result<LoginResponse>> registerUser(QString username, QString email,
                                                    QString password);
    QCoro::Task<Result<User>> getCurrentUser();

    // Game.
    QCoro::Task<Result<GameSessionResponse>> createSession(std::optional<qint64> timeLimit);
    QCoro::Task<Result<GameSessionResponse>> getSession(QString sessionId);
    QCoro::Task<Result<GameSessionResponse>> joinGame(QString roomId);
    QCoro::Task<Result<RejoinResponse>> rejoinGame(QString roomId);
    QCoro::Task<Result<GameActionResponse>> placePiece(PlacePieceRequest request);
    QCoro::Task<Result<GameActionResponse>> passTurn(QString sessionId);
    QCoro::Task<Result<GameActionResponse>> voteToStart(QString sessionId,
                                                        std::optional<bool> enableBots);
    QCoro::Task<Result<QList<GameServer>>> getServers();
    // The timer's poll of the game: getSession offering to wait, with the answer's validators.
    QCoro::Task<Result<SessionPoll>> pollSession(QString sessionId);
    // A held poll: the server answers when the game changes from etag, or with 304 after the
    // wait. Only here is a 304 an answer rather than a failure.
    QCoro::Task<Result<SessionPoll>> holdSessionPoll(QString sessionId, QByteArray etag);
    // Ends the held polls in flight, e.g. when the player leaves the game.
    void cancelHeldPolls();
    static constexpr int heldPollWaitSeconds = 25;
    static constexpr int heldPollGraceMs = 5000;
    QCoro::Task<Result<QList<PieceDefinition>>> getPieces();
    QCoro::Task<Result<QList<TimeOption>>> getTimeOptions();
    QCoro::Task<Result<QList<ActiveGame>>> getActiveGames();
    QCoro::Task<Result<SaveScoreResponse>> saveScore(SaveScoreRequest score);

private:
    // Sends one request and applies the status rules; a 2xx body is checked but not yet read.
    QCoro::Task<RawReply> exchange(QString url, QByteArray method, std::optional<QByteArray> body,
                                   ExchangeOptions options = {});
    QCoro::Task<Result<SessionPoll>> sessionPoll(QString sessionId, std::optional<QByteArray> etag);
    static void reportUnreadable(const QByteArray &body, const DecodeError &error);

    QString m_baseUrl;
    std::optional<QString> m_authToken;
    int m_timeoutMs = 60'000;
    int m_heldPollWaitSeconds = heldPollWaitSeconds;
    int m_heldPollGraceMs = heldPollGraceMs;
    // Marks a reply that the client ended on purpose.
    static constexpr const char *cancelledProperty = "korvanaCancelled";

    QNetworkAccessManager m_network;
    QList<QPointer<QNetworkReply>> m_heldPolls;
};

} // namespace korvana
