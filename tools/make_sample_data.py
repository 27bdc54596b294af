#!/usr/bin/env python3
"""Generate the sample data shipped beside the program (data/).

    data/Pictures/P01.JPG ... P24.JPG   portraits of fictional people (JPG, GIF, BMP), drawn here
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


def make_picture(convert: str, out: Path, index: int, layout, tmp: Path) -> None:
    name, w, h, decoration, bmp_bits = layout
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
        for index, layout in enumerate(PICTURE_FILES):
            make_picture(convert, pictures, index, layout, Path(tmp))
            print(f"  Pictures/{layout[0]}  {(pictures / layout[0]).stat().st_size:7d} bytes")
    return [layout[0] for layout in PICTURE_FILES]


# ---------------------------------------------------------------------------
# Songs
# ---------------------------------------------------------------------------
#
# Melodies are written as "NOTE/BEATS" tokens (BEATS defaults to 1), "R" is a
# rest and "X" a percussion hit; "|" separates bars and every bar is checked
# against the metre.  Each voice is rendered by one sox command in which every
# note is its own effects chain (chains separated by ":" are concatenated), the
# voices are mixed, given a little reverb and written out as MP3 or WAV.

RENDER_RATE = 44100
TAIL_SECONDS = 1.2
NOTE_INDEX = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note_midi(name: str) -> int:
    pitch = NOTE_INDEX[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        pitch += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return pitch + 12 * (int(rest) + 1)


def midi_freq(midi: int) -> float:
    return 440.0 * 2 ** ((midi - 69) / 12)


def parse_notes(text: str, meter: float | None = None, what: str = "") -> list[tuple[str, float]]:
    """'C5 D5/0.5 | R/2 ...' -> [(name, beats), ...]; bars are checked against meter."""
    notes: list[tuple[str, float]] = []
    for number, bar in enumerate(text.split("|"), 1):
        total = 0.0
        for token in bar.split():
            name, _, beats = token.partition("/")
            length = float(beats) if beats else 1.0
            if name not in ("R", "X"):
                note_midi(name)  # validates the name
            notes.append((name, length))
            total += length
        if meter is not None and bar.strip() and abs(total - meter) > 1e-9:
            sys.exit(f"{what}: bar {number} has {total:g} beats, expected {meter:g}: {bar.strip()}")
    return notes


CHORD_TONES = {"": (0, 4, 7), "m": (0, 3, 7)}


def bass_line(chords: str, meter: int, pattern: str) -> str:
    """Bass notes from a chord chart such as 'C | G/C | Am'."""
    bars = []
    for bar in chords.split("|"):
        names = bar.split("/")
        span = meter / len(names)
        parts = []
        for chord in (c.strip() for c in names):
            root_name = chord[0] + (chord[1] if len(chord) > 1 and chord[1] in "#b" else "")
            quality = chord[len(root_name):]
            root = note_midi(root_name + "2")
            if root < 40:          # keep roots between E2 and D#3
                root += 12
            third, fifth = CHORD_TONES[quality][1], 7
            if pattern == "root-fifth":        # quarter notes
                steps = [(0, 1), (fifth, 1)] * int(span)
                steps = steps[: int(span)]
            elif pattern == "oompah":          # root and fifth, two beats each
                steps = [(0, span / 2), (fifth - 12 if fifth > 5 else fifth, span / 2)] if span >= 4 else [(0, span)]
            elif pattern == "walk":            # root, third, fifth, sixth
                steps = [(0, 1), (third, 1), (fifth, 1), (9 if third == 4 else 8, 1)][: int(span)]
            elif pattern == "waltz":           # root, fifth, octave
                steps = [(0, 1), (fifth, 1), (12, 1)][: int(span)]
            elif pattern == "arpeggio":        # broken chord in eighths
                cycle = [0, fifth, 12, 12 + third, 12, fifth]
                steps = [(cycle[i % len(cycle)], 0.5) for i in range(int(span * 2))]
            elif pattern == "drone":
                steps = [(0, span)]
            else:
                raise ValueError(pattern)
            for interval, beats in steps:
                midi = root + interval
                parts.append(f"{midi_name(midi)}/{beats:g}")
        bars.append(" ".join(parts))
    return " | ".join(bars)


def midi_name(midi: int) -> str:
    names = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]
    return f"{names[midi % 12]}{midi // 12 - 1}"


def instrument(kind: str, freq: float, n: int, seconds: float) -> list[str]:
    length = f"{n}s"
    f = f"{freq:.3f}"
    if kind == "pluck":
        body = ["synth", length, "pluck", f, "fade", "q", "0.003", length, f"{min(0.04, seconds / 3):.4f}"]
    elif kind == "harp":
        body = ["synth", length, "pluck", f, "synth", length, "sine", "mix", f,
                "fade", "t", "0.003", length, f"{seconds - 0.004:.4f}"]
    elif kind == "musicbox":
        body = ["synth", length, "sine", f"{freq * 4:.3f}", "vol", "0.3",
                "synth", length, "sine", "mix", f,
                "fade", "t", "0.002", length, f"{seconds - 0.003:.4f}"]
    elif kind == "epiano":
        body = ["synth", length, "sine", f"{freq * 2:.3f}", "vol", "0.45",
                "synth", length, "sine", "mix", f,
                "fade", "p", "0.004", length, f"{seconds * 0.8:.4f}"]
    elif kind == "flute":
        body = ["synth", length, "triangle", f, "tremolo", "5", "18",
                "fade", "h", f"{min(0.03, seconds / 4):.4f}", length, f"{min(0.06, seconds / 3):.4f}"]
    elif kind == "brass":
        body = ["synth", length, "sawtooth", f, "lowpass", "1800", "vol", "0.7",
                "fade", "h", f"{min(0.025, seconds / 4):.4f}", length, f"{min(0.05, seconds / 3):.4f}"]
    elif kind == "bass":
        body = ["synth", length, "triangle", f, "vol", "0.6", "synth", length, "sine", "mix", f,
                "fade", "h", "0.006", length, f"{seconds * 0.6:.4f}"]
    elif kind == "pad":
        body = ["synth", length, "sine", f, "synth", length, "triangle", "mix", f"{freq * 2:.3f}",
                "fade", "h", f"{min(0.15, seconds / 4):.4f}", length, f"{min(0.4, seconds / 2):.4f}"]
    else:
        raise ValueError(kind)
    return body + ["vol", "0.5"]


def percussion(kind: str, n: int, rate: int) -> list[str]:
    hit = min(n, int(rate * (0.09 if kind == "shaker" else 0.12)))
    if kind == "shaker":
        sound = ["synth", f"{hit}s", "whitenoise", "vol", "0.5", "highpass", "7000"]
    else:  # "snare"
        sound = ["synth", f"{hit}s", "whitenoise", "vol", "0.5", "bandpass", "1800", "1.2q"]
    return sound + ["fade", "q", "0.002", f"{hit}s", f"{hit / rate * 0.9:.4f}",
                    "vol", "0.4", "pad", "0", f"{n - hit}s"]


def render_voice(sox: str, notes, bpm: float, kind: str, transpose: int, start_beats: float,
                 total_seconds: float, rate: int, target: Path) -> None:
    seconds_per_beat = 60.0 / bpm
    timeline = [("R", start_beats)] + list(notes)
    chains: list[list[str]] = []
    position = 0.0
    for name, beats in timeline:
        if beats <= 0:
            continue
        begin = round(position * seconds_per_beat * rate)
        position += beats
        end = round(position * seconds_per_beat * rate)
        n = end - begin
        if name == "R":
            chains.append(["synth", f"{n}s", "sine", "20", "vol", "0"])
        elif name == "X":
            chains.append(percussion(kind, n, rate))
        else:
            freq = midi_freq(note_midi(name) + transpose)
            chains.append(instrument(kind, freq, n, n / rate))
    used = round(position * seconds_per_beat * rate)
    remaining = round(total_seconds * rate) - used
    if remaining > 0:
        chains.append(["synth", f"{remaining}s", "sine", "20", "vol", "0"])
    cmd = [sox, "-R", "-r", str(rate), "-c", "1", "-n", "-r", str(rate), "-c", "1",
           "-e", "floating-point", "-b", "32", target.as_posix()]
    for i, chain in enumerate(chains):
        if i:
            cmd.append(":")
        cmd.extend(chain)
    run(cmd)


# Each song: file, title, composer, tempo (beats per minute), metre (beats per bar),
# output format, voices.  A voice is (instrument, volume, transpose, entry beat,
# pickup, bars); for percussion voices the instrument is "shaker" or "snare".

def repeat(bar: str, times: int) -> str:
    return " | ".join([bar] * times)


ODE_A1 = "E5 E5 F5 G5 | G5 F5 E5 D5 | C5 C5 D5 E5 | E5/1.5 D5/0.5 D5/2"
ODE_A2 = "E5 E5 F5 G5 | G5 F5 E5 D5 | C5 C5 D5 E5 | D5/1.5 C5/0.5 C5/2"
ODE_B = "D5 D5 E5 C5 | D5 E5/0.5 F5/0.5 E5 C5 | D5 E5/0.5 F5/0.5 E5 D5 | C5 D5 G4/2"
ODE = " | ".join([ODE_A1, ODE_A2, ODE_B, ODE_A2])
ODE_CHORDS = "C | G | C | G | C | G | C | G/C | G/C | G/C | G | C/G | C | G | C | G/C"

TWINKLE_A = "C5 C5 G5 G5 | A5 A5 G5/2 | F5 F5 E5 E5 | D5 D5 C5/2"
TWINKLE_B = "G5 G5 F5 F5 | E5 E5 D5/2 | G5 G5 F5 F5 | E5 E5 D5/2"
TWINKLE = " | ".join([TWINKLE_A, TWINKLE_B, TWINKLE_A])
TWINKLE_CHORDS = "C | F/C | F/C | G/C | C/F | C/G | C/F | C/G | C | F/C | F/C | G/C"

FRERE = ("C5 D5 E5 C5 | C5 D5 E5 C5 | E5 F5 G5/2 | E5 F5 G5/2 | "
         "G5/0.5 A5/0.5 G5/0.5 F5/0.5 E5 C5 | G5/0.5 A5/0.5 G5/0.5 F5/0.5 E5 C5 | "
         "C5 G4 C5/2 | C5 G4 C5/2")
FRERE_BARS = [b.strip() for b in FRERE.split("|")]

SAKURA = ("A4 A4 B4/2 | A4 A4 B4/2 | A4 B4 C5 B4 | A4 B4/0.5 A4/0.5 F4/2 | "
          "E4 C4 E4 F4 | E4 E4/0.5 C4/0.5 B3/2 | A4 B4 C5 B4 | A4 B4/0.5 A4/0.5 F4/2 | "
          "E4 C4 E4 F4 | E4 E4/0.5 C4/0.5 B3/2 | A4 A4 B4/2 | A4 A4 B4/2 | "
          "E4 F4 B4/0.5 A4/0.5 F4 | E4/4")
SAKURA_CHORDS = "Am | Am | Am | F | E | E | Am | F | E | E | Am | Am | E | E"

JINGLE_A = "E5 E5 E5/2 | E5 E5 E5/2 | E5 G5 C5/1.5 D5/0.5 | E5/4"
JINGLE = " | ".join([
    JINGLE_A, "F5 F5 F5/1.5 F5/0.5 | F5 E5 E5 E5/0.5 E5/0.5 | E5 D5 D5 E5 | D5/2 G5/2",
    JINGLE_A, "F5 F5 F5 F5 | F5 E5 E5 E5/0.5 E5/0.5 | G5 G5 F5 D5 | C5/4"])
JINGLE_CHORDS = "C | C | C | C | F | C | D | G | C | C | C | C | F | C | G | C"

SAINTS = ("R C5 E5 F5 | G5/4 | R C5 E5 F5 | G5/4 | R C5 E5 F5 | G5/2 E5/2 | C5/2 E5/2 | D5/4 | "
          "R E5 E5 D5 | C5/3 C5 | E5/2 G5/2 | G5 F5/3 | R R E5 F5 | G5/2 E5/2 | C5/2 D5/2 | C5/4")
SAINTS_CHORDS = "C | C | C | C | C | C | C | G | C | C | F | F | C | C | G | C"

ELISE_BODY = ("E5 D#5 E5 B4 D5 C5 | A4/2 R C4 E4 A4 | B4/2 R E4 G#4 B4 | C5/2 R E4 E5 D#5 | "
              "E5 D#5 E5 B4 D5 C5 | A4/2 R C4 E4 A4 | B4/2 R E4 C5 B4")
ELISE = " | ".join([
    ELISE_BODY, "A4/2 R/2 E5 D#5",
    ELISE_BODY, "A4/2 R B4 C5 D5",
    "E5/3 G4 F5 E5 | D5/3 F4 E5 D5 | C5/3 E4 D5 C5 | B4/2 R/2 E5 D#5",
    ELISE_BODY, "A4/6"])
ELISE_LEFT_BODY = ("R/6 | A2 E3 A3 R/3 | E2 E3 G#3 R/3 | A2 E3 A3 R/3 | "
                   "R/6 | A2 E3 A3 R/3 | E2 E3 G#3 R/3")
ELISE_LEFT = " | ".join([
    ELISE_LEFT_BODY, "A2 E3 A3 R/3",
    ELISE_LEFT_BODY, "A2 E3 A3 R/3",
    "C3 G3 C4 R/3 | G2 G3 B3 R/3 | A2 E3 A3 R/3 | E2 E3 G#3 R/3",
    ELISE_LEFT_BODY, "A2 E3 A3/4"])

GREENSLEEVES = ("C5/2 D5 | E5/1.5 F5/0.5 E5 | D5/2 B4 | G4/1.5 A4/0.5 B4 | C5/2 A4 | "
                "A4/1.5 G#4/0.5 A4 | B4/2 G#4 | E4/2 A4 | C5/2 D5 | E5/1.5 F5/0.5 E5 | "
                "D5/2 B4 | G4/1.5 A4/0.5 B4 | C5/1.5 B4/0.5 A4 | G#4/1.5 F#4/0.5 G#4 | A4/3")
GREENSLEEVES_CHORDS = "Am | G | G | Em | Am | Am | E | E | Am | G | G | Em | Am | E | Am"

SONGS = [
    ("SONG01.MP3", "Ode to Joy", "L. v. Beethoven", 150, 4, ("mp3", 44100), [
        ("epiano", 1.0, 0, 0, "", ODE),
        ("bass", 0.7, 0, 0, "", bass_line(ODE_CHORDS, 4, "root-fifth")),
    ]),
    ("SONG02.WAV", "Twinkle, Twinkle, Little Star", "Traditional", 116, 4, ("wav", 11025, 8), [
        ("musicbox", 1.0, 12, 0, "", TWINKLE),
        ("musicbox", 0.55, 12, 0, "", bass_line(TWINKLE_CHORDS, 4, "arpeggio")),
    ]),
    ("SONG03.MP3", "Frere Jacques (round)", "Traditional", 150, 4, ("mp3", 44100), [
        ("pluck", 1.0, 0, 0, "", FRERE + " | " + FRERE),
        ("flute", 0.45, -12, 8, "", FRERE + " | " + " | ".join(FRERE_BARS[:6])),
        ("musicbox", 0.55, 12, 16, "", FRERE + " | " + " | ".join(FRERE_BARS[:4])),
        ("bass", 0.6, 0, 0, "", bass_line(repeat("C", 16), 4, "root-fifth")),
    ]),
    ("SONG04.WAV", "Sakura Sakura", "Traditional (Japan)", 126, 4, ("wav", 8000, 16), [
        ("pluck", 1.0, 12, 0, "", SAKURA),
        ("pluck", 0.35, 0, 0, "", SAKURA),
        ("pad", 0.35, 0, 0, "", bass_line(SAKURA_CHORDS, 4, "drone")),
    ]),
    ("SONG05.MP3", "Jingle Bells", "J. Pierpont", 168, 4, ("mp3", 44100), [
        ("epiano", 1.0, 0, 0, "", JINGLE),
        ("bass", 0.7, 0, 0, "", bass_line(JINGLE_CHORDS, 4, "oompah")),
        ("shaker", 0.5, 0, 0, "", repeat("X X X X", 16)),
    ]),
    ("SONG06.WAV", "When the Saints Go Marching In", "Traditional", 160, 4, ("wav", 11025, 8), [
        ("brass", 0.9, 0, 0, "", SAINTS),
        ("bass", 0.8, 0, 0, "", bass_line(SAINTS_CHORDS, 4, "walk")),
        ("snare", 0.5, 0, 0, "", repeat("R X R X", 16)),
    ]),
    ("SONG07.MP3", "Fur Elise", "L. v. Beethoven", 400, 6, ("mp3", 44100), [
        ("harp", 1.0, 0, 0, "E5 D#5", ELISE),
        ("harp", 0.75, 0, 0, "R/2", ELISE_LEFT),
    ]),
    ("SONG08.WAV", "Greensleeves", "Traditional (England)", 138, 3, ("wav", 11025, 16), [
        ("pluck", 1.0, 0, 0, "A4", GREENSLEEVES),
        ("pluck", 0.6, 0, 0, "R", bass_line(GREENSLEEVES_CHORDS, 3, "waltz")),
    ]),
]


def make_song(sox: str, lame: str, out: Path, song, tmp: Path) -> None:
    name, title, composer, bpm, meter, output, voices = song
    parsed = []
    longest = 0.0
    for kind, volume, transpose, entry, pickup, bars in voices:
        notes = parse_notes(pickup) + parse_notes(bars, meter, f"{name} {kind}")
        beats = entry + sum(b for _, b in notes)
        longest = max(longest, beats)
        parsed.append((kind, volume, transpose, entry, notes))
    total = longest * 60.0 / bpm + TAIL_SECONDS
    if not SONG_MIN_SECONDS <= total <= SONG_MAX_SECONDS:
        sys.exit(f"{name}: {total:.1f} s is outside {SONG_MIN_SECONDS}-{SONG_MAX_SECONDS} s")

    mix_cmd = [sox, "-R", "-m"]
    for i, (kind, volume, transpose, entry, notes) in enumerate(parsed):
        voice = tmp / f"{name}.voice{i}.wav"
        render_voice(sox, notes, bpm, kind, transpose, entry, total, RENDER_RATE, voice)
        mix_cmd += ["-v", f"{volume:g}", voice.as_posix()]
    mixed = tmp / f"{name}.mix.wav"
    mix_cmd += ["-e", "floating-point", "-b", "32", mixed.as_posix(),
                "highpass", "50", "reverb", "30", "50", "60", "channels", "1",
                "compand", "0.01,0.3", "6:-70,-60,-20", "-8", "-90", "0.05",
                "gain", "-n", "-2", "fade", "q", "0.01", f"{math.floor(total * 1000) / 1000:.3f}", "0.9"]
    run(mix_cmd)

    target = out / name
    if output[0] == "mp3":
        pcm = tmp / f"{name}.pcm.wav"
        run([sox, "-R", mixed.as_posix(), "-r", str(output[1]), "-e", "signed-integer", "-b", "16", pcm.as_posix()])
        run([lame, "--quiet", "--noreplaygain", "-q", "2", "-m", "m", "-b", "64",
             "--tt", title, "--ta", composer, "--tc", "sample arrangement",
             pcm.as_posix(), target.as_posix()])
    else:
        _, rate, bits = output
        encoding = "unsigned-integer" if bits == 8 else "signed-integer"
        run([sox, "-R", mixed.as_posix(), "-r", str(rate), "-c", "1", "-e", encoding, "-b", str(bits),
             target.as_posix()])
    size = target.stat().st_size
    if size > MUSIC_LIMIT:
        sys.exit(f"{target} is {size} bytes, over the {MUSIC_LIMIT}-byte limit")
    print(f"  Musics/{name}  {size:7d} bytes  {total:5.1f} s  {title}")


def make_music(out_dir: Path) -> list[str]:
    sox = find_tool("sox")
    lame = find_tool("lame")
    musics = out_dir / "Musics"
    musics.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for song in SONGS:
            make_song(sox, lame, musics, song, Path(tmp))
    return [song[0] for song in SONGS]


# ---------------------------------------------------------------------------
# Sample roster
# ---------------------------------------------------------------------------
#
# CP932, CR LF after every line (the last one included), exactly one TAB between
# fields, 14 fields per line, no quoting.  Everyone here is fictional.

ROSTER_CAPTIONS = ["氏名", "生年", "月", "日", "血液型", "出身地", "所属", "好きな言葉",
                   "一言", "好きな曲", "再生開始位置", "再生時間", "写真", "除外"]

# name, year, month, day, blood type, birthplace, affiliation, favourite words,
# comment, song, start (s), playing time (s), photo, excluded
ROSTER = [
    ("山田　太郎", 1975, 3, 21, "A", "東京都", "営業部", "一期一会",
     "今日は一番乗りで会場に来ました。", "SONG01.MP3", "0", "20", "P01.JPG", ""),
    ("佐藤　花子", 1988, 3, 20, "O", "大阪府", "総務部", "笑う門には福来る",
     "幹事のみなさん、準備お疲れさまです！", "SONG02.WAV", "5", "15", "P02.GIF", ""),
    ("鈴木　一郎", 1969, 12, 22, "B", "北海道", "開発部", "初志貫徹",
     "冬生まれなので寒さには強いです。", "SONG03.MP3", "", "", "P03.BMP", ""),
    ("高橋　美咲", 1995, 1, 19, "AB", "沖縄県", "企画部", "なんくるないさ",
     "泳ぐのが得意で、夏は毎週海に行きます。", "SONG04.WAV", "0", "25", "P04.JPG", ""),
    ("林　舞", 2001, 1, 20, "A", "福岡県", "人事部", "日進月歩",
     "入社一年目です、よろしくお願いします！", "SONG05.MP3", "3", "12", "P05.JPG", ""),
    ("伊藤　健二", 1972, 2, 18, "O", "愛知県", "製造部", "七転び八起き",
     "週末は息子と草野球をしています。", "SONG06.WAV", "0", "", "", ""),
    ("渡辺　さくら", 1998, 2, 19, "A", "京都府", "広報室", "花鳥風月",
     "社内報の取材で皆さんの席に伺います。", "SONG07.MP3", "0", "18", "P06.GIF", ""),
    ("中村　浩", 1966, 4, 19, "A", "広島県", "経理部", "温故知新",
     "最近、孫が生まれておじいちゃんになりました。", "", "", "", "P07.BMP", ""),
    ("小林　由美", 1983, 4, 20, "B", "宮城県", "営業部", "有言実行",
     "今年こそ営業成績トップを狙います。", "SONG08.WAV", "2", "15", "P08.JPG", ""),
    ("加藤　翔太", 1993, 5, 21, "O", "神奈川県", "開発部", "好きこそ物の上手なれ",
     "趣味はプログラミングとキャンプです。", "SONG01.MP3", "8", "12", "P09.GIF", ""),
    ("吉田　恵", 1979, 6, 21, "A", "新潟県", "総務部", "雨垂れ石を穿つ",
     "おいしいお米の炊き方なら任せてください。", "SONG02.WAV", "", "20", "P10.BMP", ""),
    ("山本　大輔", 1986, 6, 22, "AB", "兵庫県", "企画部", "臨機応変",
     "景品の一等、実は私も狙っています。", "SONG03.MP3", "10", "10", "", ""),
    ("松本　千尋", 1990, 7, 22, "O", "長野県", "人事部", "一日一善",
     "山登りが好きで、去年は槍ヶ岳に登りました。", "", "", "", "P11.JPG", ""),
    ("井上　誠", 1970, 7, 23, "A", "静岡県", "営業部", "誠心誠意",
     "お茶の淹れ方には少々うるさいです。", "SONG04.WAV", "4", "16", "P12.JPG", ""),
    ("木村　彩", 1996, 2, 29, "B", "埼玉県", "開発部", "十人十色",
     "うるう年生まれなので誕生日は四年に一度です。", "SONG05.MP3", "0", "22", "P13.GIF", ""),
    ("森　陽", 2002, 8, 23, "O", "熊本県", "開発部", "為せば成る",
     "最年少ですが元気だけは負けません。", "SONG06.WAV", "6", "10", "P14.BMP", ""),
    ("清水　直子", 1977, 9, 22, "A", "岡山県", "経理部", "継続は力なり",
     "毎朝五時に起きてジョギングしています。", "", "", "", "P15.JPG", ""),
    ("山口　拓也", 1984, 9, 23, "O", "山口県", "製造部", "切磋琢磨",
     "名字と出身県が同じなのでよく驚かれます。", "SONG07.MP3", "", "", "P16.JPG", ""),
    ("斎藤　優子", 1991, 10, 23, "A", "千葉県", "営業部", "笑顔が一番",
     "最近ヨガを始めて体が柔らかくなりました。", "SONG08.WAV", "0", "14", "P17.GIF", ""),
    ("佐々木　修", 1968, 10, 24, "B", "香川県", "総務部", "不撓不屈",
     "うどんは一日三食でも平気です。", "SONG01.MP3", "2", "", "", ""),
    ("橋本　真由美", 1981, 11, 22, "A", "石川県", "品質保証部", "明鏡止水",
     "細かいところに気がつくのが取り柄です。", "SONG02.WAV", "0", "20", "P18.BMP", ""),
    ("石川　亮", 1999, 11, 23, "O", "青森県", "開発部", "日々是好日",
     "りんごの品種当てなら誰にも負けません。", "SONG03.MP3", "5", "20", "P19.JPG", ""),
    ("前田　和子", 1965, 12, 21, "A", "鹿児島県", "総務部", "ありがとう",
     "この会社に勤めて三十五年になりました。", "", "", "", "P20.JPG", ""),
    ("マクファーソン　ジェニファー", 1987, 5, 20, "O", "兵庫県", "海外事業部", "和顔愛語",
     "神戸生まれで、関西弁と英語が話せます。", "SONG04.WAV", "0", "20", "P21.GIF", ""),
    ("藤田　勇気", 1994, 8, 8, "B", "高知県", "営業部", "猪突猛進",
     "カツオのたたきの美味しい店を知っています。", "SONG05.MP3", "", "15", "P22.BMP", ""),
    ("岡田　美穂", 1989, 3, 3, "A", "奈良県", "企画部", "千里の道も一歩から",
     "ひな祭りが誕生日です。", "SONG06.WAV", "0", "25", "P23.JPG", ""),
    ("後藤　孝", 1974, 5, 5, "O", "岩手県", "製造部", "石の上にも三年",
     "こどもの日生まれですが、もう立派な大人です。", "", "", "", "", ""),
    ("長谷川　正義", 1965, 6, 1, "A", "東京都", "役員室", "信は力なり",
     "今日は景品を提供する側なので、抽選からは外れます。", "SONG07.MP3", "0", "10", "P24.JPG", "1"),
    ("村上　葵", 2000, 10, 10, "AB", "大分県", "人事部", "晴耕雨読",
     "温泉めぐりが趣味です、おすすめを教えてください。", "", "", "", "", ""),
    ("近藤　隼人", 1992, 9, 9, "B", "群馬県", "開発部", "行雲流水",
     "学生時代は山岳部で日本百名山の制覇を目指していましたが、社会人になってからはなかなか"
     "時間が取れず、今は週末に近所の河川敷を走るくらいなので、今日の景品で新しい"
     "ランニングシューズを当てたいです！", "SONG08.WAV", "3", "", "", ""),
]


def write_cp932(path: Path, lines: list[str]) -> None:
    data = "".join(line + "\r\n" for line in lines).encode("cp932")
    path.write_bytes(data)


def make_roster(out_dir: Path) -> None:
    pictures = {p.name for p in (out_dir / "Pictures").glob("*")}
    musics = {p.name for p in (out_dir / "Musics").glob("*")}
    lines = ["\t".join(ROSTER_CAPTIONS)]
    for row in ROSTER:
        fields = [str(v) for v in row]
        if len(fields) != 14 or any(("\t" in f or "\r" in f or "\n" in f) for f in fields):
            sys.exit(f"bad roster row: {row}")
        song, photo = fields[9], fields[12]
        if song and song not in musics:
            sys.exit(f"roster refers to a missing song: {song}")
        if photo and photo not in pictures:
            sys.exit(f"roster refers to a missing picture: {photo}")
        lines.append("\t".join(fields))
    write_cp932(out_dir / "Sample01.txt", lines)
    print(f"  Sample01.txt  {(out_dir / 'Sample01.txt').stat().st_size:7d} bytes  {len(ROSTER)} participants")


# ---------------------------------------------------------------------------
# Operating manual
# ---------------------------------------------------------------------------

MANUAL = """\
━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━
　ミルダ　操作説明
　　― 参加者みんなが主役になる「人間ビンゴ」で、パーティーを盛り上げよう ―
━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━

