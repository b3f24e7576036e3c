#!/usr/bin/env python3
"""Kartwerk reference converter.

A second, independent implementation of the compiled-map conversion, written in plain
Python so that the C++ program can be checked against it byte for byte.  It covers the
command-line surface the comparison needs:

    kartwerk_ref.py info MAP
    kartwerk_ref.py convert MAP --out DIR --cliffdata FILE [--game-version TEXT]

`info` prints one JSON object (kind, scheme, width, height, missions, sections).
`convert` writes the editor's slot folder into DIR: the six map-level files and, per
mission, a "mis.NNN" folder with its fifteen files.  A failing step stops the run, keeps
the files written so far and exits with status 1.
"""

import argparse
import fnmatch
import gzip
import json
import math
import os
import shutil
import struct
import sys
import zlib


class ConversionError(Exception):
    """A failure that ends the conversion at the current step."""


STREAM_READ_ERROR = "Stream read error"


def list_index_error(index):
    return ConversionError("List index out of bounds (%d)" % index)


# ---------------------------------------------------------------------------
# The in-memory stream of one decompressed container
# ---------------------------------------------------------------------------

class Stream:
    """Whole decompressed file with a read position.

    Records read past the end come back zero-filled; exact reads (section copies,
    grid rows, script items) fail with the stream's read error instead.
    """

    def __init__(self, data):
        self.data = bytes(data)
        self.pos = 0

    def __len__(self):
        return len(self.data)

    def bytes_at(self, pos, n):
        """n bytes from pos, zero outside the stream, position untouched."""
        if 0 <= pos and pos + n <= len(self.data):
            return self.data[pos:pos + n]
        if n <= 0:
            return b""
        out = bytearray(n)
        lo = max(pos, 0)
        hi = min(pos + n, len(self.data))
        if lo < hi:
            out[lo - pos:hi - pos] = self.data[lo:hi]
        return bytes(out)

    def record(self, n):
        chunk = self.bytes_at(self.pos, n)
        self.pos += n
        return chunk

    def exact(self, n):
        if n <= 0:
            return b""
        if self.pos < 0 or self.pos + n > len(self.data):
            raise ConversionError(STREAM_READ_ERROR)
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def i32(self):
        return struct.unpack("<i", self.record(4))[0]


def parse_decimal(text):
    """A decimal integer: an optional sign and digits, nothing else."""
    digits = text[1:] if text[:1] in (b"-", b"+") else text
    if not digits or not digits.isdigit():
        raise ConversionError("'%s' is not a valid integer value" % text.decode("cp1252", "replace"))
    return int(text)


def u16(b, o):
    return b[o] | (b[o + 1] << 8)


def u32(b, o):
    return struct.unpack_from("<I", b, o)[0]


def i32(b, o):
    return struct.unpack_from("<i", b, o)[0]


def cut_nul(b):
    i = b.find(b"\0")
    return b if i < 0 else b[:i]


def le_i32(v):
    return struct.pack("<i", ((v + 2**31) % 2**32) - 2**31)


# ---------------------------------------------------------------------------
# Section directory and section positions
# ---------------------------------------------------------------------------

MAX_ENTRIES = 37
PMINI_NAMES = (b"P-MINI1", b"P-MINI2", b"P-MINI3", b"P-MINI4")

SINGLE, MULTI, CAMPAIGN = 0, 1, 2
KIND_NAMES = {SINGLE: "Singleplayer", MULTI: "Multiplayer", CAMPAIGN: "Campaign"}
NONE = 255

# Position of each section in the container, per map kind (single, multi, campaign).
POSITIONS = {
    "map_info": (0, 1, 0),
    "object_names": (2, 3, 1),
    "rhombs": (3, 4, 2),
    "cflags1": (4, 5, 3),
    "cflags2": (5, 6, 4),
    "cflags3": (6, 7, 5),
    "airfields": (7, 8, 6),
    "objects": (8, 9, 7),
    "mismult": (NONE, 10, NONE),
    "mission_rect": (NONE, NONE, 0),
    "misdesc": (9, 12, 1),
    "unit_names": (10, 13, 2),
    "map_units": (11, 14, 4),
    "support_groups": (12, 15, 11),
    "players": (13, 16, 5),
    "groups": (14, NONE, 3),
    "locations": (15, 17, 7),
    "mines": (16, 18, 9),
    "phrases": (17, 19, 12),
    "support_flags": (18, 20, 10),
    "mission_objects": (19, 21, 13),
    "sounds": (20, 22, 6),
    "scripts": (21, 23, 8),
    "mission_info": (22, 24, 14),
    "picture": (23, 25, 15),
}


class Entry:
    __slots__ = ("name", "size", "offset")

    def __init__(self, name=b"", size=0, offset=0):
        self.name = name
        self.size = size
        self.offset = offset


class Container:
    """One loaded container: its stream and its section directory."""

    def __init__(self, data):
        self.stream = Stream(data)
        self.entries = []          # the entries actually read, in file order
        self.pmini = 0
        self._load()

    def _load(self):
        data = self.stream.data
        pos = 8
        while len(self.entries) < MAX_ENTRIES:
            if pos < 0 or pos + 16 > len(data):
                break              # an entry ending inside its name and size field is not read
            name = cut_nul(data[pos:pos + 12])
            space = name.find(b" ")
            if space >= 0:
                name = name[:space]
            size = i32(data, pos + 12)
            offset = pos + 16
            if name in PMINI_NAMES:
                self.pmini += 1
            self.entries.append(Entry(name, size, offset))
            pos = offset + size
            if pos >= len(data):
                break

    def entry_at(self, index):
        """Directory entry by index; entries the file does not hold are empty."""
        if 0 <= index < len(self.entries):
            return self.entries[index]
        return Entry()

    def entry(self, kind, section):
        return self.entry_at(POSITIONS[section][kind])

    def seek(self, kind, section):
        e = self.entry(kind, section)
        self.stream.pos = e.offset
        return e

    def name16(self, table_offset, index):
        """A 16-byte name of a names table, read without moving the stream."""
        return cut_nul(self.stream.bytes_at(table_offset + 16 * index, 16))


# ---------------------------------------------------------------------------
# Compiled map files: gzip layer and staging
# ---------------------------------------------------------------------------

