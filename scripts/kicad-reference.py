"""Compares exported PCB 2.8 ASCII files with KiCad's own reading of the boards.

    /usr/bin/python3 scripts/kicad-reference.py BOARD.kicad_pcb EXPORT.pcb [BOARD EXPORT ...]

KiCad reads each board through its `pcbnew` module; the export is parsed
record by record. Pads are matched by designator, pad name and order (see
pair_pads), vias by order. A centre must lie within
one file unit of KiCad's centre on each axis, a rotation within a thousandth
of a degree. Prints one line a board and the pairs that differ; exits 1 when
any differ, 2 on a file that cannot be read.
"""

import math
import os
import sys
import tempfile
import time

import pcbnew

NM_PER_FILE_UNIT = 25.4  # a file unit is 10 host units of 1/10000 mil
CENTRE_TOLERANCE = 1.0  # file units, on each axis
ROTATION_TOLERANCE = 0.001  # degrees: the file writes three decimals
COPPER_FILE_LAYERS = set(range(1, 17)) | {34}  # top, mid 1-14, bottom, multi-layer
SHOWN_DIFFERENCES = 5


class ExportError(Exception):
    pass


def read_export(path):
    """The pads and vias of an export: pads as (designator, name, x, y,
    rotation, file layer), designator None for a free pad; vias as (x, y)."""
    try:
        return parse_export(path)
    except IndexError:
        raise ExportError(f"{path}: the file ends inside a record")


def parse_export(path):
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").split("\r\n")
    if not lines or lines[0] != "PCB FILE 6 VERSION 2.80":
        raise ExportError(f"{path}: not a PCB 2.8 ASCII file")
    pads, vias = [], []
    designator = None
    i = 2  # after the header and the counts line

    def fields(n):
        try:
            return [int(v) if "." not in v else float(v) for v in lines[n].split()]
        except ValueError:
            raise ExportError(f"{path}: line {n + 1}: a number expected: {lines[n]!r}")

    # Lines a record takes after its keyword line.
    record_lines = {"T": 2, "F": 2, "A": 2, "V": 1, "S": 2, "P": 2}
    while i < len(lines):
        word = lines[i]
        if word == "COMP":
            i += 3  # pattern and placement lines
            if lines[i] != "CS":
                raise ExportError(f"{path}: line {i + 1}: the designator text expected")
            designator = lines[i + 2]
            continue
        if word == "ENDCOMP":
            designator = None
            i += 1
            continue
        if word == "PG":
            count = fields(i + 6)[0]
            i += 7 + count + 1 + 1  # vertex lines and the arc-flag line
            continue
        if len(word) == 2 and word[0] in "FC" and word[1] in record_lines:
            kind = word[1]
            if kind == "P":
                f = fields(i + 1)
                owner = designator if word[0] == "C" else None
                pads.append((owner, lines[i + 2], f[2], f[3], f[18], f[15]))
            elif kind == "V":
                f = fields(i + 1)
                vias.append((f[2], f[3]))
            i += 1 + record_lines[kind]
            continue
        break  # the net definitions follow the pads
    if i >= len(lines) or lines[i] != "NETDEF" and lines[i] != "DEFAULTS":
        where = lines[i] if i < len(lines) else "the end of the file"
        raise ExportError(f"{path}: line {i + 1}: unexpected {where!r} among the records")
    return pads, vias


def circle_through(a, b, c):
    """Centre and radius of the circle through three points (worked out from
    the first, for precision); None when they lie on one line."""
    bx, by, qx, qy = b[0] - a[0], b[1] - a[1], c[0] - a[0], c[1] - a[1]
    d = 2 * (bx * qy - by * qx)
    if d == 0:
        return None
    sb, sq = bx * bx + by * by, qx * qx + qy * qy
    ux, uy = (qy * sb - by * sq) / d, (bx * sq - qx * sb) / d
    return a[0] + ux, a[1] + uy, math.hypot(ux, uy)


def arc_extent(shape):
    """The points that bound an arc: its ends and the points where it crosses
    an axis through its centre. The circle is the one through the file's
    three points: KiCad keeps its centre rounded (to 100 nm)."""
    s, m, e = ((p.x, p.y) for p in (shape.GetStart(), shape.GetArcMid(), shape.GetEnd()))
    circle = circle_through(s, m, e)
    if circle is None:
        return [s, m, e]
    cx, cy, r = circle

    def angle(p):
        return math.atan2(p[1] - cy, p[0] - cx)

    def ccw(a, b):
        return (b - a) % (2 * math.pi)

    a0, am, a1 = angle(s), angle(m), angle(e)
    low, span = (a0, ccw(a0, a1)) if ccw(a0, am) <= ccw(a0, a1) else (a1, ccw(a1, a0))
    points = [s, e]
    for k in range(4):
        q = k * math.pi / 2
        if ccw(low, q) <= span:
            points.append((cx + r * math.cos(q), cy + r * math.sin(q)))
    return points


