"""Notes and pitch out of a Standard MIDI File, as a synthesizer would play it.

Reads PPQ and SMPTE time bases with a small parser of its own (mido misreads
an SMPTE division, and is slow on files with many pitch bends), follows the
tempo map, and keeps per channel the pitch-bend value and the bend range.
The bend range is taken only from the data entry of registered parameter 0
(controller 101 = 0, 100 = 0, then 6 and 38); once a non-registered parameter
is selected (99, 98), later data entry goes there and leaves the range alone.
"""

from __future__ import annotations

import bisect
import dataclasses
import struct

DEFAULT_BEND_RANGE = 2.0
SOUNDING_WINDOW_S = 0.1


@dataclasses.dataclass
class Note:
    onset: float
    offset: float
    key: int
    channel: int
    sounding: float = 0.0  # key + bend, median over the first 100 ms


class BendTrack:
    """Pitch-bend offset in semitones over time for one channel (a step function)."""

    def __init__(self):
        self.times = [0.0]
        self.values = [0.0]

    def set(self, t, semitones):
        if self.times[-1] == t:
            self.values[-1] = semitones
        else:
            self.times.append(t)
            self.values.append(semitones)

    def at(self, t):
        return self.values[bisect.bisect_right(self.times, t) - 1]


class _ChannelState:
    def __init__(self):
        self.bend = 8192
        self.range = DEFAULT_BEND_RANGE
        self.range_entry = [int(DEFAULT_BEND_RANGE), 0]  # semitones, cents
        self.rpn = [127, 127]
        self.registered = False  # True after 101/100, False after 99/98
        self.track = BendTrack()

    def semitones(self):
        delta = self.bend - 8192
        return delta * self.range / (8191.0 if delta > 0 else 8192.0)