def gzip_stored_name(raw):
    """FNAME of the first gzip member header, or None."""
    if len(raw) < 10 or raw[0] != 0x1F or raw[1] != 0x8B:
        return None
    flags = raw[3]
    p = 10
    if flags & 4:
        if p + 2 > len(raw):
            return None
        p += 2 + (raw[p] | (raw[p + 1] << 8))
    if flags & 8:
        end = raw.find(b"\0", p)
        if end < 0:
            return None
        return raw[p:end]
    return None


# Names are handled as bytes throughout: the game's names are single-byte text, and a file
# name's characters are the bytes the file system stores.

def strip_ext(name):
    dot = name.rfind(b".")
    return name[:dot] if dot > 0 else name


def decompressed_name(path):
    """The name the decompressed copy gets in the temporary folder."""
    with open(path, "rb") as f:
        raw = f.read()
    stored = gzip_stored_name(raw)
    if stored is not None:
        stored = stored.replace(b"\\", b"/").split(b"/")[-1]
    if not stored or stored in (b".", b".."):
        stored = strip_ext(os.path.basename(path))
    return stored


def gunzip(path):
    try:
        with open(path, "rb") as f:
            raw = f.read()
        if not raw:
            # an empty file holds no gzip member at all
            raise ConversionError("Error opening " + os.fsdecode(path))
        return gzip.decompress(raw)
    except (OSError, EOFError, zlib.error) as e:
        raise ConversionError("Error opening " + os.fsdecode(path)) from e


def map_kind(path):
    ext = os.path.splitext(os.path.basename(os.fsencode(path)))[1].upper()
    return {b".QDM": SINGLE, b".QDP": MULTI}.get(ext, CAMPAIGN)


def find_file(folder, name):
    """The file of that name in folder; when the exact spelling is missing, the one whose name
    matches case-insensitively (the game's file system does not tell case apart)."""
    path = os.path.join(folder, name)
    if os.path.exists(path):
        return path
    try:
        names = sorted(os.listdir(folder or b"."))
    except OSError:
        return path
    for n in names:
        if n.lower() == name.lower():
            return os.path.join(folder, n)
    return path


def campaign_missions(folder, prefix):
    """Mission files of a campaign: "<prefix>0*.qdc", case-insensitive, sorted the same way."""
    pattern = (prefix + b"0*.qdc").lower()
    try:
        names = os.listdir(folder or b".")
    except OSError:
        return []
    found = [n for n in names if fnmatch.fnmatchcase(n.lower(), pattern)]
    return sorted(found, key=lambda n: (n.lower(), n))


# The editor's code page, Windows-1252, written out here rather than taken from Python's codecs:
# its bytes 0x80-0x9F (the five it leaves undefined stand for the control characters of their
# number), and Latin-1 above them.
CP1252_HIGH = [0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F,
               0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178]
CP1252_BYTE = {cp: 0x80 + i for i, cp in enumerate(CP1252_HIGH)}


def utf8_sequence(data, i):
    """The code point and length of the well-formed UTF-8 sequence at data[i], or (None, 0)."""
    lead = data[i]
    if lead < 0x80:
        return lead, 1
    if 0xC2 <= lead <= 0xDF:
        n, lo, hi = 2, 0x80, 0xBF
    elif 0xE0 <= lead <= 0xEF:
        n, lo, hi = 3, 0xA0 if lead == 0xE0 else 0x80, 0x9F if lead == 0xED else 0xBF
    elif 0xF0 <= lead <= 0xF4:
        n, lo, hi = 4, 0x90 if lead == 0xF0 else 0x80, 0x8F if lead == 0xF4 else 0xBF
    else:
        return None, 0
    if i + n > len(data) or not lo <= data[i + 1] <= hi:
        return None, 0
    cp = lead & (0x7F >> n)
    for k in range(1, n):
        if not 0x80 <= data[i + k] <= 0xBF:
            return None, 0
        cp = (cp << 6) | (data[i + k] & 0x3F)
    return cp, n


def title_in_code_page(name):
    """A map's name (UTF-8 bytes, or a single-byte file name's own bytes) as Windows-1252:
    "?" for each character the code page cannot hold, with no best fit."""
    out = bytearray()
    i = 0
    while i < len(name):
        cp, n = utf8_sequence(name, i)
        if n == 0:
            out.append(name[i])
            i += 1
            continue
        if cp < 0x80 or 0xA0 <= cp <= 0xFF:
            out.append(cp)
        else:
            out.append(CP1252_BYTE.get(cp, ord("?")))
        i += n
    return bytes(out)


class Staged:
    """The result of staging a map: names and decompressed contents."""

    def __init__(self, map_path):
        map_path = os.fsencode(map_path)
        self.kind = map_kind(map_path)
        self.folder = os.path.dirname(map_path)
        file_name = os.path.basename(map_path)
        self.mission_list = []     # names without extension
        self.temp = {}             # simulated temporary folder: name -> content
        if self.kind == CAMPAIGN:
            prefix = file_name[:3]
            self.mission_list = campaign_missions(self.folder, prefix)
            if not self.mission_list:
                self.mission_list = [b""]
            map_name = prefix + os.path.splitext(file_name)[1]
        else:
            map_name = file_name
        base = map_name[:-4]
        main_path = find_file(self.folder, map_name)
        stored = decompressed_name(main_path) if os.path.exists(main_path) else None
        data = gunzip(main_path)
        self.temp[stored] = data
        if stored != base and base not in self.temp:
            self.temp[base] = self.temp.pop(stored)
        entries = []
        for m in self.mission_list:
            path = os.path.join(self.folder, m)
            if not m or not os.path.isfile(path):
                raise ConversionError("Error opening " + os.fsdecode(path))
            self.temp[decompressed_name(path)] = gunzip(path)
            entries.append(m[:-4])
        self.mission_list = entries
        self.map_name = base

    def load(self, name):
        if name not in self.temp:
            raise ConversionError("Cannot open file \"%s\"" % os.fsdecode(name))
        return Container(self.temp[name])


# ---------------------------------------------------------------------------
# Map-level converters: objects and cliff marks
# ---------------------------------------------------------------------------

MARK_COMBINE = {
    1: lambda v: 3 if v in (2, 3) else 1,
    2: lambda v: 3 if v in (1, 3) else 2,
    3: lambda v: 3,
}


