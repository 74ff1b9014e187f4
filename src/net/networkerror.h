// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QNetworkReply>
#include <QString>

#include <variant>

namespace korvana {

// Failures of the request layer itself, each with the Polish text shown to the player.
struct NetworkError
{
    enum class Case {
        HttpError,
        ServerError,
        Unauthorized,
        InvalidURL,
        InvalidResponse,
        DecodingError
    };

    Case kind = Case::InvalidResponse;
    int statusCode = 0; // the HTTP status the failure came with; 0 for none
    QString message;    // ServerError, Unauthorized

    static NetworkError httpError(int code) { return {Case::HttpError, code, {}}; }
    static NetworkError serverError(QString text)
    {
        return {Case::ServerError, 0, std::move(text)};
    }
    static NetworkError unauthorized(QString text)
    {
        return {Case::Unauthorized, 0, std::move(text)};
    }
    static NetworkError invalidURL() { return {Case::InvalidURL, 0, {}}; }
    static NetworkError invalidResponse() { return {Case::InvalidResponse, 0, {}}; }
    static NetworkError decodingError() { return {Case::DecodingError, 0, {}}; }

    [[nodiscard]] QString description() const;
    // Debug form for diagnostic lines, e.g. httpError(404).
    [[nodiscard]] QString printed() const;
    bool operator==(const NetworkError &) const = default;
};

// A failure of the HTTP client below the request layer, passed through unchanged.
struct TransportError
{
    QNetworkReply::NetworkError code = QNetworkReply::UnknownNetworkError;
    QString text; // Qt's own (translated) description

    bool operator==(const TransportError &) const = default;
};

using RequestError = std::variant<NetworkError, TransportError>;

[[nodiscard]] QString describe(const RequestError &error);
[[nodiscard]] QString printed(const RequestError &error);
[[nodiscard]] inline const NetworkError *asNetworkError(const RequestError &error)
{
    return std::get_if<NetworkError>(&error);
}

} // namespace korvana
