#!/usr/bin/python3
"""Measured accuracy of melovantis-cli against the source MIDI, beside Basic Pitch and aubionotes.

Writes the melodies as MIDI, renders them (clean, reverb, noise), converts each
rendering with every system, scores the notes and frames with mir_eval and
prints Markdown tables. See README.md beside this file.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import dataclasses
import hashlib
import json
import math
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time
import warnings

import numpy as np

# Keep the source folder free of byte-code caches.
sys.dont_write_bytecode = True
import basicpitch  # noqa: E402
import melodies  # noqa: E402
import midinotes  # noqa: E402
import piano  # noqa: E402
import recordings  # noqa: E402
import render  # noqa: E402

warnings.filterwarnings("ignore", module="mir_eval")
import mir_eval  # noqa: E402  (after the filter: it warns on empty estimates)

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
FRAME_HOP_S = 0.01
# Longest a converter run may take before it counts as hung.
OUTSIDE_PROGRAM_SECONDS = 600


def _render_stamp(melody):
    """Renderings are cached in the work folder while their renderer stays the same."""
    modules = {"Salamander": (render, piano), "Recorded": (render, piano, recordings)}
    digest = hashlib.sha1()
    for module in modules.get(melody.soundfont, (render,)):
        with open(module.__file__, "rb") as f:
            digest.update(f.read())
    path = render.SOUNDFONTS.get(melody.soundfont, "")
    size = os.path.getsize(path) if os.path.exists(path) else 0
    return f"{digest.hexdigest()} {size}"

METRICS = [
    ("f_onset", "Note F onset"),
    ("f_key", "Note F onset+pitch (key)"),
    ("f_key_offset", "Note F onset+pitch+offset (key)"),
    ("f_sounding", "Note F onset+pitch (sounding)"),
    ("f_sounding_offset", "Note F onset+pitch+offset (sounding)"),
    ("rpa", "Raw pitch accuracy (frames)"),
]


@dataclasses.dataclass
class Item:
    melody: melodies.Melody
    variant: str
    midi: str
    wav: str

    @property
    def name(self):
        return f"{self.melody.name}-{self.variant}"


@dataclasses.dataclass
class System:
    name: str
    kind: str  # convert, notation, wizard, aubio, basicpitch
    settings: str = ""  # convert: none means the factory settings, no option
    data: str = ""  # MELOVANTIS_DATA for the wizard's broad settings
    main: bool = True  # shown in the per-melody table
    melodies: tuple = ()  # only these melodies (all when empty)
    args: tuple = ()  # more options for melovantis-cli convert

    def takes(self, item):
        return not self.melodies or item.melody.name in self.melodies


# ---------------------------------------------------------------- corpus


def available_melodies(work, chosen):
    """The melodies of `chosen` whose sounds can be had; a word on standard error
    for each source that cannot (piano and instrument recordings, FluidR3)."""
    if any(m.kind == "struck" for m in chosen):
        try:
            piano.sample_folder(work)
        except piano.Unavailable as error:
            print(f"piano melodies left out: {error}", file=sys.stderr)
            chosen = [m for m in chosen if m.kind != "struck"]
    missing = sorted({m.soundfont for m in chosen if m.soundfont in render.SOUNDFONTS and
                      not os.path.exists(render.SOUNDFONTS[m.soundfont])})
    for soundfont in missing:
        print(f"{soundfont} melodies left out: {render.SOUNDFONTS[soundfont]} is not installed",
              file=sys.stderr)
    chosen = [m for m in chosen if m.soundfont not in missing]
    unplayable = set()
    for name in sorted({m.samples for m in chosen if m.soundfont == "Recorded"}):
        try:
            recordings.check(work, [name])
        except recordings.Unavailable as error:
            print(f"recorded {name} melodies left out: {error}", file=sys.stderr)
            unplayable.add(name)
    return [m for m in chosen if m.soundfont != "Recorded" or m.samples not in unplayable]


def prepare_corpus(work, chosen, variants, jobs):
    """Write the MIDI files and render what is not rendered yet.

    Melodies whose sounds cannot be had are left out (available_melodies)."""
    chosen = available_melodies(work, chosen)
    os.makedirs(os.path.join(work, "midi"), exist_ok=True)
    os.makedirs(os.path.join(work, "wav"), exist_ok=True)
    items = []
    pending = []
    for melody in chosen:
        # The noise of a melody is the same whichever melodies a run chooses.
        seed = [m.name for m in melodies.MELODIES].index(melody.name)
        midi = os.path.join(work, "midi", f"{melody.name}.mid")
        melodies.write_midi(melody, midi)
        with open(midi, "rb") as f:
            midi_hash = hashlib.sha1(f.read()).hexdigest()
        for variant in variants:
            wav = os.path.join(work, "wav", f"{melody.name}-{variant}.wav")
            stamp = (f"{_render_stamp(melody)} {midi_hash} {variant} {melody.peak_db} {seed} "
                     f"{melody.soundfont} {melody.samples}")
            stamp_path = wav + ".stamp"
            fresh = os.path.exists(wav) and os.path.exists(stamp_path)
            if fresh:
                with open(stamp_path) as f:
                    fresh = f.read() == stamp
            if not fresh:
                pending.append((melody, midi, wav, variant, seed, stamp_path, stamp))
            items.append(Item(melody, variant, midi, wav))

    def work_one(args):
        melody, midi, wav, variant, seed, stamp_path, stamp = args
        render.render(melody, midi, wav, variant, seed, work)
        with open(stamp_path, "w") as f:
            f.write(stamp)

    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        list(pool.map(work_one, pending))
    return items


# ---------------------------------------------------------------- systems


def _run(command, env=None):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            env=env, timeout=OUTSIDE_PROGRAM_SECONDS)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)} failed ({result.returncode}): "
                           f"{result.stderr.strip()[-500:]}")
    return result.stdout


def convert_supports_wizard(cli):
    usage = subprocess.run([cli, "--help"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, timeout=OUTSIDE_PROGRAM_SECONDS).stdout
    convert_part = usage.split("melovantis-cli edit")[0]
    return "--wizard" in convert_part


def parse_aubionotes(text):
    notes = []
    for line in text.splitlines():
        fields = line.split()
        if len(fields) != 3:
            continue
        try:
            pitch, onset, offset = (float(x) for x in fields)
        except ValueError:
            continue
        if not math.isfinite(pitch) or pitch <= 0.0:
            continue
        offset = max(offset, onset + 0.001)
        key = int(round(pitch))
        notes.append(midinotes.Note(onset, offset, key, 0, sounding=pitch))
    return notes, {}


def run_system(system, item, cli, out_dir, wizard_flag, transcribed=None):
    """(estimated notes, bend tracks, seconds, extra info) of one system on one item.

    Basic Pitch's results come from `transcribed` ({wav: (notes, seconds)}), made
    for all items at once."""
    base = os.path.join(out_dir, item.name)
    env = dict(os.environ)
    if system.data:
        env["MELOVANTIS_DATA"] = system.data
    info = {}
    if system.kind == "basicpitch":
        notes, seconds = transcribed[item.wav]
        return notes, {}, seconds, info
    start = time.monotonic()
    if system.kind == "aubio":
        notes, tracks = parse_aubionotes(_run(["aubionotes", "-i", item.wav]))
        return notes, tracks, time.monotonic() - start, info
    midi = base + ".mid"
    if system.kind == "convert":
        settings = ["--settings", system.settings] if system.settings else []
        _run([cli, "convert", item.wav, *settings, "--midi", midi, "--quiet", *system.args], env)
    elif system.kind == "notation":
        project = base + ".mvt"
        _run([cli, "convert", item.wav, "--settings", system.settings, "--project", project,
              "--quiet", *system.args], env)
        _run([cli, "edit", project, "--settings", system.settings, "--in-tune",
              "--quantize", "100", "--midi", midi], env)
    elif system.kind == "wizard":
        if wizard_flag:
            _run([cli, "convert", item.wav, "--wizard", "--settings", system.settings,
                  "--midi", midi, "--quiet"], env)
        else:
            derived = base + ".set"
            text = _run([cli, "wizard", item.wav, "--settings", system.settings, "--save",
                         derived, "--quiet"], env)
            for key, pattern in (("range", r"Note range: .*\((\d+)\.\.(\d+)\)"),
                                 ("threshold", r"Harmonic threshold: (\d+)"),
                                 ("resolution", r"Time resolution: (\d+)"),
                                 ("brightness", r"Brightness gain: (\d+)")):
                m = re.search(pattern, text)
                if m:
                    info[key] = "..".join(m.groups())
            _run([cli, "convert", item.wav, "--settings", derived, "--midi", midi, "--quiet"],
                 env)
    else:
        raise ValueError(system.kind)
    seconds = time.monotonic() - start
    notes, tracks = midinotes.read_notes(midi)
    return notes, tracks, seconds, info


# ---------------------------------------------------------------- scoring


def _hz(pitches):
    return np.array([440.0 * 2.0 ** ((p - 69.0) / 12.0) for p in pitches], dtype=float)


def _intervals(notes):
    if not notes:
        return np.zeros((0, 2))
    return np.array([[n.onset, n.offset] for n in notes], dtype=float)


def score(ref_notes, ref_tracks, est_notes, est_tracks):
    ref_iv = _intervals(ref_notes)
    est_iv = _intervals(est_notes)
    ref_hz = _hz([n.sounding for n in ref_notes])
    result = {}
    _, _, result["f_onset"] = mir_eval.transcription.onset_precision_recall_f1(ref_iv, est_iv)
    for label, pitches in (("key", [float(n.key) for n in est_notes]),
                           ("sounding", [n.sounding for n in est_notes])):
        est_hz = _hz(pitches)
        _, _, f, _ = mir_eval.transcription.precision_recall_f1_overlap(
            ref_iv, ref_hz, est_iv, est_hz, offset_ratio=None)
        _, _, f_off, _ = mir_eval.transcription.precision_recall_f1_overlap(
            ref_iv, ref_hz, est_iv, est_hz)
        result[f"f_{label}"] = f
        result[f"f_{label}_offset"] = f_off

    end = max([n.offset for n in ref_notes] + [n.offset for n in est_notes] + [0.0])
    ref_track = midinotes.pitch_track(ref_notes, ref_tracks, FRAME_HOP_S, end)
    est_track = midinotes.pitch_track(est_notes, est_tracks, FRAME_HOP_S, end)

    def cents(track):
        voicing = np.array([0.0 if p is None else 1.0 for p in track])
        values = np.array([0.0 if p is None else 1200.0 * math.log2(
            440.0 * 2.0 ** ((p - 69.0) / 12.0) / 10.0) for p in track])
        return voicing, values

    ref_v, ref_c = cents(ref_track)
    est_v, est_c = cents(est_track)
    result["rpa"] = float(mir_eval.melody.raw_pitch_accuracy(ref_v, ref_c, est_v, est_c))
    return {k: float(v) for k, v in result.items()}


# ---------------------------------------------------------------- the run


def aubio_lag(estimates, refs, items):
    """Median lag of aubionotes' onsets behind the nearest source onset (within 200 ms)."""
    lags = []
    for item in items:
        ref_notes = refs[item.midi][0]
        for note in estimates.get(item.name, ([], {}))[0]:
            lag = min((note.onset - r.onset for r in ref_notes), key=abs, default=1.0)
            if abs(lag) < 0.2:
                lags.append(lag)
    return statistics.median(lags) if lags else 0.0