def convert_object(rec, name, cliffdata, grid, width, height):
    x, y, name_index, attr_byte, attr_word, variant = struct.unpack("<HHBBHH", rec)
    line = name + (" %d %d %d %d %d\n" % (x, y, variant, attr_byte, attr_word)).encode()
    if name_index == 8 and variant not in (56, 57):
        start = 49 * variant
        avail = cliffdata[start:start + 49]
        mask = avail + bytes(49 - len(avail))
        cx, cy = x // 32, y // 32
        for dy in range(-min(cy, 3), min(3, height - 1 - cy) + 1):
            for dx in range(-min(cx, 3), min(3, width - 1 - cx) + 1):
                m = mask[(dy + 3) * 7 + dx + 3]
                combine = MARK_COMBINE.get(m)
                if combine is not None:
                    cell = (cy + dy) * width + cx + dx
                    grid[cell] = combine(grid[cell])
    return line


# ---------------------------------------------------------------------------
# Terrain rhombs
# ---------------------------------------------------------------------------

OWN_SHAPES = frozenset((0, 3, 4, 5, 9, 10, 12))

# Scheme "Normal": (class, first code, last code, last plain code, partner type)
NORMAL_CLASSES = [
    (0, 0, 12, 12, 0),
    (2, 13, 69, 25, 0),
    (3, 70, 127, 79, 0),
    (4, 128, 186, 136, 0),
    (5, 187, 244, 196, 4),
    (6, 245, 290, 254, 0),
    (7, 291, 65535, 305, 0),
]
NORMAL_EXTRA_PLAIN = {4: range(185, 187), 7: range(355, 65536)}
NORMAL_SHAPES = {
    2: {1: (31, 43, 55, 63), 2: (35, 47, 67), 3: (33, 45, 57, 65), 4: (36, 48, 68),
        5: (27, 39, 51, 59), 6: (37, 49, 69), 7: (29, 41, 53, 61), 8: (34, 46, 66),
        9: (26, 38, 50, 58), 10: (28, 40, 52, 60), 11: (30, 42, 54, 62), 12: (32, 44, 56, 64)},
    3: {1: (85, 97, 109, 121), 2: (89, 101, 113, 125), 3: (87, 99, 111, 123),
        4: (91, 102, 114, 126), 5: (81, 93, 105, 117), 6: (90, 103, 115, 127),
        7: (83, 95, 107, 119), 8: (88, 100, 112, 124), 9: (80, 92, 104, 116),
        10: (82, 94, 106, 118), 11: (84, 96, 108, 120), 12: (86, 98, 110, 122)},
    4: {1: (142, 154, 166, 178), 2: (146, 158, 170, 182), 3: (144, 156, 168, 180),
        4: (148, 159, 171, 183), 5: (138, 150, 162, 174), 6: (147, 160, 172, 184),
        7: (140, 152, 164, 176), 8: (145, 157, 169, 181), 9: (137, 149, 161, 173),
        10: (139, 151, 163, 175), 11: (141, 153, 165, 177), 12: (143, 155, 167, 179)},
    5: {1: (198, 210, 222, 234), 2: (199, 211, 223, 235), 3: (200, 212, 224, 236),
        4: (201, 213, 225, 237), 5: (202, 214, 226, 238), 6: (203, 215, 227, 239),
        7: (204, 216, 228, 240), 8: (197, 209, 221, 233), 9: (205, 217, 229, 241),
        10: (206, 218, 230, 242), 11: (207, 219, 231, 243), 12: (208, 220, 232, 244)},
    6: {1: (260, 272, 284), 2: (264, 276, 288), 3: (262, 274, 286), 4: (265, 277, 289),
        5: (256, 268, 280), 6: (266, 278, 290), 7: (258, 270, 282), 8: (263, 275, 287),
        9: (255, 267, 279), 10: (257, 269, 281), 11: (259, 271, 283), 12: (261, 273, 285)},
    7: {1: (311, 323, 335, 347, 354), 2: (315, 327, 339, 350), 3: (313, 325, 337, 348),
        4: (316, 328, 340, 351), 5: (307, 319, 331, 343), 6: (317, 329, 341, 352),
        7: (309, 321, 333, 345), 8: (314, 326, 338, 349), 9: (306, 318, 330, 342),
        10: (308, 320, 332, 344), 11: (310, 322, 334, 346), 12: (312, 324, 336, 353)},
}

# Schemes "Beach" and "Island"
COAST_CLASSES = [
    (0, 0, 15, 15, 0),
    (4, 16, 73, 25, 0),
    (6, 74, 126, 78, 7),
    (7, 127, 65535, 142, 0),
]
COAST_EXTRA_PLAIN = {7: range(190, 65536)}
COAST_SHAPES = {
    4: {1: (31, 43, 55, 67), 2: (35, 47, 59, 71), 3: (33, 45, 57, 69), 4: (36, 48, 60, 72),
        5: (27, 39, 51, 63), 6: (37, 49, 61, 73), 7: (29, 41, 53, 65), 8: (34, 46, 58, 70),
        9: (26, 38, 50, 62), 10: (28, 40, 52, 64), 11: (30, 42, 54, 66), 12: (32, 44, 56, 68)},
    6: {1: (80, 92, 108, 116), 2: (81, 93, 112, 117), 3: (82, 94, 110, 118),
        4: (83, 95, 113, 119), 5: (84, 96, 104, 120), 6: (85, 97, 109, 114, 121),
        7: (86, 98, 106, 122), 8: (79, 91, 111, 115), 9: (87, 99, 103, 123),
        10: (88, 100, 105, 124), 11: (90, 102, 107, 126), 12: (89, 101, 125)},
    7: {1: (148, 160, 172, 183), 2: (153, 164, 176, 187), 3: (150, 162, 174, 185),
        4: (152, 166, 177, 188), 5: (144, 156, 168), 6: (154, 165, 178, 189),
        7: (146, 158, 170, 181), 8: (151, 163, 175, 186), 9: (143, 155, 167, 179),
        10: (145, 157, 169, 180), 11: (147, 159, 171, 182), 12: (149, 161, 173, 184)},
}


def build_rhomb_table(classes, extra_plain, shapes):
    """Every 16-bit tile code -> (terrain, class, shape); checks that each transition code
    has exactly one shape."""
    table = [None] * 65536
    for cls, first, last, last_plain, partner in classes:
        extra = extra_plain.get(cls, range(0))
        by_code = {}
        for shape, codes in shapes.get(cls, {}).items():
            for c in codes:
                if c in by_code or not last_plain < c <= last or c in extra:
                    raise AssertionError("shape table: code %d" % c)
                by_code[c] = shape
        plain = (cls, cls, 0)
        for code in range(first, last + 1):
            if code <= last_plain or code in extra:
                table[code] = plain
            else:
                shape = by_code[code]
                table[code] = (cls if shape in OWN_SHAPES else partner, cls, shape)
    assert None not in table
    return table


