// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "networkerror.h"

#include <QString>

namespace korvana {

// What the player was doing when a request failed.
enum class Operation {
    LoadServers,
    CreateSession,
    JoinGame,
    RejoinGame,
    RetryCreate, // the second attempt after "already in game"
    RetryJoin,
    SaveScore,
    GameAction, // vote, placement or pass
};

// What the game manager does after showing the message.
enum class FollowUp {
    None,
    ReloadServers,
    RetryEntry, // leave, wait, and send the same request once more
};

struct FailureReaction
{
    QString message;
    FollowUp followUp = FollowUp::None;

    bool operator==(const FailureReaction &) const = default;
};

// The one table of failure sentences, keyed by operation and error.
[[nodiscard]] FailureReaction failureReaction(Operation operation, const RequestError &error);

// For a game action the server answered without success and without a reason, or with success
// but without the new state.
[[nodiscard]] QString refusalWithoutReason();

} // namespace korvana