def evaluate(systems, items, cli, work, jobs, log=None):
    """Scores {system name: {item name: metrics}}, seconds per system, wizard results.

    After aubionotes, a second row scores the same notes with aubionotes' typical
    onset lag removed, to show its pitch and segmentation apart from its latency.
    """
    refs = {}
    for item in items:
        if item.midi not in refs:
            refs[item.midi] = midinotes.read_notes(item.midi)
    wizard_flag = bool(cli) and any(s.kind == "wizard" for s in systems) and \
        convert_supports_wizard(cli)
    tasks = []
    transcribed = {}
    for system in systems:
        out_dir = os.path.join(work, "out", re.sub(r"[^A-Za-z0-9_.-]", "_", system.name))
        os.makedirs(out_dir, exist_ok=True)
        taken = [item for item in items if system.takes(item)]
        tasks += [(system, item, out_dir) for item in taken]
        if system.kind == "basicpitch":
            transcribed.update(basicpitch.transcribe([item.wav for item in taken], work, out_dir,
                                                     jobs, log))

    def work_one(task):
        system, item, out_dir = task
        notes, tracks, seconds, info = run_system(system, item, cli, out_dir, wizard_flag,
                                                  transcribed)
        ref_notes, ref_tracks = refs[item.midi]
        return system, item, notes, tracks, score(ref_notes, ref_tracks, notes, tracks), \
            seconds, info

    scores = {}
    seconds = {}
    infos = {}
    estimates = {}
    with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
        for system, item, notes, tracks, metrics, secs, info in pool.map(work_one, tasks):
            # The time of this file alone rides along with its scores.
            scores.setdefault(system.name, {})[item.name] = dict(metrics, seconds=secs)
            seconds[system.name] = seconds.get(system.name, 0.0) + secs
            if system.kind == "aubio":
                estimates.setdefault(system.name, {})[item.name] = (notes, tracks)
            if info:
                infos.setdefault(system.name, {})[item.name] = info
            if log:
                log(f"{system.name:32s} {item.name:28s} " +
                    " ".join(f"{metrics[k]:.3f}" for k, _ in METRICS))
    extra = []
    for system in systems:
        if system.kind != "aubio":
            continue
        lag = aubio_lag(estimates[system.name], refs, items)
        shifted = System(f"{system.name}, onsets -{lag * 1000:.0f} ms", "aubio-shifted")
        extra.append(shifted)
        for item in items:
            notes, tracks = estimates[system.name][item.name]
            moved = [midinotes.Note(max(0.0, n.onset - lag), max(0.001, n.offset - lag), n.key,
                                    n.channel, n.sounding) for n in notes]
            ref_notes, ref_tracks = refs[item.midi]
            scores.setdefault(shifted.name, {})[item.name] = dict(
                score(ref_notes, ref_tracks, moved, tracks),
                seconds=scores[system.name][item.name]["seconds"])
        seconds[shifted.name] = seconds[system.name]
    return scores, seconds, infos, extra