_RHOMB_TABLES = {}


def rhomb_table(scheme):
    """The tile table of a terrain scheme (0 "Normal"; 1 "Beach" and 2 "Island" share one)."""
    key = 0 if scheme == 0 else 1
    if key not in _RHOMB_TABLES:
        _RHOMB_TABLES[key] = (build_rhomb_table(NORMAL_CLASSES, NORMAL_EXTRA_PLAIN, NORMAL_SHAPES)
                              if key == 0 else
                              build_rhomb_table(COAST_CLASSES, COAST_EXTRA_PLAIN, COAST_SHAPES))
    return _RHOMB_TABLES[key]


def convert_rhomb(rec, table):
    code, level = struct.unpack("<HH", rec)
    terrain, cls, shape = table[code]
    return struct.pack("<BBHBBH", terrain, cls, shape, (level % 16) * 16 & 0xFF,
                       1 if level > 15 else 0, code)


# ---------------------------------------------------------------------------
# Unit lists and support
# ---------------------------------------------------------------------------

def crew_lines(subs, name_of, wide_id):
    out = []
    for s in subs:
        grp, hp, ammo, expa, lives, morale = s[:6]
        ident = u32(s, 6) if wide_id else u16(s, 6)
        out.append(b"  ID=" + name_of(ident) + (
            " HP=%d Ammo=%d Expa=%d Morale=%d Lives=%d Grp=%d\n"
            % (hp, ammo, expa, morale, lives, grp)).encode())
    return b"".join(out)


def convert_unit(head, subs, name_of, x0, y0):
    grp, hp, ammo, expa, lives, morale = head[:6]
    ident = u16(head, 6)
    n_in, crew = head[10], head[11]
    u, v = u16(head, 12), u16(head, 14)
    direction, owner = head[16], head[17]
    text = b" ID=" + name_of(ident) + (
        " HP=%d Ammo=%d Expa=%d Morale=%d Lives=%d Grp=%d Crew=%d"
        % (hp, ammo, expa, morale, lives, grp, crew)).encode()
    if n_in:
        text += b" In=%d" % n_in
    text += b" U=%d V=%d Dir=%d Owner=%d \n" % (
        wrap32(u + x0 * 32), wrap32(v + y0 * 32), direction, owner)
    return text + crew_lines(subs, name_of, False)


def convert_support_unit(head, subs, name_of):
    grp, hp, ammo, expa, lives, morale = head[:6]
    ident = u32(head, 6)
    n_in, crew = head[10], head[11]
    text = b" ID=" + name_of(ident) + (
        " HP=%d Ammo=%d Expa=%d Morale=%d Lives=%d Grp=%d Crew=%d"
        % (hp, ammo, expa, morale, lives, grp, crew)).encode()
    if n_in:
        text += b" In=%d" % n_in
    text += b" \n"
    return text + crew_lines(subs, name_of, True)


def convert_support_flag(rec, x0, y0):
    fx, fy, sx, sy, param = struct.unpack("<iiiii", rec)
    if fx == -1:
        return b"flag -1,-1,0,-1,-1\n"
    return b"flag %d,%d,%d,%d,%d\n" % (
        wrap32(fx + x0), wrap32(fy + y0), param, wrap32(sx + x0), wrap32(sy + y0))


def wrap32(v):
    return ((v + 2**31) % 2**32) - 2**31


def read_unit_record(stream, head_size):
    head = stream.record(head_size)
    n = head[10] + head[11]
    subs = [stream.record(10) for _ in range(n)]
    subs.reverse()
    return head, subs


# ---------------------------------------------------------------------------
# Sounds
# ---------------------------------------------------------------------------

def format_worse(value):
    if math.isnan(value):
        return b"NAN"
    if math.isinf(value):
        return b"INF" if value > 0 else b"-INF"
    return ("%2.6f" % value).encode()


def convert_sound(rec):
    name = cut_nul(rec[:64])
    u, v, radius = struct.unpack_from("<HHH", rec, 64)
    worse = struct.unpack_from("<f", rec, 70)[0]
    min_wait, max_wait = struct.unpack_from("<HH", rec, 74)
    return (b'Name="' + name + b'"\n' + b"U=%d\nV=%d\nRadius=%d\n" % (u, v, radius)
            + b"Worse=" + format_worse(worse) + b"\n"
            + b"MinWait=%d\nMaxWait=%d\n\n" % (min_wait, max_wait))


# ---------------------------------------------------------------------------
# Players
# ---------------------------------------------------------------------------

AIRCRAFT_KINDS = (b"plane bomber", b"plane spy", b"plane transport", b"plane boxer",
                  b"plane interceptor")


def convert_player(rec):
    name = cut_nul(rec[0:32])
    team, colour, nation, planesdir = rec[32], u16(rec, 33), rec[35], rec[36]
    out = [b'name="' + name + b'"\n ',
           b"team=%d\n " % team,
           b"nation=%d\n " % nation,
           b"color=%d %d %d\n " % ((colour >> 8) & 248, 2 * ((colour >> 4) & 127), 8 * (colour & 15))]
    for k, kind in enumerate(AIRCRAFT_KINDS):
        e = rec[37 + 44 * k:37 + 44 * (k + 1)]
        number, bombs, reload = struct.unpack_from("<iii", e, 32)
        out.append(kind + b"\n  ID=" + cut_nul(e[:32]) + b"\n  "
                   + b"Number=%d\n  Bombs=%d\n  Reload=%d\n " % (number, bombs, reload))
    for d in range(2):
        e = rec[257 + 70 * d:257 + 70 * (d + 1)]
        out.append(b"descent %d\n  group=%d\n  expa=%d\n " % (d, e[0], e[1]))
        for j in range(4):
            out.append(b" ID %d=" % j + cut_nul(e[2 + 16 * j:18 + 16 * j])
                       + b"\n  number %d=%d\n " % (j, e[66 + j]))
    out.append(b"planesdir=%d\n" % planesdir)
    return b"".join(out)


def is_ascii_letter(c):
    return 65 <= c <= 90 or 97 <= c <= 122


# ---------------------------------------------------------------------------
# Groups and AI
# ---------------------------------------------------------------------------

AI_TYPES = (b"ai_none", b"ai_recon", b"ai_sold_guard", b"ai_sold_follow", b"ai_sold_art",
            b"ai_tank_guard", b"ai_tank_follow", b"ai_furg_help", b"ai_furg_move",
            b"ai_furg_reload", b"ai_katya_move", b"ai_plane_move", b"ai_train_move",
            b"ai_furg_transport", b"", b"")
