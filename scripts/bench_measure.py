#!/usr/bin/env python3
"""Whole-process timing of `kartwerk convert` against the conversion floor (run by scripts/bench.sh).

For every benchmark map, in the same run and on the same map:
  convert  `kartwerk convert MAP --out DIR --quiet`: wall time and peak resident memory;
  floor    `conversion_floor MAP SLOT OUT`: inflating the compiled files (libdeflate) and writing as
           many bytes into as many files as the conversion wrote, nothing else.
Each is run --runs times (alternating, so both see the same load) and the median is taken.
The conversion runs on one core (--jobs 1); a campaign is measured again with its missions side by
side on every core. The ratio convert/floor and the memory against decompressed size + 16 MiB are
printed first; they carry over between machines. With --instructions, callgrind also gives the
ratio in instructions and the share of the conversion spent hashing what it writes.
Then a batch of 8 maps converted by one `kartwerk convert MAP... --out DIR` is compared with the
same 8 converted one after the other, and the backup store is measured: `kartwerk backups` with 300
backups, and a batch of 60 maps into a store of 300 backups against the same batch into an empty one.
"""
import argparse
import gzip
import os
import platform
import shutil
import statistics
import subprocess
import sys

MIB = 1024 * 1024
MEMORY_MARGIN = 16 * MIB
TARGET_RATIO = 1.1
MEASURE_RUN = "measure_run"


def run_measured(command):
    """Runs command through measure_run; returns (wall seconds, peak resident bytes, exit status, stderr)."""
    done = subprocess.run([MEASURE_RUN, *command], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if done.returncode != 0:
        sys.exit(f"measure_run failed: {done.stderr.decode(errors='replace').strip()}")
    seconds, peak, status = done.stdout.decode().split()
    return float(seconds), int(peak), int(status), done.stderr.decode(errors="replace")


# Every byte hashed goes through this function (a file read back by FileDigest too).
HASHING_FUNCTION = "kartwerk::platform::ContentHash::Add("


def instructions(command, profile=None, env=None):
    """Instructions the command executes, counted by callgrind (reproducible on a busy machine);
    with profile, the callgrind output is kept there for hashing_share."""
    done = subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={profile or '/dev/null'}", *command],
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    for line in done.stderr.decode(errors="replace").splitlines():
        if "Collected :" in line:
            return int(line.split(":")[-1].strip())
    return None


def hashing_share(profile, total):
    """The share of the instructions spent in HASHING_FUNCTION and what it calls: its own line (the
    one naming the program file in brackets), not the lines of the code inlined into it."""
    done = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--threshold=100", profile],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    hashed = 0
    for line in done.stdout.decode(errors="replace").splitlines():
        fields = line.split()
        if len(fields) >= 2 and HASHING_FUNCTION in line and line.rstrip().endswith("]"):
            hashed += int(fields[0].replace(",", ""))
    return hashed / total if total else None


def compiled_files(map_path):
    """The map and, for a campaign, its mission files ("ABC0*.qdc" beside "ABC.qdc")."""
    files = [map_path]
    if map_path.lower().endswith(".qdc"):
        folder, name = os.path.split(map_path)
        prefix = name[:3].lower() + "0"
        for other in sorted(os.listdir(folder)):
            if other.lower().startswith(prefix) and other.lower().endswith(".qdc"):
                files.append(os.path.join(folder, other))
    return files


def decompressed_size(map_path):
    total = 0
    for path in compiled_files(map_path):
        with gzip.open(path, "rb") as f:
            while True:
                chunk = f.read(1 << 20)
                if not chunk:
                    break
                total += len(chunk)
    return total


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)


def folder_bytes(folder):
    total, count = 0, 0
    for root, _, files in os.walk(folder):
        for f in files:
            total += os.path.getsize(os.path.join(root, f))
            count += 1
    return total, count


