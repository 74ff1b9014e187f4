// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <expected>

namespace korvana::store {

// Writes a consistent copy of the database at `databasePath` to `target`, also while a server
// serves it: one read transaction (VACUUM INTO) on a read-only connection of its own, which in
// WAL mode neither waits for the server's writes nor holds them up. The copy is written beside
// `target`, flushed to disk and then renamed, so `target` is never a half-written file.
[[nodiscard]] std::expected<void, QString> backUpDatabase(const QString &databasePath,
                                                          const QString &target);

} // namespace korvana::store
