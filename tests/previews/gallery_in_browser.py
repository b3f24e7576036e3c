"""The gallery of the bundled samples opened in a real browser: headless Chromium, started here
with a profile folder of its own and ended by its process id, takes a screenshot of index.html;
the screenshot must show the pictures themselves (their exact colours over most of their area),
not broken-image placeholders.

    gallery_in_browser.py KARTWERK MAKE_SAMPLES CHROMIUM [SCREENSHOT_COPY]
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngread import read_png  # noqa: E402

FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--hide-scrollbars", "--window-size=1100,900"]


def screenshot(chromium, page, shot, profile):
    browser = subprocess.Popen([chromium, *FLAGS, f"--user-data-dir={profile}", f"--screenshot={shot}",
                                "file://" + page], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        browser.wait(timeout=90)
    finally:
        # Its helper processes are in the group it leads; end them all by its id.
        try:
            os.killpg(browser.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        browser.wait()


def main():
    kartwerk, make_samples, chromium = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as scratch:
        maps = subprocess.run([make_samples, os.path.join(scratch, "maps")], capture_output=True, text=True,
                              check=True).stdout.split()
        out = os.path.join(scratch, "gallery")
        subprocess.run([kartwerk, "preview", *maps, "--out", out, "--quiet"], check=True)
        profile = os.path.join(scratch, "profile")
        os.mkdir(profile)
        shot = os.path.join(scratch, "shot.png")
        screenshot(chromium, os.path.join(out, "index.html"), shot, profile)
        if not os.path.exists(shot):
            print("FAILED: the browser wrote no screenshot")
            return 1
        if len(sys.argv) > 4:
            shutil.copyfile(shot, sys.argv[4])
        _, _, _, rows = read_png(shot)
        # The first map listed is the first section: its picture is at the top left of the page.
        first = os.path.splitext(os.path.basename(maps[0]))[0] + ".png"
        _, _, _, picture = read_png(os.path.join(out, first))
        # Terrain colours only: white marks and black rims could be the page's own.
        colours = {pixel for row in picture for pixel in row if len(set(pixel)) > 1}
        shown = sum(1 for row in rows for pixel in row if pixel in colours)
        area = sum(1 for row in picture for pixel in row if pixel in colours)
        print(f"{shown} screenshot pixels in the terrain colours of {first} ({area} such pixels there)")
        if shown < area * 0.9:
            print("FAILED: the pictures do not show in the browser")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
