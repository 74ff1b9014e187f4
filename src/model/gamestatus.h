// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QAnyStringView>
#include <QObject>
#include <QString>

namespace korvana {

namespace gamestatus {
Q_NAMESPACE

// A game's phase, read once from the wire's "waiting", "in_progress" or "finished".
enum class GameStatus : quint8 {
    Unknown, // a name this client does not know: neither playing nor finished
    Waiting,
    InProgress,
    Finished,
};
Q_ENUM_NS(GameStatus)

} // namespace gamestatus

using gamestatus::GameStatus;

[[nodiscard]] GameStatus gameStatusNamed(QAnyStringView name);
// The wire's name; empty for Unknown.
[[nodiscard]] QString wireName(GameStatus status);

// Waiting for players or under way: the game still needs its polls.
[[nodiscard]] constexpr bool isLive(GameStatus status)
{
    return status == GameStatus::Waiting || status == GameStatus::InProgress;
}

} // namespace korvana
