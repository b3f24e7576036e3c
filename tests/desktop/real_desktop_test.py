#!/usr/bin/env python3
"""The windows as users meet them, on real desktops started here and ended by their process ids.

X11: Xvfb on a free display, the openbox window manager and the xcompmgr compositor. The pointer is
never moved; keys are typed with xdotool. Screenshots of the whole screen (ImageMagick's import)
tell whether a window can be seen: its area no longer has the desktop's flat colour.
  - every window of the main flow is visible within 1 s of being mapped, and rests at 200/255;
  - a whole conversion done by keyboard alone equals `kartwerk convert --slot`;
  - a failed editor start ("wine" missing) is said in the notice window;
  - the version picker says when the chosen installation lacks its editor, the error box above it;
  - a damaged map chosen in the browser returns to it with the error box above it;
  - the fatal notice ends the program with status 1;
  - without a compositor the windows are shown opaque at once.
Wayland: weston's headless backend and Qt's wayland platform, up to the browser seen on the
screen (weston-screenshooter) and closed.

  real_desktop_test.py --kartwerk EXE --make-samples EXE --out FOLDER
Prints the time from each window's mapping to its first visible frame; keeps the screenshots
in FOLDER.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REQUIRED = ["Xvfb", "openbox", "xcompmgr", "xdotool", "xprop", "weston", "weston-screenshooter"]
IMPORT = "/usr/bin/import"    # ImageMagick's; /usr/local/bin may hold a stand-in
CONVERT = "/usr/bin/convert"
SCREEN = (1024, 768)
SHOWN_OPACITY = round(200 / 255 * 0xFFFFFFFF)


class Failure(Exception):
    pass


def end_if_running(program):
    """Ends a program a failed check left running, so the test never leaves it behind."""
    if program.poll() is None:
        program.kill()
        program.wait()


def check(condition, what):
    if not condition:
        raise Failure(what)


class Processes:
    """Programs started here, ended by their process ids in reverse order."""

    def __init__(self):
        self.started = []

    def start(self, args, env, **kwargs):
        proc = subprocess.Popen(args, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
        self.started.append(proc)
        return proc

    def stop(self, proc):
        if proc.poll() is None:
            proc.terminate()
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        if proc in self.started:
            self.started.remove(proc)

    def stop_all(self):
        for proc in reversed(list(self.started)):
            self.stop(proc)


def wait_until(predicate, timeout, what):
    until = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if time.monotonic() > until:
            raise Failure(f"timed out: {what}")
        time.sleep(0.02)


class X11:
    """Xvfb with openbox, and xcompmgr when asked."""

    def __init__(self, procs, env, compositor):
        self.procs = procs
        read_end, write_end = os.pipe()
        # -displayfd: the server takes the first free display number and writes it to the pipe.
        self.server = procs.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
                                   "-nolisten", "tcp"], env, pass_fds=[write_end])
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                byte = pipe.read(1)
                check(byte, "Xvfb reported no display number")
                number += byte
        self.env = dict(env, DISPLAY=":" + number.decode().strip())
        self.wm = procs.start(["openbox", "--sm-disable"], self.env)
        wait_until(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.tool(["xprop", "-root"]), 30, "openbox")
        self.compositor = None
        if compositor:
            self.compositor = procs.start(["xcompmgr"], self.env)
            time.sleep(0.3)
        self.desktop = self.flat_colour()

    def stop(self):
        for proc in (self.compositor, self.wm, self.server):
            if proc is not None:
                self.procs.stop(proc)

    def tool(self, args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20).stdout

    def screenshot(self):
        raw = subprocess.run([IMPORT, "-window", "root", "-depth", "8", "rgb:-"], env=self.env, capture_output=True,
                             timeout=20).stdout
        check(len(raw) == SCREEN[0] * SCREEN[1] * 3, "a screenshot of the whole screen")
        return raw

    def save(self, path):
        subprocess.run([IMPORT, "-window", "root", str(path)], env=self.env, check=True, timeout=20)

    def flat_colour(self):
        raw = self.screenshot()
        colours = {raw[i:i + 3] for i in range(0, len(raw), 3 * 997)}
        check(len(colours) == 1, "the empty desktop has one flat colour")
        return colours.pop()

    def windows(self, name):
        ids = self.tool(["xdotool", "search", "--onlyvisible", "--name", name]).split()
        return [int(i) for i in ids]

    def geometry(self, window):
        values = dict(line.split("=", 1) for line in self.tool(["xdotool", "getwindowgeometry", "--shell",
                                                                 str(window)]).split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def opacity(self, window):
        text = self.tool(["xprop", "-id", str(window), "_NET_WM_WINDOW_OPACITY"])
        return int(text.split("=")[1]) if "=" in text else None

    def key(self, *keys):
        self.tool(["xdotool", "key", "--delay", "60", *keys])

    def is_dialog(self, window):
        return "_NET_WM_WINDOW_TYPE_DIALOG" in self.tool(["xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE"])

    def error_boxes(self):
        """The error boxes on show: dialogs titled "Kartwerk" (the browser has that title too, as no dialog)."""
        return [w for w in self.windows("^Kartwerk$") if self.is_dialog(w)]

    def browsers(self):
        return [w for w in self.windows("^Kartwerk$") if not self.is_dialog(w)]

    def stacking(self):
        text = self.tool(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"])
        return [int(w, 16) for w in text.split("#", 1)[1].replace(",", " ").split()] if "#" in text else []


def differing(raw, rect, colour, threshold=40):
    """The share of the rectangle's pixels that differ from colour by more than threshold."""
    x, y, w, h = rect
    count = changed = 0
    for row in range(max(y, 0), min(y + h, SCREEN[1]), 2):
        start = (row * SCREEN[0] + max(x, 0)) * 3
        end = (row * SCREEN[0] + min(x + w, SCREEN[0])) * 3
        for i in range(start, end, 6):
            count += 1
            if max(abs(raw[i] - colour[0]), abs(raw[i + 1] - colour[1]), abs(raw[i + 2] - colour[2])) > threshold:
                changed += 1
    return changed / max(count, 1)