LOW_FLAGS = [(7, b" aif_useobjects"), (6, b" aif_zonenoemeny"), (5, b" aif_zonehaveown"),
             (4, b" aif_rndmove"), (15, b" aif_atgnotow"), (14, b" aif_atgnomove"),
             (13, b" aif_atgzonenoenemy"), (12, b" aif_atgzonehaveown"), (11, b" aif_atgnouse"),
             (10, b" aif_zrestrict"), (9, b" aif_grestrict"), (8, b" aif_rndtarget"),
             (23, b" aif_domnouse"), (22, b" aif_gaubnodrop"), (21, b" aif_gaubnotow"),
             (20, b" aif_gaubnomove"), (19, b" aif_gaubzonenoenemy"),
             (18, b" aif_gaubzonehaveown"), (17, b" aif_gaubnouse"), (16, b" aif_atgnodrop")]
NO_TICKS = 0x7FFFFFFF
DEFAULT_GROUP = bytes(24) + bytes((100, 100, 0, 50))


def ticks25(v):
    # signed division by 25, remainder dropped towards zero
    return v // 25 if v >= 0 else -((-v) // 25)


def convert_group(rec):
    (flags, zone1, zone2, group1, group2, res_flag, res_zone, atime, delay, minimum, force,
     hp, ammo, expa, morale) = struct.unpack("<IBBBBBBiiHiBBBB", rec)
    out = [b' ai type="' + AI_TYPES[flags & 15] + b'"',
           b" group1=%d group2=%d zone1=%d zone2=%d\n" % (group1, group2, zone1, zone2),
           b"  aiflags="]
    for bit, text in LOW_FLAGS:
        if flags & (1 << bit):
            out.append(text)
    top = flags >> 24
    if top >= 8:
        out.append(b" aif_ezdnouse")
        top -= 8
    if top >= 4:
        out.append(b" aif_holdfire")
        top -= 4
    if top >= 2:
        out.append(b" aif_domhide")
        top -= 2
    if top == 1:
        out.append(b" aif_domambush")
    out.append(b"\n")
    r = 2 if atime > 0 else 0
    if minimum > 0:
        r += 4
    if force != NO_TICKS:
        r += 8
    if r > 0:
        r += 1
    out.append(b" reserv auto=%d" % r)
    out.append(b" delay=0" if delay == NO_TICKS else b" delay=%d" % ticks25(delay))
    out.append(b" min=0" if minimum >= 32767 else b" min=%d" % minimum)
    out.append(b" force=0" if force == NO_TICKS else b" force=%d" % ticks25(force))
    out.append(b" atime=%d" % ticks25(atime))
    if r == 0:
        out.append(b" flag=0 zone=0")
    else:
        out.append(b" flag=%d zone=%d" % (res_flag, res_zone))
    out.append(b" hp=%d ammo=%d expa=%d morale=%d\n" % (hp, ammo, expa, morale))
    return b"".join(out)


# ---------------------------------------------------------------------------
# Scripts
# ---------------------------------------------------------------------------

SCRIPT_ROWS_V2 = """\
3 ug UMSK ? ug1 Grp ? sp_8 CABE ? sp_9 N1 ?
4 up UMSK ? up1 Plr ? sp_b CABE ? sp_c N1 ?
5 ugl CABE ? sp_l N1 ? umx0 Grp ? ugl1 L ?
6 upl CABE ? sp_n N1 ? umx2 Plr ? upl1 L ?
8 sppl I ? spc PT ? sppl1 P ? sppl2 L ? sppl17 Airfieldw0 ?
9 pkp Plr ? pkp1 CABE ? sp_d N1 ? sp_e PT ?
10 pkf Plr ? pkf1 CABE ? sp_f N1 ? pkf2 PT ?
11 etc
12 strt Tr ? strt1 T ?
13 stpt Tr ?
14 mstl L ?
15 sp phrs ?
16 scd T ?
17 snm mission ?
18 tm F ?
19 sgb G ? sgb1 AI ?
20 sgl1 G ? sgl11 L ?
21 sgl2 G ? sgl21 L ?
22 sgg1 G ? sgg11 G ?
23 sgg2 G ? sgg21 G ?
24 app P ? spc I ? spc PT ?
25 afp P ? spc I ? afp1 PT ?
27 te Tr ?
28 cd CABE ? sp_5 T ?
29 tms CAB ? sp_6 T ?
30 ugl% CABE ? sp_m N1 ? umx1 Grp ? ugl1 L ?
31 upl% CABE ? sp_o N1 ? umx3 Plr ? upl1 L ?
32 ug%u UMSK ? umx4 Grp ? sp_7 CABE ? sp_k N1 ? ugut1 UMSK ? ug%u1 Grp ?
33 up% UMSK ? up%u1 Plr ? sp_a CABE ? sp_k N1 ? ugut1 UMSK ? up%u2 Plr ?
34 aigb Grp ? aigb1 AI ?
35 aiz1 Grp ? aiz_1 L ?
36 aiz2 Grp ? aiz_2 L ?
37 aig1 Grp ? aig_1 Grp ?
38 aig2 Grp ? aig_2 Grp ?
39 ru G ? ru1 flg ? ru2 L ? ru3 T ? ru4 I ? ru5 I ? ru6 I ? ru7 I ?
40 srfs P ? srfs0 resv ? srfs1 flg ? srfs2 L ? srfs3 T ?
41 oid Obj ? oid1
42 spto I ? spc PT ? spto1 P ? spto2 Obj ? spto17 Airfieldw0 ?
43 sat
44 arpo Obj ?
45 aspo Obj ?
46 sppa I ? spc PT ? sppa1 P ? sppa2 Airfieldw0 ?
47 lccv Lvar ? lccv1 Rvar ?
48 mo Lvar ? spc Math ? spc Rvar ?
49 gwata Grp ? gwata1 CABE ? sp_r T ? gwata2
50 vic Lvar ? sp_p CABE ? sp_q Rvar ?
51 mist
52 sres resv ? sres1 resv ? sres2 resv ? sres3 resv ? sres4 resv ? sres5 T ?
53 fres Fmask ? fres0 resv ? fres1 resv ? fres2 resv ? fres3 resv ? fres4 resv ? fres5 T ?
54 pff Fmask ? spc I ? spc PT ?
55 mff Fmask ? spc phrs ?
56 fpff Fmask ? spc I ? fpff1_ PT ?
57 sppo phrs ? sppo1 Obj ?
58 dgp G ? dgp1 P ?
59 fvkgz G ? fvkgz1 L ?
60 fvkgo G ? fvkgo1 Obj ?
61 sle%
62 cf Force ?
63 ag2f G ? ag2f1 Force ?
64 al2f L ? al2f1 Force ?
65 a2f Force ?
66 rg2f ERROR
67 rl2f ERROR
68 rnl2f ERROR
69 puf2l Force ? puf2l1 L ?
70 puf2lsg Force ? puf2lsg1 L ? puf2lsg2 G ? puf2lsg3
71 frff resv ? frff1 Force ?
72 frffsg resv ? frffsg1 Force ? frffsg2 G ? frffsg3
73 rp2rf ERROR
74 rp2rftm ERROR
75 spogaf I ? spogaf1 G ? spogaf2 Airfield ?
76 sper Tr ? sper1 T ?
77 fvhgz G ? fvhgz1 L ?
78 fvhgo G ? fvhgo1 Obj ?
79 apz4g L ? spc L ? apz4g1 G ?
80 spz4g G ?
81 cpz4g G ?
82 ugizsg G ? ugizsg1 G ? ugizsg2 L ?
83 safuig Attribute ? spc Moreless ? spc Percent ? safuig1 G ?
84 ap2f P ? ap2f1 Force ?
85 kuogtf G ? kuogtf1 flg ?
86 kuiztf L ? kuiztf1 flg ?
87 smd phrs ?
88 sdmpo phrs ? smdpo1 Obj ?
89 sofp Obj ? sofp1 I ? sofp2 P ?
90 uf Force ? uf1 CABE ? uf2 N1 ?
91 ga Grp ? ga1 Ammo ? ga2 CABE ? ga3 Percent ? ga4
92 fvv2gz G ? fvv2gz1 L ?
93 ugp UMSK ? ugp1 Plr ? ugp2 Grp ? ugp3 CABE ? ugp4 N1 ?
94 inrein
95 fresg ERROR
96 oir ERROR
97 acnug ERROR
"""