【目次】
　１．ミルダでできること
　２．起動と終了
　３．初めて起動したとき
　４．メイン画面とメニュー
　５．参加者の登録
　６．参加者ファイルの保存と読み込み
　７．設定
　８．ゲームモード
　９．抽選
　10．ビンゴカードの発行
　11．ファイルとフォルダー
　12．困ったときは

━━ １．ミルダでできること ━━━━━━━━━━━━━━━━━━━━━━━━
ミルダは、パーティーや懇親会で、数字の代わりに「人」を抽選するビンゴ大会を
開くためのプログラムです。

　・参加者を最大300人まで登録できます。
　・抽選のたびに、当選した人の写真をプロジェクターに大きく映し、その人の
　　テーマ曲を流しながら、誕生日・出身地・血液型・星座・所属・好きな言葉・
　　一言を紹介します。
　・画面のパネルが一枚ずつ開いていくので、会場全体で進み具合を楽しめます。
　・参加者の名前を印刷したビンゴカードや、自由に書き込める白紙のカードを
　　印刷できます。

準備の流れ
　(1) 参加者を登録し、写真とテーマ曲を用意する …… 「５．参加者の登録」
　(2) ゲームのモードやパネル数を決める ……………… 「７．設定」「８．ゲームモード」
　(3) ビンゴカードを印刷して配る …………………… 「10．ビンゴカードの発行」
　(4) 当日、プロジェクターにつないで抽選する ……… 「９．抽選」

