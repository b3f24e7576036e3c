#!/usr/bin/env python3
"""Seeded generator of compiled maps for the byte-exact comparison.

Every map goes into its own folder (a campaign's mission files must sit beside its main
file).  Maps are well-formed in the main, with realistic records in every section the
converters read, and a share of them carry deliberate oddities: short sections, sizes that
are not whole records, P-MINI entries, more than 37 entries, mission rectangles that do not
fit the editor grid, scripts that fail, mission files stored under another name.

    genmaps.py --out DIR [--count N] [--seed S]

prints one JSON line per map: {"map": path, "kind": ..., "odd": [...]}.
"""

import argparse
import json
import os
import random
import struct
import sys

sys.dont_write_bytecode = True     # keep the source tree free of caches
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from kartwerk_ref import POSITIONS, SCRIPT_TABLES  # noqa: E402  (section places and code rows)

SINGLE, MULTI, CAMPAIGN = 0, 1, 2
MAIN_SECTIONS = ("map_info", "object_names", "rhombs", "cflags1", "cflags2", "cflags3",
                 "airfields", "objects")
MISSION_SECTIONS = tuple(k for k in POSITIONS if k not in MAIN_SECTIONS)
SECTION_LABELS = {
    "map_info": b"MAPINFO", "object_names": b"OBJNAMES", "rhombs": b"RHOMBS",
    "cflags1": b"CFLAGS", "cflags2": b"CFLAGS2", "cflags3": b"CFLAGS3",
    "airfields": b"AIRFIELDS", "objects": b"OBJECTS", "mismult": b"MULTI",
    "mission_rect": b"MISRECT", "misdesc": b"MISDESC", "unit_names": b"UNITNAMES",
    "map_units": b"UNITS", "support_groups": b"SUPPORT", "players": b"PLAYERS",
    "groups": b"GROUPS", "locations": b"LOCATIONS", "mines": b"MINES", "phrases": b"PHRASES",
    "support_flags": b"SUPFLAGS", "mission_objects": b"MISOBJS", "sounds": b"SOUNDS",
    "scripts": b"SCRIPTS", "mission_info": b"MISINFO", "picture": b"JPG1024 pic",
}
NO_TICKS = 0x7FFFFFFF


def pack(fmt, *values):
    return struct.pack("<" + fmt, *values)


# ---------------------------------------------------------------------------
# gzip members
# ---------------------------------------------------------------------------

def gzip_member(data, stored_name, rng):
    """One gzip member; stored_name None stores no FNAME."""
    flags = 0
    extra = b""
    if rng.random() < 0.15:
        flags |= 4
        field = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 12)))
        extra += pack("H", len(field)) + field
    if stored_name is not None:
        flags |= 8
        extra += stored_name + b"\0"
    if rng.random() < 0.1:
        flags |= 16
        extra += b"compiled by the map tool\0"
    head = bytes((0x1F, 0x8B, 8, flags)) + pack("I", rng.randrange(2**31)) + bytes((0, 0))
    comp = zlib.compressobj(rng.choice((1, 6, 9)), zlib.DEFLATED, -15)
    body = comp.compress(data) + comp.flush()
    return head + extra + body + pack("II", zlib.crc32(data), len(data) & 0xFFFFFFFF)


# ---------------------------------------------------------------------------
# Texts
# ---------------------------------------------------------------------------

WORDS = [b"tree", b"pine", b"house", b"bunker", b"bridge", b"rock", b"fence", b"tower",
         b"church", b"barn", b"well", b"crate", b"wreck", b"tank", b"truck", b"jeep",
         b"infantry", b"sniper", b"mortar", b"howitzer", b"plane", b"boat", b"depot"]
HIGH = [b"\xe9", b"\xfc", b"\x99", b"\x80", b"\xdf", b"\xf6", b"\xa9", b"\x81", b"\xff"]