def differing_between(a, b, rect, threshold=40):
    x, y, w, h = rect
    count = changed = 0
    for row in range(y, y + h, 2):
        for i in range((row * SCREEN[0] + x) * 3, (row * SCREEN[0] + x + w) * 3, 6):
            count += 1
            if max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2])) > threshold:
                changed += 1
    return changed / max(count, 1)


def white_pixels(raw, below):
    """How many pixels under the top rows are white."""
    start = below * SCREEN[0] * 3
    return sum(1 for i in range(start, len(raw), 3) if raw[i] >= 245 and raw[i + 1] >= 245 and raw[i + 2] >= 245)


class Report:
    def __init__(self, out):
        self.out = out
        self.figures = []

    def seen(self, desktop, name, label, timeout=10):
        """Waits for the window titled name to be mapped, then to be seen; returns its id and place."""
        windows = wait_until(lambda: desktop.windows(name), timeout, f"{label} mapped")
        mapped = time.monotonic()
        window = windows[-1]
        rect = desktop.geometry(window)
        while True:
            shot = desktop.screenshot()
            shown = time.monotonic()
            if differing(shot, rect, desktop.desktop) >= 0.5:
                break
            check(shown - mapped < 5, f"{label} never became visible")
        took = shown - mapped
        self.figures.append((label, took))
        print(f"  {label}: visible {took * 1000:.0f} ms after it was mapped", flush=True)
        check(took <= 1.0, f"{label} visible within 1 s of being mapped (took {took:.2f} s)")
        return window, rect

    def settled(self, desktop, window, label):
        """A faded-in window rests at 200/255 under a compositor."""
        wait_until(lambda: desktop.opacity(window) == SHOWN_OPACITY, 3, f"{label} at opacity 200")

    def shot(self, desktop, name):
        desktop.save(self.out / f"{name}.png")


# --- The game installation, the maps and a Wine prefix, all in a scratch folder ---------------