━━ ２．起動と終了 ━━━━━━━━━━━━━━━━━━━━━━━━━━━━
■起動
　ミルダを起動すると、まずタイトル画面（スプラッシュ画面）がしばらく表示され、
　そのあとメイン画面が開きます。前回使った参加者ファイルは自動で読み込まれます。

■終了
　メニューの［ﾌｧｲﾙ(F)］→［終了(X)］を選びます。
　抽選中にうっかり閉じてしまわないよう、ウィンドウ右上の閉じるボタン（×）は
　使えないようにしてあります。終了するときは必ずこのメニューを使ってください。
　保存していない変更があるときは、終了してよいかを確認します。

━━ ３．初めて起動したとき ━━━━━━━━━━━━━━━━━━━━━━━━
初めて起動したときは、次の準備を自動で行います。

　(1) ドキュメントフォルダーに作業フォルダー「Mrda」を作り、その中に写真用の
　　　「Pictures」フォルダーと曲用の「Musics」フォルダーを作ります。
　(2) サンプルの参加者ファイル「Sample01.txt」と、その写真・曲を作業フォルダー
　　　にコピーします。
　(3) プログラムと同じフォルダーに設定ファイル「Mrda.ini」を作ります。

　　ドキュメント
　　　└ Mrda ……………… 作業フォルダー（参加者ファイル、カードのPDF）
　　　　　├ Pictures …… 参加者の写真
　　　　　└ Musics ……… 参加者のテーマ曲

