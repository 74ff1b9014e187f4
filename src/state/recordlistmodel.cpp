// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "recordlistmodel.h"

#include <QHash>

namespace korvana {

RecordListModel::RecordListModel(QStringList roles, QString idKey, QObject *parent)
    : QAbstractListModel(parent)
    , m_roles(std::move(roles))
    , m_idKey(std::move(idKey))
{
}

void RecordListModel::setRows(QList<QVariantMap> rows)
{
    const qsizetype countBefore = m_rows.size();
    bool changed = false;
    // Rows whose id is no longer listed go first (as many as the new list lacks, where ids
    // repeat), so the walk below meets only rows it keeps.
    QHash<QString, int> wanted;
    for (const QVariantMap &row : rows)
        ++wanted[idOf(row)];
    for (qsizetype i = m_rows.size() - 1; i >= 0; --i) {
        int &left = wanted[idOf(m_rows.at(i))];
        if (left > 0) {
            --left;
            continue;
        }
        beginRemoveRows({}, int(i), int(i));
        m_rows.removeAt(i);
        endRemoveRows();
        changed = true;
    }
    // Each new row: the kept row with its id moves up to its place, else the row is inserted.
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString id = idOf(rows.at(i));
        qsizetype at = i;
        while (at < m_rows.size() && idOf(m_rows.at(at)) != id)
            ++at;
        if (at == m_rows.size()) {
            beginInsertRows({}, int(i), int(i));
            m_rows.insert(i, std::move(rows[i]));
            endInsertRows();
            changed = true;
            continue;
        }
        if (at != i) {
            beginMoveRows({}, int(at), int(at), {}, int(i));
            m_rows.move(at, i);
            endMoveRows();
            changed = true;
        }
        if (m_rows.at(i) != rows.at(i)) {
            update(int(i), std::move(rows[i]));
            changed = true;
        }
    }
    if (m_rows.size() != countBefore)
        Q_EMIT countChanged();
    if (changed)
        Q_EMIT contentChanged();
}

void RecordListModel::update(int row, QVariantMap values)
{
    QList<int> roles;
    for (qsizetype r = 0; r < m_roles.size(); ++r) {
        const QString &key = m_roles.at(r);
        if (m_rows.at(row).value(key) != values.value(key))
            roles.append(Qt::UserRole + int(r));
    }
    m_rows[row] = std::move(values);
    Q_EMIT dataChanged(index(row), index(row), roles);
}

QVariantMap RecordListModel::byId() const
{
    QVariantMap rows;
    for (const QVariantMap &row : m_rows) {
        const QString id = idOf(row);
        if (!rows.contains(id))
            rows.insert(id, row);
    }
    return rows;
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    const int key = role - Qt::UserRole;
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        key < 0 || key >= m_roles.size())
        return {};
    return m_rows.at(index.row()).value(m_roles.at(key));
}

QHash<int, QByteArray> RecordListModel::roleNames() const
{
    QHash<int, QByteArray> names;
    for (qsizetype r = 0; r < m_roles.size(); ++r)
        names.insert(Qt::UserRole + int(r), m_roles.at(r).toUtf8());
    return names;
}

} // namespace korvana