def text(rng, lo, hi, high=0.1):
    n = rng.randint(lo, hi)
    out = bytearray()
    while len(out) < n:
        r = rng.random()
        if r < high:
            out += rng.choice(HIGH)
        elif r < 0.75:
            out += rng.choice(WORDS)
        elif r < 0.85:
            out += b" "
        elif r < 0.9:
            out += b"\n"
        else:
            out += str(rng.randrange(1000)).encode()
    return bytes(out[:n])


def name_field(rng, width, odd_share=0.15):
    """A fixed-width name: usually text and a zero, sometimes full width or empty."""
    r = rng.random()
    if r < odd_share / 3:
        return bytes(width)
    if r < odd_share:
        full = (rng.choice(WORDS) * width)[:width - 2] + b"_" + rng.choice(HIGH)
        return full[:width]
    t = (rng.choice(WORDS) + b"_" + str(rng.randrange(100)).encode())[:width - 1]
    tail = bytes(rng.randrange(256) for _ in range(width - len(t) - 1)) if rng.random() < 0.2 \
        else bytes(width - len(t) - 1)
    return t + b"\0" + tail


def names_table(rng, n):
    return b"".join(name_field(rng, 16) for _ in range(n))


# ---------------------------------------------------------------------------
# Map-level sections
# ---------------------------------------------------------------------------

def tile_code(rng, scheme):
    r = rng.random()
    if r < 0.5:
        return rng.randrange(0, 360 if scheme == 0 else 200)
    if r < 0.8:
        return rng.randrange(0, 65536)
    return rng.choice((0, 12, 13, 15, 16, 25, 26, 69, 70, 73, 74, 78, 79, 126, 127, 142, 143,
                       184, 185, 186, 187, 189, 190, 196, 197, 244, 245, 290, 291, 305, 306,
                       353, 354, 355, 65535))


def rhombs_section(rng, cells, scheme):
    out = bytearray()
    for _ in range(cells):
        level = rng.randrange(32) if rng.random() < 0.9 else rng.randrange(65536)
        out += pack("HH", tile_code(rng, scheme), level)
    return bytes(out)


def cflags_sections(rng, cells):
    one = bytes(rng.randrange(256) for _ in range(4 * cells))
    two = bytes(rng.choice((0, 0, 1, 1, 2, 255)) for _ in range(cells))
    three = b"".join(pack("H", rng.randrange(65536) if rng.random() < 0.5 else
                          rng.randrange(16) << 8) for _ in range(cells))
    return one, two, three


def objects_section(rng, width, height, n_names, n_masks):
    out = bytearray()
    for _ in range(rng.randint(0, 120)):
        if rng.random() < 0.85:
            x, y = rng.randrange(max(width, 1) * 32), rng.randrange(max(height, 1) * 32)
        else:
            x, y = rng.randrange(65536), rng.randrange(65536)
        if rng.random() < 0.1:       # the map's corners and edges
            x = rng.choice((0, 5, max(width - 1, 0) * 32 + 31, width * 32 + 40, 65535))
            y = rng.choice((0, 7, max(height - 1, 0) * 32 + 31, height * 32 + 100, 65535))
        r = rng.random()
        if r < 0.4:
            index = 8
        elif r < 0.9:
            index = rng.randrange(max(n_names, 1))
        else:
            index = rng.randrange(256)
        r = rng.random()
        if index == 8 and r < 0.8:
            variant = rng.randrange(n_masks + 3)
        elif r < 0.9:
            variant = rng.choice((56, 57, 0, 1, 3))
        else:
            variant = rng.randrange(65536)
        out += pack("HHBBHH", x, y, index, rng.randrange(256), rng.randrange(65536), variant)
    return bytes(out)


# ---------------------------------------------------------------------------
# Mission sections
# ---------------------------------------------------------------------------

def grid_section(rng, width, height):
    if width <= 0 or height <= 0:
        return b""
    data = bytearray(width * height)
    for _ in range(rng.randint(0, 40)):
        i = rng.randrange(len(data))
        run = rng.randint(1, 20)
        value = rng.randrange(1, 256)
        data[i:i + run] = bytes([value]) * len(data[i:i + run])
    return bytes(data)


