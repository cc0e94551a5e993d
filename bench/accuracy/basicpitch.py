"""Spotify's Basic Pitch beside Melovantis: installed with npm, run by basic_pitch.mjs.

The packages go into the work folder on first use (`npm-basic-pitch/`), pinned
to versions that run in plain Node.js: the native TensorFlow.js for Node cannot
be downloaded here, so the model runs on the WebAssembly backend of
TensorFlow.js 3.21. Results are kept beside the other outputs, one JSON file
per recording, and reused while the recording, the script and the packages stay
the same: Basic Pitch takes about a quarter of real time on two cores.
"""

from __future__ import annotations

import hashlib
import json
import os
import shutil
import subprocess
import sys

import midinotes

PACKAGES = ["@spotify/basic-pitch@1.0.1", "@tensorflow/tfjs@3.21.0",
            "@tensorflow/tfjs-backend-wasm@3.21.0"]
SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "basic_pitch.mjs")
# Longest one Node.js process may take over its share of the files.
BATCH_SECONDS = 6 * 3600


class Unavailable(RuntimeError):
    """Basic Pitch cannot be run: no Node.js or npm, or the packages cannot be installed."""


def prefix(work):
    return os.path.join(work, "npm-basic-pitch")


def install(work):
    """The npm prefix holding Basic Pitch, installed when needed."""
    folder = prefix(work)
    for tool in ("node", "npm"):
        if shutil.which(tool) is None:
            raise Unavailable(f"{tool} is not installed")
    stamp = os.path.join(folder, "installed")
    model = os.path.join(folder, "node_modules", "@spotify", "basic-pitch", "model", "model.json")
    if os.path.exists(stamp) and os.path.exists(model):
        with open(stamp) as f:
            if f.read() == " ".join(PACKAGES):
                return folder
    os.makedirs(folder, exist_ok=True)
    try:
        subprocess.run(["npm", "install", "--prefix", folder, "--no-audit", "--no-fund",
                        "--loglevel=error", *PACKAGES], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.PIPE, timeout=900)
    except (OSError, subprocess.SubprocessError) as error:
        detail = getattr(error, "stderr", b"") or b""
        raise Unavailable(f"cannot install {' '.join(PACKAGES)}: {error} "
                          f"{detail.decode(errors='replace').strip()[-300:]}") from error
    with open(stamp, "w") as f:
        f.write(" ".join(PACKAGES))
    return folder


def _cache_key(wav):
    digest = hashlib.sha1(" ".join(PACKAGES).encode())
    with open(SCRIPT, "rb") as f:
        digest.update(f.read())
    with open(wav, "rb") as f:
        digest.update(f.read())
    return digest.hexdigest()


def _read(path, key):
    """(notes, seconds) of a result file made for `key`, or None."""
    try:
        with open(path) as f:
            data = json.load(f)
    except (OSError, ValueError):
        return None
    if data.get("key") != key:
        return None
    notes = [midinotes.Note(n["onset"], max(n["offset"], n["onset"] + 0.001), int(n["key"]), 0,
                            sounding=float(n["key"]))
             for n in data["notes"]]
    return notes, float(data["seconds"])


def transcribe(wavs, work, out_dir, jobs, log=None):
    """{wav: (notes, seconds of that file)} for every recording in `wavs`.

    Runs what is not cached in `jobs` Node.js processes at once, each loading
    the model once and taking its share of the files."""
    folder = install(work)
    os.makedirs(out_dir, exist_ok=True)
    results = {}
    pending = []
    for wav in wavs:
        out = os.path.join(out_dir, os.path.basename(wav)[:-4] + ".json")
        key = _cache_key(wav)
        cached = _read(out, key)
        if cached is None:
            pending.append((wav, out, key))
        else:
            results[wav] = cached
    if pending:
        if log:
            log(f"Basic Pitch: {len(pending)} recordings to transcribe, "
                f"{len(wavs) - len(pending)} cached")
        shares = [pending[i::max(1, jobs)] for i in range(max(1, jobs))]
        processes = [subprocess.Popen(["node", SCRIPT, folder] +
                                      [f"{wav}={out}.new" for wav, out, _ in share],
                                      stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
                     for share in shares if share]
        failures = []
        for process in processes:
            _, err = process.communicate(timeout=BATCH_SECONDS)
            if process.returncode != 0:
                failures.append(err.strip()[-500:])
            elif log and err.strip():
                log(err.strip())
        for wav, out, key in pending:
            if not os.path.exists(out + ".new"):
                continue
            with open(out + ".new") as f:
                data = json.load(f)
            data["key"] = key
            with open(out, "w") as f:
                json.dump(data, f)
            os.remove(out + ".new")
            results[wav] = _read(out, key)
        if failures:
            raise RuntimeError("Basic Pitch failed: " + " | ".join(failures))
    return results


if __name__ == "__main__":
    # A manual check: python3 basicpitch.py WORK IN.wav...
    found = transcribe(sys.argv[2:], sys.argv[1], os.path.join(sys.argv[1], "out", "basic-pitch"),
                       1, print)
    for wav, (notes, seconds) in found.items():
        print(f"{wav}: {len(notes)} notes, {seconds:.2f} s")