初回はサンプルの「Sample01.txt」が読み込まれた状態で始まるので、すぐに［抽選］→
［開始］で抽選を試せます。サンプルの参加者はすべて架空の人物です。

━━ ４．メイン画面とメニュー ━━━━━━━━━━━━━━━━━━━━━━━
参加者登録・設定・抽選・カード発行の各画面は、メイン画面の中に開きます。
同時に開ける画面は一つだけで、画面を開いている間は［ﾌｧｲﾙ(F)］や［設定］の
メニューは使えません。画面を閉じてから操作してください。

［ﾌｧｲﾙ(F)］
　新規作成(N) ……………………… 新しい参加者ファイルを作ります。
　開く(O)...　　　（Ctrl+O）…… 保存してある参加者ファイルを開きます。
　上書き保存(S) …………………… 今開いているファイルに保存します。
　名前を付けて保存(A)... ………… 別の名前を付けて保存します。
　ビンゴカード発行(P)... ………… ビンゴカード発行画面を開きます。
　終了(X) …………………………… ミルダを終了します。
［設定］ ………………………………… 設定画面を開きます。
［抽選］
　開始 ………………………………… 抽選画面を開きます。
　通常抽選 …………………………… 紹介と演出をすべて行う抽選にします。
　簡易抽選 …………………………… 紹介を省き、短い演出で抽選します。
　終了 ………………………………… 抽選を終えて抽選画面を閉じます。
［取説］ ………………………………… この操作説明を表示します。