SCRIPT_ROWS_V1 = """\
5 ugl CABE ? N1 ? umx0 Grp ? ugl1 L ?
6 upl CABE ? N1 ? umx2 Plr ? upl1 L ?
30 ugl% CABE ? N1 ? umx1 Grp ? ugl1 L ?
31 upl% CABE ? N1 ? umx3 Plr ? upl1 L ?
49 gwata Grp ? gwata1 CAB ? T ? gwata2
50 vic Lvar ? CABE ? Rvar ?
"""


def parse_rows(text):
    rows = {}
    for line in text.splitlines():
        parts = line.split()
        # "fpff1_" stands for the word with its trailing blank
        items = [None if p == "?" else p.replace("fpff1_", "fpff1 ").encode() for p in parts[2:]]
        rows[int(parts[0])] = (parts[1].encode(), items)
    return rows


def script_tables():
    v2 = {1: (b"&", []), 2: (b"|", []), 26: (b"nF", []), 7: (b"!", [])}
    v2.update(parse_rows(SCRIPT_ROWS_V2))
    v1 = dict(v2)
    v1.update(parse_rows(SCRIPT_ROWS_V1))
    assert sorted(v2) == list(range(1, 98)) and all(len(r[1]) <= 23 for r in v2.values())
    return {1: v1, 2: v2}


SCRIPT_TABLES = script_tables()
SEVEN_BLOCK = b"$\\\\n\n"


def format_value(v):
    n = 0x7FFFFF00 + (v - 0xFF00) if v >= 0xFF00 else v
    digits = str(n)[::-1] if n else ""
    return b"#" + digits.encode() + b"\n"


def statement_text(items, table):
    code_item = items[-1]
    code = code_item & 0xFFFF
    if code == 0xFFFF:
        return b""
    if code_item == 7:
        return b"$END\n!\n"
    row = table.get(code)
    if row is None:
        raise ConversionError("Unknown script code %d" % code)
    name, words = row
    out = [b"$" + name + b"\n"]
    taken = 0
    for w in words:
        if w is None:
            if taken >= len(items):
                raise list_index_error(taken)
            out.append(format_value(items[taken] & 0xFFFF))
            taken += 1
        else:
            out.append(b"$" + w + b"\n")
    return b"".join(out)


def read_statement(stream):
    items = []
    while True:
        item = struct.unpack("<I", stream.exact(4))[0]
        items.append(item)
        if (item >> 16) in (0, 0x7FFF):
            return items


def convert_script(stream, index, table):
    stream.exact(8)
    blocks = []
    connective = False
    seven = False
    previous_code = None
    while True:
        if previous_code == 7:
            seven = True
        items = read_statement(stream)
        code_item = items[-1]
        previous_code = code_item
        text = statement_text(items, table)
        if code_item in (1, 2, 26):
            if connective:
                if not blocks:
                    raise list_index_error(-1)
                blocks[-1] = b"$(\n" + blocks[-1] + b"$)\n"
            if code_item in (1, 2):
                if len(blocks) < 2:
                    raise list_index_error(len(blocks) - 2)
                blocks[-2] = blocks[-2] + text + blocks[-1]
                blocks.pop()
            else:
                if not blocks:
                    raise list_index_error(-1)
                blocks[-1] = text + blocks[-1]
            connective = True
        else:
            blocks.append(text)
            connective = False
        if seven:
            blocks.append(SEVEN_BLOCK)
        if code_item & 0xFFFF == 0xFFFF:
            break
    blocks.pop()
    blocks.append(b"$END\n")
    body = b"".join(blocks)
    label = ("Script 0%d" % index) if index < 10 else ("Script %d" % index)
    return b'script "' + label.encode() + b'" size %d\n' % len(body) + body + b"\r\n"


# ---------------------------------------------------------------------------
# The conversion run
# ---------------------------------------------------------------------------

GRID = 512