def _read_chunks(path):
    """(division, [track bytes]) of a Standard MIDI File."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 14 or data[:4] != b"MThd":
        raise ValueError(f"{path}: not a Standard MIDI File")
    (header_length,) = struct.unpack(">I", data[4:8])
    (division,) = struct.unpack(">H", data[12:14])
    pos = 8 + header_length
    tracks = []
    while pos + 8 <= len(data):
        kind = data[pos:pos + 4]
        (length,) = struct.unpack(">I", data[pos + 4:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"MTrk":
            tracks.append(body)
        pos += 8 + length
    return division, tracks


def _events(track):
    """(absolute tick, status, data1, data2) of every message; meta tempo as status 0x51."""
    pos = 0
    tick = 0
    running = 0
    end = len(track)

    def vlq():
        nonlocal pos
        value = 0
        while pos < end:
            byte = track[pos]
            pos += 1
            value = (value << 7) | (byte & 0x7F)
            if not byte & 0x80:
                break
        return value

    while pos < end:
        tick += vlq()
        if pos >= end:
            break
        status = track[pos]
        if status == 0xFF:
            kind = track[pos + 1] if pos + 1 < end else 0
            pos += 2
            length = vlq()
            body = track[pos:pos + length]
            pos += length
            if kind == 0x51 and len(body) == 3:
                yield tick, 0x51, (body[0] << 16) | (body[1] << 8) | body[2], 0
            elif kind == 0x2F:
                break
            continue
        if status in (0xF0, 0xF7):
            pos += 1
            pos += vlq()
            continue
        if status & 0x80:
            running = status
            pos += 1
        elif not running:
            pos += 1  # a data byte with no status before it: skip it
            continue
        size = 1 if (running & 0xF0) in (0xC0, 0xD0) else 2
        data = track[pos:pos + size]
        pos += size
        if len(data) < size:
            break
        yield tick, running, data[0], data[1] if size == 2 else 0


def _seconds_converter(division, tempo_changes):
    """A function from absolute ticks to seconds."""
    if division & 0x8000:
        fps = -struct.unpack(">b", bytes([division >> 8]))[0]
        fps = 29.97 if fps == 29 else float(fps)
        per_second = fps * (division & 0xFF)
        return lambda tick: tick / per_second
    ppq = division
    changes = sorted(tempo_changes)
    # (tick, seconds at tick, tempo from tick on)
    segments = [(0, 0.0, 500000)]
    for tick, tempo in changes:
        t0, s0, tempo0 = segments[-1]
        s = s0 + (tick - t0) * tempo0 / 1e6 / ppq
        if tick == t0:
            segments[-1] = (t0, s0, tempo)
        else:
            segments.append((tick, s, tempo))
    starts = [s[0] for s in segments]

    def convert(tick):
        t0, s0, tempo = segments[bisect.bisect_right(starts, tick) - 1]
        return s0 + (tick - t0) * tempo / 1e6 / ppq

    return convert


def read_notes(path):
    """(notes sorted by onset, {channel: BendTrack}) of a MIDI file."""
    division, raw_tracks = _read_chunks(path)
    timed = []  # (tick, track index, position, status, data1, data2)
    tempo_changes = []
    for ti, track in enumerate(raw_tracks):
        for pos, (tick, status, d1, d2) in enumerate(_events(track)):
            if status == 0x51:
                tempo_changes.append((tick, d1))
            else:
                timed.append((tick, ti, pos, status, d1, d2))
    timed.sort(key=lambda e: (e[0], e[1], e[2]))
    seconds = _seconds_converter(division, tempo_changes)

    channels = {}
    open_notes = {}  # (channel, key) -> onset
    notes = []

    def close(channel, key, t):
        onset = open_notes.pop((channel, key), None)
        if onset is not None:
            notes.append(Note(onset, t, key, channel))

    for tick, _, _, status, d1, d2 in timed:
        t = seconds(tick)
        kind = status & 0xF0
        channel = status & 0x0F
        st = channels.setdefault(channel, _ChannelState())
        if kind == 0x90 and d2 > 0:
            close(channel, d1, t)
            open_notes[(channel, d1)] = t
        elif kind == 0x80 or kind == 0x90:
            close(channel, d1, t)
        elif kind == 0xE0:
            st.bend = d1 | (d2 << 7)
            st.track.set(t, st.semitones())
        elif kind == 0xB0:
            if d1 in (101, 100):
                st.rpn[0 if d1 == 101 else 1] = d2
                st.registered = True
            elif d1 in (99, 98):
                st.registered = False
            elif d1 in (6, 38) and st.registered and st.rpn == [0, 0]:
                st.range_entry[0 if d1 == 6 else 1] = d2
                st.range = st.range_entry[0] + st.range_entry[1] / 100.0
                st.track.set(t, st.semitones())
    end = seconds(max((e[0] for e in timed), default=0))
    for (channel, key) in list(open_notes):
        close(channel, key, end)

    notes = [n for n in notes if n.offset > n.onset]
    notes.sort(key=lambda n: (n.onset, n.key))
    tracks = {c: s.track for c, s in channels.items()}
    for n in notes:
        n.sounding = sounding_pitch(n, tracks.get(n.channel))
    return notes, tracks


def sounding_pitch(note, track):
    """Key plus bend, the median over the note's first 100 ms (1 ms steps)."""
    if track is None:
        return float(note.key)
    span = min(SOUNDING_WINDOW_S, note.offset - note.onset)
    steps = max(1, int(round(span * 1000)))
    values = sorted(note.key + track.at(note.onset + span * i / steps) for i in range(steps))
    mid = len(values) // 2
    return values[mid] if len(values) % 2 else 0.5 * (values[mid - 1] + values[mid])


def pitch_track(notes, tracks, hop, end):
    """Sounding pitch (MIDI note number, or None) every `hop` seconds up to `end`.

    Where notes overlap, the one that started last sounds (a monophonic line).
    """
    result = []
    count = int(end / hop) + 1
    ordered = sorted(notes, key=lambda n: n.onset)
    onsets = [n.onset for n in ordered]
    for i in range(count):
        t = i * hop
        k = bisect.bisect_right(onsets, t) - 1
        pitch = None
        # In a monophonic line only the last few notes can still be sounding.
        for j in range(k, max(-1, k - 8), -1):
            n = ordered[j]
            if n.onset <= t < n.offset:
                track = tracks.get(n.channel)
                pitch = n.key + (track.at(t) if track is not None else 0.0)
                break
        result.append(pitch)
    return result
