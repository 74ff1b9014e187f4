// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "networkservice.h"

#include "bodymask.h"
#include "diagnostics.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QUrl>

namespace korvana {
namespace {

std::optional<QString> utf8Text(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Errors of the connection itself (refused, closed mid-reply, timed out, TLS, proxy). A reply
// that carries an HTTP status otherwise goes through the status rules, even though Qt flags
// statuses such as 400 or 418 with errors of its own.
bool isTransportFailure(QNetworkReply::NetworkError code)
{
    const int value = int(code);
    return value >= 1 && value <= 199;
}

NetworkError failureFromBody(int status, const QByteArray &body)
{
    if (auto error = json::decode<ErrorResponse>(body)) {
        const QString text = error->error;
        const QString lower = text.toLower();
        if (status == 401 || lower.contains(u"token") || lower.contains(u"autoryz"))
            return NetworkError::unauthorized(text);
        return NetworkError::serverError(text);
    }
    if (status == 401)
        return NetworkError::unauthorized(
            QCoreApplication::translate("NetworkService", "Brak tokenu autoryzacyjnego"));
    if (status == 503)
        return NetworkError::serverError(
            QCoreApplication::translate("NetworkService", "Baza danych jest niedostępna"));
    return NetworkError::httpError(status);
}

NetworkError failureForStatus(int status, const QByteArray &body)
{
    NetworkError failure = failureFromBody(status, body);
    failure.statusCode = status;
    return failure;
}

QString timeoutText()
{
    return QCoreApplication::translate("NetworkService",
                                       "Przekroczono czas oczekiwania na odpowiedź serwera");
}

template <class T, class U, class F> Result<U> mapResult(Result<T> &&result, F &&transform)
{
    if (!result)
        return std::unexpected(std::move(result.error()));
    return transform(std::move(*result));
}

} // namespace

NetworkService::NetworkService(QString baseUrl, QObject *parent)
    : QObject(parent)
    , m_baseUrl(std::move(baseUrl))
{
    // No cache is installed: every final status outside 2xx, 304 included, is a failure.
    m_network.setCache(nullptr);
}

NetworkService::~NetworkService()
{
    // Requests still waiting (a held poll above all) end now, so that their callers resume
    // instead of waiting for replies that the network manager would delete without a word.
    const auto replies = m_network.findChildren<QNetworkReply *>();
    for (QNetworkReply *reply : replies) {
        reply->setProperty(cancelledProperty, true);
        reply->abort();
    }
}

QCoro::Task<RawReply> NetworkService::exchange(QString url, QByteArray method,
                                               std::optional<QByteArray> body,
                                               ExchangeOptions options)
{
    const QUrl target(url, QUrl::StrictMode);
    if (!target.isValid())
        co_return RawReply{NetworkError::invalidURL(), 0, {}};

    QNetworkRequest request(target);
    request.setTransferTimeout(options.timeoutMs.value_or(m_timeoutMs));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    if (m_authToken) {
        request.setRawHeader("Authorization", "Bearer " + m_authToken->toUtf8());
        // The token belongs to this server: a redirect to another origin is not followed.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::SameOriginRedirectPolicy);
    }
    for (const auto &[name, value] : options.headers)
        request.setRawHeader(name, value);

    QNetworkReply *reply =
        m_network.sendCustomRequest(request, method, body.value_or(QByteArray()));
    if (options.cancellable) {
        m_heldPolls.removeAll(nullptr);
        m_heldPolls.append(reply);
    }
    co_await reply;
    // deleteLater, not delete: the reply may still be inside its own finished() emission.
    reply->deleteLater();

    // The transfer timeout aborts the reply, which Qt reports as a cancellation; unless the
    // client ended it itself, the player is told the server took too long.
    if (reply->error() == QNetworkReply::OperationCanceledError) {
        if (reply->property(cancelledProperty).toBool())
            co_return RawReply{TransportError{reply->error(), reply->errorString()}, 0, {}};
        Q_EMIT serverUnreachable();
        co_return RawReply{TransportError{QNetworkReply::TimeoutError, timeoutText()}, 0, {}};
    }
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (reply->error() != QNetworkReply::NoError &&
        (isTransportFailure(reply->error()) || !statusAttribute.isValid())) {
        Q_EMIT serverUnreachable();
        co_return RawReply{TransportError{reply->error(), reply->errorString()}, 0, {}};
    }
    if (!statusAttribute.isValid())
        co_return RawReply{NetworkError::invalidResponse(), 0, {}};

    const int status = statusAttribute.toInt();
    QByteArray bytes = reply->readAll();
    const QByteArray etag = reply->rawHeader("ETag");
    const bool applied = reply->hasRawHeader("Preference-Applied");
    if (status == 304 && options.notModifiedIsAnswer) {
        Q_EMIT serverAnswered();
        co_return RawReply{std::nullopt, status, {}, etag, applied};
    }
    if (status < 200 || status > 299)
        co_return RawReply{failureForStatus(status, bytes), status, {}};
    Q_EMIT serverAnswered();
    if (bytes.isEmpty())
        co_return RawReply{NetworkError::decodingError(), status, {}};
    if (url.contains(u"/game/servers")) {
        if (const auto text = utf8Text(bytes))
            diag(QStringLiteral("📥 Surowa odpowiedź z /game/servers: ") + maskTokens(*text));
    }
    co_return RawReply{std::nullopt, status, std::move(bytes), etag, applied};
}

void NetworkService::reportUnreadable(const QByteArray &body, const DecodeError &error)
{
    const auto text = utf8Text(body);
    if (!text)
        return;
    if (text->trimmed().isEmpty()) {
        diag(QStringLiteral("⚠️ Pusta odpowiedź z serwera"));
        return;
    }
    diag(QStringLiteral("⚠️ Błąd dekodowania JSON: ") + error.description());
    diag(QStringLiteral("⚠️ Otrzymane dane: ") + maskTokens(*text));
    diag(error.kindLine());
}

QCoro::Task<Result<LoginResponse>> NetworkService::login(QString email, QString password)
{
    return request<LoginResponse>(url(QStringLiteral("/api/auth/login")), "POST",
                                  LoginRequest{std::move(email), std::move(password)});
}

QCoro::Task<Result<LoginResponse>> NetworkService::registerUser(QString username, QString email,
                                                                QString password)
{
    return request<LoginResponse>(
        url(QStringLiteral("/api/auth/register")), "POST",
        RegisterRequest{std::move(username), std::move(email), std::move(password)});
}

QCoro::Task<Result<User>> NetworkService::getCurrentUser()
{
    auto task = request<UserResponse>(url(QStringLiteral("/api/auth/me")), "GET");
    auto result = co_await std::move(task);
    co_return mapResult<UserResponse, User>(std::move(result),
                                            [](UserResponse &&r) { return std::move(r.user); });
}

QCoro::Task<Result<GameSessionResponse>>
NetworkService::createSession(std::optional<qint64> timeLimit)
{
    return request<GameSessionResponse>(url(QStringLiteral("/api/game/session")), "POST",
                                        CreateSessionRequest{timeLimit});
}

QCoro::Task<Result<GameSessionResponse>> NetworkService::getSession(QString sessionId)
{
    // The id is appended as it is: one that is not valid in a URL fails as invalidURL.
    auto task =
        request<SessionWrapper>(url(QStringLiteral("/api/game/session/")) + sessionId, "GET");
    auto result = co_await std::move(task);
    co_return mapResult<SessionWrapper, GameSessionResponse>(
        std::move(result), [](SessionWrapper &&w) {
            return GameSessionResponse{w.session.sessionId, w.session.roomId,
                                       w.session.playerId,  QString(),
                                       w.session.color,     std::move(w.gameState)};
        });
}

QCoro::Task<Result<GameSessionResponse>> NetworkService::joinGame(QString roomId)
{
    return request<GameSessionResponse>(url(QStringLiteral("/api/game/join")), "POST",
                                        JoinGameRequest{roomId});
}

QCoro::Task<Result<RejoinResponse>> NetworkService::rejoinGame(QString roomId)
{
    return request<RejoinResponse>(url(QStringLiteral("/api/game/rejoin")), "POST",
                                   RejoinRequest{roomId});
}

QCoro::Task<Result<GameActionResponse>> NetworkService::placePiece(PlacePieceRequest body)
{
    return request<GameActionResponse>(url(QStringLiteral("/api/game/place")), "POST", body);
}

QCoro::Task<Result<GameActionResponse>> NetworkService::passTurn(QString sessionId)
{
    return request<GameActionResponse>(url(QStringLiteral("/api/game/pass")), "POST",
                                       PassTurnRequest{sessionId});
}

QCoro::Task<Result<GameActionResponse>> NetworkService::voteToStart(QString sessionId,
                                                                    std::optional<bool> enableBots)
{
    return request<GameActionResponse>(url(QStringLiteral("/api/game/vote-to-start")), "POST",
                                       VoteToStartRequest{sessionId, enableBots});
}

QCoro::Task<Result<QList<GameServer>>> NetworkService::getServers()
{
    auto task = request<ServerListResponse>(url(QStringLiteral("/api/game/servers")), "GET");
    auto result = co_await std::move(task);
    co_return mapResult<ServerListResponse, QList<GameServer>>(
        std::move(result), [](ServerListResponse &&r) { return std::move(r.servers); });
}

QCoro::Task<Result<QList<PieceDefinition>>> NetworkService::getPieces()
{
    auto task = request<PiecesResponse>(url(QStringLiteral("/api/game/pieces")), "GET");
    auto result = co_await std::move(task);
    co_return mapResult<PiecesResponse, QList<PieceDefinition>>(
        std::move(result), [](PiecesResponse &&r) { return std::move(r.pieces); });
}

QCoro::Task<Result<QList<TimeOption>>> NetworkService::getTimeOptions()
{
    auto task = request<TimeOptionsResponse>(url(QStringLiteral("/api/game/time-options")), "GET");
    auto result = co_await std::move(task);
    co_return mapResult<TimeOptionsResponse, QList<TimeOption>>(
        std::move(result), [](TimeOptionsResponse &&r) { return std::move(r.options); });
}

QCoro::Task<Result<QList<ActiveGame>>> NetworkService::getActiveGames()
{
    auto task = request<ActiveGamesResponse>(url(QStringLiteral("/api/game/active-games")), "GET");
    auto result = co_await std::move(task);
    co_return mapResult<ActiveGamesResponse, QList<ActiveGame>>(
        std::move(result), [](ActiveGamesResponse &&r) { return std::move(r.activeGames); });
}

QCoro::Task<Result<SaveScoreResponse>> NetworkService::saveScore(SaveScoreRequest score)
{
    return request<SaveScoreResponse>(url(QStringLiteral("/api/scores")), "POST", score);
}

} // namespace korvana