def measure_map(args, name, map_path, jobs=1):
    work = os.path.join(args.work, name)
    slot = os.path.join(work, "slot")
    floor_out = os.path.join(work, "floor")
    convert = [args.kartwerk, "convert", map_path, "--out", slot, "--quiet", "--jobs", str(jobs)]
    floor = [args.floor, map_path, slot, floor_out]

    # One untimed conversion gives the slot the floor copies, and warms the file cache.
    fresh(slot)
    _, _, status, err = run_measured(convert)
    if status != 0:
        sys.exit(f"kartwerk convert failed on {name}: {err.strip()}")
    out_bytes, out_files = folder_bytes(slot)
    reference = os.path.join(work, "reference")
    fresh(reference)
    shutil.copytree(slot, reference)

    convert_times, floor_times, peaks = [], [], []
    for _ in range(args.runs):
        fresh(slot)
        took, peak, status, err = run_measured(convert)
        if status != 0:
            sys.exit(f"kartwerk convert failed on {name}: {err.strip()}")
        convert_times.append(took)
        peaks.append(peak)
        fresh(floor_out)
        took, _, status, err = run_measured(floor)
        if status != 0:
            sys.exit(f"conversion_floor failed on {name}: {err.strip()}")
        floor_times.append(took)
    convert_instructions = floor_instructions = hashing = None
    if args.instructions and jobs == 1:
        fresh(slot)
        profile = os.path.join(work, "callgrind.out")
        convert_instructions = instructions(convert, profile)
        hashing = hashing_share(profile, convert_instructions)
        os.remove(profile)
        fresh(floor_out)
        floor_instructions = instructions([args.floor, map_path, reference, floor_out])
    fresh(floor_out)
    shutil.rmtree(reference, ignore_errors=True)

    decompressed = decompressed_size(map_path)
    return {
        "name": name if jobs == 1 else f"{name} x{jobs}",
        "hashing": hashing,
        "convert": statistics.median(convert_times),
        "convert_min": min(convert_times),
        "floor": statistics.median(floor_times),
        "floor_min": min(floor_times),
        "peak": max(peaks),
        "decompressed": decompressed,
        "limit": decompressed + MEMORY_MARGIN,
        "out_bytes": out_bytes,
        "out_files": out_files,
        "instructions": (convert_instructions / floor_instructions
                         if convert_instructions and floor_instructions else None),
    }


def batch_supported(kartwerk, work, maps):
    """Whether `kartwerk convert` takes several maps (a usage error, status 2, says it does not)."""
    probe = os.path.join(work, "probe")
    fresh(probe)
    _, _, status, _ = run_measured([kartwerk, "convert", maps[0], maps[1], "--out", probe, "--quiet"])
    fresh(probe)
    return status == 0


