#!/usr/bin/python3
"""Draws every picture of the sample product and writes it where it is used.

    /usr/bin/python3 sample/art/make_pictures.py      (needs python3-pil)

Outputs (all committed; the build never runs this script):
  setup/header.png, setup/header_dark.png     wizard header strip, 640 x 53, stored at 1280 x 106
  setup/wizard_light.png, setup/wizard_dark.png   side picture of the full-screen pages, 188 x 435,
                                              stored at 376 x 870
  (the wizard scales its pictures to their rectangles at the window's scale: stored at twice
  the size, they stay sharp up to 200 %)
  setup/addons.png                            picture of the add-on offer (alpha)
  programs/nolu.ico                           icon of Nolu.exe (16, 32, 48)
  product/Icons/*.png                         file-type icons of the product (alpha)
  product/Skins/*/buttons.png                 button strips of the two skins (alpha)
  the "Icon" line of setup/*.lng              the language's flag as a 16 x 16 icon, in hex

Everything is drawn four times larger and scaled down, which gives smooth edges without any
anti-aliasing support in the drawing calls. The look: the brand orange of the wizard palette
(222, 140, 51 light, 172, 103, 28 dark), a rounded-square mark with a play triangle and two
sound waves, soft gradients, and light and dark variants that carry the header text colours
(black on light, white on dark) on their right-hand part.
"""

import io
import math
import pathlib
import re
import struct

from PIL import Image, ImageDraw, ImageFont

HERE = pathlib.Path(__file__).resolve().parent
SAMPLE = HERE.parent
SS = 4  # supersampling factor
HIDPI = 2  # the wizard's pictures are stored at this multiple of their 96-DPI size

ORANGE = (222, 140, 51)
ORANGE_DARK = (172, 103, 28)
ORANGE_LIGHT = (245, 177, 92)
INK = (38, 38, 38)
PAPER = (255, 255, 255)
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_LIGHT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-ExtraLight.ttf"


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def canvas(w, h, color=(0, 0, 0, 0)):
    return Image.new("RGBA", (w * SS, h * SS), color)


