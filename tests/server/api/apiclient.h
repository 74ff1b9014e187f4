#pragma once

#include "jsonreader.h"
#include "jsonwriter.h"
#include "serverprocess.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QUrl>

#include <optional>

namespace korvana::test {

struct HttpResult
{
    int status = 0; // 0: no HTTP answer (connection refused, closed, timed out)
    QByteArray body;
    QByteArray retryAfter;

    template <json::Record T> [[nodiscard]] std::optional<T> as() const
    {
        auto decoded = json::decode<T>(body);
        return decoded ? std::optional<T>(std::move(*decoded)) : std::nullopt;
    }
    // The ErrorResponse text, or empty.
    [[nodiscard]] QString error() const;
};

// A blocking client of the game server for tests, speaking through the wire records.
class ApiClient
{
public:
    explicit ApiClient(QUrl base)
        : m_base(std::move(base))
    {
    }

    HttpResult get(const QString &path, const QString &token = {});
    HttpResult post(const QString &path, const QByteArray &body, const QString &token = {});
    template <json::WritableRecord T>
    HttpResult post(const QString &path, const T &record, const QString &token = {})
    {
        return post(path, json::toJson(record), token);
    }
    HttpResult send(const QByteArray &method, const QString &path, const QByteArray &body,
                    const QString &token);

    // Registers (name@example.com / "haslo123") and returns the token, or empty.
    QString registerUser(const QString &name);

    void setBase(QUrl base) { m_base = std::move(base); }

private:
    QUrl m_base;
    QNetworkAccessManager m_manager;
};

// Extra arguments every HTTP test gives the server: cheap password hashing.
inline QStringList fastServerArguments()
{
    return {QStringLiteral("--insecure-fast-hash")};
}

} // namespace korvana::test