def measure_batch(args, large_map):
    folder = os.path.join(args.work, "batch-maps")
    fresh(folder)
    os.makedirs(folder)
    maps = []
    for i in range(8):
        path = os.path.join(folder, f"batch{i + 1}.qdm")
        shutil.copyfile(large_map, path)
        maps.append(path)
    if not batch_supported(args.kartwerk, args.work, maps):
        return None
    out = os.path.join(args.work, "batch-out")
    one_by_one, together = [], []
    for _ in range(max(args.runs // 2, 2)):
        fresh(out)
        total = 0.0
        for path in maps:
            name = os.path.splitext(os.path.basename(path))[0]
            took, _, status, err = run_measured([args.kartwerk, "convert", path, "--out", os.path.join(out, name), "--quiet"])
            if status != 0:
                sys.exit(f"kartwerk convert failed: {err.strip()}")
            total += took
        one_by_one.append(total)
        fresh(out)
        took, _, status, err = run_measured([args.kartwerk, "convert", *maps, "--out", out, "--quiet"])
        if status != 0:
            sys.exit(f"kartwerk convert (batch) failed: {err.strip()}")
        together.append(took)
    fresh(out)
    return statistics.median(one_by_one), statistics.median(together)


def measure_store(args, small_map):
    """`kartwerk backups` with 300 backups, and a batch of 60 maps into a store of 300 backups
    against the same batch into a store without backups. Both batches replace the 60 conversions an
    earlier batch left in the output folder (whose records both stores keep), so both keep 60
    backups; only the backups held before differ."""
    home = os.path.abspath(os.path.join(args.work, "store-home"))  # XDG_DATA_HOME counts only when absolute
    store = os.path.join(home, "kartwerk", "replaced-slots")
    env = dict(os.environ, XDG_DATA_HOME=home)
    folder = os.path.join(args.work, "store-maps")
    out = os.path.join(args.work, "store-out")
    fresh(folder)
    os.makedirs(folder)
    maps = []
    for i in range(60):
        path = os.path.join(folder, f"map{i + 1:02}.qdm")
        shutil.copyfile(small_map, path)
        maps.append(path)
    batch = [args.kartwerk, "convert", *maps, "--out", out, "--quiet"]

    def run(command):
        done = subprocess.run([MEASURE_RUN, *command], stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        seconds, _, status = done.stdout.decode().split()
        if int(status) != 0:
            sys.exit(f"{' '.join(command[:2])} failed: {done.stderr.decode(errors='replace').strip()}")
        return float(seconds)

    def fill_store():
        fresh(home)
        fresh(out)
        for _ in range(6):  # the first fills the output folder, each later one keeps 60 backups
            run(batch)

    def empty_store():
        # The backups go, and their records; the records of what the earlier batch wrote into each
        # place stay, as they do in the full store, so both batches recognise the conversions they
        # replace alike and only the backups held differ.
        fresh(home)
        fresh(out)
        run(batch)
        for name in os.listdir(store):
            if name != ".written":
                fresh(os.path.join(store, name))

    fill_store()
    listing = [run([args.kartwerk, "backups"]) for _ in range(args.runs)]
    load = os.getloadavg()  # a wall time means little without how busy the machine was
    backups = sum(1 for name in os.listdir(store) if not name.startswith("."))
    counted = None
    if args.instructions:
        listed = instructions([args.kartwerk, "backups"], env=env)
        fill_store()
        full_count = instructions(batch, env=env)
        empty_store()
        empty_count = instructions(batch, env=env)
        if listed and full_count and empty_count:
            counted = {"listing": listed, "full": full_count, "empty": empty_count}
    full, empty = [], []
    for _ in range(max(args.runs // 2, 2)):
        fill_store()
        full.append(run(batch))
        empty_store()
        empty.append(run(batch))
    fresh(home)
    fresh(out)
    fresh(folder)
    return {"backups": backups, "listing": statistics.median(listing),
            "full": statistics.median(full), "empty": statistics.median(empty), "instructions": counted, "load": load}


def cpu_name():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown processor"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--kartwerk", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--measure-run", required=True, help="the launcher that reports time and peak memory")
    parser.add_argument("--maps", required=True, help="file of lines NAME<TAB>PATH, smallest first")
    parser.add_argument("--work", required=True, help="scratch folder for the outputs")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--batch-map", default="large", help="the map copied 8 times for the batch measure")
    parser.add_argument("--no-batch", action="store_true")
    parser.add_argument("--no-store", action="store_true", help="skip the backup store measures")
    parser.add_argument("--instructions", action="store_true",
                        help="also count instructions with callgrind (one run each; slow)")
    args = parser.parse_args()
    global MEASURE_RUN
    MEASURE_RUN = args.measure_run

    with open(args.maps) as f:
        maps = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    os.makedirs(args.work, exist_ok=True)
    results = [measure_map(args, name, path) for name, path in maps]
    results += [measure_map(args, name, path, jobs=os.cpu_count() or 1)
                for name, path in maps if path.lower().endswith(".qdc") and (os.cpu_count() or 1) > 1]
    batch = None
    if not args.no_batch:
        batch_map = dict((n, p) for n, p in maps).get(args.batch_map, maps[-1][1])
        batch = measure_batch(args, batch_map)
    store = None if args.no_store else measure_store(args, maps[0][1])

    print(f"Conversion against its floor (median of {args.runs} runs each; floor = inflating the compiled files")
    print("with the conversion's inflater + writing the same bytes into the same number of files)")
    print()
    print("ratio: convert time / floor time, of the medians (and of the fastest runs); instructions:")
    print("the same ratio in instructions executed (callgrind), which a busy machine does not disturb")
    print()
    print("(\"901 x2\": the campaign's missions side by side on 2 cores, against the same single-core floor)")
    print()
    print(f"{'map':<10} {'ratio':>6} {'(fastest)':>9} {'instructions':>12} {'hashing':>8}  {'memory / limit':>14}  "
          f"{'decompressed':>12}  {'peak':>9}  {'limit':>9}")
    for r in results:
        share = r["peak"] / r["limit"]
        counted = f"{r['instructions']:.2f}" if r["instructions"] else "-"
        hashing = f"{r['hashing']:.1%}" if r["hashing"] is not None else "-"
        print(f"{r['name']:<10} {r['convert'] / r['floor']:>6.2f} {r['convert_min'] / r['floor_min']:>9.2f} "
              f"{counted:>12} {hashing:>8}  {share:>14.0%}  "
              f"{r['decompressed'] / MIB:>9.2f} MiB  {r['peak'] / MIB:>5.1f} MiB  {r['limit'] / MIB:>5.1f} MiB")
    if batch is None:
        print("\nbatch: `kartwerk convert MAP... --out DIR` is not available in this build")
    else:
        seq, together = batch
        print(f"\nbatch of 8 maps (copies of \"{args.batch_map}\"): speed-up {seq / together:.2f} "
              f"over converting them one after the other")
    if store is not None:
        print(f"\nbackup store: `kartwerk backups` with {store['backups']} backups {store['listing'] * 1000:.0f} ms "
              f"(aim 100 ms); a batch of 60 maps into it {store['full'] / store['empty']:.2f} times the same batch "
              f"into an empty store (aim 1.05; {store['full'] * 1000:.0f} ms against {store['empty'] * 1000:.0f} ms)")
        counted = store["instructions"]
        if counted:
            print(f"in instructions: `kartwerk backups` {counted['listing'] / 1e6:.1f} million; the batch into the full "
                  f"store {counted['full'] / counted['empty']:.3f} times the empty one ({counted['full'] / 1e6:.1f} "
                  f"against {counted['empty'] / 1e6:.1f} million)")
        print(f"(load average {' '.join(f'{x:.2f}' for x in store['load'])} when `kartwerk backups` was timed)")
    print()
    print(f"Absolute figures on this machine: {os.cpu_count()} cores, {cpu_name()}")
    print(f"{'map':<10} {'convert ms':>10} {'(min)':>7} {'floor ms':>9} {'(min)':>7} {'output':>10} {'files':>6}")
    for r in results:
        print(f"{r['name']:<10} {r['convert'] * 1000:>10.1f} {r['convert_min'] * 1000:>7.1f} "
              f"{r['floor'] * 1000:>9.1f} {r['floor_min'] * 1000:>7.1f} {r['out_bytes'] / MIB:>6.2f} MiB {r['out_files']:>6}")
    if batch is not None:
        seq, together = batch
        print(f"batch of 8: one after the other {seq * 1000:.0f} ms, together {together * 1000:.0f} ms")
    worst = max(r["convert"] / r["floor"] for r in results)
    counted = [r["instructions"] for r in results if r["instructions"]]
    over = [r["name"] for r in results if r["peak"] > r["limit"]]
    print()
    print(f"largest ratio {worst:.2f}"
          + (f", in instructions {max(counted):.2f}" if counted else "")
          + f" (aim {TARGET_RATIO}); "
          + ("memory within decompressed + 16 MiB for every map" if not over else "memory over the limit: " + ", ".join(over)))


if __name__ == "__main__":
    main()
