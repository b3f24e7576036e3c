#!/usr/bin/env python3
"""Checks the reference converter against hand-worked records before it is trusted as a yardstick.

Every expectation here is worked out by hand from the record layouts, independently of the
code under test; a failure means the reference itself is wrong.
"""

import os
import struct
import sys

sys.dont_write_bytecode = True     # keep the source tree free of caches
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kartwerk_ref as ref  # noqa: E402


def rhomb(code, level, table):
    return ref.convert_rhomb(struct.pack("<HH", code, level), table)


def script_bytes(*statements):
    """A script: 8-byte head, then statements given as lists of 32-bit items."""
    items = [0x11111111, 0x22222222]
    for st in statements:
        items.extend(st)
    return struct.pack("<%dI" % len(items), *items)


def run_script(data, index=0, version=2):
    return ref.convert_script(ref.Stream(data), index, ref.SCRIPT_TABLES[version])


END = [0xFFFF]


def arg(v):
    """An argument item carrying value v."""
    return 0x00010000 | v


class Rhombs(unittest.TestCase):
    def test_normal_scheme(self):
        t = ref.rhomb_table(0)
        self.assertEqual(rhomb(0, 0, t), bytes(8))
        self.assertEqual(rhomb(100, 3, t), bytes.fromhex("0003080030006400"))
        cases = {12: (0, 0, 0), 13: (2, 2, 0), 26: (2, 2, 9), 31: (0, 2, 1), 197: (4, 5, 8),
                 202: (5, 5, 5), 185: (4, 4, 0), 186: (4, 4, 0), 290: (0, 6, 6), 291: (7, 7, 0),
                 354: (0, 7, 1), 355: (7, 7, 0), 65535: (7, 7, 0)}
        for code, want in cases.items():
            with self.subTest(code=code):
                self.assertEqual(t[code], want)

    def test_levels(self):
        for level, low, high in ((15, 240, 0), (16, 0, 1), (31, 240, 1), (40, 128, 1), (24, 128, 1)):
            out = rhomb(0, level, ref.rhomb_table(0))
            self.assertEqual((out[4], out[5]), (low, high), level)

    def test_coast_schemes(self):
        t = ref.rhomb_table(1)
        self.assertEqual(rhomb(80, 20, t), bytes.fromhex("0706010040015000"))
        cases = {15: (0, 0, 0), 16: (4, 4, 0), 26: (4, 4, 9), 31: (0, 4, 1), 79: (7, 6, 8),
                 114: (7, 6, 6), 125: (6, 6, 12), 127: (7, 7, 0), 143: (7, 7, 9), 189: (0, 7, 6),
                 190: (7, 7, 0), 65535: (7, 7, 0)}
        for code, want in cases.items():
            with self.subTest(code=code):
                self.assertEqual(t[code], want)


