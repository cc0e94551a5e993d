#!/usr/bin/env python3
"""Writes the example melody as a Standard MIDI File (standard library only).

A flute plays the opening of "Frere Jacques" in D major, 100 BPM, with one held note and a
short rest, so the conversion shows note starts, a long note and silence.
"""
import struct
import sys

TICKS = 480
# (MIDI note, length in eighth notes); 0 is a rest.
MELODY = [
    (74, 2), (76, 2), (78, 2), (74, 2),
    (74, 2), (76, 2), (78, 2), (74, 2),
    (78, 2), (79, 2), (81, 4),
    (78, 2), (79, 2), (81, 3), (0, 1),
]


def vlq(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def main(path):
    track = bytearray()
    track += vlq(0) + bytes([0xFF, 0x51, 0x03]) + (600000).to_bytes(3, "big")  # 100 BPM
    track += vlq(0) + bytes([0xC0, 73])  # flute
    pending = 0
    for note, eighths in MELODY:
        length = eighths * TICKS // 2
        if note == 0:
            pending += length
            continue
        played = length * 9 // 10  # a little detached, as a player would
        track += vlq(pending) + bytes([0x90, note, 96])
        track += vlq(played) + bytes([0x80, note, 0])
        pending = length - played
    track += vlq(pending + TICKS) + bytes([0xFF, 0x2F, 0x00])
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS)
    with open(path, "wb") as f:
        f.write(header + b"MTrk" + struct.pack(">I", len(track)) + track)


if __name__ == "__main__":
    main(sys.argv[1])
