// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyvaluestore.h"

#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QMetaType>

namespace korvana {
namespace {

bool readJson(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray bytes = device.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    // A damaged file reads as empty (every key absent) rather than half-read.
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        map.insert(it.key(), it.value().toVariant());
    return true;
}

bool writeJson(QIODevice &device, const QSettings::SettingsMap &map)
{
    QJsonObject object;
    for (auto it = map.begin(); it != map.end(); ++it)
        object.insert(it.key(), QJsonValue::fromVariant(it.value()));
    return device.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) >= 0;
}

} // namespace

QSettings::Format KeyValueStore::format()
{
    static const QSettings::Format json =
        QSettings::registerFormat(QStringLiteral("json"), readJson, writeJson, Qt::CaseSensitive);
    return json;
}

KeyValueStore::KeyValueStore(QObject *parent)
    : QObject(parent)
    , m_settings(format(), QSettings::UserScope, QStringLiteral("Korvana"),
                 QStringLiteral("Korvana"))
{
}

KeyValueStore::KeyValueStore(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_settings(filePath, format())
{
}

KeyValueStore::~KeyValueStore() = default;

KeyValueStore &KeyValueStore::shared()
{
    static KeyValueStore store;
    return store;
}

std::optional<QString> KeyValueStore::string(const QString &key) const
{
    const QVariant value = m_settings.value(key);
    if (value.metaType().id() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<bool> KeyValueStore::boolean(const QString &key) const
{
    const QVariant value = m_settings.value(key);
    if (value.metaType().id() != QMetaType::Bool)
        return std::nullopt;
    return value.toBool();
}

bool KeyValueStore::booleanOr(const QString &key, bool fallback) const
{
    return boolean(key).value_or(fallback);
}

QString KeyValueStore::stringOr(const QString &key, const QString &fallback) const
{
    return string(key).value_or(fallback);
}

std::optional<QVariantMap> KeyValueStore::map(const QString &key) const
{
    const QVariant value = m_settings.value(key);
    if (value.metaType().id() != QMetaType::QVariantMap)
        return std::nullopt;
    return value.toMap();
}

void KeyValueStore::setMap(const QString &key, const QVariantMap &value)
{
    m_settings.setValue(key, value);
    sync();
}

void KeyValueStore::setString(const QString &key, const QString &value)
{
    m_settings.setValue(key, value);
    sync();
}

void KeyValueStore::setBoolean(const QString &key, bool value)
{
    m_settings.setValue(key, value);
    sync();
}

void KeyValueStore::remove(const QString &key)
{
    m_settings.remove(key);
    sync();
}

void KeyValueStore::sync()
{
    m_settings.sync();
}

QString KeyValueStore::fileName() const
{
    return m_settings.fileName();
}

} // namespace korvana