def crew_record(rng, n_names, wide):
    ident = rng.randrange(max(n_names, 1)) if rng.random() < 0.9 else rng.randrange(65536)
    spare = pack("H", 0)
    if wide and rng.random() < 0.1:
        spare = pack("H", rng.randrange(1, 65536))
    return bytes(rng.randrange(256) for _ in range(6)) + pack("H", ident) + spare


def unit_record(rng, n_names, head_size):
    n_in = rng.choice((0, 0, 0, 1, 2, 3)) if rng.random() < 0.97 else rng.randrange(256)
    crew = rng.choice((0, 0, 1, 2, 4)) if rng.random() < 0.97 else rng.randrange(256)
    wide = head_size == 12
    head = crew_record(rng, n_names, wide) + bytes((n_in, crew))
    if head_size == 18:
        head += pack("HH", rng.randrange(65536), rng.randrange(65536))
        head += bytes((rng.randrange(256), rng.randrange(8)))
    return head + b"".join(crew_record(rng, n_names, wide) for _ in range(n_in + crew))


def map_units_section(rng, n_names):
    count = rng.randint(0, 25)
    return pack("i", count) + b"".join(unit_record(rng, n_names, 18) for _ in range(count))


def support_sections(rng, n_names):
    flags = bytearray()
    for _ in range(16):
        if rng.random() < 0.5:
            flags += pack("iiiii", -1, *(rng.randrange(-5, 200) for _ in range(4)))
        else:
            first = rng.choice((rng.randrange(0, 200), -2, -100))
            flags += pack("iiiii", first, rng.randrange(-3, 200), rng.randrange(0, 200),
                          rng.randrange(0, 200), rng.randrange(-10, 1000))
    groups = bytearray()
    for _ in range(64):
        r = rng.random()
        count = 0 if r < 0.6 else (rng.randint(1, 3) if r < 0.95 else rng.choice((-1, -7)))
        groups += pack("i", count)
        for _ in range(max(count, 0)):
            groups += unit_record(rng, n_names, 12)
    return bytes(flags), bytes(groups)


def players_section(rng, kind):
    count = rng.randint(0, 8)
    out = bytearray(pack("i", count))
    for _ in range(count):
        r = rng.random()
        if r < 0.5:
            name = name_field(rng, 32, odd_share=0.3)
        elif r < 0.65:
            name = (b"1st " + rng.choice(WORDS)).ljust(32, b"\0")
        elif r < 0.75:
            name = bytes(32)
        else:
            name = (rng.choice((b"_", b"\xe9", b" ", b"Z", b"a")) + rng.choice(WORDS)).ljust(32, b"\0")
        rec = bytearray(name)
        rec += bytes((rng.randrange(256),)) + pack("H", rng.choice((0, 0xFFFF, 0x0810,
                                                                     rng.randrange(65536))))
        rec += bytes((rng.randrange(256), rng.randrange(256)))
        for _ in range(5):
            rec += name_field(rng, 32) + pack("iii", rng.choice((-1, 0, rng.randrange(50))),
                                                rng.randrange(-5, 100), rng.randrange(-2**31, 2**31))
        for _ in range(2):
            rec += bytes((rng.randrange(256), rng.randrange(256)))
            rec += b"".join(name_field(rng, 16) for _ in range(4))
            rec += bytes(rng.randrange(256) for _ in range(4))
        assert len(rec) == 397
        out += rec
    return bytes(out)


