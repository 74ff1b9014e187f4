#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Korvana developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Synthesises the short feedback sounds of the desktop client into src/platform/sounds/.

Standard library only (wave + math), 16-bit mono 44.1 kHz, each sound under 0.3 s.
The output is deterministic: running the script again gives byte-identical files.
Usage: scripts/make-sounds.py [output folder]
"""
import math
import os
import struct
import sys
import wave

RATE = 44100
PEAK = 0.55  # of full scale; leaves headroom and keeps the sounds soft


def silence(seconds):
    return [0.0] * int(seconds * RATE)


def tone(freq, seconds, decay, partials=((1, 1.0),), attack=0.004, glide=0.0):
    """A note: sum of harmonic partials, a short linear attack and an exponential decay.

    decay is the time constant in seconds; glide moves the pitch linearly by that many Hz.
    """
    n = int(seconds * RATE)
    out = []
    phase = [0.0] * len(partials)
    for i in range(n):
        t = i / RATE
        f = freq + glide * (i / n)
        env = min(1.0, t / attack) * math.exp(-t / decay)
        s = 0.0
        for k, (mult, amp) in enumerate(partials):
            phase[k] += 2 * math.pi * f * mult / RATE
            s += amp * math.sin(phase[k])
        out.append(env * s)
    return out


def mix_at(base, part, offset_seconds):
    start = int(offset_seconds * RATE)
    need = start + len(part)
    if len(base) < need:
        base.extend([0.0] * (need - len(base)))
    for i, v in enumerate(part):
        base[start + i] += v
    return base


def finish(samples, fade=0.003):
    """Normalise to PEAK and fade both ends so no sound starts or stops with a click."""
    top = max(abs(v) for v in samples) or 1.0
    n = len(samples)
    f = max(1, int(fade * RATE))
    out = []
    for i, v in enumerate(samples):
        g = min(1.0, i / f, (n - 1 - i) / f)
        out.append(v / top * PEAK * g)
    return out


def click():  # piece selected: a soft, short click
    return finish(tone(1900, 0.035, 0.006, ((1, 1.0), (2.01, 0.25)), attack=0.001))


def tick():  # piece rotated: a higher, drier tick than the click
    return finish(tone(3400, 0.022, 0.0035, ((1, 1.0), (1.5, 0.3)), attack=0.0005))


def chime():  # piece placed: two bell-like notes, C6 then G6
    bell = ((1, 1.0), (2, 0.35), (3.01, 0.12))
    s = tone(1046.5, 0.16, 0.05, bell)
    mix_at(s, tone(1568.0, 0.17, 0.06, bell), 0.09)
    return finish(s)


def buzz():  # placement refused: a low, slightly falling buzz
    odd = tuple((k, 1.0 / k) for k in (1, 3, 5, 7, 9))
    s = tone(150, 0.22, 0.12, odd, attack=0.006, glide=-25)
    # a 30 Hz tremolo makes it read as "buzz" rather than "tone"
    s = [v * (0.75 + 0.25 * math.sin(2 * math.pi * 30 * i / RATE)) for i, v in enumerate(s)]
    return finish(s)


def fanfare():  # game finished: three rising notes, G5 C6 E6, the last one held
    brass = ((1, 1.0), (2, 0.5), (3, 0.3), (4, 0.15))
    s = tone(784.0, 0.08, 0.06, brass, attack=0.008)
    mix_at(s, tone(1046.5, 0.08, 0.06, brass, attack=0.008), 0.075)
    mix_at(s, tone(1318.5, 0.14, 0.08, brass, attack=0.008), 0.15)
    return finish(s)


def ping():  # the turn passes to this player: one clear, ringing ping
    return finish(tone(1760.0, 0.25, 0.07, ((1, 1.0), (2.76, 0.08)), attack=0.002))


def warning():  # my time runs short: two quick, urgent beeps, the second lower
    square = ((1, 1.0), (3, 0.3), (5, 0.12))
    s = tone(1318.5, 0.07, 0.05, square, attack=0.003)
    mix_at(s, tone(987.8, 0.09, 0.05, square, attack=0.003), 0.11)
    return finish(s)


SOUNDS = {
    "select.wav": click,
    "rotate.wav": tick,
    "placed.wav": chime,
    "refused.wav": buzz,
    "finished.wav": fanfare,
    "turn.wav": ping,
    "lowtime.wav": warning,
}


def write(path, samples):
    assert len(samples) < 0.3 * RATE, path
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(round(v * 32767))) for v in samples))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "platform", "sounds")
    os.makedirs(out_dir, exist_ok=True)
    for name, make in SOUNDS.items():
        write(os.path.join(out_dir, name), make())
        print(os.path.normpath(os.path.join(out_dir, name)))


if __name__ == "__main__":
    main()
