#!/usr/bin/env bash
# Checks the rendered artwork against what the player's drawing code relies on, in each of the three sets (100, 150 and
# 200 percent display scale): exact sizes, 8-bit RGBA PNGs, no pure black in the control bar (its layered window keys
# black out as holes), opaque tiles where the bar tiles them, the played part of the time track on the very rows of
# the track, and the icon's four sizes. Exits non-zero and names every fault it finds. Needs only python3.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
exec python3 - "$root/videoplayer/res" <<'PYTHON'
import struct
import sys
import zlib
from pathlib import Path

res = Path(sys.argv[1])

# name: (width, height, drawn on the control bar)
IMAGES = {
    "bar_bkg": (10, 36, True),
    "open": (36, 32, True),
    "play": (36, 32, True),
    "pause": (36, 32, True),
    "prev": (36, 32, True),
    "mute": (36, 32, True),
    "next": (36, 32, True),
    "stop": (36, 32, True),
    "time_bkg": (3, 12, True),
    "time_forg": (6, 12, True),
    "time_bar": (7, 12, True),
    "volume_bar": (66, 12, True),
    "volume_ball": (16, 12, True),
    "logo": (128, 128, False),
}
TRACK_ROWS = range(3, 10)  # at 100 percent, the rows of the time slider tiles that are drawn; the others let the bar show through
SETS = {100: "images", 150: "images/150", 200: "images/200"}  # percent: folder
ICON_SIZES = [16, 32, 48, 256]

faults = []


def fault(where, text):
    faults.append(f"{where}: {text}")