def groups_section(rng):
    out = bytearray()
    for _ in range(100):
        if rng.random() < 0.4:
            out += pack("IBBBBBBiiHiBBBB", 0, 0, 0, 0, 0, 0, 0, 0, NO_TICKS, 0, NO_TICKS,
                        100, 100, 0, 50)
            continue
        flags = rng.randrange(16) | (rng.getrandbits(24) << 4 if rng.random() < 0.7 else 0)
        if rng.random() < 0.2:
            flags |= rng.randrange(256) << 24
        flags &= 0xFFFFFFFF
        atime = rng.choice((0, 24, 25, 250, -30, rng.randrange(-2**31, 2**31)))
        delay = rng.choice((NO_TICKS, 0, 1000, -26, rng.randrange(-2**31, 2**31)))
        minimum = rng.choice((0, 5, 32766, 32767, 65535, rng.randrange(65536)))
        force = rng.choice((NO_TICKS, 0, 75, -1, rng.randrange(-2**31, 2**31)))
        out += pack("IBBBBBBiiHiBBBB", flags, *(rng.randrange(256) for _ in range(6)), atime,
                    delay, minimum, force, *(rng.randrange(256) for _ in range(4)))
    return bytes(out)


def sound_float(rng):
    r = rng.random()
    if r < 0.5:
        return pack("f", rng.choice((0.0, 1.5, -0.25, 0.1, 1 / 128, 3 / 128, 0.5, 100.0,
                                     rng.uniform(-10, 10), rng.uniform(0, 1))))
    if r < 0.7:
        return pack("f", rng.choice((-0.0, 1e-7, 5e-7, 4.9999e-7, 1e30, -3.4e38, 2.5e-6,
                                     float("inf"), float("-inf"), float("nan"))))
    return pack("I", rng.getrandbits(32))   # any pattern: denormals, NaNs with payload, huge


def sounds_section(rng):
    count = rng.randint(0, 10)
    out = bytearray(pack("i", count))
    for _ in range(count):
        name = name_field(rng, 64, odd_share=0.2)
        out += name + pack("HHH", rng.randrange(65536), rng.randrange(65536), rng.randrange(65536))
        out += sound_float(rng) + pack("HH", rng.randrange(65536), rng.randrange(65536))
    return bytes(out)


def slot_count(code, version_kind):
    return sum(1 for item in SCRIPT_TABLES[version_kind][code][1] if item is None)


def argument(rng, value=None):
    high = rng.choice((1, 1, 2, 0x1234, 0x8000, 0xFFFF, 0x7FFE))
    if value is None:
        value = rng.choice((0, 1, 9, 10, 100, 65279, 65280, 65285, 65535, rng.randrange(65536),
                            rng.randrange(300)))
    return (high << 16) | value


def script(rng, odd):
    """A script's bytes: head, statements, end statement."""
    items = [rng.getrandbits(32), rng.getrandbits(32)]
    blocks = 0
    codes = [c for c in range(3, 98) if c != 26]     # 26 is the connective "nF"
    for _ in range(rng.randint(0, 14)):
        r = rng.random()
        if r < 0.15 and blocks >= 2:
            items.append(rng.choice((1, 2)))
            blocks -= 1
            continue
        if r < 0.22 and blocks >= 1:
            items.append(26)
            continue
        if r < 0.25:
            items.append(7)
            blocks += 1
            continue
        if r < 0.28:
            # a connective or the marker with the high half 0x7FFF: an ordinary statement
            items.append((0x7FFF << 16) | rng.choice((1, 2, 26, 7)))
            blocks += 1
            continue
        code = rng.choice(codes + [5, 6, 30, 31, 49, 50] * 3)
        need = max(slot_count(code, 1), slot_count(code, 2))
        n = need if rng.random() < 0.85 else max(0, need - 1)
        items.extend(argument(rng) for _ in range(n))
        high = 0x7FFF if rng.random() < 0.05 else 0
        items.append((high << 16) | code)
        blocks += 1
    if odd == "unknown_code":
        items.append(rng.choice((0, 98, 500, 65534)))
    items.append(rng.choice((0xFFFF, 0xFFFF, 0x7FFFFFFF)))
    data = pack("%dI" % len(items), *items)
    if odd == "truncated":
        data = data[:rng.randrange(len(data) - 3)]
    return data


