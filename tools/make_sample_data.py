#!/usr/bin/env python3
"""Generate the sample data shipped beside the program (data/).

    data/Pictures/P01.JPG ... P24.BMP   portraits of fictional people, drawn here
    data/Musics/SONG01.MP3 ... SONG08.WAV  traditional / public-domain tunes, synthesised here
    data/Sample01.txt                   sample roster (CP932, CR LF, 14 TAB-separated fields)
    data/操作説明.txt                    operating manual (CP932, CR LF)

The outputs are committed; CI never runs this script.  Re-run it after editing
the tables below and commit the result.

Needs Python 3.11+ (standard library only) and these Debian packages:
    imagemagick   (convert / magick: draws the portraits)
    sox           (synthesises the notes, mixes, adds reverb, writes the WAV files)
    lame          (encodes the MP3 files)
    apt-get install imagemagick sox lame

Usage:
    python3 tools/make_sample_data.py [--out DIR] [--only pictures,music,text]
"""

from __future__ import annotations

import argparse
import math
import random
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

PICTURE_LIMIT = 100_000   # bytes per picture
MUSIC_LIMIT = 500_000     # bytes per song
SONG_MIN_SECONDS = 20.0
SONG_MAX_SECONDS = 30.0


def run(cmd: list[str]) -> None:
    result = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if result.returncode != 0:
        shown = " ".join(cmd)
        if len(shown) > 400:
            shown = shown[:400] + " ..."
        sys.exit(f"command failed ({result.returncode}): {shown}\n{result.stderr}")


def find_tool(*names: str) -> str:
    for name in names:
        path = shutil.which(name)
        if path:
            return path
    sys.exit(f"missing tool: {' or '.join(names)} (see the package list at the top of this script)")


# ---------------------------------------------------------------------------
# Portraits
# ---------------------------------------------------------------------------
#
# Every figure is drawn in a 300x400 reference frame (head centred at x=150)
# and then translated/scaled into the target canvas, so the same description
# works for 3:4, 4:3 and 16:9 pictures.  The free space beside the figure in
# the wide formats is filled by the background decoration.

BACKGROUNDS = [
    ("#89f7fe", "#66a6ff"), ("#fddb92", "#d1fdff"), ("#a1c4fd", "#c2e9fb"),
    ("#fbc2eb", "#a6c1ee"), ("#ffecd2", "#fcb69f"), ("#84fab0", "#8fd3f4"),
    ("#f6d365", "#fda085"), ("#d4fc79", "#96e6a1"), ("#e0c3fc", "#8ec5fc"),
    ("#fa709a", "#fee140"), ("#4facfe", "#00f2fe"), ("#a8edea", "#fed6e3"),
    ("#5ee7df", "#b490ca"), ("#ff9a9e", "#fecfef"), ("#667eea", "#a3bded"),
    ("#f093fb", "#f5576c"), ("#43e97b", "#38f9d7"), ("#fccb90", "#d57eeb"),
    ("#e6dee9", "#bdc2e8"), ("#96fbc4", "#f9f586"), ("#cd9cf2", "#f6f3ff"),
    ("#feada6", "#f5efef"), ("#a18cd1", "#fbc2eb"), ("#fdfcfb", "#e2d1c3"),
]
SKINS = ["#ffdbb4", "#f1c27d", "#e0ac69", "#ffe0bd", "#f5cba7", "#c68642",
         "#ffd5b8", "#eac086", "#f3c6a5", "#d9a47a"]
HAIRS = ["#2b1b17", "#3b2f2f", "#4e3629", "#6a4e42", "#8d5524", "#a0522d",
         "#1c1c1c", "#c9a15b", "#5a3825", "#7b3f2a"]
GREY_HAIRS = ["#9e9e9e", "#c8c8c8", "#e4e4e4"]
CLOTHES = ["#2c3e50", "#c0392b", "#2980b9", "#27ae60", "#8e44ad", "#f39c12",
           "#16a085", "#d35400", "#34495e", "#e84393", "#0984e3", "#6c5ce7",
           "#00a8a8", "#b33771"]
