"""Tests of scripts/kicad-reference.py that need no KiCad: the reading of an
export, the pairing of pads and the extent of an arc."""

import importlib.util
import os
import sys
import tempfile
import types
import unittest

# The script imports KiCad's module; these tests use none of it but its names.
sys.modules.setdefault("pcbnew", types.SimpleNamespace())
_path = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "kicad-reference.py")
_spec = importlib.util.spec_from_file_location("kicad_reference", _path)
ref = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(ref)

# A component with one pad, a text whose string reads like a record keyword,
# a polygon of one segment, a free via and a free pad, laid out as the
# record layouts give them.
EXPORT = [
    "PCB FILE 6 VERSION 2.80",
    "0 0 0 0 0 1 1 0 2 2",
    "COMP",
    "R_0603",
    "0 0 1000 2000 0 0 0 0 0 0 0  90.000 0 0 1",
    "CS",
    "0 0 1000 2000 60 0.000 0 1 17 0 0 0 0 10 0 0 0",
    "R1",
    "CS",
    "0 0 1000 2100 60 0.000 0 1 17 0 0 0 0 10 0 0 0",
    "10k",
    "CS",
    "0 0 1000 2200 60 0.000 0 1 17 0 0 0 0 10 0 0 0",
    "FV",
    "CP",
    "0 0 1050 2000 50 60 2 50 60 2 50 60 2 0 0 1 3 0 270.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "1",
    "ENDCOMP",
    "PG",
    "1",
    " 3",
    "0 1 1 0  0 0",
    "0 10 0 0",
    "",
    "1",
    "0 0",
    "100 0",
    " 0 0",
    "FV",
    "0 0 2000 1500 50 28 0 0 2 0 0 0 0 0 0 1 16",
    "FP",
    "0 0 -5 7 50 60 2 50 60 2 50 60 2 0 0 19 0 0 0.000 0 0 0 0 0 0 0 0 1 1 1 1 1 1",
    "",
    "NETDEF",
]


def read(lines):
    with tempfile.NamedTemporaryFile("wb", suffix=".pcb", delete=False) as f:
        f.write("\r\n".join(lines).encode("latin-1"))
    try:
        return ref.read_export(f.name)
    finally:
        os.unlink(f.name)


class ReadExport(unittest.TestCase):
    def test_pads_and_vias_with_their_owner(self):
        pads, vias = read(EXPORT)
        self.assertEqual(pads, [("R1", "1", 1050, 2000, 270.0, 1), (None, "", -5, 7, 0.0, 19)])
        self.assertEqual(vias, [(2000, 1500)])

    def test_a_record_cut_short_or_out_of_place_is_an_error(self):
        with self.assertRaises(ref.ExportError):
            read(EXPORT[: EXPORT.index("FP") + 1])
        with self.assertRaises(ref.ExportError):
            read(EXPORT[:-1] + ["BOGUS", "NETDEF"])
        with self.assertRaises(ref.ExportError):
            read(["PCB FILE 5"] + EXPORT[1:])


class PairPads(unittest.TestCase):
    def test_a_group_of_equal_size_pairs_in_order(self):
        kicad = [("U1", "", 0, 0, 0, True), ("U1", "", 5, 0, 0, False)]
        ours = [("U1", "", 0, 0, 0, 1), ("U1", "", 5, 0, 0, 1)]
        pairs, missing, extra = ref.pair_pads(kicad, ours)
        self.assertEqual(pairs, list(zip(kicad, ours)))
        self.assertEqual((missing, extra), ([], []))

    def test_a_pad_left_out_pairs_copper_and_bare_apart(self):
        # The paste-only pad between two copper pads of the same name is not
        # in the export: the copper pads still pair with each other.
        kicad = [("U1", "9", 0, 0, 0, True), ("U1", "9", 1, 0, 0, False), ("U1", "9", 2, 0, 0, True)]
        ours = [("U1", "9", 0, 0, 0, 1), ("U1", "9", 2, 0, 0, 34), ("U2", "1", 0, 0, 0, 1)]
        pairs, missing, extra = ref.pair_pads(kicad, ours)
        self.assertEqual(pairs, [(kicad[0], ours[0]), (kicad[2], ours[1])])
        self.assertEqual(missing, [kicad[1]])
        self.assertEqual(extra, [ours[2]])


class ArcExtent(unittest.TestCase):
    @staticmethod
    def arc(start, mid, end):
        point = lambda p: types.SimpleNamespace(x=p[0], y=p[1])
        return types.SimpleNamespace(
            GetStart=lambda: point(start), GetArcMid=lambda: point(mid), GetEnd=lambda: point(end)
        )

    def box(self, shape):
        points = ref.arc_extent(shape)
        return tuple(round(f(p[k] for p in points), 6) for f in (min, max) for k in (0, 1))

    def test_the_axis_points_inside_the_arc_count(self):
        # Centre (0, 0), radius 10: a half circle through (0, 10) reaches
        # y = 10 but no lower than its ends; the other half reaches y = -10.
        self.assertEqual(self.box(self.arc((10, 0), (0, 10), (-10, 0))), (-10, 0, 10, 10))
        self.assertEqual(self.box(self.arc((10, 0), (0, -10), (-10, 0))), (-10, -10, 10, 0))
        # A quarter from (10, 0) to (0, 10), either way round.
        self.assertEqual(self.box(self.arc((0, 10), (7.0710678, 7.0710678), (10, 0))), (0, 0, 10, 10))

    def test_three_points_on_a_line(self):
        self.assertEqual(self.box(self.arc((0, 0), (1, 1), (2, 2))), (0, 0, 2, 2))


if __name__ == "__main__":
    unittest.main()