class Conversion:
    def __init__(self, staged, out_dir, cliffdata, version_kind, past_end="zero"):
        self.staged = staged
        # Records of a counted list that lie wholly past the end of the stream: "zero" reads
        # them zero-filled (the project's rule); "stop" ends the list there instead.
        self.stop_at_end = past_end == "stop"
        self.kind = staged.kind
        self.out = os.fsencode(out_dir)
        self.cliffdata = cliffdata
        self.version_kind = version_kind
        self.container = None
        self.scheme = 0
        self.width = 0
        self.height = 0
        self.grid = bytearray()
        self.rect = (0, 0, 0, 0)
        self.mission_folder = None

    # -- helpers -------------------------------------------------------------
    def at_end(self):
        return self.stop_at_end and self.container.stream.pos >= len(self.container.stream)

    def write(self, folder, name, content):
        path = os.path.join(folder, os.fsencode(name))
        if os.path.lexists(path):
            os.remove(path)
        with open(path, "wb") as f:
            f.write(content)

    def section_copy(self, section):
        e = self.container.seek(self.kind, section)
        return self.container.stream.exact(e.size)

    # -- map-level files -------------------------------------------------------
    def write_desc(self):
        if self.kind == CAMPAIGN:
            text = b"Campaign %d" % parse_decimal(self.staged.map_name)
        else:
            text = title_in_code_page(self.staged.map_name)
        self.write(self.out, "desc", text[:255])

    def write_map_info(self):
        self.container.seek(self.kind, "map_info")
        rec = self.container.stream.record(12)
        self.scheme = u32(rec, 0)
        self.width = i32(rec, 4)
        self.height = i32(rec, 8)
        self.write(self.out, "info", bytes(4) + rec)

    def write_airfields(self):
        self.write(self.out, "airfields", self.section_copy("airfields"))

    def write_objects(self):
        c = self.container
        width, height = self.width, self.height
        self.grid = bytearray(width * height if width > 0 and height > 0 else 0)
        pos = POSITIONS["objects"][self.kind]
        count_entry = c.entry_at(pos)
        count = int(count_entry.size / 10)
        if pos + c.pmini >= len(c.entries):
            count = 0
        c.stream.pos = c.entry_at(pos + c.pmini).offset
        names_offset = c.entry(self.kind, "object_names").offset
        out = []
        for _ in range(max(count, 0)):
            if self.at_end():
                break
            rec = c.stream.record(10)
            name = c.name16(names_offset, rec[4])
            out.append(convert_object(rec, name, self.cliffdata, self.grid, width, height))
        self.write(self.out, "objects", b"".join(out))

    def write_rhombs(self):
        e = self.container.seek(self.kind, "rhombs")
        n = int(e.size / 4)
        out = []
        if self.scheme in (0, 1, 2):
            table = rhomb_table(self.scheme)
            for _ in range(max(n, 0)):
                if self.at_end():
                    break
                out.append(convert_rhomb(self.container.stream.record(4), table))
        self.write(self.out, "rhombs", b"".join(out))

    def write_cflags(self):
        c = self.container
        e1 = c.seek(self.kind, "cflags1")
        words = []
        for r in range(max(int(e1.size / 4), 0)):
            if self.at_end():
                break
            rec = c.stream.record(4)
            b0, b1 = rec[0], rec[1]
            hi, lo = b0 >> 4, b0 & 15
            w = lo - hi if lo > hi else 0
            mark = self.grid[r] if r < len(self.grid) else 0
            if not b1 & 0x80:
                w |= 0x40
            if mark <= 3:
                w |= ((((b1 >> 4) & 3) ^ mark) << 4)
            if b1 & 15 == 8:
                w |= 0x4000
            words.append(w)
        e2 = c.seek(self.kind, "cflags2")
        for r in range(min(max(e2.size, 0), len(words))):
            if c.stream.record(1)[0] == 1:
                words[r] |= 1 << 9
        e3 = c.seek(self.kind, "cflags3")
        for r in range(min(max(int(e3.size / 2), 0), len(words))):
            v = u16(c.stream.record(2), 0)
            words[r] = (words[r] + ((v & 0x0F00) << 2)) & 0xFFFF
        self.write(self.out, "cflags", b"".join(struct.pack("<H", w) for w in words))

    # -- mission files ---------------------------------------------------------
    def mwrite(self, name, content):
        self.write(self.mission_folder, name, content)

    def write_info(self):
        c = self.container
        if self.kind == CAMPAIGN:
            c.seek(self.kind, "mission_rect")
            self.rect = struct.unpack("<iiii", c.stream.record(16))
        else:
            self.rect = (0, 0, self.width, self.height)
        out = [struct.pack("<iiii", *self.rect)]
        c.seek(self.kind, "mission_info")
        rec = c.stream.record(368)
        out.append(rec[0:4] + rec[324:328])
        for lo, hi in ((4, 68), (68, 324), (328, 368)):
            text = cut_nul(rec[lo:hi])
            out.append(struct.pack("<I", len(text)) + text)
        self.mwrite("info", b"".join(out))

    def write_desc_and_picture(self):
        self.mwrite("desc", b"Mission #%d" % parse_decimal(self.mission_name[4:7]))
        self.mwrite("JPG1024.jpg", self.section_copy("picture"))

    def write_groups(self):
        c = self.container
        if self.kind != MULTI:
            c.seek(self.kind, "groups")
        out = []
        for n in range(100):
            out.append(b"Group %d\n" % n)
            rec = c.stream.record(28) if self.kind != MULTI else DEFAULT_GROUP
            out.append(convert_group(rec))
        self.mwrite("groups", b"".join(out))

    def name_of(self):
        offset = self.container.entry(self.kind, "unit_names").offset
        return lambda index: self.container.name16(offset, index)

    def write_support(self):
        c = self.container
        x0, y0 = self.rect[0], self.rect[1]
        c.seek(self.kind, "support_flags")
        out = [convert_support_flag(c.stream.record(20), x0, y0) for _ in range(16)]
        out.append(b"\n")
        c.seek(self.kind, "support_groups")
        name_of = self.name_of()
        for g in range(64):
            count = c.stream.i32()
            if count <= 0:
                out.append(b'support ""\n')
            else:
                out.append(b'support "support #%d"\n' % g)
                for _ in range(count):
                    head, subs = read_unit_record(c.stream, 12)
                    out.append(convert_support_unit(head, subs, name_of))
            out.append(b"end\n")
        self.mwrite("support", b"".join(out))

    def write_sounds(self):
        c = self.container
        c.seek(self.kind, "sounds")
        count = c.stream.i32()
        out = []
        for _ in range(max(count, 0)):
            if self.at_end():
                break
            out.append(convert_sound(c.stream.record(78)))
        self.mwrite("sounds", b"".join(out))

    def write_grid(self, section, name):
        c = self.container
        x0, y0, width, height = self.rect
        grid = bytearray(GRID * GRID)
        c.seek(self.kind, section)
        for r in range(max(height, 0)):
            row = c.stream.exact(width) if width > 0 else b""
            y = y0 + r
            if not 0 <= y < GRID:
                continue
            first = max(0, -x0)
            last = min(len(row), GRID - x0)
            if first < last:
                base = y * GRID + x0
                grid[base + first:base + last] = row[first:last]
        self.mwrite(name, bytes(grid))

    def write_objs(self):
        c = self.container
        x0, y0 = self.rect[0], self.rect[1]
        c.seek(self.kind, "mission_objects")
        out = []
        for i in range(100):
            x, y = struct.unpack("<HH", c.stream.record(4))
            if x != 0 or i == 0:
                out.append(le_i32(x + x0) + le_i32(y + y0))
            else:
                out.append(bytes(8))
        self.mwrite("objs", b"".join(out))

    def write_mismult(self):
        if self.kind == MULTI:
            self.mwrite("mismult", self.section_copy("mismult"))
        else:
            self.mwrite("mismult", struct.pack("<iiii", 2, 12, 2, 4))

    def write_players(self):
        c = self.container
        c.seek(self.kind, "players")
        count = c.stream.i32()
        out = []
        for n in range(max(count, 0)):
            if self.at_end():
                break
            rec = bytearray(c.stream.record(397))
            out.append(b"Player %d\n " % n)
            name = cut_nul(bytes(rec[:32]))
            if self.kind == MULTI or not name or not is_ascii_letter(name[0]):
                fixed = b"Player %d" % (n + 1)
                rec[0:len(fixed) + 1] = fixed + b"\0"
            out.append(convert_player(bytes(rec)))
        self.mwrite("players", b"".join(out))

    def write_mapunits(self):
        c = self.container
        c.seek(self.kind, "map_units")
        count = c.stream.i32()
        name_of = self.name_of()
        out = []
        for _ in range(max(count, 0)):
            if self.at_end():
                break
            head, subs = read_unit_record(c.stream, 18)
            out.append(convert_unit(head, subs, name_of, self.rect[0], self.rect[1]))
        self.mwrite("mapunits", b"".join(out))

    def write_scripts(self):
        c = self.container
        c.seek(self.kind, "scripts")
        count = c.stream.i32()
        table = SCRIPT_TABLES[self.version_kind]
        out = [convert_script(c.stream, i, table) for i in range(max(count, 0))]
        self.mwrite("scripts2", b"".join(out))

    # -- driver ------------------------------------------------------------------
    def run(self):
        os.makedirs(self.out, exist_ok=True)
        self.container = self.staged.load(self.staged.map_name)
        self.write_desc()
        self.write_map_info()
        self.write_airfields()
        self.write_objects()
        self.write_rhombs()
        self.write_cflags()
        missions = self.staged.mission_list if self.kind == CAMPAIGN else [None]
        for entry in missions:
            if self.kind == CAMPAIGN:
                self.container = self.staged.load(entry)
                self.mission_name = b"mis." + entry[3:6]
            else:
                self.mission_name = b"mis.000"
            self.mission_folder = os.path.join(self.out, self.mission_name)
            os.makedirs(self.mission_folder, exist_ok=True)
            self.write_info()
            self.write_desc_and_picture()
            self.write_groups()
            self.write_support()
            self.write_sounds()
            self.write_grid("mines", "mines")
            self.write_grid("locations", "locations")
            self.mwrite("phrases2", self.section_copy("phrases"))
            self.write_objs()
            self.write_mismult()
            self.mwrite("misdesc", self.section_copy("misdesc"))
            self.write_players()
            self.write_mapunits()
            self.write_scripts()