━━ ５．参加者の登録 ━━━━━━━━━━━━━━━━━━━━━━━━━━━
参加者の登録と修正は参加者登録画面で行います。ファイルを新規作成するか
開くと、この画面が表示されます。一人分ずつ入力して［適用］で登録します。

■入力する項目
　行番 ………… 登録する行の番号（1～300）です。空欄のまま適用すると自動付番
　　　　　　　　となり、空いている一番若い行に登録されます。既に登録してある
　　　　　　　　行番を入れると、その人の内容が表示され、修正できます。
　　　　　　　　［↑］［↓］ボタンで一つ前・一つ後の行番に移れます。
　氏名 ………… 姓と名の間は空白で区切ると読みやすく表示されます。
　生年月日 …… 年（西暦4桁）・月・日を入れます。星座は誕生日から自動で決まります。
　血液型 ……… ボタンを押すたびに A → O → B → AB → A … と切り替わります。
　出身地 ……… ボタンを押すたびに都道府県名が北海道から沖縄県まで順に
　　　　　　　　切り替わります。
　所属 ………… 部署名、チーム名、テーブル名など。
　好きな言葉 … 座右の銘や四字熟語など。
　一言 ………… 自己紹介やみんなへのメッセージ。
　　　　　　　　「好きな言葉」「一言」は項目名のボタンを押すと、項目名そのものを
　　　　　　　　変更できます（例：「好きな食べ物」「今年の目標」）。変更した
　　　　　　　　項目名は参加者ファイルの 1 行目に保存されます。
　テーマ曲 …… 抽選されたときに流す曲です。ボタンを押して Musics フォルダーの
　　　　　　　　曲から選ぶか、曲のファイルをこの欄にドラッグ＆ドロップします。
　再生開始位置 … 曲の何秒目から流すかを秒で入れます。空欄なら曲の最初からです。
　再生時間 …… 何秒間流すかを秒で入れます。
　写真 ………… ボタンを押して Pictures フォルダーの写真から選ぶか、写真の
　　　　　　　　ファイルをこの欄にドラッグ＆ドロップします。
　抽選除外 …… 「1」を入れると、その人は抽選されず、ビンゴカードにも印刷され
　　　　　　　　ません。景品を用意してくださった方や司会者などに使います。

