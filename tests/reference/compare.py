#!/usr/bin/env python3
"""Byte-exact comparison of `kartwerk` with the reference converter on generated maps.

    compare.py --kartwerk EXE --mode info    [--count N] [--seed S] [--jobs J]
    compare.py --kartwerk EXE --mode convert [--count N] [--seed S] [--jobs J]
    compare.py --kartwerk kartwerk.exe --runner wine ...   (the Windows build, under Wine)

info:    `kartwerk info FILE --json` against the reference for every generated file (main
         files and campaign mission files); the JSON objects must be equal.
convert: `kartwerk convert MAP --out DIR` against the reference for every map (a share of
         them with both game versions, "1.9" and the default); exit status, and the folder
         trees file for file, byte for byte, with no file missing or extra on either side.

On a difference it prints the map, the file and the first differing offset with the bytes
around it on both sides, keeps the map and both outputs, and exits with status 1.
"""

import argparse
import json
import multiprocessing
import os
import random
import shutil
import subprocess
import sys

sys.dont_write_bytecode = True     # keep the source tree free of caches
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import genmaps  # noqa: E402
import kartwerk_ref  # noqa: E402

RUN_TIMEOUT = 120


class Options:
    """Settings shared with the worker processes."""
    kartwerk = None
    runner = []          # a program that runs kartwerk ("wine"), with paths given as Windows paths
    cliffdata = None
    pass_cliffdata = True
    work = None
    seed = 1
    n_masks = 60
    mode = "convert"
    past_end = "zero"


OPT = Options()


def native(path):
    """A path as kartwerk receives it: under Wine a Windows path through drive Z: (the root)."""
    return "Z:" + path.replace("/", "\\") if OPT.runner else path


def run(cmd):
    cmd = OPT.runner + cmd
    try:
        p = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=RUN_TIMEOUT)
        return p.returncode, p.stdout, p.stderr
    except subprocess.TimeoutExpired:
        return "timeout", b"", b"timed out after %d s" % RUN_TIMEOUT


# ---------------------------------------------------------------------------
# Trees
# ---------------------------------------------------------------------------

def tree(root):
    """Relative path -> None for folders, bytes for files.  A missing root is an empty tree."""
    out = {}
    if not os.path.isdir(root):
        return out
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        if rel != ".":
            out[rel] = None
        for f in files:
            with open(os.path.join(folder, f), "rb") as fh:
                out[os.path.normpath(os.path.join(rel, f))] = fh.read()
    return out


def context(data, offset, width=24):
    lo = max(0, offset - width)
    hi = min(len(data), offset + width)
    return "%r (bytes %d..%d of %d)" % (data[lo:hi], lo, hi, len(data))


def first_difference(want, got):
    n = min(len(want), len(got))
    for i in range(0, n, 4096):
        if want[i:i + 4096] != got[i:i + 4096]:
            for j in range(i, min(i + 4096, n)):
                if want[j] != got[j]:
                    return j
    return n


def compare_trees(want, got):
    """Differences between the reference tree (want) and kartwerk's (got); and the byte count."""
    diffs = []
    compared = 0
    for path in sorted(set(want) | set(got)):
        if path not in got:
            diffs.append("%s: missing in kartwerk output (reference has %s)" % (
                path, "a folder" if want[path] is None else "%d bytes" % len(want[path])))
        elif path not in want:
            diffs.append("%s: extra in kartwerk output (%s)" % (
                path, "a folder" if got[path] is None else "%d bytes" % len(got[path])))
        elif (want[path] is None) != (got[path] is None):
            diffs.append("%s: folder on one side, file on the other" % path)
        elif want[path] is not None:
            w, g = want[path], got[path]
            compared += min(len(w), len(g))
            if w != g:
                at = first_difference(w, g)
                diffs.append("%s: first difference at offset %d (sizes: reference %d, kartwerk %d)"
                             "\n      reference: %s\n      kartwerk:  %s"
                             % (path, at, len(w), len(g), context(w, at), context(g, at)))
    return diffs, compared


# ---------------------------------------------------------------------------
# One map
# ---------------------------------------------------------------------------

def reference_convert(map_path, out, version):
    with open(OPT.cliffdata, "rb") as f:
        cliff = f.read()
    try:
        staged = kartwerk_ref.Staged(map_path)
        kartwerk_ref.convert_whole(staged, out, cliff, 1 if version == "1.9" else 2, OPT.past_end)
        return 0, ""
    except kartwerk_ref.ConversionError as e:
        return 1, str(e)


# Map names the code page holds, holds in part, and cannot hold at all.
NON_ASCII_NAMES = ["\u00dcbersicht", "Caf\u00e9 \u20ac \u2122 \u201cHafen\u201d", "\u0141\u00f3d\u017a",
                   "Karte \U0001f5fa \u2026", "\u6771\u4eac", "Stra\u00dfe \u00bd"]