class Objects(unittest.TestCase):
    def test_line_and_unsigned_numbers(self):
        rec = struct.pack("<HHBBHH", 65535, 2000, 3, 1, 0, 3)
        grid = bytearray(16)
        line = ref.convert_object(rec, b"tree", b"", grid, 4, 4)
        self.assertEqual(line, b"tree 65535 2000 3 1 0\n")
        self.assertEqual(grid, bytearray(16))

    def test_cliff_in_corner_stamps_lower_right_quarter(self):
        mask = bytes([1] * 49)
        grid = bytearray(10 * 10)
        ref.convert_object(struct.pack("<HHBBHH", 0, 0, 8, 0, 0, 0), b"c", mask, grid, 10, 10)
        marked = {(i % 10, i // 10) for i, v in enumerate(grid) if v}
        self.assertEqual(marked, {(x, y) for x in range(4) for y in range(4)})

    def test_last_column_does_not_wrap(self):
        mask = bytes([2] * 49)
        grid = bytearray(100 * 80)
        ref.convert_object(struct.pack("<HHBBHH", 99 * 32 + 5, 40 * 32, 8, 0, 0, 0), b"c", mask,
                           grid, 100, 80)
        cols = {i % 100 for i, v in enumerate(grid) if v}
        self.assertEqual(cols, {96, 97, 98, 99})

    def test_marks_combine_and_variants_56_57_skip(self):
        grid = bytearray(49)
        masks = bytes([1] * 49) + bytes([2] * 49)
        ref.convert_object(struct.pack("<HHBBHH", 96, 96, 8, 0, 0, 1), b"c", masks, grid, 7, 7)
        ref.convert_object(struct.pack("<HHBBHH", 96, 96, 8, 0, 0, 0), b"c", masks, grid, 7, 7)
        self.assertEqual(set(grid), {3})
        grid = bytearray(49)
        big = bytes([3] * 49 * 58)
        for variant in (56, 57):
            ref.convert_object(struct.pack("<HHBBHH", 96, 96, 8, 0, 0, variant), b"c", big, grid, 7, 7)
        ref.convert_object(struct.pack("<HHBBHH", 96, 96, 9, 0, 0, 1), b"c", big, grid, 7, 7)
        self.assertEqual(set(grid), {0})


class Groups(unittest.TestCase):
    def test_default_record(self):
        self.assertEqual(ref.convert_group(ref.DEFAULT_GROUP),
                         b' ai type="ai_none" group1=0 group2=0 zone1=0 zone2=0\n'
                         b"  aiflags=\n"
                         b" reserv auto=9 delay=0 min=0 force=0 atime=0 flag=0 zone=0"
                         b" hp=100 ammo=100 expa=0 morale=50\n")

    def test_flags_reserve_and_ticks(self):
        rec = struct.pack("<IBBBBBBiiHiBBBB", 0x100000F0 | 14, 1, 2, 3, 4, 5, 6, -30,
                          0x7FFFFFFF, 65535, 0x7FFFFFFF, 1, 2, 3, 4)
        lines = ref.convert_group(rec).split(b"\n")
        self.assertEqual(lines[0], b' ai type="" group1=3 group2=4 zone1=1 zone2=2')
        self.assertEqual(lines[1], b"  aiflags= aif_useobjects aif_zonenoemeny aif_zonehaveown"
                                   b" aif_rndmove aif_ezdnouse aif_holdfire aif_domhide")
        self.assertEqual(lines[2], b" reserv auto=5 delay=0 min=0 force=0 atime=-1 flag=5 zone=6"
                                   b" hp=1 ammo=2 expa=3 morale=4")

    def test_reserve_code_zero_hides_flag_and_zone(self):
        rec = struct.pack("<IBBBBBBiiHiBBBB", 0, 0, 0, 0, 0, 9, 9, 0, 0x7FFFFFFF, 0,
                          0x7FFFFFFF, 0, 0, 0, 0)
        self.assertIn(b" reserv auto=0 delay=0 min=0 force=0 atime=0 flag=0 zone=0",
                      ref.convert_group(rec))


class Scripts(unittest.TestCase):
    def test_end_only(self):
        self.assertEqual(run_script(script_bytes(END)), b'script "Script 00" size 5\n$END\n\r\n')

    def test_value_slot_and_reversed_digits(self):
        out = run_script(script_bytes([arg(0), 13], [arg(0xFF05), 13], [arg(10), 13], END),
                         index=11)
        self.assertEqual(out, b'script "Script 11" size 53\n'
                              b"$stpt\n$Tr\n#\n$stpt\n$Tr\n#7933847412\n$stpt\n$Tr\n#01\n$END\n\r\n")

    def test_connectives(self):
        a, b, c = [arg(1), 16], [arg(2), 16], [arg(3), 16]
        body = run_script(script_bytes(a, b, [1], c, [2], END)).split(b"\n", 1)[1]
        self.assertEqual(body, b"$scd\n$T\n#1\n$&\n$scd\n$T\n#2\n$|\n$scd\n$T\n#3\n$END\n\r\n")
        body = run_script(script_bytes(a, b, c, [1], [2], END)).split(b"\n", 1)[1]
        self.assertEqual(body, b"$scd\n$T\n#1\n$|\n$(\n$scd\n$T\n#2\n$&\n$scd\n$T\n#3\n$)\n"
                               b"$END\n\r\n")

    def test_seven_switch(self):
        body = run_script(script_bytes([7], [arg(5), 16], END)).split(b"\n", 1)[1]
        self.assertEqual(body, b"$END\n!\n$scd\n$T\n#5\n$\\\\n\n$END\n\r\n")

    def test_versions_differ(self):
        st = [arg(1), arg(2), arg(3), arg(4), 5]
        v1 = run_script(script_bytes(st, END), version=1)
        v2 = run_script(script_bytes(st, END), version=2)
        self.assertIn(b"$ugl\n$CABE\n#1\n$N1\n#2\n$umx0", v1)
        self.assertIn(b"$ugl\n$CABE\n#1\n$sp_l\n$N1\n#2\n$umx0", v2)

    def test_fpff_word_keeps_its_blank(self):
        out = run_script(script_bytes([arg(1), arg(2), arg(3), 56], END))
        self.assertIn(b"$fpff1 \n$PT\n#3\n", out)

    def test_failures(self):
        with self.assertRaises(ref.ConversionError):
            run_script(script_bytes([arg(1), arg(2), 13])[:-4] + b"\x01\x00")
        with self.assertRaises(ref.ConversionError):
            run_script(script_bytes([98], END))
        with self.assertRaises(ref.ConversionError):
            run_script(script_bytes([12], END))
        with self.assertRaises(ref.ConversionError):
            run_script(script_bytes([arg(1), 16], [2], END))


class Records(unittest.TestCase):
    def test_sound(self):
        rec = b"x" * 64 + struct.pack("<HHHfHH", 1, 2, 3, -0.25, 4, 5)
        self.assertEqual(ref.convert_sound(rec),
                         b'Name="' + b"x" * 64 + b'"\nU=1\nV=2\nRadius=3\nWorse=-0.250000\n'
                         b"MinWait=4\nMaxWait=5\n\n")
        for value, text in ((0.1, b"0.100000"), (1.5, b"1.500000"), (float("inf"), b"INF"),
                            (float("-inf"), b"-INF"), (float("nan"), b"NAN")):
            self.assertEqual(ref.format_worse(struct.unpack("<f", struct.pack("<f", value))[0]), text)

    def test_player_colours(self):
        rec = bytearray(397)
        rec[33:35] = b"\xff\xff"
        self.assertIn(b"color=248 254 120\n", ref.convert_player(bytes(rec)))
        rec[33:35] = b"\x10\x08"
        self.assertIn(b"color=8 2 0\n", ref.convert_player(bytes(rec)))

    def test_unit_and_support(self):
        head = bytes([1, 2, 3, 4, 5, 6]) + struct.pack("<HH", 0, 0) + bytes([2, 1]) + \
            struct.pack("<HH", 100, 50) + bytes([7, 8])
        subs = [bytes([i] * 6) + struct.pack("<HH", 0, 0) for i in (3, 2, 1)]
        text = ref.convert_unit(head, subs, lambda i: b"T%d" % i, 10, 4)
        self.assertEqual(text.split(b"\n")[0],
                         b" ID=T0 HP=2 Ammo=3 Expa=4 Morale=6 Lives=5 Grp=1 Crew=1 In=2"
                         b" U=420 V=178 Dir=7 Owner=8 ")
        self.assertEqual(text.count(b"\n"), 4)
        self.assertEqual(ref.convert_support_flag(struct.pack("<5i", -1, 1, 2, 3, 4), 10, 4),
                         b"flag -1,-1,0,-1,-1\n")
        self.assertEqual(ref.convert_support_flag(struct.pack("<5i", 5, 6, 8, 9, 7), 10, 4),
                         b"flag 15,10,7,18,13\n")
        wide = bytes(6) + struct.pack("<I", 0x00010002) + bytes(2)
        self.assertEqual(ref.convert_support_unit(wide, [], lambda i: b"%d" % i),
                         b" ID=65538 HP=0 Ammo=0 Expa=0 Morale=0 Lives=0 Grp=0 Crew=0 \n")


class Directory(unittest.TestCase):
    def test_names_sizes_and_pmini(self):
        def entry(name, data):
            return name.ljust(12, b"\0") + struct.pack("<i", len(data)) + data
        body = b"H" * 8 + entry(b"A B", b"1234") + entry(b"P-MINI1", b"") + \
            entry(b"p-mini2", b"x") + entry(b"P-MINI3\0zz", b"") + entry(b"P-MINI5", b"")
        c = ref.Container(body + b"short")
        self.assertEqual([e.name for e in c.entries], [b"A", b"P-MINI1", b"p-mini2", b"P-MINI3",
                                                       b"P-MINI5"])
        self.assertEqual(c.pmini, 2)
        self.assertEqual(c.entries[1].offset, 44)
        self.assertEqual(c.entries[2].offset, c.entries[1].offset + 16)
        many = b"H" * 8 + b"".join(entry(b"S%d" % i, b"") for i in range(40))
        self.assertEqual(len(ref.Container(many).entries), 37)



class Staging(unittest.TestCase):
    def test_campaign_numbers(self):
        self.assertEqual(ref.parse_decimal(b"007"), 7)
        self.assertEqual(ref.parse_decimal(b"-01"), -1)
        self.assertEqual(ref.parse_decimal(b"+12"), 12)
        for bad in (b"", b"1 2", b"$1F", b"0x1", b"abc", b"-"):
            with self.assertRaises(ref.ConversionError):
                ref.parse_decimal(bad)

    def test_kinds_by_extension(self):
        self.assertEqual(ref.map_kind("a/b.QdM"), ref.SINGLE)
        self.assertEqual(ref.map_kind("b.qdp"), ref.MULTI)
        self.assertEqual(ref.map_kind("b.qdc"), ref.CAMPAIGN)
        self.assertEqual(ref.map_kind("b.zip"), ref.CAMPAIGN)


class MissionGrids(unittest.TestCase):
    """Grid files of campaign missions whose rectangle may leave the 512 x 512 grid."""

    def convert(self, rect, section):
        import tempfile

        class Staged:
            kind = ref.CAMPAIGN
        with tempfile.TemporaryDirectory() as folder:
            conv = ref.Conversion(Staged(), folder, b"", 2)
            body = b"H" * 8
            for pos in range(16):
                data = section if pos == 9 else b""
                body += b"S".ljust(12, b"\0") + struct.pack("<i", len(data)) + data
            conv.container = ref.Container(body)
            conv.mission_folder = os.fsencode(folder)
            conv.rect = rect
            conv.write_grid("mines", "mines")
            with open(os.path.join(folder, "mines"), "rb") as f:
                return f.read()

    def test_rows_land_512_apart(self):
        out = self.convert((10, 20, 3, 2), b"abcdef")
        self.assertEqual(len(out), 512 * 512)
        self.assertEqual(out[20 * 512 + 10:20 * 512 + 13], b"abc")
        self.assertEqual(out[21 * 512 + 10:21 * 512 + 13], b"def")
        self.assertEqual(out.count(0), 512 * 512 - 6)

    def test_clipped_at_every_edge(self):
        out = self.convert((510, -1, 4, 3), bytes(range(1, 13)))
        # row -1 is dropped; rows 0 and 1 keep their first two bytes, nothing wraps
        self.assertEqual(out[510:512], bytes((5, 6)))
        self.assertEqual(out[512 + 510:1024], bytes((9, 10)))
        self.assertEqual(out[512:514], bytes(2))
        self.assertEqual(len(out), 512 * 512)
        self.assertEqual(sum(1 for b in out if b), 4)

    def test_section_running_out_fails(self):
        with self.assertRaises(ref.ConversionError):
            self.convert((0, 0, 50, 4), b"short")   # 200 bytes, fewer left in the file


if __name__ == "__main__":
    unittest.main()