def edge_points(shape):
    kind = shape.GetShape()
    if kind == pcbnew.SHAPE_T_SEGMENT:
        return [(shape.GetStart().x, shape.GetStart().y), (shape.GetEnd().x, shape.GetEnd().y)]
    if kind == pcbnew.SHAPE_T_RECTANGLE:
        return [(p.x, p.y) for p in shape.GetRectCorners()]
    if kind == pcbnew.SHAPE_T_ARC:
        return arc_extent(shape)
    if kind == pcbnew.SHAPE_T_CIRCLE:
        c, r = shape.GetCenter(), shape.GetRadius()
        return [(c.x - r, c.y - r), (c.x + r, c.y + r)]
    if kind == pcbnew.SHAPE_T_POLY:
        polys = shape.GetPolyShape()
        return [
            (polys.Outline(o).CPoint(j).x, polys.Outline(o).CPoint(j).y)
            for o in range(polys.OutlineCount())
            for j in range(polys.Outline(o).PointCount())
        ]
    if kind == pcbnew.SHAPE_T_BEZIER:
        # The export draws a curve as 8 straight segments: their ends count.
        p0, p1, p2, p3 = ((p.x, p.y) for p in (shape.GetStart(), shape.GetBezierC1(),
                                                shape.GetBezierC2(), shape.GetEnd()))
        return [
            tuple((1 - t) ** 3 * a + 3 * (1 - t) ** 2 * t * b + 3 * (1 - t) * t * t * c + t**3 * d
                  for a, b, c, d in zip(p0, p1, p2, p3))
            for t in (k / 8 for k in range(9))
        ]
    return []


def origin(board):
    """KiCad's (left, bottom) of the box around the Edge.Cuts drawing, board
    and footprint graphics, arcs with their whole extent; None without one."""
    shapes = [d for d in board.GetDrawings() if d.Type() == pcbnew.PCB_SHAPE_T]
    for fp in board.GetFootprints():
        shapes += [g for g in fp.GraphicalItems() if g.Type() == pcbnew.PCB_SHAPE_T]
    points = [p for s in shapes if s.GetLayer() == pcbnew.Edge_Cuts for p in edge_points(s)]
    if not points:
        return None
    return min(p[0] for p in points), max(p[1] for p in points)


def load_board(path):
    """pcbnew's LoadBoard, without the wx debug lines it prints on the
    standard error (every other line is passed on)."""
    with tempfile.TemporaryFile() as log:
        sys.stderr.flush()
        saved = os.dup(2)
        os.dup2(log.fileno(), 2)
        try:
            board = pcbnew.LoadBoard(path)
        finally:
            os.dup2(saved, 2)
            os.close(saved)
        log.seek(0)
        for line in log.read().decode(errors="replace").splitlines():
            if "Debug: Adding duplicate image handler" not in line:
                print(line, file=sys.stderr)
    return board


def rotation_difference(a, b):
    return abs((a - b + 180.0) % 360.0 - 180.0)


def latin1(text, width):
    """A string as the export writes it: beyond Latin-1 as '?', cut to width."""
    return "".join(ch if ord(ch) < 256 else "?" for ch in text)[:width]


def grouped(items):
    """The items by (designator, name), each group in its order."""
    groups = {}
    for item in items:
        groups.setdefault((item[0], item[1]), []).append(item)
    return groups


def pair_pads(kicad, ours):
    """Pairs KiCad's pads (designator, name, x, y, rotation, copper) with the
    export's (designator, name, x, y, rotation, file layer) by designator,
    pad name and order. A group of one designator and name is paired in
    order when both sides have as many pads; otherwise the pads with copper
    and the pads without are paired apart. Gives the pairs, KiCad's pads left
    over and the export's left over."""
    theirs_groups, ours_groups = grouped(kicad), grouped(ours)
    pairs, missing, extra = [], [], []
    for key, theirs in theirs_groups.items():
        mine = ours_groups.get(key, [])
        if len(theirs) == len(mine):
            pairs += zip(theirs, mine)
            continue
        for copper in (True, False):
            t = [p for p in theirs if p[5] == copper]
            o = [p for p in mine if (p[5] in COPPER_FILE_LAYERS) == copper]
            pairs += zip(t, o)
            missing += t[len(o) :]
            extra += o[len(t) :]
    for key, mine in ours_groups.items():
        if key not in theirs_groups:
            extra += mine
    return pairs, missing, extra