def mean_scores(per_item, items, variant=None, where=None):
    """Means over the items that the system measured (of its melodies, in the variant,
    and those `where` takes), with "seconds" the mean time per file; None when
    there are none."""
    chosen = [i.name for i in items if (variant is None or i.variant == variant)
              and (where is None or where(i)) and i.name in per_item]
    if not chosen:
        return None
    means = {k: statistics.fmean(per_item[n][k] for n in chosen) for k, _ in METRICS}
    means["seconds"] = statistics.fmean(per_item[n].get("seconds", 0.0) for n in chosen)
    means["files"] = len(chosen)
    return means


FOLDS = [("tune", "tuned on"), ("held", "held out")]


def _group(family, fold):
    return lambda i: ((family is None or i.melody.family == family) and
                      (fold is None or i.melody.fold == fold))


# The columns of the family-and-fold table: (heading, which items).
GROUPS = [(f"{family}, {label}", _group(family, fold))
          for family, _ in melodies.FAMILIES for fold, label in FOLDS] + \
         [(f"all, {label}", _group(None, fold)) for fold, label in FOLDS]

# The systems of the headline table, in its order.
HEADLINE = ("Melovantis factory", "Basic Pitch", "aubionotes")


def family_table(systems, items, scores):
    """The headline: each family and fold, the factory settings beside Basic Pitch and aubionotes."""
    shown = [s for s in systems if s.name in HEADLINE]
    rows = [(heading, family) for family, heading in melodies.FAMILIES
            if any(i.melody.family == family for i in items)] + [("all families", None)]
    lines = ["Per family and fold (tuned on: the melodies settings may be chosen on; held out: "
             "the others). Note F: mir_eval onset within 50 ms and pitch within 50 cents, by "
             "the written key or by the sounding pitch (key plus bend, median over the note's "
             "first 100 ms); time: mean wall time per file.", "",
             "| Family | Fold | System | Files | Note F onset | Note F (key) | Note F (sounding) | "
             "Raw pitch accuracy | Time per file (s) |",
             "|---|---|---|---|---|---|---|---|---|"]
    for heading, family in rows:
        for fold, label in FOLDS:
            for system in shown:
                m = mean_scores(scores[system.name], items, where=_group(family, fold))
                if m is None:
                    continue
                lines.append(f"| {heading} | {label} | {system.name} | {m['files']} | "
                             f"{m['f_onset']:.3f} | {m['f_key']:.3f} | {m['f_sounding']:.3f} | "
                             f"{m['rpa']:.3f} | {m['seconds']:.2f} |")
    return "\n".join(lines)


