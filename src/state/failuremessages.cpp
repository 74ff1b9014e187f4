// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "failuremessages.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

namespace korvana {
namespace {

using Case = NetworkError::Case;

// Which errors a row is about.
struct Match
{
    enum class Kind {
        Any,
        AnyNetworkError,
        NetworkCase,   // a NetworkError of that case
        HttpStatus,    // httpError with that status
        ServerText,    // serverError whose text contains one of the words, in any letter case
        TransportText, // a transport failure whose text contains one of the words
    };
    Kind kind = Kind::Any;
    Case networkCase = Case::HttpError;
    int status = 0;
    QStringList words;

    bool matches(const RequestError &error) const
    {
        const NetworkError *network = asNetworkError(error);
        const auto containsWord = [this](const QString &text) {
            const QString lower = text.toLower();
            return std::any_of(words.cbegin(), words.cend(),
                               [&](const QString &word) { return lower.contains(word); });
        };
        switch (kind) {
        case Kind::Any:
            return true;
        case Kind::AnyNetworkError:
            return network != nullptr;
        case Kind::NetworkCase:
            return network && network->kind == networkCase;
        case Kind::HttpStatus:
            return network && network->kind == Case::HttpError && network->statusCode == status;
        case Kind::ServerText:
            return network && network->kind == Case::ServerError && containsWord(network->message);
        case Kind::TransportText:
            return !network && containsWord(describe(error));
        }
        return false;
    }
};

Match any()
{
    return {};
}
Match anyNetworkError()
{
    return {Match::Kind::AnyNetworkError};
}
Match networkCase(Case value)
{
    return {Match::Kind::NetworkCase, value};
}
Match httpStatus(int status)
{
    return {Match::Kind::HttpStatus, Case::HttpError, status};
}
Match serverText(QStringList words)
{
    return {Match::Kind::ServerText, Case::ServerError, 0, std::move(words)};
}
Match transportText(QStringList words)
{
    return {Match::Kind::TransportText, Case::HttpError, 0, std::move(words)};
}

// A row: for that operation and those errors, this sentence. In the sentence, {code} is the
// HTTP status, {text} the server's text and {description} the error's own description.
struct Row
{
    Operation operation;
    Match match;
    // Translated when the reaction is built; nullptr for none.
    const char *message = nullptr;
    FollowUp followUp = FollowUp::None;
};

const char *const kDescription = "{description}";
const char *const kGameNotFound = QT_TRANSLATE_NOOP(
    "FailureMessages",
    "Gra nie została znaleziona. Może została już zakończona. Odśwież listę serwerów.");
const char *const kHttpTryAgain =
    QT_TRANSLATE_NOOP("FailureMessages", "Błąd serwera (HTTP {code}). Spróbuj ponownie.");
const QStringList kAlreadyInGame{
    QStringLiteral("already in game"),  // notr: words of the server's replies
    QStringLiteral("już jest w grze")}; // notr: words of the server's replies

// First matching row of the operation wins.
const QList<Row> &rows()
{
    using enum Operation;
    static const QList<Row> table{
        {LoadServers, networkCase(Case::Unauthorized),
         QT_TRANSLATE_NOOP("FailureMessages", "Musisz się zalogować, aby zobaczyć listę serwerów")},
        {LoadServers, networkCase(Case::DecodingError),
         QT_TRANSLATE_NOOP("FailureMessages", "Błąd parsowania danych z serwera")},
        {LoadServers, networkCase(Case::HttpError),
         QT_TRANSLATE_NOOP("FailureMessages", "Błąd serwera (HTTP {code})")},
        {LoadServers, networkCase(Case::ServerError),
         QT_TRANSLATE_NOOP("FailureMessages", "Błąd serwera: {text}")},
        {LoadServers, any(), kDescription},

        {CreateSession, networkCase(Case::Unauthorized),
         QT_TRANSLATE_NOOP("FailureMessages", "Musisz się zalogować, aby utworzyć sesję gry")},
        {CreateSession, anyNetworkError(), kDescription},
        {CreateSession, transportText(kAlreadyInGame), nullptr, FollowUp::RetryEntry},
        {CreateSession, any(), kDescription},

        {JoinGame,
         serverText({QStringLiteral("not found"), QStringLiteral("nie znaleziona"),
                     QStringLiteral("gra nie znaleziona")}),
         kGameNotFound, FollowUp::ReloadServers},
        {JoinGame,
         serverText({QStringLiteral("not accepting"), QStringLiteral("nie przyjmuje"),
                     QStringLiteral("już się rozpoczęła"), QStringLiteral("already started")}),
         QT_TRANSLATE_NOOP("FailureMessages",
                           "Gra już się rozpoczęła. Nie można dołączyć do gry w trakcie."),
         FollowUp::ReloadServers},
        {JoinGame, serverText(kAlreadyInGame), nullptr, FollowUp::RetryEntry},
        {JoinGame, networkCase(Case::Unauthorized),
         QT_TRANSLATE_NOOP("FailureMessages", "Musisz się zalogować, aby dołączyć do gry")},
        {JoinGame, httpStatus(404), kGameNotFound, FollowUp::ReloadServers},
        {JoinGame, networkCase(Case::HttpError), kHttpTryAgain},
        {JoinGame, anyNetworkError(), kDescription},
        {JoinGame, transportText(kAlreadyInGame), nullptr, FollowUp::RetryEntry},
        {JoinGame, any(), kDescription},

        {RejoinGame, networkCase(Case::Unauthorized),
         QT_TRANSLATE_NOOP("FailureMessages", "Musisz się zalogować, aby powrócić do gry")},
        {RejoinGame, httpStatus(400),
         QT_TRANSLATE_NOOP("FailureMessages", "Gra już się zakończyła lub nieprawidłowe dane")},
        {RejoinGame, httpStatus(404),
         QT_TRANSLATE_NOOP("FailureMessages",
                           "Gra nie została znaleziona lub nie jesteś jej uczestnikiem")},
        {RejoinGame, networkCase(Case::HttpError), kHttpTryAgain},
        {RejoinGame, any(), kDescription},

        {RetryCreate, any(),
         QT_TRANSLATE_NOOP("FailureMessages",
                           "Nie udało się utworzyć nowej sesji. Spróbuj ponownie za chwilę.")},
        {RetryJoin, any(),
         QT_TRANSLATE_NOOP("FailureMessages",
                           "Nie udało się dołączyć do serwera. Spróbuj ponownie za chwilę.")},
        {SaveScore, any(),
         QT_TRANSLATE_NOOP("FailureMessages", "Nie udało się zapisać wyniku: {description}")},
        {GameAction, any(), kDescription},
    };
    return table;
}

} // namespace

FailureReaction failureReaction(Operation operation, const RequestError &error)
{
    for (const Row &row : rows()) {
        if (row.operation != operation || !row.match.matches(error))
            continue;
        QString message =
            row.message ? QCoreApplication::translate("FailureMessages", row.message) : QString();
        if (const NetworkError *network = asNetworkError(error)) {
            message.replace(QStringLiteral("{code}"), QString::number(network->statusCode));
            message.replace(QStringLiteral("{text}"), network->message);
        }
        message.replace(QLatin1String(kDescription), describe(error));
        return {message, row.followUp};
    }
    return {describe(error)};
}

QString refusalWithoutReason()
{
    return QT_TRANSLATE_NOOP("FailureMessages", "Serwer nie przyjął tej akcji. Spróbuj ponownie.");
}

} // namespace korvana