IRISES = ["#4a2c1a", "#2d4f7c", "#3c6e47", "#5b3a29", "#333333"]
ACCENTS = ["#e74c3c", "#f1c40f", "#e84393", "#1abc9c", "#ff7f50", "#9b59b6"]

# (hair, clothes, eyes, mouth, glasses, extra, grey hair)
PEOPLE = [
    ("short", "suit", "dot", "smile", False, "", False),
    ("long", "blouse", "lash", "open", False, "earrings", False),
    ("spiky", "tshirt", "round", "grin", False, "", False),
    ("bob", "sweater", "round", "smile", True, "", False),
    ("bald", "suit", "dot", "smile", True, "mustache", True),
    ("ponytail", "tshirt", "happy", "open", False, "ribbon", False),
    ("side", "hoodie", "round", "grin", False, "", False),
    ("bun", "kimono", "lash", "small", False, "hairpin", False),
    ("curly", "sweater", "dot", "open", True, "", False),
    ("short", "suit", "happy", "grin", False, "beard", False),
    ("long", "tshirt", "round", "smile", True, "earrings", False),
    ("swept", "blouse", "dot", "smile", False, "", False),
    ("short", "kimono", "dot", "smile", False, "", True),
    ("bob", "hoodie", "happy", "open", False, "", False),
    ("spiky", "sweater", "round", "smile", False, "", False),
    ("ponytail", "blouse", "round", "grin", True, "", False),
    ("side", "suit", "dot", "small", True, "", False),
    ("long", "sweater", "happy", "smile", False, "ribbon", False),
    ("curly", "tshirt", "round", "grin", False, "", False),
    ("bald", "sweater", "happy", "open", False, "beard", True),
    ("bun", "blouse", "dot", "smile", True, "earrings", False),
    ("swept", "tshirt", "lash", "open", False, "", False),
    ("short", "hoodie", "round", "smile", False, "beret", False),
    ("bob", "suit", "lash", "grin", False, "earrings", False),
]

# (file name, width, height, decoration, BMP bits per pixel or 0)
PICTURE_FILES = [
    ("P01.JPG", 480, 640, "bokeh", 0),
    ("P02.GIF", 300, 400, "dots", 0),
    ("P03.BMP", 240, 320, "stripes", 8),
    ("P04.JPG", 640, 480, "rays", 0),
    ("P05.JPG", 640, 360, "confetti", 0),
    ("P06.GIF", 400, 300, "bokeh", 0),
    ("P07.BMP", 320, 240, "dots", 8),
    ("P08.JPG", 480, 640, "confetti", 0),
    ("P09.GIF", 384, 216, "stripes", 0),
    ("P10.BMP", 150, 200, "bokeh", 24),
    ("P11.JPG", 640, 360, "rays", 0),
    ("P12.JPG", 480, 640, "dots", 0),
    ("P13.GIF", 300, 400, "rays", 0),
    ("P14.BMP", 320, 180, "confetti", 8),
    ("P15.JPG", 640, 480, "stripes", 0),
    ("P16.JPG", 480, 640, "bokeh", 0),
    ("P17.GIF", 400, 300, "confetti", 0),
    ("P18.BMP", 192, 144, "rays", 24),
    ("P19.JPG", 640, 360, "bokeh", 0),
    ("P20.JPG", 480, 640, "stripes", 0),
    ("P21.GIF", 384, 216, "dots", 0),
    ("P22.BMP", 240, 320, "bokeh", 8),
    ("P23.JPG", 640, 480, "dots", 0),
    ("P24.JPG", 480, 640, "confetti", 0),
]


def fmt(v: float) -> str:
    return f"{v:.1f}".rstrip("0").rstrip(".")