　ドラッグ＆ドロップした曲や写真は、音楽・写真の保存フォルダーにコピーされ、
　ファイル名は半角の大文字で登録されます。曲は MP3・WAV、写真は JPEG・GIF・
　BMP などが使えます。写真は縦長でも横長でもかまいません。

■ボタン
　［試聴］ …… テーマ曲を再生開始位置から再生時間だけ流して確かめます。
　［適用］ …… 入力した内容を登録します。
　※写真は顔が真ん中に大きく写ったもの、曲は盛り上がる部分から流れるように
　　再生開始位置を調整したものが、会場で映えます。

■キー操作
　Enter ／ Tab ／ ↓ ………… 次の項目へ移ります。
　↑ ／ Shift+Tab …………… 前の項目へ戻ります。
　Enter（最後の項目で）…… 登録するかどうかを確認します。
　F12 ……………………………… 入力した内容を登録します（［適用］と同じ）。
　F5 ……………………………… 今の項目を、変更する前の値に戻します。
　F1 ／ Esc …………………… 登録をやめて画面を閉じます。

■参加者を削除するには
　その人の行番を表示し、氏名を消して空欄にしてから適用します。

━━ ６．参加者ファイルの保存と読み込み ━━━━━━━━━━━━━━━━━━
　・参加者登録画面を閉じてから、［ﾌｧｲﾙ(F)］→［上書き保存(S)］または
　　［名前を付けて保存(A)...］で保存します。
　・保存するときに空いている行は詰められ、行番は 1 から順に振り直されます。
　　モード３・モード4 では行番がそのままパネルの番号になるので、保存したあとに
　　行番を確かめてください。
　・保存したファイルは［ﾌｧｲﾙ(F)］→［開く(O)...］（Ctrl+O）で読み込めます。
　・参加者ファイルはタブ区切りのテキストファイル（Shift-JIS）です。表計算ソフト
　　でまとめて入力し、「タブ区切りテキスト」として保存したものも読み込めます。
　　形式は「11．ファイルとフォルダー」を見てください。