def make_game(folder, samples, damaged=False, editor=True):
    (folder / "editor" / "maps.src").mkdir(parents=True)
    if editor:
        (folder / "editor" / "scridll.dll").write_bytes(b"MZ")
        (folder / "editor" / "edit3.exe").write_bytes(b"MZ")
    for kind, pattern in (("single", "*.qdm"), ("mplay", "*.qdp"), ("campaign", "*.qdc")):
        target = folder / "game" / "maps" / kind
        target.mkdir(parents=True)
        for map_file in samples.glob(pattern):
            shutil.copy(map_file, target)
    if damaged:
        # Its header reads (the browser shows its size), the rest of its gzip data is cut off.
        data = (samples / "frontier.qdm").read_bytes()
        (folder / "game" / "maps" / "single" / "damaged.qdm").write_bytes(data[:len(data) * 2 // 3])
    return folder


def make_prefix(prefix, installs):
    """A Wine prefix whose registry names the installations (folder under drive_c, version)."""
    (prefix / "dosdevices").mkdir(parents=True)
    (prefix / "drive_c").mkdir()
    os.symlink("../drive_c", prefix / "dosdevices" / "c:")
    text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
    for number, (folder, version) in enumerate(installs, 1):
        windows_folder = "C:\\\\" + "\\\\".join(Path(folder).parts)
        text += (f"[Software\\\\Brannox\\\\Vornmark II\\\\{number}] 1700000000\n"
                 f"\"language\"=\"English\"\n\"target folder\"=\"{windows_folder}\"\n\"version\"=\"{version}\"\n\n")
    (prefix / "system.reg").write_text(text)
    return prefix


def output(scratch):
    """kartwerk's messages go to a log file (a pipe nobody reads could fill and stop it)."""
    return {"stdout": open(scratch / "kartwerk.log", "ab"), "stderr": subprocess.STDOUT}


def log_of(scratch):
    return (scratch / "kartwerk.log").read_text(errors="replace")[-2000:]


def files_of(folder):
    return {str(p.relative_to(folder)): p.read_bytes() for p in sorted(folder.rglob("*")) if p.is_file()}


# --- The flows -------------------------------------------------------------------------------

def keyboard_conversion(args, procs, report, env, scratch, samples):
    game = make_game(scratch / "kb" / "Vornmark II", samples)
    reference = scratch / "kb" / "reference"
    shutil.copytree(game, reference)
    desktop = X11(procs, env, compositor=True)
    try:
        # "wine" cannot be found on this PATH, so "YES" must say so in the notice window.
        run_env = dict(desktop.env, PATH=str(scratch / "empty-bin"))
        program = subprocess.Popen([args.kartwerk, "--game", str(game)], env=run_env, **output(scratch))
        try:
            browser, _ = report.seen(desktop, "^Kartwerk$", "map browser")
            report.settled(desktop, browser, "map browser")
            report.shot(desktop, "x11-browser")
            desktop.key("Home", "Return")  # the first map: frontier
            picker, _ = report.seen(desktop, "^Editor slot", "slot picker")
            report.settled(desktop, picker, "slot picker")
            desktop.key("Home", *["Down"] * 5)
            report.shot(desktop, "x11-slot-picker")
            desktop.key("Return")  # slot 5
            prompt, _ = report.seen(desktop, "^Start the editor", "editor prompt", timeout=30)
            report.settled(desktop, prompt, "editor prompt")
            report.shot(desktop, "x11-editor-prompt")
            desktop.key("Return")  # YES
            notice, _ = report.seen(desktop, "^Notice", "notice (editor not started)")
            report.shot(desktop, "x11-notice-no-wine")
            desktop.key("Escape")
            status = program.wait(timeout=10)
        finally:
            end_if_running(program)
        # The map is in its slot, but the editor asked for did not start: status 1.
        if status != 1:
            raise Failure(f"an editor that did not start ends with status 1 (got {status}: {log_of(scratch)})")
    finally:
        desktop.stop()
    expected = subprocess.run([args.kartwerk, "convert", str(reference / "game" / "maps" / "single" / "frontier.qdm"),
                               "--slot", "5", "--game", str(reference), "--quiet"], env=env, capture_output=True,
                              text=True)
    check(expected.returncode == 0, f"kartwerk convert --slot: {expected.stderr}")
    slot = "editor/maps.src/map.005"
    check(files_of(game / slot) == files_of(reference / slot) and files_of(game / slot),
          "the keyboard's conversion equals kartwerk convert --slot")
    print("  keyboard-only conversion into slot 5 equals kartwerk convert --slot", flush=True)


def error_boxes(args, procs, report, env, scratch, samples):
    prefix = scratch / "pfx"
    make_prefix(prefix, [("Games/Old", "1.9"), ("Games/New", "2.2")])
    make_game(prefix / "drive_c" / "Games" / "Old", samples, editor=False)
    make_game(prefix / "drive_c" / "Games" / "New", samples, damaged=True)
    desktop = X11(procs, env, compositor=True)
    try:
        program = subprocess.Popen([args.kartwerk, "--wine-prefix", str(prefix)], env=desktop.env,
                                   **output(scratch))
        try:
            versions, _ = report.seen(desktop, "^Game version", "version picker")
            report.settled(desktop, versions, "version picker")
            report.shot(desktop, "x11-version-picker")
            desktop.key("Return")  # the first installation, which has no editor
            box = wait_until(desktop.error_boxes, 10, "the error box above the version picker")[-1]
            above_picker = wait_until(lambda: desktop.windows("^Game version"), 5, "the version picker again")[-1]
            check(desktop.stacking().index(box) > desktop.stacking().index(above_picker), "error box above the picker")
            report.shot(desktop, "x11-version-without-editor")
            desktop.key("Return")  # dismisses the box
            wait_until(lambda: not desktop.error_boxes(), 5, "the error box closed")
            desktop.key("Tab", "Return")  # the second installation
            browser, rect = report.seen(desktop, "^Kartwerk$", "map browser (second installation)")
            report.settled(desktop, browser, "map browser")
            alone = desktop.screenshot()
            desktop.key("Home", "Return")  # "damaged" sorts first
            box = wait_until(desktop.error_boxes, 10, "the error box above the browser")[-1]
            wait_until(desktop.browsers, 5, "the browser back")
            report.settled(desktop, browser, "map browser back")
            box_rect = desktop.geometry(box)
            with_box = desktop.screenshot()
            report.shot(desktop, "x11-damaged-map")
            stacking = desktop.stacking()
            check(stacking.index(box) > stacking.index(browser), "the error box is stacked above the browser")
            inside = (max(box_rect[0], rect[0]), max(box_rect[1], rect[1]))
            overlap = (inside[0], inside[1], min(box_rect[0] + box_rect[2], rect[0] + rect[2]) - inside[0],
                       min(box_rect[1] + box_rect[3], rect[1] + rect[3]) - inside[1])
            check(overlap[2] > 20 and overlap[3] > 20, "the error box lies over the browser")
            # The box is opaque (239 grey); the browser beneath is at 200/255 (228 grey where white).
            check(differing_between(alone, with_box, overlap, threshold=6) > 0.3, "the error box is seen over the browser")
            print("  damaged map: back to the browser, the error box seen above it", flush=True)
            desktop.key("Return")
            wait_until(lambda: not desktop.error_boxes(), 5, "the error box closed")
            desktop.key("Escape")
            status = program.wait(timeout=10)
        finally:
            end_if_running(program)
        check(status == 1, f"the last map failed: status 1 (got {status})")
    finally:
        desktop.stop()


def fatal_notice(args, procs, report, env, scratch, samples):
    game = make_game(scratch / "fatal" / "Vornmark II", samples, editor=False)
    desktop = X11(procs, env, compositor=True)
    try:
        program = subprocess.Popen([args.kartwerk, "--game", str(game)], env=desktop.env, **output(scratch))
        try:
            notice, _ = report.seen(desktop, "^Notice", "notice (game not located)")
            report.settled(desktop, notice, "notice")
            report.shot(desktop, "x11-game-not-located")
            desktop.key("Return")
            status = program.wait(timeout=10)
        finally:
            end_if_running(program)
        check(status == 1, f"a fatal notice ends with status 1 (got {status})")
    finally:
        desktop.stop()


def without_compositor(args, procs, report, env, scratch, samples):
    game = make_game(scratch / "plain" / "Vornmark II", samples)
    desktop = X11(procs, env, compositor=False)
    try:
        program = subprocess.Popen([args.kartwerk, "--game", str(game)], env=desktop.env, **output(scratch))
        try:
            browser, _ = report.seen(desktop, "^Kartwerk$", "map browser (no compositor)")
            check(desktop.opacity(browser) is None, "no opacity is set where nothing composites")
            started = time.monotonic()
            desktop.key("Escape")
            status = program.wait(timeout=10)
            closed = time.monotonic() - started
        finally:
            end_if_running(program)
        print(f"  no compositor: closed {closed * 1000:.0f} ms after Escape (no fade to wait for)", flush=True)
        check(status == 0, f"a plain close ends with status 0 (got {status})")
        check(closed < 0.35, "closing does not wait for an invisible fade")
    finally:
        desktop.stop()


def wayland(args, procs, report, env, scratch, samples):
    game = make_game(scratch / "wl" / "Vornmark II", samples)
    runtime = scratch / "wl-runtime"
    runtime.mkdir(mode=0o700)
    socket = "kartwerk-test"
    wl_env = dict(env, XDG_RUNTIME_DIR=str(runtime), WAYLAND_DISPLAY=socket)
    wl_env.pop("DISPLAY", None)
    # --debug offers the screenshot protocol that weston-screenshooter uses.
    server = procs.start(["weston", "--backend=headless-backend.so", f"--socket={socket}", "--idle-time=0", "--use-pixman",
                          f"--width={SCREEN[0]}", f"--height={SCREEN[1]}", "--debug"], wl_env)
    shots = scratch / "wl-shots"
    shots.mkdir()

    def screenshot():
        for old in shots.glob("*.png"):
            old.unlink()
        subprocess.run(["weston-screenshooter"], env=wl_env, cwd=shots, capture_output=True, timeout=20)
        taken = list(shots.glob("*.png"))
        if not taken:
            return None
        raw = subprocess.run([CONVERT, str(taken[0]), "-resize", f"{SCREEN[0]}x{SCREEN[1]}!", "-depth", "8", "rgb:-"],
                             capture_output=True, timeout=20).stdout
        return raw, taken[0]

    try:
        wait_until(screenshot, 10, "weston's first screenshot")
        program = subprocess.Popen([args.kartwerk, "--game", str(game)], env=dict(wl_env, QT_QPA_PLATFORM="wayland"),
                                   **output(scratch))
        try:
            started = time.monotonic()
            while True:
                now = screenshot()
                # The desktop has no white; the browser (opaque here) is mostly white, 417 x 253.
                if now and white_pixels(now[0], below=40) > 0.5 * 417 * 253:
                    break
                if program.poll() is not None:
                    raise Failure(f"kartwerk ended early on Wayland: {log_of(scratch)}")
                check(time.monotonic() - started < 10, "the browser seen on Wayland")
            shutil.copy(now[1], report.out / "wayland-browser.png")
            print(f"  Wayland: browser seen {time.monotonic() - started:.2f} s after the start", flush=True)
            # No seat to type on in a headless compositor: the session's termination request closes
            # the browser through its own "X".
            program.send_signal(signal.SIGTERM)
            status = program.wait(timeout=10)
        finally:
            end_if_running(program)
        if status != 0:
            raise Failure(f"the browser closed on Wayland with status 0 (got {status}: {log_of(scratch)})")
    finally:
        procs.stop(server)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--kartwerk", required=True)
    parser.add_argument("--make-samples", required=True)
    parser.add_argument("--out", required=True, type=Path)
    args = parser.parse_args()
    missing = [tool for tool in REQUIRED if shutil.which(tool) is None] + \
              [tool for tool in (IMPORT, CONVERT) if not os.access(tool, os.X_OK)]
    if missing:
        print(f"missing programs: {' '.join(missing)} (scripts/setup-deps.sh installs them)", file=sys.stderr)
        return 1
    args.out.mkdir(parents=True, exist_ok=True)
    procs = Processes()
    report = Report(args.out)
    failures = []
    with tempfile.TemporaryDirectory(prefix="kartwerk-desktop-") as temp:
        scratch = Path(temp)
        (scratch / "home").mkdir()
        (scratch / "empty-bin").mkdir()
        runtime = scratch / "runtime"
        runtime.mkdir(mode=0o700)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(scratch / "home"),
               "XDG_DATA_HOME": str(scratch / "home" / "data"), "XDG_RUNTIME_DIR": str(runtime),
               "TMPDIR": str(scratch), "LANG": "C.UTF-8"}
        samples = scratch / "samples"
        subprocess.run([args.make_samples, str(samples)], check=True, capture_output=True)
        for flow in (keyboard_conversion, error_boxes, fatal_notice, without_compositor, wayland):
            print(f"{flow.__name__}:", flush=True)
            try:
                flow(args, procs, report, env, scratch, samples)
            except (Failure, subprocess.TimeoutExpired) as failure:
                failures.append(f"{flow.__name__}: {failure}")
                print(f"  FAILED: {failure}", flush=True)
            finally:
                procs.stop_all()
    print("time from mapping to the first visible frame:")
    for label, took in report.figures:
        print(f"  {label:40s} {took * 1000:5.0f} ms")
    print(f"screenshots in {args.out}")
    for failure in failures:
        print(f"FAILED {failure}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