def compare(board_path, export_path):
    t0 = time.perf_counter()
    pads, vias = read_export(export_path)
    board = load_board(board_path)
    load_seconds = time.perf_counter() - t0
    left_bottom = origin(board)
    if left_bottom is None:
        raise ExportError(f"{board_path}: no Edge.Cuts drawing: the origin is not checked here")
    left, bottom = left_bottom

    def expected(pos):
        return (pos.x - left) / NM_PER_FILE_UNIT, (bottom - pos.y) / NM_PER_FILE_UNIT

    kicad_pads = []
    for fp in board.GetFootprints():
        ref = latin1(fp.GetReference(), 254)
        for pad in fp.Pads():
            x, y = expected(pad.GetPosition())
            name = latin1(pad.GetNumber(), 20)
            # An unplated hole is written on the multi-layer, with copper or without.
            copper = pad.IsOnCopperLayer() or pad.GetAttribute() == pcbnew.PAD_ATTRIB_NPTH
            kicad_pads.append((ref, name, x, y, pad.GetOrientationDegrees(), copper))

    differences = []
    largest = {"centre": 0.0, "rotation": 0.0}

    def check(what, theirs, ours, rotation):
        dev = max(abs(ours[0] - theirs[0]), abs(ours[1] - theirs[1]))
        largest["centre"] = max(largest["centre"], dev)
        turn = rotation_difference(ours[2], theirs[2]) if rotation else 0.0
        largest["rotation"] = max(largest["rotation"], turn)
        if dev > CENTRE_TOLERANCE or turn > ROTATION_TOLERANCE:
            differences.append(
                f"{what}: KiCad ({theirs[0]:.2f}, {theirs[1]:.2f}) {theirs[2]:.3f} deg, "
                f"export ({ours[0]}, {ours[1]}) {ours[2]:.3f} deg"
            )

    def pad_name(pad):
        return f'pad {pad[0]} "{pad[1]}"'

    pairs, missing, extra = pair_pads(kicad_pads, pads)
    for t, o in pairs:
        check(pad_name(t), t[2:5], o[2:5], True)
        on_copper = o[5] in COPPER_FILE_LAYERS
        if t[5] != on_copper:
            kicad_says = "copper" if t[5] else "no copper"
            export_says = "a copper pad" if on_copper else "a pad on file layer %d" % o[5]
            differences.append(f"{pad_name(t)}: {kicad_says} in KiCad, {export_says} in the export")
    for pad in missing:
        if pad[5]:
            differences.append(f"{pad_name(pad)}: not in the export")
    for pad in extra:
        differences.append(f"{pad_name(pad)}: in the export, not in KiCad")
    bare_not_written = sum(1 for pad in missing if not pad[5])

    kicad_vias = [expected(t.GetPosition()) for t in board.GetTracks() if t.Type() == pcbnew.PCB_VIA_T]
    for n, (t, o) in enumerate(zip(kicad_vias, vias)):
        check(f"via {n + 1}", (t[0], t[1], 0.0), (o[0], o[1], 0.0), False)
    if len(kicad_vias) != len(vias):
        differences.append(f"vias: KiCad reads {len(kicad_vias)}, the export has {len(vias)}")

    compared = len(pairs)
    line = (
        f"{board_path}: {compared} pads and {len(kicad_vias)} vias compared, "
        f"{len(differences)} differ; largest difference {largest['centre']:.3f} file units "
        f"({largest['centre'] * NM_PER_FILE_UNIT:.1f} nm), "
        f"rotation {largest['rotation']:.4f} deg"
    )
    if bare_not_written:
        line += f"; {bare_not_written} pads without copper not written as pads"
    print(line + f" [KiCad read it in {load_seconds:.1f} s]", flush=True)
    for text in differences[:SHOWN_DIFFERENCES]:
        print(f"  {text}")
    if len(differences) > SHOWN_DIFFERENCES:
        print(f"  ... and {len(differences) - SHOWN_DIFFERENCES} more")
    return not differences


def main(args):
    if not args or len(args) % 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    ok, broken = True, False
    for board_path, export_path in zip(args[::2], args[1::2]):
        try:
            ok = compare(board_path, export_path) and ok
        except (ExportError, OSError) as e:
            print(f"{board_path}: {e}", flush=True)
            broken = True
    return 2 if broken else 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
