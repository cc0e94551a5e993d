#!/usr/bin/python3
"""Search settings values on the accuracy evaluation (coordinate descent).

Starts from a settings file, tries every candidate value of one field at a time
with the others fixed, keeps the best, and repeats until a whole pass changes
nothing. The objective weighs note F onset+pitch (sounding) one half, the same
with offsets and the raw pitch accuracy one quarter each, as means over the
chosen melodies and variants, taken for each family of sound (General MIDI,
piano, FluidR3, recorded instruments) and averaged over the families. A change
is kept only when it raises that average by 0.002 or more and costs no family
more than 0.005: a setting that wins on one family by losing another is not taken.

The search sees only the melodies of the fold "tune" (unless --fold says
otherwise); at the end the start and the result are measured on the held-out
fold too, to show how far the gain carries to melodies the search never saw.
Prints each trial and the best settings; writes them with --save.

  tune.py --cli build/cli/melovantis-cli --base data/Private/default.set \\
          --fields harmonicThreshold,timeResolutionMs --save /tmp/best.set
"""

from __future__ import annotations

import argparse
import os
import statistics
import sys
import tempfile

# Keep the source folder free of byte-code caches.
sys.dont_write_bytecode = True
import evaluate  # noqa: E402
import melodies  # noqa: E402
import render  # noqa: E402

FIELDS = ["timeResolutionMs", "harmonicThreshold", "sendBrightness", "sendVolume",
          "timeResolutionBoost", "midiChannel", "lowestNote", "highestNote", "lowestNoteMarkX",
          "highestNoteMarkX", "gmVoice", "pitchBendRange", "brightnessController", "sendTempo",
          "bpmChoice", "brightnessGain", "attackDetection", "attackSensitivity",
          "volumeController", "pitchResolutionBoost"]

CANDIDATES = {
    "timeResolutionMs": [20, 25, 30, 35, 40, 45, 50, 55, 61, 65, 70, 75, 80, 90],
    "harmonicThreshold": [0, 3, 6, 10, 15, 20, 25, 30, 40, 50, 70],
    "timeResolutionBoost": [0, 1, 2],
    "pitchResolutionBoost": [0, 1],
    "lowestNote": [21, 24, 26, 28, 29, 30, 31, 34, 36],
    "highestNote": [96, 100, 104, 108, 112, 116, 120, 127],
    "bpmChoice": [0, 101, 128],
    "brightnessGain": [1, 5, 10, 15, 20, 30, 50],
    "attackDetection": [0, 1],
    "attackSensitivity": [1, 5, 10, 15, 20, 25, 30, 40, 50, 60, 70, 80, 90, 100],
}

_MARK_OFFSETS = [0, 10, 20, 30, 40, 60, 70, 80, 90, 100, 110, 120]


