// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

namespace korvana::store {

class Database;

struct ScoreRecord
{
    qint64 id = 0;
    qint64 userId = 0;
    QString roomId;
    qint64 score = 0;
    qint64 position = 0;
    qint64 playersCount = 0;
};

struct UserTotals
{
    qint64 gamesPlayed = 0;
    qint64 gamesWon = 0;
    qint64 totalScore = 0;
    qint64 bestScore = 0;
};

// One final score per user per room.
class ScoreStore
{
public:
    explicit ScoreStore(Database &db)
        : m_db(db)
    {
    }

    // Saves the score unless one exists for this user and room; returns the saved row either
    // way (none only when the database fails). Call inside a transaction to group it.
    [[nodiscard]] std::optional<ScoreRecord> saveOnce(const ScoreRecord &score);
    [[nodiscard]] std::optional<ScoreRecord> find(qint64 userId, const QString &roomId);
    [[nodiscard]] UserTotals totals(qint64 userId);

private:
    Database &m_db;
};

} // namespace korvana::store