# ---------------------------------------------------------------------------
# Command line
# ---------------------------------------------------------------------------

def info(map_path):
    map_path = os.fsencode(map_path)
    kind = map_kind(map_path)
    if kind == CAMPAIGN:
        # a campaign is always read through its main file, also when a mission file is named
        name = os.path.basename(map_path)
        map_path = find_file(os.path.dirname(map_path), name[:3] + os.path.splitext(name)[1])
    container = Container(gunzip(map_path))
    rec = container.stream.bytes_at(container.entry(kind, "map_info").offset, 12)
    if kind == CAMPAIGN:
        missions = len(campaign_missions(os.path.dirname(map_path),
                                         os.path.basename(map_path)[:3]))
    else:
        missions = 1
    return {
        "kind": KIND_NAMES[kind],
        "scheme": u32(rec, 0),
        "width": i32(rec, 4),
        "height": i32(rec, 8),
        "missions": missions,
        "sections": [{"name": e.name.decode("cp1252", errors="replace"),
                      "size": e.size, "offset": e.offset} for e in container.entries],
    }


def convert_whole(staged, out_dir, cliffdata, version_kind, past_end="zero"):
    """A conversion reaches its folder whole or not at all: it is written into a folder beside
    out_dir that takes out_dir's place only when every step has succeeded; a failure removes it
    and leaves out_dir as it was. (What out_dir held before is kept elsewhere by the program; the
    comparisons always start from a folder that does not exist.)"""
    work = os.fsdecode(out_dir).rstrip("/") + ".converting"
    shutil.rmtree(work, ignore_errors=True)
    try:
        Conversion(staged, work, cliffdata, version_kind, past_end).run()
    except ConversionError:
        shutil.rmtree(work, ignore_errors=True)
        raise
    shutil.rmtree(out_dir, ignore_errors=True)
    os.rename(work, out_dir)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = parser.add_subparsers(dest="command", required=True)
    p_info = sub.add_parser("info")
    p_info.add_argument("map")
    p_conv = sub.add_parser("convert")
    p_conv.add_argument("map")
    p_conv.add_argument("--out", required=True)
    p_conv.add_argument("--cliffdata", required=True)
    p_conv.add_argument("--game-version", default="2.2")
    p_conv.add_argument("--past-end", choices=("zero", "stop"), default="zero",
                        help="records of a counted list wholly past the end of the stream")
    args = parser.parse_args(argv)
    try:
        if args.command == "info":
            print(json.dumps(info(args.map), indent=2, sort_keys=True, ensure_ascii=False))
            return 0
        with open(args.cliffdata, "rb") as f:
            cliffdata = f.read()
        staged = Staged(args.map)
        version_kind = 1 if args.game_version == "1.9" else 2
        convert_whole(staged, args.out, cliffdata, version_kind, args.past_end)
        return 0
    except ConversionError as e:
        print("kartwerk_ref: %s" % e, file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main())