━━ ７．設定 ━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━
メニューの［設定］で設定画面を開きます。変更したら［適用］を押してください。
設定は Mrda.ini に保存され、次に起動したときもそのまま使われます。

　ゲームモード ………………… モード１～モード4 から選びます（「８．ゲームモード」）。
　紹介項目 ……………………… 抽選のときに紹介する項目にチェックを付けます。
　縦パネル数／横パネル数 …… 抽選画面に並べるパネルの縦と横の数です。
　背景色 ………………………… 抽選画面の背景の色です。
　音楽保存フォルダー ………… テーマ曲を置くフォルダーです（最初は Mrda\\Musics）。
　写真保存フォルダー ………… 写真を置くフォルダーです（最初は Mrda\\Pictures）。

━━ ８．ゲームモード ━━━━━━━━━━━━━━━━━━━━━━━━━━━
抽選画面には「縦パネル数×横パネル数」枚のパネルが並び、一人抽選するたびに
パネルが一枚開きます。どのパネルが開くかはゲームモードで決まります。

　モード１ … パネルが 1 番から順番に開きます。
　モード２ … 抽選のたびに、まだ開いていないパネルのどれかがランダムに開きます。
　モード３ … 当選した人の「自分のパネル」が開きます。行番 n の人が当たると
　　　　　　 n 番のパネルが開きます。パネルの数より大きい行番の人は抽選され
　　　　　　 ないので、パネルの数は参加者の人数以上にしてください。
　モード4 … モード３と同じですが、パネルに写真を表示しません。

　モード１～モード３ では、開いたパネルに当選者の写真が表示されます。

━━ ９．抽選 ━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━
■抽選画面を開く
　参加者ファイルを開いてから、［抽選］→［開始］を選びます。
　プロジェクターに映すときは、パソコンの画面を「複製」表示にしておくと、
　手元と同じ画面を会場に映せます。

■抽選画面のボタン
　［抽選開始］ …… 一人抽選します。
　［背景色変更］ … 背景の色をその場で変えます。
　再生時間 ……… 当選者の曲を流す時間（秒）です。参加者登録で再生時間を入れて
　　　　　　　　　いない人には、この時間が使われます。

■通常抽選の流れ
　［抽選］→［通常抽選］を選んでおくと、一回の抽選が次の順に進みます。
　(1) 当選者のテーマ曲が、再生開始位置から流れ始めます。
　(2) 生年月日・出身地・血液型・星座の紹介文が画面を流れます。
　(3) 所属・好きな言葉・一言が、一文字ずつ打ち出されます。
　(4) 当選者の写真が表示されます。
　(5) 当選者の氏名がアニメーションで大きく表示されます。
　(6) パネルが開きます。
　紹介する項目は、設定画面の「紹介項目」で選べます。

■簡易抽選
　［抽選］→［簡易抽選］を選んでおくと、紹介を省いて短い演出で次々に抽選します。
　時間が押しているときや、後半の追い込みに便利です。

■星座
　星座は生年月日から次のように決まります。
　　牡羊座 3/21～4/19　／　牡牛座 4/20～5/20　／　双子座 5/21～6/21
　　蟹座 6/22～7/22　／　獅子座 7/23～8/22　／　乙女座 8/23～9/22
　　天秤座 9/23～10/23　／　蠍座 10/24～11/22　／　射手座 11/23～12/21
　　山羊座 12/22～1/19　／　水瓶座 1/20～2/18　／　魚座 2/19～3/20

■パネルを手で開け閉めする
　モード２～モード4 では、パネルを右クリックすると
　「パネルを開く」「パネルを閉じる」「何もしない」を選ぶ画面が出ます。
　開け間違えたときや、やり直したいときに使います。

■抽選を終える
　抽選を始めたあとは、［抽選］→［終了］でしか抽選画面を閉じられません。
　「抽選を中止しますか？」と聞かれたら［はい］を押します。