def mark_x(note):
    return _MARK_OFFSETS[note % 12] + 140 * (note // 12)


def read_settings(path):
    with open(path) as f:
        values = [int(x) for x in f.read().split()]
    if len(values) != 20:
        raise ValueError(f"{path}: {len(values)} numbers, not 20")
    return dict(zip(FIELDS, values))


def write_settings(path, settings):
    settings = dict(settings)
    settings["lowestNoteMarkX"] = mark_x(settings["lowestNote"])
    settings["highestNoteMarkX"] = mark_x(settings["highestNote"])
    with open(path, "w") as f:
        f.write("".join(f"{settings[k]}\n" for k in FIELDS))


def objective(means):
    # Note F onset+pitch is the headline of note transcription; offsets and the
    # frame-level pitch share the other half.
    return 0.5 * means["f_sounding"] + 0.25 * means["f_sounding_offset"] + 0.25 * means["rpa"]


FAMILIES = tuple(family for family, _ in melodies.FAMILIES)
MIN_GAIN = 0.002
MAX_FAMILY_LOSS = 0.005


def family_objectives(per_item, items):
    """{family: objective} over the families the items hold."""
    result = {}
    for family in FAMILIES:
        means = evaluate.mean_scores(per_item, items,
                                     where=lambda i, f=family: i.melody.family == f)
        if means is not None:
            result[family] = objective(means)
    return result


class Trials:
    def __init__(self, cli, work, items, jobs, kind):
        self.kind = kind
        self.cli = cli
        self.work = work
        self.items = items
        self.jobs = jobs
        self.cache = {}
        self._folder = tempfile.TemporaryDirectory(prefix="melovantis-tune-")
        self.folder = self._folder.name

    def measure(self, settings):
        key = tuple(settings[k] for k in FIELDS)
        if key not in self.cache:
            trial = os.path.join(self.folder, f"trial{len(self.cache)}")
            if self.kind == "wizard":
                # The trial is the wizard's broad settings, in a data folder of its own.
                os.makedirs(os.path.join(trial, "Private"))
                path = os.path.join(trial, "Private", "broad.set")
                write_settings(path, settings)
                system = evaluate.System("trial", "wizard", path, trial)
            else:
                path = trial + ".set"
                write_settings(path, settings)
                system = evaluate.System("trial", "convert", path)
            scores, _, _, _ = evaluate.evaluate([system], self.items, self.cli, self.work,
                                                self.jobs)
            means = evaluate.mean_scores(scores["trial"], self.items)
            kinds = family_objectives(scores["trial"], self.items)
            self.cache[key] = (statistics.fmean(kinds.values()), means, kinds)
        return self.cache[key]


def better(trial, best):
    """A trial is kept when it gains overall and no family of sound pays for it."""
    value, _, kinds = trial
    best_value, _, best_kinds = best
    if value < best_value + MIN_GAIN:
        return False
    return all(kinds[k] >= best_kinds[k] - MAX_FAMILY_LOSS for k in best_kinds)


def show(label, result):
    value, means, kinds = result
    return (f"{label} {value:.4f} (" + " ".join(f"{k} {v:.4f}" for k, v in kinds.items()) +
            f"; F {means['f_sounding']:.3f} F+off {means['f_sounding_offset']:.3f} "
            f"RPA {means['rpa']:.3f} onset {means['f_onset']:.3f})")


def describe(settings, base):
    changed = [f"{k}={settings[k]}" for k in FIELDS if settings[k] != base[k]
               and not k.endswith("MarkX")]
    return " ".join(changed) or "(base)"


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--base", required=True, help="settings file to start from")
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(),
                                                       "melovantis-accuracy"))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--melodies", default="")
    parser.add_argument("--fold", choices=["tune", "held", "all"], default="tune",
                        help="the melodies searched on; the held-out fold is reported at the end")
    parser.add_argument("--families", default=",".join(FAMILIES),
                        help="families of sound to search on: " + ", ".join(FAMILIES))
    parser.add_argument("--variants", default=",".join(render.VARIANTS))
    parser.add_argument("--fields", default=",".join(CANDIDATES))
    parser.add_argument("--fix", action="append", default=[], metavar="FIELD=VALUE",
                        help="set a field before the search and keep it")
    parser.add_argument("--limit", action="append", default=[], metavar="FIELD=A,B,C",
                        help="candidate values of a field for this search")
    parser.add_argument("--passes", type=int, default=3)
    parser.add_argument("--kind", choices=["convert", "wizard"], default="convert",
                        help="wizard: the settings are the wizard's broad.set, and the trial "
                        "converts with what the wizard derives from them")
    parser.add_argument("--save", default="")
    args = parser.parse_args(argv)

    chosen = melodies.by_name(args.melodies.split(",")) if args.melodies else melodies.MELODIES
    families = set(args.families.split(","))
    chosen = [m for m in chosen if m.family in families]
    searched = [m for m in chosen if args.fold == "all" or m.fold == args.fold]
    held = [m for m in chosen if m.fold == "held" and m not in searched]
    items = evaluate.prepare_corpus(args.work, searched, args.variants.split(","), args.jobs)
    trials = Trials(os.path.abspath(args.cli), args.work, items, args.jobs, args.kind)
    base = read_settings(args.base)
    current = dict(base)
    for entry in args.fix:
        name, _, value = entry.partition("=")
        current[name] = int(value)
    candidates = dict(CANDIDATES)
    for entry in args.limit:
        name, _, values = entry.partition("=")
        candidates[name] = [int(v) for v in values.split(",")]
    fields = [f for f in args.fields.split(",") if f]

    start = dict(current)
    best = trials.measure(current)
    print(show("start", best) + " " + describe(current, base), flush=True)
    for number in range(args.passes):
        changed = False
        for field in fields:
            for value in candidates[field]:
                trial = dict(current)
                trial[field] = value
                if trial["highestNote"] <= trial["lowestNote"]:
                    continue
                result = trials.measure(trial)
                print("  " + show(f"pass {number + 1} {field}={value}:", result), flush=True)
                if better(result, best):
                    best, current = result, trial
                    changed = True
            print(show(f"after {field}:", best) + " " + describe(current, base), flush=True)
        if not changed:
            break
    print(show("best", best) + " " + describe(current, base))
    if args.save:
        write_settings(args.save, current)
    if held:
        # The same two settings on melodies the search never saw.
        held_items = evaluate.prepare_corpus(args.work, held, args.variants.split(","), args.jobs)
        held_trials = Trials(os.path.abspath(args.cli), args.work, held_items, args.jobs,
                             args.kind)
        print(show("held out, start", held_trials.measure(start)))
        print(show("held out, best ", held_trials.measure(current)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