def check_convert(map_path, folder, rng):
    versions = [None]
    if rng.random() < 0.35:
        versions.append("1.9")
    elif rng.random() < 0.05:
        versions.append(rng.choice(("1.90", "2.2", "1.8")))
    main_name = os.path.basename(map_path)
    others = sorted(n for n in os.listdir(folder) if n != main_name and n[:3] == main_name[:3])
    if main_name.lower().endswith(".qdc") and others and rng.random() < 0.15:
        # a campaign named through one of its mission files converts the whole campaign
        map_path = os.path.join(folder, rng.choice(others))
    if not main_name.lower().endswith(".qdc") and rng.random() < 0.3:
        # a name past ASCII: the slot's title is written in the editor's code page
        renamed = os.path.join(folder, rng.choice(NON_ASCII_NAMES) + os.path.splitext(main_name)[1])
        os.rename(map_path, renamed)
        map_path = renamed
    result = {"runs": 0, "files": 0, "bytes": 0, "diffs": [], "failed_runs": 0}
    for version in versions:
        label = version or "default"
        ref_out = os.path.join(folder, "out-reference-" + label)
        kw_out = os.path.join(folder, "out-kartwerk-" + label)
        cmd = [OPT.kartwerk, "convert", native(map_path), "--out", native(kw_out), "--quiet"]
        if OPT.pass_cliffdata:
            cmd += ["--cliffdata", native(OPT.cliffdata)]
        if version:
            cmd += ["--game-version", version]
        rc_k, _, err_k = run(cmd)
        rc_r, err_r = reference_convert(map_path, ref_out, version or "2.2")
        result["runs"] += 1
        if rc_r:
            result["failed_runs"] += 1
        want, got = tree(ref_out), tree(kw_out)
        diffs, compared = compare_trees(want, got)
        result["files"] += sum(1 for v in want.values() if v is not None)
        result["bytes"] += compared
        if rc_k != rc_r:
            diffs.insert(0, "exit status: reference %s (%s), kartwerk %s (%s)" % (
                rc_r, err_r or "ok", rc_k, err_k.decode(errors="replace").strip() or "-"))
        for d in diffs:
            result["diffs"].append("[game version %s] %s" % (label, d))
    return result


def check_info(map_path, folder, rng):
    result = {"runs": 0, "files": 0, "bytes": 0, "diffs": [], "failed_runs": 0}
    if rng.random() < 0.15:
        # files that are no compiled map: not gzip at all, empty, or a container too short
        # to hold one directory entry
        with open(os.path.join(folder, "junk.qdm"), "wb") as f:
            f.write(bytes(rng.randrange(256) for _ in range(rng.randrange(0, 64))))
        with open(os.path.join(folder, "cut.qdp"), "wb") as f:
            whole = genmaps.gzip_member(bytes(rng.randrange(256) for _ in range(300)), None, rng)
            f.write(whole[:rng.randrange(1, len(whole) - 1)])
        with open(os.path.join(folder, "tiny.qdp"), "wb") as f:
            f.write(genmaps.gzip_member(bytes(rng.randrange(256) for _ in range(rng.randrange(0, 40))),
                                        None, rng))
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            continue
        rc_k, out_k, err_k = run([OPT.kartwerk, "info", native(path), "--json"])
        try:
            want, rc_r = kartwerk_ref.info(path), 0
        except kartwerk_ref.ConversionError as e:
            want, rc_r = str(e), 1
            result["failed_runs"] += 1
        result["runs"] += 1
        result["files"] += 1
        result["bytes"] += len(out_k)
        if rc_k != rc_r:
            result["diffs"].append("%s: exit status: reference %s, kartwerk %s (%s)" % (
                name, rc_r, rc_k, err_k.decode(errors="replace").strip()))
            continue
        if rc_r:
            continue
        try:
            got = json.loads(out_k)
        except ValueError as e:
            result["diffs"].append("%s: kartwerk printed no valid JSON (%s): %r" % (name, e, out_k[:200]))
            continue
        if got != want:
            keys = sorted(set(got) | set(want))
            for k in keys:
                if got.get(k) != want.get(k):
                    if k == "sections" and isinstance(got.get(k), list):
                        w, g = want.get(k), got.get(k)
                        for i in range(max(len(w), len(g))):
                            a = w[i] if i < len(w) else None
                            b = g[i] if i < len(g) else None
                            if a != b:
                                result["diffs"].append("%s: sections[%d]: reference %s, kartwerk %s"
                                                       % (name, i, a, b))
                                break
                    else:
                        result["diffs"].append("%s: %s: reference %r, kartwerk %r"
                                               % (name, k, want.get(k), got.get(k)))
    return result


