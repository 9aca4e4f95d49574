#!/usr/bin/env python3
"""Writes capture-click.wav, the sound played when a hotkey starts a capture.

A camera-shutter-like double click: two short bursts of decaying noise over a low thump,
then silence. PCM, mono, 22050 Hz, 8-bit unsigned, 4578 sample bytes; the file carries a
18-byte format chunk and a fact chunk, 4636 bytes in all. Deterministic: the same bytes every run.

    python3 make_capture_click.py [output.wav]
"""
import math
import struct
import sys

RATE = 22050
SAMPLES = 4578


def burst(n, start, length, amplitude, decay, seed):
    """Decaying noise from a fixed linear congruential sequence, plus a 180 Hz thump."""
    if n < start or n >= start + length:
        return 0.0
    t = n - start
    state = (seed * 1103515245 + t * 12345 + 7) & 0x7FFFFFFF
    for _ in range(3):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
    noise = state / 0x3FFFFFFF - 1.0
    envelope = math.exp(-t / decay)
    thump = math.sin(2 * math.pi * 180 * t / RATE) * math.exp(-t / (decay * 2))
    return amplitude * envelope * (0.7 * noise + 0.3 * thump)


def samples():
    for n in range(SAMPLES):
        value = burst(n, 0, 900, 0.9, 120.0, 1) + burst(n, 1650, 1400, 0.75, 200.0, 2)
        value = max(-1.0, min(1.0, value))
        yield max(0, min(255, round(128 + 127 * value)))


def wave_file(data):
    fmt = struct.pack("<HHIIHHH", 1, 1, RATE, RATE, 1, 8, 0)  # PCM, cbSize 0
    fact = struct.pack("<I", len(data))
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"fact" +
            struct.pack("<I", len(fact)) + fact + b"data" + struct.pack("<I", len(data)) + data)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "capture-click.wav"
    content = wave_file(bytes(samples()))
    assert len(content) == 4636, len(content)
    with open(out, "wb") as f:
        f.write(content)


if __name__ == "__main__":
    main()