def png_header(data):
    """Width, height, bit depth, colour type and interlace method of a PNG, or None when it is no PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    width, height, depth, kind, _, _, interlace = struct.unpack(">IIBBBBB", data[16:29])
    return width, height, depth, kind, interlace


def rgba_rows(data, width, height):
    """The rows of a non-interlaced 8-bit RGBA PNG as lists of (r, g, b, a), with the filters undone."""
    packed, at = b"", 8
    while at < len(data):
        size, name = struct.unpack(">I4s", data[at:at + 8])
        if name == b"IDAT":
            packed += data[at + 8:at + 8 + size]
        at += size + 12
    raw = zlib.decompress(packed)
    stride, prior, rows = width * 4, bytearray(width * 4), []
    for y in range(height):
        base = y * (stride + 1)
        kind, row = raw[base], bytearray(raw[base + 1:base + 1 + stride])
        for i in range(stride):
            left = row[i - 4] if i >= 4 else 0
            up = prior[i]
            corner = prior[i - 4] if i >= 4 else 0
            if kind == 1:
                row[i] = (row[i] + left) & 255
            elif kind == 2:
                row[i] = (row[i] + up) & 255
            elif kind == 3:
                row[i] = (row[i] + ((left + up) >> 1)) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[i] = (row[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append([tuple(row[x * 4:x * 4 + 4]) for x in range(width)])
        prior = row
    return rows


def at_scale(length, percent):
    """A length at a display scale, rounded half up as the player rounds it (MulDiv)."""
    return (length * percent + 50) // 100


def check_png(folder, percent, name, width, height, on_bar):
    """Checks one image of a set and returns its opaque rows when it is a time slider tile."""
    path = res / folder / f"{name}.png"
    where = f"{folder}/{name}.png"
    width, height = at_scale(width, percent), at_scale(height, percent)
    if not path.is_file():
        fault(where, "missing")
        return
    data = path.read_bytes()
    header = png_header(data)
    if header is None:
        fault(where, "not a PNG file")
        return
    w, h, depth, kind, interlace = header
    if (w, h) != (width, height):
        fault(where, f"is {w}x{h}, must be {width}x{height}")
        return
    if (depth, kind) != (8, 6):
        fault(where, f"has bit depth {depth} and colour type {kind}, must be 8-bit RGBA (colour type 6)")
        return
    if interlace:
        fault(where, "is interlaced")
        return
    rows = rgba_rows(data, w, h)
    if on_bar:
        black = [(x, y) for y, row in enumerate(rows) for x, p in enumerate(row) if p[:3] == (0, 0, 0) and p[3]]
        if black:
            fault(where, f"{len(black)} visible pure black pixel(s), the first at {black[0]}")
    if name in ("bar_bkg", "time_bkg", "time_forg"):
        # The bar squeezes the last tile of a run, which only looks like a cut when every row is one colour.
        uneven = [y for y, row in enumerate(rows) if len(set(row)) != 1]
        if uneven:
            fault(where, f"rows {uneven} are not uniform across")
    if name == "bar_bkg" and any(p[3] != 255 for row in rows for p in row):
        # It is tiled over a zeroed (black) buffer: any see-through pixel would become a hole.
        fault(where, "is not fully opaque")
    if name in ("time_bkg", "time_forg"):
        return track_rows(where, percent, rows)


def track_rows(where, percent, rows):
    """The opaque rows of a time slider tile: each row wholly opaque or wholly clear (crisp at every scale), one band,
    at 100 percent exactly TRACK_ROWS and at the other scales within a row of where TRACK_ROWS scale to."""
    opaque = []
    for y, row in enumerate(rows):
        alphas = {p[3] for p in row}
        if alphas == {255}:
            opaque.append(y)
        elif alphas != {0}:
            fault(where, f"row {y} is neither wholly opaque nor wholly clear")
    if percent == 100:
        wanted = list(TRACK_ROWS)
        if opaque != wanted:
            fault(where, f"opaque rows {opaque}, must be {wanted}")
    elif not opaque or opaque != list(range(opaque[0], opaque[-1] + 1)):
        fault(where, f"opaque rows {opaque} are not one band")
    else:
        first, end = percent * TRACK_ROWS.start / 100, percent * TRACK_ROWS.stop / 100
        if abs(opaque[0] - first) > 1 or abs(opaque[-1] + 1 - end) > 1:
            fault(where, f"opaque rows {opaque[0]} to {opaque[-1]} are not where rows {TRACK_ROWS.start} to "
                         f"{TRACK_ROWS.stop - 1} scale to")
    return opaque


def check_icon():
    path = res / "player.ico"
    where = "player.ico"
    if not path.is_file():
        fault(where, "missing")
        return
    data = path.read_bytes()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if (reserved, kind) != (0, 1):
        fault(where, "not an icon file")
        return
    sizes = []
    for i in range(count):
        w, h, _, _, _, bits, length, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        size = w or 256
        image = data[offset:offset + length]
        header = png_header(image)
        if header is not None:
            if header[:2] != (size, size) or header[2:4] != (8, 6):
                fault(where, f"the {size} px image is a PNG of {header[0]}x{header[1]}, depth {header[2]}, "
                             f"colour type {header[3]}; must be {size}x{size} 8-bit RGBA")
        else:
            _, bw, bh, _, bmp_bits = struct.unpack("<IiiHH", image[:16])
            if (bw, bh) != (size, 2 * size) or bmp_bits != 32:
                fault(where, f"the {size} px bitmap is {bw}x{bh // 2} with {bmp_bits} bits; must be 32-bit")
        sizes.append(size)
    if sorted(sizes) != ICON_SIZES:
        fault(where, f"has sizes {sorted(sizes)}, must have {ICON_SIZES}")


for percent, folder in SETS.items():
    bands = {}
    for name, (width, height, on_bar) in IMAGES.items():
        bands[name] = check_png(folder, percent, name, width, height, on_bar)
    # The played part is drawn over the track: a band of its own would leave track rows showing above or below it.
    if bands["time_bkg"] and bands["time_forg"] and bands["time_bkg"] != bands["time_forg"]:
        fault(folder, f"the played part's rows {bands['time_forg']} differ from the track's {bands['time_bkg']}")
check_icon()

for line in faults:
    print(f"check-art: {line}", file=sys.stderr)
if faults:
    sys.exit(1)
print(f"check-art: {len(IMAGES)} images in each of {len(SETS)} sets and the icon are as the player needs them")
PYTHON