━━ 10．ビンゴカードの発行 ━━━━━━━━━━━━━━━━━━━━━━━━
［ﾌｧｲﾙ(F)］→［ビンゴカード発行(P)...］でビンゴカード発行画面を開きます。

■カードの種類
　ミルダカード ……… 中心の枠だけを印刷した白紙のカードです。
　　　　　　　　　　　遊び方の例：パーティーの前半に会場を回って自己紹介し合い、
　　　　　　　　　　　話した相手の名前を空いている枠に書いてもらいます。
　通常ビンゴカード … 参加者の氏名を枠に印刷したカードです（抽選除外の人は
　　　　　　　　　　　印刷されません）。

■設定する項目
　枠数 ………………… ３×３ から ９×９ まで選べます。通常ビンゴカードでは、
　　　　　　　　　　　枠の数に見合う人数の参加者を登録しておいてください。
　用紙／面付け ……… 用紙の大きさと向き、一枚の用紙に何枚のカードを並べるかを
　　　　　　　　　　　選びます。
　　　　　　　　　　　　A4 縦／横 …… 4面・2面・1面
　　　　　　　　　　　　B5 縦／横 …… 2面・1面
　　　　　　　　　　　　はがき 縦／横 … 1面
　印字枚数 …………… 作るカードの枚数です。
　中心枠の扱い ……… 真ん中の枠に何を印刷するかを選びます。
　　　　　　　　　　　　定形マーク ………………………… ★ を印刷します（最初から開いている枠）。
　　　　　　　　　　　　指定登録行番　固定 ……………… 指定した行番の人を、すべての
　　　　　　　　　　　　　　　　　　　　　　　　　　　　　カードの真ん中に印刷します。
　　　　　　　　　　　　指定登録行番からカウントアップ … 指定した行番から 1 枚ごとに
　　　　　　　　　　　　　　　　　　　　　　　　　　　　　行番を一つずつ増やして印刷
　　　　　　　　　　　　　　　　　　　　　　　　　　　　　します。本人の名前が真ん中に
　　　　　　　　　　　　　　　　　　　　　　　　　　　　　入った「自分専用カード」になります。
　文字色 ……………… カードに印刷する文字の色です。

　［カード発行］を押すと印刷します。
　プリンターがつながっていないときは、カードを作業フォルダー（Mrda）に
　PDF ファイルとして書き出します。あとで別のパソコンから印刷できます。

━━ 11．ファイルとフォルダー ━━━━━━━━━━━━━━━━━━━━━━━
■参加者ファイル（例：Sample01.txt）
　タブ区切りのテキストファイル（Shift-JIS、改行は CR+LF）です。
　1 行目は項目名、2 行目からが参加者一人ずつで、次の 14 項目をタブで区切って
　並べます。使わない項目は空欄にします。
　　①氏名　②生年（西暦）　③月　④日　⑤血液型　⑥出身地　⑦所属
　　⑧好きな言葉　⑨一言　⑩好きな曲（Musics フォルダーのファイル名）
　　⑪再生開始位置（秒）　⑫再生時間（秒）
　　⑬写真（Pictures フォルダーのファイル名）　⑭除外（1 で抽選除外）

■設定ファイル（Mrda.ini）
　プログラムと同じフォルダーにあり、設定画面の内容などを記録しています。
　削除すると、次に起動したときに「３．初めて起動したとき」と同じ準備をやり直し
　ます（このとき作業フォルダーの Sample01.txt もサンプルの内容に戻ります）。

■写真と曲
　写真は Pictures フォルダー、曲は Musics フォルダーに置きます（設定画面で
　別のフォルダーにすることもできます）。参加者ファイルには、ファイル名だけが
　記録されます。別のパソコンで使うときは、参加者ファイルと一緒にこの二つの
　フォルダーの中身もコピーしてください。

━━ 12．困ったときは ━━━━━━━━━━━━━━━━━━━━━━━━━━━
Ｑ．ウィンドウが閉じられません。
Ａ．［ﾌｧｲﾙ(F)］→［終了(X)］で終了します。閉じるボタン（×）は使えません。

Ｑ．抽選画面が閉じられません。
Ａ．抽選を始めたあとは［抽選］→［終了］で閉じます。

Ｑ．いつまでも抽選されない人がいます。
Ａ．参加者登録の「抽選除外」が 1 になっていないか確かめてください。
　　モード３・モード4 では、パネルの数より大きい行番の人は抽選されません。

Ｑ．曲が流れません。写真が出ません。
Ａ．ファイルが Musics・Pictures フォルダー（設定画面の保存フォルダー）にあり、
　　ファイル名が参加者登録の内容と同じか確かめてください。曲は参加者登録画面の
　　［試聴］で確かめられます。パソコンの音量や、プロジェクター側の音声出力も
　　確認してください。

Ｑ．カードが印刷されません。
Ａ．プリンターがつながっていないときは、作業フォルダー（Mrda）に PDF ファイル
　　として書き出されています。

Ｑ．行番が変わってしまいました。
Ａ．保存すると空いている行が詰められ、行番が振り直されます。モード３・モード4
　　で使うときは、保存したあとでカードを作り直してください。

楽しいパーティーになりますように！
"""


def make_manual(out_dir: Path) -> None:
    lines = MANUAL.rstrip("\n").split("\n")
    for number, line in enumerate(lines, 1):
        try:
            line.encode("cp932")
        except UnicodeEncodeError as error:
            sys.exit(f"manual line {number} cannot be written in CP932: {error}")
    write_cp932(out_dir / "操作説明.txt", lines)
    print(f"  操作説明.txt  {(out_dir / '操作説明.txt').stat().st_size:7d} bytes  {len(lines)} lines")


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
    if "music" in parts:
        print("music:")
        make_music(args.out)
    if "text" in parts:
        print("text:")
        make_roster(args.out)
        make_manual(args.out)


if __name__ == "__main__":
    main()