def scripts_section(rng, odds):
    count = rng.randint(0, 14)
    bad = rng.randrange(count) if count and ("bad_script" in odds) else -1
    parts = []
    for i in range(count):
        odd = rng.choice(("unknown_code", "truncated")) if i == bad else None
        parts.append(script(rng, odd))
        if odd == "truncated":
            break
    return pack("i", count) + b"".join(parts)


def mission_info_section(rng):
    def field(width):
        r = rng.random()
        if r < 0.15:
            return bytes(width)
        if r < 0.3:
            return text(rng, width, width).replace(b"\0", b"x")
        t = text(rng, 0, width - 1).replace(b"\0", b"x")
        return t + b"\0" + bytes(rng.randrange(256) for _ in range(width - len(t) - 1))
    rec = pack("I", rng.getrandbits(32)) + field(64) + field(256) + pack("I", rng.getrandbits(32))
    rec += field(40)
    assert len(rec) == 368
    return rec + bytes(rng.randrange(256) for _ in range(rng.choice((0, 0, 4, 32))))


def mission_objects_section(rng):
    out = bytearray()
    for i in range(100):
        if rng.random() < 0.5:
            x, y = 0, (rng.randrange(65536) if rng.random() < 0.3 else 0)
        else:
            x, y = rng.randrange(1, 600), rng.randrange(0, 600)
        out += pack("HH", x, y)
    return bytes(out)


def picture_section(rng):
    n = rng.choice((0, rng.randint(1, 64), rng.randint(200, 3000)))
    return (b"\xff\xd8\xff\xe0" + bytes(rng.randrange(256) for _ in range(n)))[:n]


def mission_sections(rng, kind, map_w, map_h, odds):
    s = {}
    if kind == CAMPAIGN:
        if "rect_outside" in odds:
            x0 = rng.choice((-5, -1, 0, 3, 400, 505, 511, 600))
            y0 = rng.choice((-7, 0, 2, 300, 500, 512))
            w, h = rng.choice((5, 20, 64, 130)), rng.choice((3, 20, 64, 140))
            if rng.random() < 0.3:
                w = rng.choice((0, 513, 600))
        else:
            w, h = rng.randint(0, min(map_w, 160)), rng.randint(0, min(map_h, 160))
            x0, y0 = rng.randint(0, max(map_w - w, 0)), rng.randint(0, max(map_h - h, 0))
        s["mission_rect"] = pack("iiii", x0, y0, w, h)
        rect_w, rect_h = w, h
    else:
        rect_w, rect_h = map_w, map_h
    n_names = rng.randint(0, 60)
    s["unit_names"] = names_table(rng, n_names)
    s["map_units"] = map_units_section(rng, n_names)
    s["support_flags"], s["support_groups"] = support_sections(rng, n_names)
    s["players"] = players_section(rng, kind)
    s["groups"] = groups_section(rng)
    s["locations"] = grid_section(rng, rect_w, rect_h)
    s["mines"] = grid_section(rng, rect_w, rect_h)
    s["phrases"] = text(rng, 0, 800)
    s["misdesc"] = text(rng, 0, 400)
    s["mission_objects"] = mission_objects_section(rng)
    s["sounds"] = sounds_section(rng)
    s["scripts"] = scripts_section(rng, odds)
    s["mission_info"] = mission_info_section(rng)
    s["picture"] = picture_section(rng)
    if kind == MULTI:
        s["mismult"] = bytes(rng.randrange(256) for _ in range(rng.choice((16, 16, 0, 12, 40))))
    if "short_records" in odds:
        # records that run on into the following section's bytes
        for key in rng.sample(["players", "sounds", "groups", "support_flags", "mission_objects",
                               "map_units", "mission_info"], 3):
            if len(s[key]) > 8:
                s[key] = s[key][:rng.randrange(4, len(s[key]))]
    return s


# ---------------------------------------------------------------------------
# Containers
# ---------------------------------------------------------------------------

def entry(name, data, size=None):
    return name[:12].ljust(12, b"\0") + pack("i", len(data) if size is None else size) + data