def finish(img, scale=1):
    w, h = img.size
    return img.resize((w * scale // SS, h * scale // SS), Image.LANCZOS)


def gradient(w, h, stops, vertical=True):
    """A linear gradient through (position, rgb) stops, already supersampled."""
    img = Image.new("RGBA", (w * SS, h * SS))
    px = img.load()
    n = (h if vertical else w) * SS
    line = []
    for i in range(n):
        t = i / max(1, n - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                line.append(lerp(c0, c1, (t - p0) / max(1e-9, p1 - p0)) + (255,))
                break
    for y in range(h * SS):
        for x in range(w * SS):
            px[x, y] = line[y if vertical else x]
    return img


def rounded_mask(size, radius):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, size[0] - 1, size[1] - 1), radius, fill=255)
    return mask


def mark(size, tile_top, tile_bottom, glyph):
    """The logo mark: a rounded square in a gradient with a play triangle and two waves."""
    s = size * SS
    tile = gradient(size, size, [(0.0, tile_top), (1.0, tile_bottom)])
    out = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    out.paste(tile, (0, 0), rounded_mask((s, s), int(s * 0.26)))
    d = ImageDraw.Draw(out)
    # play triangle, slightly left of centre
    cx, cy, r = s * 0.40, s * 0.5, s * 0.22
    d.polygon([(cx - r * 0.55, cy - r), (cx - r * 0.55, cy + r), (cx + r * 0.95, cy)], fill=glyph)
    # two sound waves to its right
    for k, rad in enumerate((0.20, 0.31)):
        box = (cx - s * rad + s * 0.18, cy - s * rad, cx + s * rad + s * 0.18, cy + s * rad)
        d.arc(box, -42, 42, fill=glyph + (255 - 70 * k,), width=max(1, int(s * 0.055)))
    return out


def waves(img, origin, color, count, step, width, alpha0, alpha1):
    """Concentric arcs fading out: the brand's sound-wave motif as a background texture."""
    layer = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    ox, oy = origin
    for i in range(count):
        r = (i + 1) * step
        a = round(alpha0 + (alpha1 - alpha0) * i / max(1, count - 1))
        d.ellipse((ox - r, oy - r, ox + r, oy + r), outline=color + (a,), width=width)
    img.alpha_composite(layer)


def text(img, xy, s, font_path, size, fill, anchor="ls"):
    font = ImageFont.truetype(font_path, size * SS)
    ImageDraw.Draw(img).text((xy[0] * SS, xy[1] * SS), s, font=font, fill=fill, anchor=anchor)


def header(dark):
    w, h = 640, 53
    if dark:
        img = gradient(w, h, [(0.0, (52, 44, 38)), (0.22, (38, 38, 38)), (1.0, (38, 38, 38))], False)
        wave, word = ORANGE_DARK, (240, 240, 240)
    else:
        img = gradient(w, h, [(0.0, (255, 243, 228)), (0.25, PAPER), (1.0, PAPER)], False)
        wave, word = ORANGE, INK
    waves(img, (-40 * SS, h * SS // 2), wave, 9, 22 * SS, SS, 120, 0)
    m = mark(34, ORANGE_LIGHT, ORANGE if not dark else ORANGE_DARK, PAPER)
    img.alpha_composite(m, (14 * SS, (h - 34) * SS // 2))
    text(img, (56, 34), "Nolu", FONT_BOLD, 20, word)
    return finish(img, HIDPI).convert("RGB")


def side(dark):
    w, h = 188, 435
    if dark:
        img = gradient(w, h, [(0.0, (70, 46, 24)), (0.55, (44, 36, 30)), (1.0, (30, 30, 30))])
        wave, tile_top, tile_bottom, glyph = ORANGE, ORANGE_LIGHT, ORANGE_DARK, PAPER
        word, tag = (245, 245, 245), (214, 170, 120)
    else:
        img = gradient(w, h, [(0.0, ORANGE_LIGHT), (0.6, ORANGE), (1.0, (190, 104, 30))])
        wave, tile_top, tile_bottom, glyph = PAPER, PAPER, (255, 236, 214), ORANGE
        word, tag = PAPER, (255, 240, 222)
    waves(img, (w * SS // 2, 150 * SS), wave, 14, 26 * SS, SS * 2, 90, 0)
    # a soft light spot behind the mark
    glow = Image.new("RGBA", img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(glow)
    for i in range(30, 0, -1):
        r = i * 3 * SS
        gd.ellipse((w * SS // 2 - r, 150 * SS - r, w * SS // 2 + r, 150 * SS + r),
                   fill=(255, 255, 255, 4 if not dark else 3))
    img.alpha_composite(glow)
    m = mark(88, tile_top, tile_bottom, glyph)
    # a drop shadow under the mark
    shadow = Image.new("RGBA", m.size, (0, 0, 0, 0))
    shadow.paste((0, 0, 0, 70), (0, 0), m.split()[3])
    img.alpha_composite(shadow, ((w - 88) * SS // 2 + 2 * SS, 106 * SS + 4 * SS))
    img.alpha_composite(m, ((w - 88) * SS // 2, 106 * SS))
    text(img, (w / 2, 238), "Nolu", FONT_BOLD, 34, word, "ms")
    text(img, (w / 2, 262), "media player", FONT_LIGHT, 13, tag, "ms")
    return finish(img, HIDPI).convert("RGB")


def addon_picture():
    """The offered add-on has a brand of its own (a teal photo viewer), on a transparent ground."""
    w, h = 200, 64
    img = canvas(w, h)
    teal_top, teal_bottom = (64, 196, 206), (22, 128, 160)
    tile = gradient(56, 56, [(0.0, teal_top), (1.0, teal_bottom)])
    s = 56 * SS
    m = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    m.paste(tile, (0, 0), rounded_mask((s, s), int(s * 0.24)))
    d = ImageDraw.Draw(m)
    # a landscape photo: sun and two hills
    d.ellipse((s * 0.58, s * 0.2, s * 0.78, s * 0.4), fill=(255, 236, 160, 255))
    d.polygon([(s * 0.12, s * 0.8), (s * 0.4, s * 0.42), (s * 0.66, s * 0.8)], fill=PAPER + (255,))
    d.polygon([(s * 0.44, s * 0.8), (s * 0.64, s * 0.56), (s * 0.88, s * 0.8)],
              fill=(220, 245, 248, 255))
    img.alpha_composite(m, (4 * SS, 4 * SS))
    text(img, (70, 32), "Lumo", FONT_BOLD, 22, (22, 128, 160))
    text(img, (71, 50), "photo viewer", FONT_LIGHT, 12, (40, 150, 175))
    return finish(img)


def file_icon(kind):
    """32 x 32 file-type icons of the product: a page with a folded corner and a glyph."""
    img = canvas(32, 32)
    s = SS
    d = ImageDraw.Draw(img)
    page = [(5 * s, 2 * s), (21 * s, 2 * s), (27 * s, 8 * s), (27 * s, 30 * s), (5 * s, 30 * s)]
    d.polygon(page, fill=(250, 250, 250, 255), outline=(150, 150, 150, 255))
    d.polygon([(21 * s, 2 * s), (21 * s, 8 * s), (27 * s, 8 * s)], fill=(220, 220, 220, 255),
              outline=(150, 150, 150, 255))
    c = ORANGE + (255,)
    if kind == "audio":
        d.ellipse((9 * s, 20 * s, 15 * s, 26 * s), fill=c)
        d.rectangle((13 * s, 11 * s, 15 * s, 23 * s), fill=c)
        d.polygon([(15 * s, 11 * s), (21 * s, 13 * s), (21 * s, 16 * s), (15 * s, 14 * s)], fill=c)
    elif kind == "video":
        d.rounded_rectangle((8 * s, 12 * s, 24 * s, 25 * s), 2 * s, fill=c)
        d.polygon([(14 * s, 15 * s), (14 * s, 22 * s), (20 * s, 18.5 * s)], fill=PAPER + (255,))
    else:  # playlist
        for i in range(4):
            y = (12 + i * 4) * s
            d.rectangle((9 * s, y, 11 * s, y + 2 * s), fill=c)
            d.rectangle((13 * s, y, 23 * s, y + 2 * s), fill=(90, 90, 90, 255))
    return finish(img)


def button_strip(dark):
    """Five 24 x 24 transport buttons of a skin: previous, play, pause, stop, next."""
    img = canvas(120, 24)
    d = ImageDraw.Draw(img)
    glyph = (240, 240, 240, 255) if dark else (50, 50, 50, 255)
    ring = ORANGE_DARK + (255,) if dark else ORANGE + (255,)
    s = SS
    for i in range(5):
        x0 = i * 24 * s
        d.ellipse((x0 + 1 * s, 1 * s, x0 + 23 * s, 23 * s), outline=ring, width=2 * s)
        cx, cy = x0 + 12 * s, 12 * s
        if i in (0, 4):
            sign = -1 if i == 0 else 1  # previous points left, next points right
            tip, back = cx + 3 * s * sign, cx - 4 * s * sign
            d.polygon([(back, cy - 5 * s), (back, cy + 5 * s), (tip, cy)], fill=glyph)
            bar = sorted((tip, tip + 2 * s * sign))
            d.rectangle((bar[0], cy - 5 * s, bar[1], cy + 5 * s), fill=glyph)
        elif i == 1:
            d.polygon([(cx - 3 * s, cy - 6 * s), (cx - 3 * s, cy + 6 * s), (cx + 6 * s, cy)],
                      fill=glyph)
        elif i == 2:
            d.rectangle((cx - 5 * s, cy - 5 * s, cx - 2 * s, cy + 5 * s), fill=glyph)
            d.rectangle((cx + 2 * s, cy - 5 * s, cx + 5 * s, cy + 5 * s), fill=glyph)
        else:
            d.rectangle((cx - 5 * s, cy - 5 * s, cx + 5 * s, cy + 5 * s), fill=glyph)
    return finish(img)


# --------------------------------------------------------------------------- icons (.ico)


def flag(family):
    img = canvas(16, 16)
    d = ImageDraw.Draw(img)
    s = SS
    top, bottom = 3 * s, 13 * s
    box = (0, top, 16 * s - 1, bottom - 1)
    if family == "EN":  # stars and stripes, reduced to what 16 pixels can show
        for i in range(7):
            y0 = top + i * (bottom - top) // 7
            y1 = top + (i + 1) * (bottom - top) // 7
            d.rectangle((0, y0, 16 * s, y1), fill=(178, 34, 52, 255) if i % 2 == 0 else PAPER)
        d.rectangle((0, top, 7 * s, top + 5 * s), fill=(60, 59, 110, 255))
        for x in (1.5, 3.5, 5.5):
            for y in (1.2, 3.2):
                d.ellipse(((x - 0.5) * s, top + (y - 0.5) * s, (x + 0.5) * s, top + (y + 0.5) * s),
                          fill=PAPER)
    else:
        colours = {"DE": [(0, 0, 0), (221, 0, 0), (255, 206, 0)],
                   "RU": [(255, 255, 255), (0, 57, 166), (213, 43, 30)]}[family]
        for i, c in enumerate(colours):
            y0 = top + i * (bottom - top) // 3
            y1 = top + (i + 1) * (bottom - top) // 3
            d.rectangle((0, y0, 16 * s, y1), fill=c + (255,))
    d.rectangle(box, outline=(0, 0, 0, 90), width=s)
    return finish(img)


def ico_bytes(images):
    """A classic icon file: 32-bit BGRA device-independent bitmaps with their AND masks, which
    every icon loader reads (PNG-compressed entries are left to the 256-pixel size)."""
    entries, blobs = [], []
    for im in images:
        w, h = im.size
        im = im.convert("RGBA")
        px = im.load()
        xor = bytearray()
        for y in range(h - 1, -1, -1):  # bottom-up rows
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
        row = ((w + 31) // 32) * 4
        mask = bytearray()
        for y in range(h - 1, -1, -1):
            bits = bytearray(row)
            for x in range(w):
                if px[x, y][3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        dib = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(dib + xor + mask)
        entries.append((w, h))
    out = io.BytesIO()
    out.write(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (w, h), blob in zip(entries, blobs):
        out.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        offset += len(blob)
    for blob in blobs:
        out.write(blob)
    return out.getvalue()


def set_language_icon(lng, data):
    """Rewrites the "Icon" line of section "File" in place; everything else stays byte for byte."""
    raw = lng.read_bytes()
    bom = raw.startswith(b"\xef\xbb\xbf")
    body = raw[3:] if bom else raw
    text_ = body.decode("utf-8")
    new, n = re.subn(r"(?m)^Icon=[0-9a-fA-F]*$", "Icon=" + data.hex(), text_, count=1)
    if n != 1:
        raise SystemExit(f"{lng}: no Icon line in section File")
    lng.write_bytes((b"\xef\xbb\xbf" if bom else b"") + new.encode("utf-8"))


def save(img, rel):
    path = SAMPLE / rel
    path.parent.mkdir(parents=True, exist_ok=True)
    img.save(path, optimize=True)
    print(f"{rel}  {img.size[0]} x {img.size[1]}")


def main():
    save(header(False), "setup/header.png")
    save(header(True), "setup/header_dark.png")
    save(side(False), "setup/wizard_light.png")
    save(side(True), "setup/wizard_dark.png")
    save(addon_picture(), "setup/addons.png")
    for kind in ("audio", "video", "playlist"):
        save(file_icon(kind), f"product/Icons/{kind}.png")
    save(button_strip(False), "product/Skins/Modern/buttons.png")
    save(button_strip(True), "product/Skins/Modern Dark/buttons.png")

    icon = ico_bytes([finish(mark(n, ORANGE_LIGHT, ORANGE, PAPER)) for n in (16, 32, 48)])
    (SAMPLE / "programs/nolu.ico").write_bytes(icon)
    print(f"programs/nolu.ico  {len(icon)} bytes")
    for family, name in (("EN", "English"), ("DE", "German"), ("RU", "Russian")):
        data = ico_bytes([flag(family)])
        set_language_icon(SAMPLE / f"setup/{name}.lng", data)
        print(f"setup/{name}.lng  Icon of {len(data)} bytes")


if __name__ == "__main__":
    main()