def pts(points) -> str:
    return " ".join(f"{fmt(x)},{fmt(y)}" for x, y in points)


def ellipse_points(cx, cy, rx, ry, a0, a1, n=24):
    out = []
    for i in range(n + 1):
        a = math.radians(a0 + (a1 - a0) * i / n)
        out.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return out


def band(cx, cy, rx, ry, a0, a1, width, n=20) -> str:
    """A curved stroke drawn as a filled polygon (open strokes are unreliable in MVG)."""
    outer = ellipse_points(cx, cy, rx + width / 2, ry + width / 2, a0, a1, n)
    inner = ellipse_points(cx, cy, max(rx - width / 2, 0.5), max(ry - width / 2, 0.5), a0, a1, n)
    return "polygon " + pts(outer + inner[::-1])


def shade(color: str, factor: float) -> str:
    """Darken (factor < 1) or lighten (factor > 1) a #rrggbb colour."""
    r, g, b = (int(color[i:i + 2], 16) for i in (1, 3, 5))
    if factor <= 1:
        r, g, b = (int(c * factor) for c in (r, g, b))
    else:
        t = factor - 1
        r, g, b = (int(c + (255 - c) * t) for c in (r, g, b))
    return f"#{r:02x}{g:02x}{b:02x}"


class Mvg:
    def __init__(self) -> None:
        self.lines: list[str] = []

    def add(self, *lines: str) -> None:
        self.lines.extend(lines)

    def fill(self, color: str, opacity: float = 1.0) -> None:
        self.add(f"fill '{color}'", f"fill-opacity {opacity:g}", "stroke none")

    def text(self) -> str:
        return "\n".join(self.lines)


def draw_decoration(m: Mvg, kind: str, w: int, h: int, rng: random.Random, head_xy) -> None:
    m.add("push graphic-context")
    if kind == "bokeh":
        for _ in range(14):
            r = rng.uniform(0.04, 0.16) * h
            m.fill("#ffffff", rng.uniform(0.10, 0.28))
            x, y = rng.uniform(0, w), rng.uniform(0, h)
            m.add(f"circle {fmt(x)},{fmt(y)} {fmt(x + r)},{fmt(y)}")
    elif kind == "dots":
        step = h / 9
        r = step * 0.16
        m.fill("#ffffff", 0.22)
        row = 0
        y = step / 2
        while y < h + step:
            x = step / 2 + (step / 2 if row % 2 else 0)
            while x < w + step:
                m.add(f"circle {fmt(x)},{fmt(y)} {fmt(x + r)},{fmt(y)}")
                x += step
            y += step * 0.87
            row += 1
    elif kind == "stripes":
        step = h / 6
        m.fill("#ffffff", 0.14)
        x = -h
        while x < w + h:
            m.add("polygon " + pts([(x, 0), (x + step / 2, 0), (x + step / 2 + h, h), (x + h, h)]))
            x += step
    elif kind == "rays":
        cx, cy = head_xy
        n = 18
        big = (w + h) * 1.5
        m.fill("#ffffff", 0.16)
        for i in range(n):
            a0 = 2 * math.pi * i / n
            a1 = a0 + math.pi / n
            m.add("polygon " + pts([(cx, cy),
                                    (cx + big * math.cos(a0), cy + big * math.sin(a0)),
                                    (cx + big * math.cos(a1), cy + big * math.sin(a1))]))
    elif kind == "confetti":
        for _ in range(45):
            color = rng.choice(ACCENTS + ["#ffffff", "#3498db"])
            m.fill(color, 0.75)
            x, y = rng.uniform(0, w), rng.uniform(0, h)
            size = rng.uniform(0.012, 0.025) * h
            a = rng.uniform(0, math.pi)
            dx, dy = math.cos(a), math.sin(a)
            lx, ly = 1.6 * size, 0.7 * size
            corners = [(x + sx * lx * dx - sy * ly * dy, y + sx * lx * dy + sy * ly * dx)
                       for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1))]
            m.add("polygon " + pts(corners))
    m.add("pop graphic-context")


