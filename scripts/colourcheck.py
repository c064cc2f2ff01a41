#!/usr/bin/env python3
"""How far apart the fills of a drawing stay for a reader who sees no colour,
or sees it with one of the three common colour blindnesses.

Reads an image (8-bit PNG, binary PPM as xwdtopnm writes it, or the first
page of a PDF through pdftoppm), finds its fills (colours that stand in
blocks at least --run pixels wide and high and cover at least --share of the
image, so text, rules and anti-aliasing drop out),
simulates each fill for deuteranopia, protanopia and tritanopia (the matrices
of Machado, Oliveira and Fernandes 2009 at full severity, applied to linear
RGB) and in greyscale (CIE L* of the luminance), and prints the colour
difference (CIEDE2000) of every pair of fills under each, and the smallest.
With --simulate DIR it also writes the image as each reader sees it, as PNG.

Usage: scripts/colourcheck.py IMAGE [--crop WxH+X+Y] [--run 12] [--share 0.002]
       [--simulate DIR] [--min-de 10] [--min-grey 12]
Exit status 1 when a pair is closer than --min-de (any vision) or --min-grey
(lightness in grey).
"""

import argparse
import itertools
import math
import os
import re
import subprocess
import sys
import struct
import tempfile
import zlib

MACHADO = {
    "protanopia": ((0.152286, 1.052583, -0.204868), (0.114503, 0.786281, 0.099216), (-0.003882, -0.048116, 1.051998)),
    "deuteranopia": ((0.367322, 0.860646, -0.227968), (0.280085, 0.672501, 0.047413), (-0.011820, 0.042940, 0.968881)),
    "tritanopia": ((1.255528, -0.076749, -0.178779), (-0.078411, 0.930809, 0.147602), (0.004733, 0.691367, 0.303900)),
}
VISIONS = ("normal", "deuteranopia", "protanopia", "tritanopia", "grey")


def to_linear(c):
    c /= 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def to_srgb(c):
    c = min(1.0, max(0.0, c))
    c = 12.92 * c if c <= 0.0031308 else 1.055 * c ** (1 / 2.4) - 0.055
    return int(round(c * 255))


def simulate(rgb, vision):
    if vision == "normal":
        return rgb
    lin = [to_linear(c) for c in rgb]
    if vision == "grey":
        y = 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]
        g = to_srgb(y)
        return (g, g, g)
    m = MACHADO[vision]
    return tuple(to_srgb(sum(m[i][j] * lin[j] for j in range(3))) for i in range(3))


def lab(rgb):
    r, g, b = (to_linear(c) for c in rgb)
    x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047
    y = 0.2126 * r + 0.7152 * g + 0.0722 * b
    z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883

    def f(t):
        return t ** (1 / 3) if t > 216 / 24389 else (24389 / 27 * t + 16) / 116

    return (116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z)))


def ciede2000(lab1, lab2):
    l1, a1, b1 = lab1
    l2, a2, b2 = lab2
    c1, c2 = math.hypot(a1, b1), math.hypot(a2, b2)
    cm = (c1 + c2) / 2
    g = 0.5 * (1 - math.sqrt(cm ** 7 / (cm ** 7 + 25 ** 7)))
    a1p, a2p = (1 + g) * a1, (1 + g) * a2
    c1p, c2p = math.hypot(a1p, b1), math.hypot(a2p, b2)
    h1p = math.degrees(math.atan2(b1, a1p)) % 360
    h2p = math.degrees(math.atan2(b2, a2p)) % 360
    dl = l2 - l1
    dc = c2p - c1p
    if c1p * c2p == 0:
        dh = 0
    elif abs(h2p - h1p) <= 180:
        dh = h2p - h1p
    else:
        dh = h2p - h1p - 360 if h2p > h1p else h2p - h1p + 360
    dhh = 2 * math.sqrt(c1p * c2p) * math.sin(math.radians(dh / 2))
    lm = (l1 + l2) / 2
    cmp_ = (c1p + c2p) / 2
    if c1p * c2p == 0:
        hm = h1p + h2p
    elif abs(h1p - h2p) <= 180:
        hm = (h1p + h2p) / 2
    else:
        hm = (h1p + h2p + 360) / 2 if h1p + h2p < 360 else (h1p + h2p - 360) / 2
    t = (1 - 0.17 * math.cos(math.radians(hm - 30)) + 0.24 * math.cos(math.radians(2 * hm))
         + 0.32 * math.cos(math.radians(3 * hm + 6)) - 0.20 * math.cos(math.radians(4 * hm - 63)))
    dtheta = 30 * math.exp(-(((hm - 275) / 25) ** 2))
    rc = 2 * math.sqrt(cmp_ ** 7 / (cmp_ ** 7 + 25 ** 7))
    sl = 1 + 0.015 * (lm - 50) ** 2 / math.sqrt(20 + (lm - 50) ** 2)
    sc = 1 + 0.045 * cmp_
    sh = 1 + 0.015 * cmp_ * t
    rt = -math.sin(math.radians(2 * dtheta)) * rc
    return math.sqrt((dl / sl) ** 2 + (dc / sc) ** 2 + (dhh / sh) ** 2 + rt * (dc / sc) * (dhh / sh))


