// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "networkerror.h"

#include <QCoreApplication>
#include <QMetaEnum>

namespace korvana {

QString NetworkError::description() const
{
    switch (kind) {
    case Case::HttpError:
        return QCoreApplication::translate("NetworkError", "Błąd HTTP: ") +
               QString::number(statusCode);
    case Case::ServerError:
    case Case::Unauthorized:
        return message;
    case Case::InvalidURL:
        return QCoreApplication::translate("NetworkError", "Nieprawidłowy URL");
    case Case::InvalidResponse:
        return QCoreApplication::translate("NetworkError", "Nieprawidłowa odpowiedź serwera");
    case Case::DecodingError:
        return QCoreApplication::translate("NetworkError", "Błąd parsowania danych");
    }
    return {};
}

QString NetworkError::printed() const
{
    switch (kind) {
    case Case::HttpError:
        return QStringLiteral("httpError(%1)").arg(statusCode);
    case Case::ServerError:
        return QStringLiteral("serverError(\"%1\")").arg(message);
    case Case::Unauthorized:
        return QStringLiteral("unauthorized(\"%1\")").arg(message);
    case Case::InvalidURL:
        return QStringLiteral("invalidURL");
    case Case::InvalidResponse:
        return QStringLiteral("invalidResponse");
    case Case::DecodingError:
        return QStringLiteral("decodingError");
    }
    return {};
}

QString describe(const RequestError &error)
{
    if (const auto *network = asNetworkError(error))
        return network->description();
    return std::get<TransportError>(error).text;
}

QString printed(const RequestError &error)
{
    if (const auto *network = asNetworkError(error))
        return network->printed();
    const auto &transport = std::get<TransportError>(error);
    const char *name =
        QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(transport.code);
    return QStringLiteral("%1(\"%2\")")
        .arg(QLatin1String(name ? name : "NetworkError"), transport.text);
}

} // namespace korvana
