// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "quickreader.h"

#include "sharedtext.h"

namespace korvana::json::quick {

bool read(Cursor &c, QString &out)
{
    if (c.tape.type(c.at) != '"')
        return false;
    out = sharedText(c.tape.text(c.at));
    ++c.at;
    return true;
}

bool read(Cursor &c, GameStatus &out)
{
    if (c.tape.type(c.at) != '"')
        return false;
    const std::string_view text = c.tape.text(c.at);
    out = gameStatusNamed(QUtf8StringView(text.data(), qsizetype(text.size())));
    ++c.at;
    return true;
}

} // namespace korvana::json::quick