def read_ppm(data):
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or int(fields[3]) != 255:
        sys.exit("not an 8-bit binary PPM")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:pos + 1 + width * height * 3]


def read_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG")
    pos = 8
    idat = b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                sys.exit("only 8-bit RGB or RGBA PNGs, not interlaced")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if colour == 2 else 4
    stride = width * channels
    raw = zlib.decompress(idat)
    out = bytearray()
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        if channels == 4:  # on white, as on paper
            for x in range(width):
                r, g, b, alpha = line[x * 4:x * 4 + 4]
                out += bytes(int(round((v * alpha + 255 * (255 - alpha)) / 255)) for v in (r, g, b))
        else:
            out += line
    return width, height, bytes(out)


def write_png(path, width, height, pixels):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + pixels[y * width * 3:(y + 1) * width * 3] for y in range(height))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def load(path, crop, work):
    if path.lower().endswith(".pdf"):
        subprocess.run(["pdftoppm", "-r", "100", "-f", "1", "-l", "1", "-singlefile", path,
                        os.path.join(work, "page")], check=True)
        path = os.path.join(work, "page.ppm")
    with open(path, "rb") as f:
        data = f.read()
    width, height, pixels = read_png(data) if data[:4] == b"\x89PNG" else read_ppm(data)
    if crop:
        size, x, y = re.fullmatch(r"(\d+x\d+)\+(\d+)\+(\d+)", crop).groups()
        w, h = (int(v) for v in size.split("x"))
        x, y = int(x), int(y)
        w, h = min(w, width - x), min(h, height - y)
        pixels = b"".join(pixels[((y + row) * width + x) * 3:((y + row) * width + x + w) * 3] for row in range(h))
        width, height = w, h
    return width, height, pixels


def fills(width, height, pixels, run, share):
    """The colours of blocks at least run pixels wide and high: fills, not
    text, rules or anti-aliasing."""
    colour = [int.from_bytes(pixels[i:i + 3], "big") for i in range(0, len(pixels), 3)]

    def runs(starts, count, step):
        long_ = bytearray(len(colour))
        for start in starts:
            i = 0
            while i < count:
                at = start + i * step
                end = i + 1
                while end < count and colour[start + end * step] == colour[at]:
                    end += 1
                if end - i >= run:
                    for k in range(i, end):
                        long_[start + k * step] = 1
                i = end
        return long_

    wide = runs(range(0, width * height, width), width, 1)
    tall = runs(range(width), height, width)
    counts = {}
    for i, c in enumerate(colour):
        if wide[i] and tall[i]:
            counts[c] = counts.get(c, 0) + 1
    least = share * width * height
    found = sorted(((n, c) for c, n in counts.items() if n >= least), reverse=True)
    return [((c >> 16) & 255, (c >> 8) & 255, c & 255) for _, c in found]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("image")
    parser.add_argument("--crop")
    parser.add_argument("--run", type=int, default=12)
    parser.add_argument("--share", type=float, default=0.002)
    parser.add_argument("--simulate")
    parser.add_argument("--min-de", type=float, default=10)
    parser.add_argument("--min-grey", type=float, default=12)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        width, height, pixels = load(args.image, args.crop, work)
    colours = fills(width, height, pixels, args.run, args.share)
    if len(colours) < 2:
        sys.exit("fewer than two fills found")
    print("fills: " + " ".join("#%02x%02x%02x" % c for c in colours))
    for colour in colours:
        l = lab(colour)[0]
        print("  #%02x%02x%02x  L* %5.1f" % (*colour, l))

    worst = {}
    print("%-16s %7s %7s %7s %7s %7s" % ("pair", "normal", "deuter", "protan", "tritan", "grey dL"))
    for a, b in itertools.combinations(colours, 2):
        row = []
        for vision in VISIONS:
            la, lb = lab(simulate(a, vision)), lab(simulate(b, vision))
            value = abs(la[0] - lb[0]) if vision == "grey" else ciede2000(la, lb)
            row.append(value)
            if vision not in worst or value < worst[vision][0]:
                worst[vision] = (value, a, b)
        print("%02x%02x%02x-%02x%02x%02x  " % (*a, *b) + " ".join("%7.1f" % v for v in row))
    failed = False
    for vision in VISIONS:
        value, a, b = worst[vision]
        what = "lightness difference" if vision == "grey" else "CIEDE2000"
        print("smallest %s, %s: %.1f (#%02x%02x%02x and #%02x%02x%02x)" % (what, vision, value, *a, *b))
        failed |= value < (args.min_grey if vision == "grey" else args.min_de)

    if args.simulate:
        os.makedirs(args.simulate, exist_ok=True)
        stem = os.path.splitext(os.path.basename(args.image))[0]
        for vision in VISIONS[1:]:
            cache = {}
            out = bytearray(len(pixels))
            for i in range(0, len(pixels), 3):
                colour = pixels[i:i + 3]
                seen = cache.get(colour)
                if seen is None:
                    seen = cache[colour] = bytes(simulate(tuple(colour), vision))
                out[i:i + 3] = seen
            write_png(os.path.join(args.simulate, f"{stem}-{vision}.png"), width, height, bytes(out))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
