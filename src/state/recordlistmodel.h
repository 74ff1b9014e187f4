// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "variantconversion.h"

#include <QAbstractListModel>
#include <QVariantMap>

#include <type_traits>

namespace korvana {

// Wire records as rows of a QML view: one role per member name. A new list is matched to the
// rows by each record's id, so only rows that differ change and the others keep their delegates.
class RecordListModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)
    // Every row by its id (the first where ids repeat), for lookups outside a view.
    Q_PROPERTY(QVariantMap byId READ byId NOTIFY contentChanged)

public:
    // Roles from the members of T; idKey names the member that identifies a row.
    template <json::WritableRecord T>
    RecordListModel(std::type_identity<T>, QString idKey, QObject *parent = nullptr)
        : RecordListModel(memberNames<T>(), std::move(idKey), parent)
    {
    }

    template <json::WritableRecord T> void setRecords(const QList<T> &records)
    {
        QList<QVariantMap> rows;
        rows.reserve(records.size());
        for (const T &record : records)
            rows.append(toVariant(record).toMap());
        setRows(std::move(rows));
    }
    void setRows(QList<QVariantMap> rows);
    void clear() { setRows({}); }

    [[nodiscard]] const QList<QVariantMap> &rows() const { return m_rows; }
    [[nodiscard]] QVariantMap byId() const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();
    void contentChanged();

private:
    RecordListModel(QStringList roles, QString idKey, QObject *parent);

    template <class T> static QStringList memberNames()
    {
        return std::apply(
            [](const auto &...field) {
                return QStringList{
                    QString::fromUtf8(field.key.data(), qsizetype(field.key.size()))...};
            },
            T::fields());
    }
    [[nodiscard]] QString idOf(const QVariantMap &row) const
    {
        return row.value(m_idKey).toString();
    }
    // Replaces one row in place, announcing only the roles whose value differs.
    void update(int row, QVariantMap values);

    QStringList m_roles;
    QString m_idKey;
    QList<QVariantMap> m_rows;
};

} // namespace korvana
