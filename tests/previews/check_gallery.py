"""kartwerk preview on the bundled samples, read back independently: each picture's PNG (size,
colour type, every chunk's CRC, every row) and the gallery's index.html (valid HTML, every picture
listed once, each map's kind, size, scheme and missions as `kartwerk info` gives them), and a map
that cannot be read failing with the words `kartwerk convert` uses for it.

    check_gallery.py KARTWERK MAKE_SAMPLES
"""
import json
import os
import subprocess
import sys
import tempfile
from html.parser import HTMLParser

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngread import read_png  # noqa: E402

SCHEMES = {0: "Normal", 1: "Beach", 2: "Island"}
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(*args):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=120)


def default_scale(width, height):
    longer = max(width, height)
    return max(1, (512 + longer // 2) // longer)


class Gallery(HTMLParser):
    """The page's structure: per section the h2 text, the dt/dd pairs, the img sources and any
    error paragraph; tags left open or closed out of order are errors."""

    VOID = {"meta", "img", "br", "link", "hr", "input"}

    def __init__(self):
        super().__init__()
        self.stack, self.sections, self.images, self.errors = [], [], [], []
        self.text_target = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag not in self.VOID:
            self.stack.append(tag)
        if tag == "section":
            self.sections.append({"name": "", "fields": {}, "error": ""})
        elif tag == "img":
            self.images.append(attrs)
        self.text_target = tag if tag in ("h2", "dt", "dd", "p") else None
        if tag == "p" and attrs.get("class") == "error":
            self.text_target = "error"

    def handle_endtag(self, tag):
        if tag in self.VOID:
            return
        if not self.stack or self.stack[-1] != tag:
            self.errors.append(f"</{tag}> does not close <{self.stack[-1] if self.stack else ''}>")
        else:
            self.stack.pop()
        self.text_target = None

    def handle_data(self, data):
        if not self.sections or self.text_target is None:
            return
        section = self.sections[-1]
        if self.text_target == "h2":
            section["name"] += data
        elif self.text_target == "dt":
            section["term"] = data
        elif self.text_target == "dd":
            section["fields"][section.pop("term")] = data
        elif self.text_target == "error":
            section["error"] += data


def parse_strictly(page):
    try:
        import html5lib  # the browsers' parsing rules; any parse error fails
        html5lib.HTMLParser(strict=True).parse(page)
    except ImportError:
        check(page.startswith("<!DOCTYPE html>"), "index.html: no doctype")
    except Exception as e:  # html5lib's ParseError
        failures.append(f"index.html is not valid HTML: {e}")
    gallery = Gallery()
    gallery.feed(page)
    gallery.close()
    check(not gallery.errors and not gallery.stack, f"index.html: {gallery.errors} {gallery.stack}")
    return gallery


def main():
    kartwerk, make_samples = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        maps_dir, out = os.path.join(scratch, "maps"), os.path.join(scratch, "gallery")
        listed = run(make_samples, maps_dir).stdout.split()
        check(len(listed) == 3, f"samples: {listed}")
        info = {}
        for path in listed:
            name = os.path.splitext(os.path.basename(path))[0]
            info[name] = json.loads(run(kartwerk, "info", path, "--json").stdout)
            single = os.path.join(scratch, name + ".png")
            r = run(kartwerk, "preview", path, "-o", single)
            check(r.returncode == 0, f"preview {path}: {r.returncode} {r.stderr}")
            width, height, colour, rows = read_png(single)
            scale = default_scale(info[name]["width"], info[name]["height"])
            check((width, height) == (info[name]["width"] * scale, info[name]["height"] * scale),
                  f"{name}.png is {width} x {height}, scale {scale}")
            check(colour == 2, f"{name}.png has colour type {colour}, not RGB")
            check(len({pixel for row in rows for pixel in row}) > 8, f"{name}.png has hardly any colours")

        damaged = os.path.join(maps_dir, "damaged.qdm")
        with open(damaged, "wb") as f:
            f.write(b"\x1f\x8b\x08\x00not deflate at all")
        r = run(kartwerk, "preview", *listed, damaged, "--out", out)
        check(r.returncode == 1, f"a gallery with a damaged map ends with 1, not {r.returncode}: {r.stderr}")
        converted = run(kartwerk, "convert", damaged, "--out", os.path.join(scratch, "slot"), "--quiet")
        convert_message = converted.stderr.strip().splitlines()[-1]
        # convert may add what became of the slot; the map's file, stage and error are the same words.
        failure = [line for line in r.stderr.splitlines() if line.startswith(f"kartwerk: {damaged}: ")]
        check(len(failure) == 1 and convert_message.startswith(failure[0]),
              f"preview says\n{r.stderr}\nconvert says\n{convert_message}")
        check("staging the map failed" in convert_message, convert_message)

        with open(os.path.join(out, "index.html"), encoding="utf-8") as f:
            gallery = parse_strictly(f.read())
        # A campaign's mission pictures are in a folder of the campaign's name.
        pictures = sorted(os.path.relpath(os.path.join(folder, name), out).replace(os.sep, "/")
                          for folder, _, names in os.walk(out) for name in names if name.endswith(".png"))
        sources = sorted(image["src"] for image in gallery.images)
        check(sources == pictures, f"pictures {pictures}, listed {sources}")
        check(len(pictures) == 1 + 1 + 3, f"one picture per map and campaign mission: {pictures}")
        for image in gallery.images:
            width, height, colour, _ = read_png(os.path.join(out, image["src"]))
            check((str(width), str(height)) == (image["width"], image["height"]), f"{image} is {width} x {height}")
        sections = {section["name"]: section for section in gallery.sections}
        check(sorted(sections) == sorted(list(info) + ["damaged"]), f"sections {sorted(sections)}")
        for name, facts in info.items():
            fields = sections.get(name, {}).get("fields", {})
            expected = {"Kind": facts["kind"], "Size": f"{facts['width']}x{facts['height']}",
                        "Scheme": SCHEMES[facts["scheme"]], "Missions": str(facts["missions"])}
            check(fields == expected, f"{name}: {fields} instead of {expected}")
        error = sections.get("damaged", {}).get("error", "")
        check(error and failure and failure[0].endswith(error), f"the damaged map's entry: {sections.get('damaged')}")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
