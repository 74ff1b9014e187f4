# SPDX-FileCopyrightText: 2026 Korvana developers
# SPDX-License-Identifier: GPL-3.0-or-later

# KORVANA_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer on everything we compile.
# Any finding stops the program (no recovery), so a test that meets one fails.
option(KORVANA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(KORVANA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