def draw_person(m: Mvg, person, rng: random.Random) -> None:
    hair_style, clothes, eyes, mouth, glasses, extra, grey = person
    skin = rng.choice(SKINS)
    hair = rng.choice(GREY_HAIRS if grey else HAIRS)
    cloth = rng.choice(CLOTHES)
    accent = rng.choice(ACCENTS)
    iris = rng.choice(IRISES)
    skin_dark = shade(skin, 0.85)
    hair_dark = shade(hair, 0.8) if not grey else shade(hair, 0.75)
    lip = "#a23e48"

    hx, hy, hrx, hry = 150, 188, 66, 80

    # hair behind the head
    m.fill(hair)
    if hair_style == "long":
        m.add("roundrectangle 70,120 230,338 42,42", "ellipse 150,184 80,90 0,360")
    elif hair_style == "bob":
        m.add("roundrectangle 72,118 228,266 34,34", "ellipse 150,184 78,86 0,360")
    elif hair_style == "ponytail":
        m.add("push graphic-context", "translate 222,210", "rotate -18",
              "ellipse 0,0 24,62 0,360", "pop graphic-context",
              "ellipse 150,184 74,88 0,360")
    elif hair_style == "bun":
        m.add("circle 150,100 150,68", "ellipse 150,184 73,87 0,360")
    elif hair_style == "curly":
        m.add("ellipse 150,176 92,96 0,360")
    elif hair_style in ("short", "side", "swept", "spiky"):
        m.add("ellipse 150,184 72,88 0,360")

    # shoulders and neck
    m.fill(cloth)
    m.add("ellipse 150,416 138,116 0,360")
    if clothes == "hoodie":
        m.fill(shade(cloth, 0.8))
        m.add(band(150, 318, 40, 18, 180, 360, 14))
    m.fill(skin_dark)
    m.add("roundrectangle 127,236 173,322 16,16")
    if clothes == "tshirt":
        m.add("ellipse 150,318 26,14 0,180")
    if clothes == "suit":
        m.fill("#ffffff")
        m.add("polygon 124,309 150,378 176,309")
        m.fill(shade(cloth, 0.75))
        m.add("polygon 118,312 150,382 104,336", "polygon 182,312 150,382 196,336")
        m.fill(accent)
        m.add("polygon 145,326 155,326 160,366 150,380 140,366",
              "polygon 143,312 157,312 155,327 145,327")
    elif clothes == "sweater":
        m.fill(shade(cloth, 0.78))
        m.add(band(150, 314, 27, 12, 0, 180, 9))
    elif clothes == "blouse":
        m.fill("#ffffff")
        m.add("ellipse 134,320 20,11 0,360", "ellipse 166,320 20,11 0,360")
        m.fill(accent)
        m.add("circle 150,340 150,335")
    elif clothes == "kimono":
        m.fill(skin_dark)
        m.add("polygon 128,306 172,306 150,352")
        m.fill("#ffffff")
        m.add("polygon 124,304 136,304 168,372 156,372", "polygon 176,304 164,304 150,336 144,326")
        m.fill(accent)
        m.add("polygon 26,372 274,372 290,400 10,400")
    elif clothes == "hoodie":
        m.fill("#ffffff")
        m.add("rectangle 138,326 141,360", "rectangle 159,326 162,360")
    if clothes == "tshirt":
        m.fill("#ffffff", 0.85)
        star = []
        for i in range(10):
            a = math.radians(-90 + i * 36)
            r = 16 if i % 2 == 0 else 7
            star.append((150 + r * math.cos(a), 360 + r * math.sin(a)))
        m.add("polygon " + pts(star))

    # ears and head
    m.fill(skin)
    m.add("ellipse 86,196 11,17 0,360", "ellipse 214,196 11,17 0,360")
    m.fill(skin_dark)
    m.add("ellipse 86,196 5,9 0,360", "ellipse 214,196 5,9 0,360")
    m.fill(skin)
    m.add(f"ellipse {hx},{hy} {hrx},{hry} 0,360")

    # hair in front
    m.fill(hair)
    cap = ellipse_points(150, 186, 72, 86, 180, 360, 30)
    if hair_style == "short":
        fringe = [(222, 186), (216, 160), (200, 142), (176, 134), (150, 138), (126, 134),
                  (104, 142), (88, 160), (78, 186)]
        m.add("polygon " + pts(cap + fringe))
    elif hair_style == "side":
        fringe = [(222, 190), (217, 162), (205, 146), (182, 140), (160, 142), (140, 128),
                  (122, 142), (104, 156), (90, 172), (80, 196)]
        m.add("polygon " + pts(cap + fringe))
    elif hair_style == "swept":
        fringe = [(222, 196), (214, 150), (196, 140), (170, 144), (140, 156), (112, 168),
                  (92, 176), (78, 200)]
        m.add("polygon " + pts(cap + fringe))
    elif hair_style == "spiky":
        outer = []
        for i in range(15):
            a = 180 + 180 * i / 14
            r = 1.0 if i % 2 == 0 else 1.17
            t = math.radians(a)
            outer.append((150 + 72 * r * math.cos(t), 180 + 88 * r * math.sin(t)))
        fringe = [(222, 180), (206, 150), (188, 146), (170, 138), (150, 146), (130, 138),
                  (112, 146), (94, 150), (78, 180)]
        m.add("polygon " + pts(outer + fringe))
    elif hair_style in ("bob", "long"):
        if hair_style == "bob":
            fringe = [(224, 226), (216, 160), (206, 150), (94, 150), (84, 160), (76, 226)]
        else:
            fringe = [(224, 240), (214, 170), (194, 138), (166, 122), (150, 128),
                      (134, 122), (106, 138), (86, 170), (76, 240)]
        m.add("polygon " + pts(ellipse_points(150, 186, 74, 88, 180, 360, 30) + fringe))
    elif hair_style in ("ponytail", "bun"):
        fringe = [(220, 184), (210, 150), (188, 134), (160, 128), (150, 132), (140, 128),
                  (112, 134), (90, 150), (80, 184)]
        m.add("polygon " + pts(cap + fringe))
        if hair_style == "ponytail":
            m.fill(accent)
            m.add("ellipse 212,140 9,7 0,360")
    elif hair_style == "curly":
        for i in range(13):
            a = math.radians(165 + 210 * i / 12)
            x, y = 150 + 76 * math.cos(a), 176 + 84 * math.sin(a)
            m.add(f"circle {fmt(x)},{fmt(y)} {fmt(x + 21)},{fmt(y)}")
        m.add("polygon " + pts(ellipse_points(150, 186, 70, 84, 190, 350, 20) +
                               [(210, 160), (150, 150), (90, 160)]))
        m.fill(hair_dark)
        for i in range(7):
            a = math.radians(200 + 140 * i / 6)
            x, y = 150 + 60 * math.cos(a), 170 + 60 * math.sin(a)
            m.add(f"circle {fmt(x)},{fmt(y)} {fmt(x + 5)},{fmt(y)}")
    elif hair_style == "bald":
        m.add("ellipse 84,168 12,26 0,360", "ellipse 216,168 12,26 0,360")
        m.fill("#ffffff", 0.35)
        m.add("ellipse 128,128 16,9 0,360")

    if extra == "beret":
        m.fill(accent)
        m.add("push graphic-context", "translate 150,112", "rotate -10",
              "ellipse 0,0 80,26 0,360", "pop graphic-context",
              "circle 160,84 160,78")
    elif extra == "ribbon":
        m.fill(accent)
        m.add("polygon 196,118 226,100 222,138", "polygon 196,118 170,98 172,136",
              "circle 196,118 196,110")
    elif extra == "hairpin":
        m.fill(accent)
        for i in range(5):
            a = math.radians(i * 72)
            x, y = 206 + 9 * math.cos(a), 128 + 9 * math.sin(a)
            m.add(f"circle {fmt(x)},{fmt(y)} {fmt(x + 6)},{fmt(y)}")
        m.fill("#fff3a0")
        m.add("circle 206,128 206,124")

    # eyebrows
    m.fill(hair_dark if not grey else shade(hair, 0.6))
    m.add(band(124, 178, 14, 6, 205, 335, 4.5), band(176, 178, 14, 6, 205, 335, 4.5))

    # eyes
    for ex in (124, 176):
        if eyes == "dot":
            m.fill("#2b2b2b")
            m.add(f"ellipse {ex},194 6,8 0,360")
            m.fill("#ffffff")
            m.add(f"circle {ex + 2},191 {ex + 4},191")
        elif eyes == "round":
            m.fill("#ffffff")
            m.add(f"ellipse {ex},194 12,9 0,360")
            m.fill(iris)
            m.add(f"circle {ex},195 {ex + 7},195")
            m.fill("#111111")
            m.add(f"circle {ex},195 {ex + 3.5},195")
            m.fill("#ffffff")
            m.add(f"circle {ex + 2.5},192 {ex + 4.5},192")
        elif eyes == "happy":
            m.fill("#2b2b2b")
            m.add(band(ex, 199, 9, 7, 200, 340, 4))
        elif eyes == "lash":
            m.fill("#2b2b2b")
            m.add(f"ellipse {ex},195 6,8 0,360")
            m.add(band(ex, 196, 10, 9, 200, 340, 3))
            side = -1 if ex < 150 else 1
            m.add("polygon " + pts([(ex + side * 9, 190), (ex + side * 15, 185),
                                    (ex + side * 11, 192)]))
            m.fill("#ffffff")
            m.add(f"circle {ex + 2},192 {ex + 4},192")
    if glasses:
        frame = rng.choice(["#333333", "#8b4513", "#1f4e79", "#7b2d26"])
        m.add("push graphic-context", f"stroke '{frame}'", "stroke-width 4",
              "fill '#ffffff'", "fill-opacity 0.15",
              "circle 124,194 143,194", "circle 176,194 195,194",
              "pop graphic-context")
        m.fill(frame)
        m.add(band(150, 197, 8, 6, 200, 340, 3.5),
              "polygon 105,190 88,186 88,190 105,194", "polygon 195,190 212,186 212,190 195,194")

    # nose and cheeks
    m.fill(shade(skin, 0.72))
    m.add(band(150, 212, 6, 5, 20, 160, 3.2))
    m.fill("#ff6f7d", 0.28)
    m.add("ellipse 106,222 13,8 0,360", "ellipse 194,222 13,8 0,360")

    # facial hair
    if extra == "beard":
        m.fill(hair)
        m.add(band(150, 190, 64, 76, 12, 168, 20))
        m.add("ellipse 150,262 34,18 0,360")
    if extra in ("beard", "mustache"):
        m.fill(hair_dark if not grey else shade(hair, 0.8))
        m.add("ellipse 139,226 12,5 0,360", "ellipse 161,226 12,5 0,360")

    # mouth
    if mouth == "smile":
        m.fill(lip)
        m.add(band(150, 230, 19, 12, 25, 155, 4))
    elif mouth == "small":
        m.fill(lip)
        m.add(band(150, 236, 9, 6, 25, 155, 3.5))
    elif mouth == "open":
        m.fill("#7a2630")
        m.add("polygon " + pts(ellipse_points(150, 236, 19, 15, 0, 180, 20)))
        m.fill("#e06a74")
        m.add("ellipse 150,246 9,4 0,360")
    elif mouth == "grin":
        m.fill("#ffffff")
        m.add("polygon " + pts(ellipse_points(150, 234, 21, 14, 0, 180, 20)))
        m.fill(lip)
        m.add(band(150, 234, 21, 14, 0, 180, 3), "rectangle 128,232 172,235")

    if extra == "earrings":
        m.fill("#f1c40f")
        m.add("circle 86,216 86,211", "circle 214,216 214,211")