def filler(rng):
    return bytes(rng.randrange(256) for _ in range(rng.choice((0, 4, 16, 33))))


# Where a container may end inside a section: (kind, part) -> positions.  Never before the
# support groups of a mission, whose per-group counts would otherwise be read from the
# file's first bytes.
ENDS_INSIDE = {
    (SINGLE, "single"): (12, 13, 13, 13, 15, 19, 20, 20, 20, 21, 22),
    (MULTI, "single"): (15, 16, 16, 16, 19, 21, 22, 22, 22, 23, 24),
    (CAMPAIGN, "main"): (2, 2, 3, 3, 4, 5, 7, 7),
}


def container(rng, kind, sections, part, odds):
    """Place the sections at their positions; part is "main" or "mission" for campaigns."""
    column = kind
    wanted = {}
    for key, data in sections.items():
        pos = POSITIONS[key][column]
        if pos != 255:
            wanted[pos] = (SECTION_LABELS[key], data)
    top = max(wanted) + 1 if wanted else 0
    entries = []
    for pos in range(top):
        if pos in wanted:
            entries.append(list(wanted[pos]))
        elif kind == MULTI and pos == 0:
            entries.append([b"MPHEAD", bytes(rng.randrange(256) for _ in range(16))])
        else:
            entries.append([rng.choice((b"RESERVED", b"PAL", b"X")), filler(rng)])
    extra = rng.choice((0, 0, 1, 2))
    if "many_entries" in odds:
        extra = 37 - len(entries) + rng.randint(1, 6)
    for i in range(extra):
        entries.append([b"EXTRA%d" % i, filler(rng)])
    if "pmini" in odds:
        spellings = [b"P-MINI1", b"P-MINI2", b"P-MINI3", b"P-MINI4", b"P-MINI1 x", b"P-MINI2\0yy",
                     b"p-mini1", b"P-MINI5", b"P-MINI"]
        for i in rng.sample(range(len(entries)), min(len(entries), rng.randint(1, 5))):
            # the objects entry itself keeps its name so its size still reads sensibly
            entries[i][0] = rng.choice(spellings)
        for _ in range(rng.randint(0, 3)):
            entries.append([rng.choice(spellings[:4]), filler(rng)])
    if "odd_names" in odds:
        for i in rng.sample(range(len(entries)), min(len(entries), 3)):
            entries[i][0] = rng.choice((b"TWELVECHARSX", b"\x81\xe9t\xe9 n", b"", b" lead",
                                        b"TAB\tNAME", b"a b c", b"\xff\xfe"))
    out = bytearray(bytes(rng.randrange(256) for _ in range(8)))
    sizes = [None] * len(entries)
    if "overlong_last" in odds and part != "main":
        sizes[-1] = len(entries[-1][1]) + rng.randint(1, 5000)
    cut_at = ENDS_INSIDE.get((kind, part))
    if "ends_inside" in odds and cut_at:
        # The file ends inside a section whose size still counts all of its data, so its last
        # records lie past the end.  The sections that would follow are missing: they read
        # from offset 0, where a zero header gives counts of 0.
        k = rng.choice(cut_at)
        entries = entries[:k + 1]
        sizes = [None] * k + [len(entries[k][1])]
        entries[k][1] = entries[k][1][:rng.randrange(len(entries[k][1]) + 1)]
        out = bytearray(8)
    for (name, data), size in zip(entries, sizes):
        out += entry(name, data, size)
    if "tail_bytes" in odds:
        out += bytes(rng.randrange(256) for _ in range(rng.randint(1, 15)))
    return bytes(out)


