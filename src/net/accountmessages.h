#pragma once

// Every wire record the request layer reads or writes.
#include "account.h"
#include "actions.h"
#include "gamestate.h"
#include "lobby.h"