def make_picture(convert: str, out: Path, index: int, spec, tmp: Path) -> None:
    name, w, h, decoration, bmp_bits = spec
    person = PEOPLE[index]
    rng = random.Random(1000 + index)
    c1, c2 = BACKGROUNDS[index % len(BACKGROUNDS)]

    # figure placement: full height for portraits, a little smaller for wide pictures
    if w < h:
        s = h / 400
        oy = 0.0
    else:  # wide: a closer head-and-shoulders crop, the lower body runs off the bottom
        s = h / 320
        oy = h - 382 * s
    ox = (w - 300 * s) / 2
    head_xy = (ox + 150 * s, oy + 188 * s)

    m = Mvg()
    draw_decoration(m, decoration, w, h, rng, head_xy)
    m.add("push graphic-context", f"translate {fmt(ox)},{fmt(oy)}", f"scale {s:.4f},{s:.4f}")
    draw_person(m, person, rng)
    m.add("pop graphic-context")

    gradient = f"gradient:{c1}-{c2}" if index % 3 else f"radial-gradient:{c2}-{c1}"
    png = tmp / f"{name}.png"
    run([convert, "-size", f"{w}x{h}", gradient, "-draw", m.text(), png.as_posix()])

    target = out / name
    ext = name.rsplit(".", 1)[1]
    if ext == "JPG":
        for quality in (90, 85, 80, 75, 70, 60):
            run([convert, png.as_posix(), "-strip", "-sampling-factor", "2x2",
                 "-quality", str(quality), f"JPEG:{target}"])
            if target.stat().st_size <= PICTURE_LIMIT:
                break
    elif ext == "GIF":
        for colors in (128, 96, 64, 48, 32):
            run([convert, png.as_posix(), "-strip", "-dither", "None", "-colors", str(colors),
                 f"GIF:{target}"])
            if target.stat().st_size <= PICTURE_LIMIT:
                break
    elif ext == "BMP":
        if bmp_bits == 8:
            run([convert, png.as_posix(), "-strip", "-alpha", "off", "-dither", "None",
                 "-colors", "256", "-type", "Palette", "-compress", "None", f"BMP3:{target}"])
        else:
            run([convert, png.as_posix(), "-strip", "-alpha", "off", "-type", "TrueColor",
                 "-compress", "None", f"BMP3:{target}"])
    size = target.stat().st_size
    if size > PICTURE_LIMIT:
        sys.exit(f"{target} is {size} bytes, over the {PICTURE_LIMIT}-byte limit")


def make_pictures(out_dir: Path) -> list[str]:
    convert = shutil.which("magick") or find_tool("convert")
    pictures = out_dir / "Pictures"
    pictures.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for index, spec in enumerate(PICTURE_FILES):
            make_picture(convert, pictures, index, spec, Path(tmp))
            print(f"  Pictures/{spec[0]}  {(pictures / spec[0]).stat().st_size:7d} bytes")
    return [spec[0] for spec in PICTURE_FILES]


# ---------------------------------------------------------------------------
# Main
# ---------------------------------------------------------------------------

def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", type=Path, default=ROOT / "data", help="output folder (default: data/)")
    parser.add_argument("--only", default="pictures,music,text",
                        help="comma-separated subset of: pictures, music, text")
    args = parser.parse_args()
    parts = {p.strip() for p in args.only.split(",") if p.strip()}
    args.out.mkdir(parents=True, exist_ok=True)
    if "pictures" in parts:
        print("pictures:")
        make_pictures(args.out)


if __name__ == "__main__":
    main()