def main_sections(rng, kind, odds, n_masks):
    scheme = rng.choice((0, 0, 1, 2)) if rng.random() < 0.95 else rng.choice((3, 7, 0x80000000))
    big = rng.random() < 0.06
    width = rng.choice((16, 24, 32, 40, 48, 64, 80, 100, 128) + ((160, 256) if big else ()))
    height = rng.choice((16, 24, 32, 48, 64, 80, 96, 128) + ((160, 256) if big else ()))
    if "map_wider_than_grid" in odds:
        width, height = rng.choice(((520, 8), (8, 530), (600, 4)))
    cells = width * height
    s = {"map_info": pack("Iii", scheme, width, height) + bytes(rng.randrange(256)
                                                                for _ in range(rng.choice((0, 4, 20))))}
    n_names = rng.randint(0, 40)
    s["object_names"] = names_table(rng, max(n_names, 9) if rng.random() < 0.9 else n_names)
    s["rhombs"] = rhombs_section(rng, cells, scheme)
    s["cflags1"], s["cflags2"], s["cflags3"] = cflags_sections(rng, cells)
    s["airfields"] = bytes(rng.randrange(256) for _ in range(rng.choice((0, 12, 48, 200))))
    s["objects"] = objects_section(rng, width, height, n_names, n_masks)
    if "odd_sizes" in odds:
        for key, unit in (("rhombs", 4), ("objects", 10), ("cflags1", 4), ("cflags3", 2)):
            if rng.random() < 0.6:
                s[key] += bytes(rng.randrange(256) for _ in range(rng.randrange(1, unit)))
    if "cflags_mismatch" in odds:
        s["cflags1"] = s["cflags1"][:4 * rng.randrange(cells + 1)] if rng.random() < 0.5 else \
            s["cflags1"] + bytes(rng.randrange(256) for _ in range(4 * rng.randint(1, 50)))
        s["cflags2"] += bytes(rng.choice((0, 1)) for _ in range(rng.randint(1, 200)))
        s["cflags3"] += bytes(rng.randrange(256) for _ in range(2 * rng.randint(1, 200)))
    if "short_records" in odds and rng.random() < 0.5:
        s["rhombs"] = s["rhombs"][:rng.randrange(len(s["rhombs"]) + 1)]
    return s, width, height


ODDITIES = ("odd_sizes", "cflags_mismatch", "short_records", "pmini", "many_entries",
            "odd_names", "tail_bytes", "bad_script", "rect_outside", "overlong_last",
            "mission_stored_other", "map_wider_than_grid", "short_info", "short_mission_names",
            "shared_mission_number", "two_members", "ends_inside")
RARE = {"bad_script", "overlong_last", "mission_stored_other", "map_wider_than_grid"}


def pick_oddities(rng, kind):
    if rng.random() < 0.55:
        return []
    odds = []
    for _ in range(rng.randint(1, 3)):
        o = rng.choice(ODDITIES)
        if o in RARE and rng.random() < 0.6:
            continue
        if o in ("rect_outside", "mission_stored_other", "short_mission_names",
                 "shared_mission_number") and kind != CAMPAIGN:
            continue
        if o not in odds:
            odds.append(o)
    return odds


def stored_name_for(rng, base):
    r = rng.random()
    if r < 0.3:
        return None
    if r < 0.55:
        return base
    return rng.choice((b"other_" + base, b"dir/sub/" + base, b"C:\\maps\\" + base + b".tmp",
                       b"", b".", b"..", b"trailing/", base.upper() + b"x", b"\xe9l\xe8ve"))


