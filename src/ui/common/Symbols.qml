// SPDX-FileCopyrightText: 2026 Korvana developers
// SPDX-License-Identifier: GPL-3.0-or-later

pragma Singleton
import QtQuick

// The phone's symbol names used on screen and the Material Icons glyph of the same meaning.
QtObject {
    readonly property var glyphs: ({
        "arrow.clockwise": "\ue5d5",                    // refresh
        "arrow.down.circle.fill": "\uf181",             // arrow_circle_down
        "arrow.left": "\ue5c4",                         // arrow_back
        "arrow.left.circle": "\ueaa7",                  // arrow_circle_left
        "arrow.right.circle.fill": "\ueaaa",            // arrow_circle_right
        "arrow.up.circle.fill": "\uf182",               // arrow_circle_up
        "checkmark": "\ue5ca",                          // check
        "checkmark.circle.fill": "\ue86c",              // check_circle
        "chevron.down": "\ue5cf",                       // expand_more
        "chevron.right": "\ue5cc",                      // chevron_right
        "cpu": "\ue322",                                // memory
        "forward.fill": "\ue01f",                       // fast_forward
        "gamecontroller.fill": "\uea28",                // sports_esports
        "gearshape.fill": "\ue8b8",                     // settings
        "hand.raised.fill": "\ue925",                   // pan_tool
        "pause.fill": "\ue034",                         // pause
        "person.3.fill": "\uf233",                      // groups
        "person.fill": "\ue7fd",                        // person
        "person.fill.questionmark": "\ue7ff",           // person_outline: a seat nobody holds
        "play.fill": "\ue037",                          // play_arrow
        "rectangle.portrait.and.arrow.right": "\ue9ba", // logout
        "server.rack": "\ue875",                        // dns
        "speaker.slash.fill": "\ue04f",                 // volume_off
        "speaker.wave.2.fill": "\ue050",                // volume_up
        "pause.fill": "\ue034",                         // pause
        "tag.fill": "\uf05b",                           // sell
        "timer": "\ue425",                              // timer
        "tray": "\ue156",                               // inbox
        "wifi.slash": "\ue648",                         // wifi_off
        "xmark": "\ue5cd"                               // close
    })
    // help_outline, so a name missing here shows as a visible question mark, not as nothing.
    readonly property string unknownGlyph: "\ue8fd"

    function glyph(name: string): string {
        const found = glyphs[name]
        return found === undefined ? unknownGlyph : found
    }
}