def group_table(systems, items, scores, metric_keys=("f_sounding", "rpa")):
    """Each system per family of sound and fold."""
    groups = [(label, where) for label, where in GROUPS if any(where(i) for i in items)]
    lines = ["Per family of sound and fold (tuned on: the melodies the factory settings were "
             "chosen on; held out: the others): " + " / ".join(
                 label for k, label in METRICS if k in metric_keys), "",
             "| System | " + " | ".join(label for label, _ in groups) + " |",
             "|" + "---|" * (len(groups) + 1)]
    for system in systems:
        cells = []
        for _, where in groups:
            m = mean_scores(scores[system.name], items, where=where)
            cells.append("–" if m is None else " / ".join(f"{m[k]:.3f}" for k in metric_keys))
        lines.append(f"| {system.name} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def markdown_tables(systems, items, scores, seconds, variants):
    audio_s = sum(i.melody.duration() + 1.0 for i in items)
    whole = [s for s in systems if not s.melodies]
    lines = [f"{len({i.melody.name for i in items})} melodies x {len(variants)} variants "
             f"({', '.join(variants)}), {audio_s / 60.0:.1f} min of audio; "
             "means over the files, 50 ms onsets, 50 cents.", ""]
    if any(s.name in HEADLINE for s in whole):
        lines += [family_table(whole, items, scores), "", "All systems, all files:", ""]
    header = "| System | " + " | ".join(label for _, label in METRICS) + " | Time (s) |"
    lines += [header, "|" + "---|" * (len(METRICS) + 2)]
    for system in whole:
        m = mean_scores(scores[system.name], items)
        lines.append(f"| {system.name} | " + " | ".join(f"{m[k]:.3f}" for k, _ in METRICS) +
                     f" | {seconds[system.name]:.1f} |")
    lines += ["", group_table(whole, items, scores)]
    if len(variants) > 1:
        lines += ["", "Per variant: note F onset+pitch (sounding) / raw pitch accuracy", ""]
        lines.append("| System | " + " | ".join(variants) + " |")
        lines.append("|" + "---|" * (len(variants) + 1))
        for system in whole:
            cells = []
            for v in variants:
                m = mean_scores(scores[system.name], items, v)
                cells.append(f"{m['f_sounding']:.3f} / {m['rpa']:.3f}")
            lines.append(f"| {system.name} | " + " | ".join(cells) + " |")
    grouped = [s for s in systems if s.melodies]
    if grouped:
        reference = whole[0]
        lines += ["", f"Quick settings, each on the melodies of its instrument family, beside "
                  f"{reference.name} on the same files: note F onset+pitch (sounding), quick "
                  "setting / default, on the family's melodies of the tuning fold and of the "
                  "held-out fold", "",
                  "| Quick setting | Melodies (held out marked *) | Tuned on | Held out |",
                  "|---|---|---|---|"]
        for system in grouped:
            cells = []
            for fold in ("tune", "held"):
                chosen = [i for i in items if system.takes(i) and i.melody.fold == fold]
                own = mean_scores(scores[system.name], chosen)
                ref = mean_scores(scores[reference.name], chosen)
                cells.append("–" if own is None or ref is None else
                             f"{own['f_sounding']:.3f} / {ref['f_sounding']:.3f}")
            names = [m + ("*" if melodies.by_name([m])[0].fold == "held" else "")
                     for m in system.melodies]
            lines.append(f"| {system.name} | {', '.join(names)} | {cells[0]} | {cells[1]} |")
    return "\n".join(lines)


def per_melody_table(systems, items, scores):
    systems = [s for s in systems if s.main]
    names = sorted({i.melody.name for i in items}, key=[m.name for m in melodies.MELODIES].index)
    lines = ["Per melody (all variants): note F onset+pitch (sounding) / raw pitch accuracy", "",
             "| Melody | " + " | ".join(s.name for s in systems) + " |",
             "|" + "---|" * (len(systems) + 1)]
    for name in names:
        chosen = [i for i in items if i.melody.name == name]
        cells = []
        for s in systems:
            m = mean_scores(scores[s.name], chosen)
            cells.append(f"{m['f_sounding']:.2f} / {m['rpa']:.2f}")
        lines.append(f"| {name} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def default_systems(data, presets, basic_pitch=True):
    private = os.path.join(data, "Private")
    systems = [
        System("Melovantis factory", "convert"),
        System("Melovantis default.set, onsets at the frame", "convert",
               os.path.join(private, "default.set"), main=False,
               args=("--onset-placement", "frame")),
        System("Melovantis notation", "notation", os.path.join(private, "default.set")),
        System("Melovantis wizard", "wizard", os.path.join(private, "default.set"), data),
        System("aubionotes", "aubio"),
    ]
    if basic_pitch:
        systems.insert(1, System("Basic Pitch", "basicpitch"))
    if presets:
        systems.append(System("Melovantis default_realtime.set", "convert",
                              os.path.join(private, "default_realtime.set"), main=False))
        quick = os.path.join(data, "QuickSettings")
        if os.path.isdir(quick):
            for name in sorted(os.listdir(quick)):
                if name.endswith(".set"):
                    # A quick setting of an instrument not in the set is measured on all.
                    family = melodies.QUICK_SETTINGS_MELODIES.get(name[:-4], [])
                    systems.append(System(name[:-4], "convert", os.path.join(quick, name),
                                          main=False, melodies=tuple(family)))
    return systems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", default=os.environ.get("MELOVANTIS_CLI", ""),
                        help="melovantis-cli to measure")
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(),
                                                       "melovantis-accuracy"),
                        help="folder for the MIDI, WAVE and output files")
    parser.add_argument("--data", default=os.path.join(ROOT, "data"),
                        help="data folder with Private/ and QuickSettings/")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--smoke", action="store_true",
                        help="three melodies, clean only, no Basic Pitch: the quick check of "
                        "the test suite")
    parser.add_argument("--no-basic-pitch", action="store_true",
                        help="leave Basic Pitch out (it is measured when npm can install it)")
    parser.add_argument("--melodies", default="", help="comma-separated melody names")
    parser.add_argument("--fold", choices=["tune", "held", "all"], default="all",
                        help="only the melodies of one fold")
    parser.add_argument("--only", default="",
                        help="comma-separated: measure only the systems whose names contain one")
    parser.add_argument("--variants", default=",".join(render.VARIANTS))
    parser.add_argument("--presets", action="store_true",
                        help="also measure default_realtime.set and every quick setting")
    parser.add_argument("--settings", action="append", default=[], metavar="NAME=FILE.set",
                        help="also measure a settings file of your own")
    parser.add_argument("--per-melody", action="store_true")
    parser.add_argument("--json", default="", help="write every score to this file")
    parser.add_argument("--expect", type=float, default=None,
                        help="fail unless Melovantis factory reaches this note F "
                        "onset+pitch (sounding)")
    parser.add_argument("--floor", type=float, default=None,
                        help="fail unless every Melovantis row reaches this note F onset, "
                        "onset+pitch (sounding) and raw pitch accuracy, and aubionotes "
                        "(lag removed) half of it")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args(argv)

    if not args.cli or not os.access(args.cli, os.X_OK):
        parser.error("--cli must name the melovantis-cli program")
    if args.smoke:
        chosen = melodies.by_name(melodies.SMOKE)
        variants = ["clean"]
    else:
        chosen = melodies.by_name(args.melodies.split(",")) if args.melodies else \
            melodies.MELODIES
        variants = [v for v in args.variants.split(",") if v]
    if args.fold != "all":
        chosen = [m for m in chosen if m.fold == args.fold]
    systems = default_systems(args.data, args.presets,
                              basic_pitch=not (args.smoke or args.no_basic_pitch))
    for entry in args.settings:
        name, _, path = entry.partition("=")
        systems.append(System(name, "convert", os.path.abspath(path)))
    chosen_names = {m.name for m in chosen}
    systems = [s for s in systems if not s.melodies or chosen_names & set(s.melodies)]
    if args.only:
        wanted = [w.strip().lower() for w in args.only.split(",") if w.strip()]
        systems = [s for s in systems if any(w in s.name.lower() for w in wanted)]
    if any(s.kind == "basicpitch" for s in systems):
        try:
            basicpitch.install(args.work)
        except basicpitch.Unavailable as error:
            print(f"Basic Pitch left out: {error}", file=sys.stderr)
            systems = [s for s in systems if s.kind != "basicpitch"]

    started = time.monotonic()
    items = prepare_corpus(args.work, chosen, variants, args.jobs)
    rendered = time.monotonic()
    log = (lambda line: print(line, file=sys.stderr)) if args.verbose else None
    scores, seconds, infos, extra = evaluate(systems, items, args.cli, args.work, args.jobs, log)
    systems += extra
    finished = time.monotonic()

    print(markdown_tables(systems, items, scores, seconds, variants))
    if args.per_melody:
        print()
        print(per_melody_table(systems, items, scores))
    print()
    print(f"Rendering {rendered - started:.1f} s, converting and scoring "
          f"{finished - rendered:.1f} s, {args.jobs} jobs.")
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"scores": scores, "seconds": seconds, "wizard": infos}, f, indent=1)

    status = 0
    if args.expect is not None:
        m = mean_scores(scores["Melovantis factory"], items)
        if m["f_sounding"] < args.expect:
            print(f"below the expected score: Melovantis factory note F onset+pitch "
                  f"(sounding) {m['f_sounding']:.3f} < {args.expect}", file=sys.stderr)
            status = 1
    if args.floor is not None:
        # Every Melovantis row must reach the floor; aubionotes (with its lag removed, so
        # that the check is about its notes being read) half of it.
        failures = []
        for system in systems:
            m = mean_scores(scores[system.name], items)
            if system.kind == "aubio-shifted":
                checks, floor = ("f_onset", "f_sounding"), args.floor / 2
            elif system.kind in ("aubio", "basicpitch"):
                continue
            else:
                checks, floor = ("f_onset", "f_sounding", "rpa"), args.floor
            failures += [f"{system.name} {k} {m[k]:.3f} < {floor}" for k in checks
                         if m[k] < floor]
        for failure in failures:
            print(f"below the floor: {failure}", file=sys.stderr)
        status = 1 if failures else status
    return status


if __name__ == "__main__":
    sys.exit(main())
