#!/usr/bin/env python3
"""Remakes the README's pictures of the bundled samples from a build folder:

  docs/previews/frontier.png             kartwerk preview frontier.qdm --scale 8
  docs/previews/007-mission-003.png      kartwerk preview 007.qdc --mission 2 --scale 6
  docs/previews/frontier-diff.png        kartwerk diff frontier.qdm --out SLOT --picture ..., after a few
                                         edits of the converted slot (a unit moved, one removed, one
                                         added, a pond dug on the plateau)
  docs/screenshots/map-browser-picture.png
                                         the Qt map browser on Xvfb with openbox, the frontier sample
                                         chosen, the pointer resting on its row and its map picture shown beside it

  make-readme-pictures.py BUILD [--docs DOCS]      (BUILD holds kartwerk and tools/make_samples)

The screen has no compositor, so the windows are drawn opaque as a reader sees them on most desktops.
Every program started here is ended by its process id.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
sys.dont_write_bytecode = True  # the borrowed test modules leave no cache in the source tree
sys.path[:0] = [str(SOURCE / "tests" / "desktop"), str(SOURCE / "tests" / "previews")]
from pngread import read_png  # noqa: E402
from real_desktop_test import CONVERT, SCREEN, X11, Failure, Processes, check, make_game, wait_until  # noqa: E402

# The frontier sample is 32 x 24 cells; a unit's U and V are 32 to a cell.
FRONTIER_WIDTH = 32
RHOMB_SIZE = 8
POND = (19, 23, 9, 11)        # columns 19 to 23, rows 9 to 11: on the plateau east of the river
WATER_CELL = (11, 10)         # a cell of the river, whose record the pond takes
# The browser's map list (ui/logic/window_layout.hpp: browser::kMapList at 4,60) and its first row.
FIRST_ROW = (60, 70)
PICTURE_SIDE = (192, 144)     # the tooltip's picture of the 32 x 24 sample, 6 pixels a cell


def run(args, ok=(0,)):
    result = subprocess.run([str(a) for a in args], capture_output=True, text=True, timeout=120)
    if result.returncode not in ok:
        raise Failure(f"{' '.join(str(a) for a in args)}: status {result.returncode}\n{result.stderr}")
    return result


def replace_once(text, old, new, what):
    check(text.count(old) == 1, f"the sample's {what} ({old.strip()!r}) once in mapunits")
    return text.replace(old, new)


def edit_slot(slot):
    """A few edits as a player makes them in the editor: each must find exactly what it changes."""
    units_file = slot / "mis.000" / "mapunits"
    units = units_file.read_text(encoding="latin-1")
    units = replace_once(units, " Grp=3 Crew=2 U=790 V=601 Dir=64 Owner=0 ", " Grp=3 Crew=2 U=600 V=540 Dir=64 Owner=0 ",
                         "tank moved west")
    removed = re.findall(r"^ ID=commander [^\n]* U=814 V=488 [^\n]*\n", units, re.M)
    check(len(removed) == 1, "the commander at 814,488 once in mapunits")
    units = units.replace(removed[0], "")
    units += " ID=rifleman HP=100 Ammo=60 Expa=0 Morale=70 Lives=1 Grp=2 Crew=0 U=180 V=400 Dir=64 Owner=1 \n"
    units_file.write_text(units, encoding="latin-1")

    rhombs = bytearray((slot / "rhombs").read_bytes())
    check(len(rhombs) == FRONTIER_WIDTH * 24 * RHOMB_SIZE, "the frontier's rhombs are 32 x 24 cells")

    def at(column, row):
        return (row * FRONTIER_WIDTH + column) * RHOMB_SIZE

    water = rhombs[at(*WATER_CELL):at(*WATER_CELL) + RHOMB_SIZE]
    left, right, top, bottom = POND
    for row in range(top, bottom + 1):
        for column in range(left, right + 1):
            check(rhombs[at(column, row)] != water[0], "the pond is dug where there was no water")
            rhombs[at(column, row):at(column, row) + RHOMB_SIZE] = water
    (slot / "rhombs").write_bytes(rhombs)


def previews(kartwerk, samples, scratch, docs):
    out = docs / "previews"
    out.mkdir(parents=True, exist_ok=True)
    # Kartwerk replaces only pictures it recorded writing; the committed ones are replaced on purpose.
    for name in ("frontier.png", "007-mission-003.png", "frontier-diff.png"):
        (out / name).unlink(missing_ok=True)
    run([kartwerk, "preview", samples / "frontier.qdm", "-o", out / "frontier.png", "--scale", "8"])
    run([kartwerk, "preview", samples / "007.qdc", "--mission", "2", "-o", out / "007-mission-003.png", "--scale", "6"])
    slot = scratch / "frontier-slot"
    run([kartwerk, "convert", samples / "frontier.qdm", "--out", slot, "--quiet"])
    edit_slot(slot)
    diff = run([kartwerk, "diff", samples / "frontier.qdm", "--out", slot, "--picture", out / "frontier-diff.png"],
               ok=(1,))
    print(diff.stdout, end="")
    for said in ("rhombs: changed\n  15 cells changed in columns 19 to 23, rows 9 to 11", "moved from 790,601",
                 "removed unit", "added unit"):
        check(said in diff.stdout, f"kartwerk diff says {said!r}")


def shows_map_picture(raw, rect, kartwerk, samples, scratch):
    """Somewhere inside the tooltip window (its frame, a caption) lies, pixel for pixel, the frontier's
    picture at 6 pixels a cell as `kartwerk preview` draws it: the screenshot shows the sample's land,
    water and units."""
    expected = scratch / "frontier-6.png"
    run([kartwerk, "preview", samples / "frontier.qdm", "-o", expected, "--scale", "6"])
    width, height, _, rows = read_png(expected)
    check((width, height) == PICTURE_SIDE, f"the frontier's picture at 6 pixels a cell is {PICTURE_SIDE}")
    lines = [bytes(c for pixel in row for c in pixel) for row in rows]

    def line_at(x, y, length):
        start = (y * SCREEN[0] + x) * 3
        return raw[start:start + length * 3]

    for top in range(rect[1], rect[1] + rect[3] - height + 1):
        for left in range(rect[0], rect[0] + rect[2] - width + 1):
            if all(line_at(left, top + y, width) == lines[y] for y in range(height)):
                return
    raise Failure("the tooltip holds the frontier's picture as kartwerk preview draws it")


def screenshot(kartwerk, samples, scratch, docs):
    game = make_game(scratch / "game" / "Vornmark II", samples)
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(scratch), "TMPDIR": str(scratch),
           "XDG_DATA_HOME": str(scratch / "data"), "XDG_RUNTIME_DIR": str(scratch / "runtime"), "LANG": "C.UTF-8"}
    (scratch / "runtime").mkdir(mode=0o700)
    procs = Processes()
    try:
        desktop = X11(procs, env, compositor=False)
        program = procs.start([str(kartwerk), "--game", str(game)], desktop.env)
        browser = wait_until(lambda: desktop.windows("^Kartwerk$"), 10, "the map browser mapped")[-1]
        time.sleep(1)  # the browser's fade-in has no compositor to wait for; its first paint has
        # The frontier sample, the first single-player map, is chosen with a click (its information
        # shown); then the pointer moves a little and rests on its row.
        row = [str(FIRST_ROW[0]), str(FIRST_ROW[1])]
        desktop.tool(["xdotool", "mousemove", "--window", str(browser), *row, "click", "1"])
        time.sleep(0.5)
        desktop.tool(["xdotool", "mousemove_relative", "--", "4", "2"])

        def tip():
            """The program's visible window that holds the picture and is narrower than the browser."""
            width = desktop.geometry(browser)[2]
            for window in desktop.tool(["xdotool", "search", "--onlyvisible", "--pid", str(program.pid), ""]).split():
                rect = desktop.geometry(int(window))
                if PICTURE_SIDE[0] <= rect[2] < width and PICTURE_SIDE[1] <= rect[3]:
                    return rect
            return None

        picture = wait_until(tip, 10, "the map picture beside the pointer")
        time.sleep(0.5)
        shows_map_picture(desktop.screenshot(), picture, kartwerk, samples, scratch)
        frame = desktop.geometry(browser)
        left = min(frame[0], picture[0]) - 8
        top = min(frame[1], picture[1]) - 8
        right = max(frame[0] + frame[2], picture[0] + picture[2]) + 8
        bottom = max(frame[1] + frame[3], picture[1] + picture[3]) + 8
        whole = scratch / "screen.png"
        desktop.save(whole)
        target = docs / "screenshots" / "map-browser-picture.png"
        target.parent.mkdir(parents=True, exist_ok=True)
        run([CONVERT, whole, "-crop", f"{right - left}x{bottom - top}+{max(left, 0)}+{max(top, 0)}", "+repage",
             "-strip", "-define", "png:exclude-chunks=date,time", target])
        print(f"{target}: the browser at {frame[:2]}, its map picture at {picture[:2]}")
        desktop.key("Escape")
        wait_until(lambda: program.poll() is not None, 10, "the browser closed")
        desktop.stop()
    finally:
        procs.stop_all()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", type=Path)
    parser.add_argument("--docs", type=Path, default=SOURCE / "docs")
    args = parser.parse_args()
    kartwerk = args.build.resolve() / "kartwerk"
    make_samples = args.build.resolve() / "tools" / "make_samples"
    for program in (kartwerk, make_samples):
        if not os.access(program, os.X_OK):
            print(f"{program} is missing: build the targets kartwerk and make_samples first", file=sys.stderr)
            return 2
    with tempfile.TemporaryDirectory(prefix="kartwerk-pictures-") as temp:
        scratch = Path(temp)
        samples = scratch / "samples"
        run([make_samples, samples])
        try:
            previews(kartwerk, samples, scratch, args.docs)
            screenshot(kartwerk, samples, scratch, args.docs)
        except (Failure, subprocess.TimeoutExpired) as failure:
            print(f"make-readme-pictures: {failure}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