def check_one(index):
    folder = os.path.join(OPT.work, "%04d" % index)
    started = time.time()
    try:
        desc = genmaps.generate(folder, index, OPT.seed, OPT.n_masks)
        rng = random.Random("versions/%d/%d" % (OPT.seed, index))
        if OPT.mode == "info":
            result = check_info(desc["map"], folder, rng)
        else:
            result = check_convert(desc["map"], folder, rng)
    except Exception as e:  # a fault in the harness or the reference: report it, never hide it
        import traceback
        desc = {"map": folder, "kind": "?", "odd": []}
        result = {"runs": 0, "files": 0, "bytes": 0, "failed_runs": 0,
                  "diffs": ["harness error: %s\n%s" % (e, traceback.format_exc())]}
    result["map"] = desc["map"]
    result["kind"] = desc["kind"]
    result["odd"] = desc["odd"]
    result["seconds"] = time.time() - started
    if not result["diffs"]:
        shutil.rmtree(folder, ignore_errors=True)
    return result


def init_worker(options):
    global OPT
    OPT = options


# ---------------------------------------------------------------------------
# Main
# ---------------------------------------------------------------------------

def main():
    parser = argparse.ArgumentParser(description="Compare kartwerk with the reference converter.")
    parser.add_argument("--kartwerk", required=True, help="the kartwerk executable")
    parser.add_argument("--runner", help="a program that runs kartwerk (wine for kartwerk.exe)")
    parser.add_argument("--mode", choices=("info", "convert"), default="convert")
    parser.add_argument("--count", type=int, default=50)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--first", type=int, default=0, help="index of the first map")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--cliffdata", help="cliff masks (default: the file beside kartwerk)")
    parser.add_argument("--work", help="scratch folder (default: a new temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the scratch folder")
    parser.add_argument("--past-end", choices=("zero", "stop"), default="zero",
                        help="the reference's rule for counted records wholly past the end of the "
                             "stream (zero: read zero-filled, the project's rule; stop: end the list)")
    parser.add_argument("--max-report", type=int, default=30, help="differences printed per map")
    args = parser.parse_args()

    OPT.kartwerk = os.path.abspath(args.kartwerk)
    OPT.mode = args.mode
    OPT.runner = [args.runner] if args.runner else []
    OPT.seed = args.seed
    OPT.past_end = args.past_end
    OPT.work = os.path.abspath(args.work) if args.work else tempfile.mkdtemp(prefix="kartwerk-compare-")
    os.makedirs(OPT.work, exist_ok=True)

    if args.mode == "convert":
        rc, _, err = run([OPT.kartwerk, "convert", "--help"])
        if rc != 0:
            print("kartwerk has no working convert command (exit %s): %s"
                  % (rc, err.decode(errors="replace").strip()))
            return 1
    beside = os.path.join(os.path.dirname(OPT.kartwerk), "cliffdata")
    if args.mode == "info":
        OPT.cliffdata = None
    elif args.cliffdata:
        OPT.cliffdata = os.path.abspath(args.cliffdata)
    elif os.path.isfile(beside):
        OPT.cliffdata = beside
        OPT.pass_cliffdata = False      # kartwerk finds it itself
    else:
        OPT.cliffdata = os.path.join(OPT.work, "cliffdata")
        with open(OPT.cliffdata, "wb") as f:
            f.write(genmaps.cliffdata(args.seed))
        print("note: no cliffdata beside %s; using a generated stand-in" % OPT.kartwerk)
    if OPT.cliffdata:
        OPT.n_masks = max(os.path.getsize(OPT.cliffdata) // 49, 1)

    started = time.time()
    indices = range(args.first, args.first + args.count)
    if args.jobs > 1:
        with multiprocessing.Pool(args.jobs, initializer=init_worker, initargs=(OPT,)) as pool:
            results = list(pool.imap_unordered(check_one, indices))
    else:
        results = [check_one(i) for i in indices]
    results.sort(key=lambda r: r["map"])

    bad = [r for r in results if r["diffs"]]
    for r in bad:
        print("DIFFERENT: %s (%s%s)" % (r["map"], r["kind"],
                                        ", odd: " + ", ".join(r["odd"]) if r["odd"] else ""))
        for d in r["diffs"][:args.max_report]:
            print("   " + d)
        if len(r["diffs"]) > args.max_report:
            print("   ... and %d more" % (len(r["diffs"]) - args.max_report))
    kinds = {}
    for r in results:
        kinds[r["kind"]] = kinds.get(r["kind"], 0) + 1
    print("%s comparison: %d maps (%s), %d runs (%d ending in an error), %d files, "
          "%d bytes compared, %d maps with differences, %.1f s"
          % (args.mode, len(results), ", ".join("%d %s" % (v, k) for k, v in sorted(kinds.items())),
             sum(r["runs"] for r in results), sum(r["failed_runs"] for r in results),
             sum(r["files"] for r in results), sum(r["bytes"] for r in results), len(bad),
             time.time() - started))
    if bad:
        # Repeated last, one line a map, so that a log cut to its end still shows what went wrong.
        for r in bad:
            print("first difference of %s: %s" % (r["map"], r["diffs"][0].splitlines()[0]))
        print("maps and outputs kept under %s" % OPT.work)
    elif not args.keep:
        shutil.rmtree(OPT.work, ignore_errors=True)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
