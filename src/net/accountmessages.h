// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Every wire record the request layer reads or writes.
#include "account.h"
#include "actions.h"
#include "gamestate.h"
#include "lobby.h"
