// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace korvana {

// Keys the client keeps in the store.
namespace storekeys {
// Written by earlier versions: one token, taken over by the first server used.
inline constexpr char authToken[] = "authToken";
// The bearer tokens, one per server: an object from server key to token.
inline constexpr char serverTokens[] = "serverTokens";
// "local" (the server on this computer, the default) or "other" (otherServerUrl).
inline constexpr char serverChoice[] = "serverChoice";
inline constexpr char otherServerUrl[] = "otherServerUrl";
inline constexpr char shareOnLan[] = "shareOnLan";
inline constexpr char soundEnabled[] = "soundEnabled";
inline constexpr char notificationsEnabled[] = "notificationsEnabled";
inline constexpr char autoReconnect[] = "autoReconnect";
} // namespace storekeys

// The persistent key-value store for the sign-in token and the player's preferences.
//
// Values are kept in a JSON file through a QSettings format of our own, not INI: INI writes a
// bool as the text "true", so after a round trip a Bool could not be told from a String. JSON
// keeps the type, so boolean() answers only for a value that really is a Bool and string() only
// for a real String; anything else (absent, text "true", a number) reads as nullopt.
// Instances on the same file share their values at once (QSettings' per-process cache); every
// write is flushed to disk immediately.
class KeyValueStore : public QObject
{
    Q_OBJECT
public:
    // The user's store: $XDG_CONFIG_HOME/Korvana/Korvana.json (organisation and application
    // "Korvana").
    explicit KeyValueStore(QObject *parent = nullptr);
    // A store in the given file, for tests.
    explicit KeyValueStore(const QString &filePath, QObject *parent = nullptr);
    ~KeyValueStore() override;

    // The process-wide store, created on first use on the user's file.
    static KeyValueStore &shared();
    // The QSettings format of the store's file, for tests that write it behind the store's back.
    static QSettings::Format format();

    [[nodiscard]] std::optional<QString> string(const QString &key) const;
    [[nodiscard]] std::optional<bool> boolean(const QString &key) const;
    // For QML, which has no optional: the Bool under key, or fallback.
    [[nodiscard]] Q_INVOKABLE bool booleanOr(const QString &key, bool fallback) const;
    [[nodiscard]] Q_INVOKABLE QString stringOr(const QString &key, const QString &fallback) const;
    // A JSON object kept under key; nullopt for anything else.
    [[nodiscard]] std::optional<QVariantMap> map(const QString &key) const;

    Q_INVOKABLE void setString(const QString &key, const QString &value);
    Q_INVOKABLE void setBoolean(const QString &key, bool value);
    void setMap(const QString &key, const QVariantMap &value);
    Q_INVOKABLE void remove(const QString &key);
    void sync();

    [[nodiscard]] QString fileName() const;

private:
    QSettings m_settings;
};

} // namespace korvana