def generate(folder, index, seed, n_masks=60):
    """Write map number index into folder (created); return its description."""
    rng = random.Random("%d/%d" % (seed, index))
    kind = rng.choice((SINGLE, SINGLE, MULTI, MULTI, CAMPAIGN, CAMPAIGN, CAMPAIGN))
    odds = pick_oddities(rng, kind)
    os.makedirs(folder, exist_ok=True)
    main, width, height = main_sections(rng, kind, odds, n_masks)
    if "short_info" in odds and kind != MULTI:
        # 8 bytes of map information; the height then comes from the next entry's name field,
        # whose text is a lone blank (an empty section name)
        main["map_info"] = main["map_info"][:8]
    files = {}
    if kind == CAMPAIGN:
        prefix = "%03d" % rng.randrange(1000)
        if rng.random() < 0.04:
            prefix = rng.choice(("-01", "+12", "-00"))   # still a decimal integer
        main_name = prefix + ".qdc"
        main_data = container(rng, CAMPAIGN, main, "main", odds)
        if "short_info" in odds:
            main_data = main_data[:32] + b" \0\0\0" + main_data[36:]
        files[main_name] = (main_data, stored_name_for(rng, prefix.encode()))
        numbers = rng.sample(range(100), rng.randint(1, 4))
        stored_other = rng.randrange(len(numbers)) if "mission_stored_other" in odds else -1
        suffixes = ["%02d" % n + rng.choice(("", "", "1", "77")) for n in numbers]
        if "short_mission_names" in odds:
            # "<ccc>0" and at most one digit: the mission folder name gets fewer than three
            # characters after "mis."
            suffixes[0] = rng.choice(("", "%d" % (numbers[0] % 10)))
        if "shared_mission_number" in odds and len(suffixes) > 1:
            # two mission files with the same 4th to 6th characters share one mission folder
            suffixes[1] = suffixes[0][:2] + "9" + suffixes[1]
        for i, (n, suffix) in enumerate(zip(numbers, suffixes)):
            base = prefix + "0" + suffix
            sections = mission_sections(rng, CAMPAIGN, width, height,
                                        odds if rng.random() < 0.7 else [])
            data = container(rng, CAMPAIGN, sections, "mission", odds)
            stored = rng.choice((None, base.encode()))
            if i == stored_other:
                stored = b"elsewhere" + str(n).encode()
            ext = ".qdc" if rng.random() < 0.9 else ".QDC"
            files[base + ext] = (data, stored)
    else:
        stem = rng.choice(("Dunes", "river_crossing", "Hill 203", "map%d" % index, "Winter-Front",
                           "x", "%d" % rng.randrange(1000)))
        if rng.random() < 0.05:
            # names beyond ASCII: UTF-8 spelled, and one single-byte (Windows-1252) spelled
            stem = rng.choice(("D\u00fcnen", "Stra\u00dfe 7", "Front\u2122", os.fsdecode(b"D\xfcnen")))
        ext = (".qdm" if kind == SINGLE else ".qdp")
        if rng.random() < 0.1:
            ext = ext.upper()
        main_name = stem + ext
        main.update(mission_sections(rng, kind, width, height, odds))
        data = container(rng, kind, main, "single", odds)
        if "short_info" in odds:
            data = data[:32] + b" \0\0\0" + data[36:]
        files[main_name] = (data, stored_name_for(rng, os.fsencode(stem)))
    for name, (data, stored) in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            if "two_members" in odds and len(data) > 2:
                # a gzip file of two members: the data continues in the second one
                cut = rng.randrange(1, len(data))
                f.write(gzip_member(data[:cut], stored, rng) + gzip_member(data[cut:], None, rng))
            else:
                f.write(gzip_member(data, stored, rng))
    return {"map": os.path.join(folder, main_name), "kind": ("single", "multi", "campaign")[kind],
            "odd": odds}


def cliffdata(seed, count=60):
    """A stand-in "cliffdata": count 7 x 7 masks, mostly marks 0 to 3 with a few other values."""
    rng = random.Random("cliff/%d" % seed)
    out = bytearray()
    for _ in range(count):
        for _ in range(49):
            r = rng.random()
            out.append(0 if r < 0.4 else rng.choice((1, 2, 3)) if r < 0.95 else rng.randrange(4, 256))
    return bytes(out)


def main():
    parser = argparse.ArgumentParser(description="Generate compiled maps for the comparison.")
    parser.add_argument("--out", required=True)
    parser.add_argument("--count", type=int, default=20)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    for i in range(args.count):
        print(json.dumps(generate(os.path.join(args.out, "%04d" % i), i, args.seed)))


if __name__ == "__main__":
    main()
