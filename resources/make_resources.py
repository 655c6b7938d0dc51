#!/usr/bin/python3
"""Draws Tessarin's pictures and writes them beside this script.

    buttonface.jpg   100 x 30 button face, baseline JPEG, JFIF 1.01, 72 dpi
    hand.cur         32 x 32 two-colour hand cursor, hot spot at the fingertip (5, 0)
    tessarin.ico     window icon: 16, 24, 32 and 48 pixels, each at 4, 8 and 32 bits
    hicolor/NxN.png  the icon's 32-bit images, for the desktop's icon theme

Needs Debian's python3-pil. The outputs are committed; run this only to change them.
"""

import io
import struct
from pathlib import Path

from PIL import Image, ImageDraw

HERE = Path(__file__).resolve().parent


def button_face():
    """A deep blue bar with a light top edge and a dark bottom edge, so white captions read well."""
    width, height = 100, 30
    face = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(face)
    top, bottom = (46, 96, 166), (18, 48, 100)
    for y in range(height):
        t = y / (height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(0, y), (width - 1, y)], fill=colour)
    draw.line([(0, 0), (width - 1, 0)], fill=(120, 160, 215))
    draw.line([(0, 1), (width - 1, 1)], fill=(80, 128, 192))
    draw.line([(0, height - 1), (width - 1, height - 1)], fill=(8, 24, 56))
    draw.line([(0, 0), (0, height - 1)], fill=(80, 128, 192))
    draw.line([(width - 1, 0), (width - 1, height - 1)], fill=(8, 24, 56))
    out = io.BytesIO()
    face.save(out, "JPEG", quality=92, dpi=(72, 72), progressive=False, optimize=False)
    return out.getvalue()


# B: black outline, W: white fill, anything else: transparent. Fingertip at (5, 0).
HAND = [
    ".....BB..........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWB.........",
    "....BWWBBB.......",
    "....BWWBWWBBB....",
    "....BWWBWWBWWBB..",
    "....BWWBWWBWWBWB.",
    ".BB.BWWBWWBWWBWWB",
    "BWWBBWWWWWWWWWWWB",
    "BWWWBWWWWWWWWWWWB",
    ".BWWBWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWWB",
    "..BWWWWWWWWWWWWWB",
    "...BWWWWWWWWWWWWB",
    "...BWWWWWWWWWWWB.",
    "....BWWWWWWWWWWB.",
    "....BWWWWWWWWWB..",
    ".....BWWWWWWWWB..",
    ".....BWWWWWWWWB..",
    ".....BBBBBBBBBB..",
]


def row_bytes(bits, width):
    """Packs one row of 1-bit values, most significant bit first, padded to 4 bytes."""
    packed = bytearray((width + 31) // 32 * 4)
    for x, bit in enumerate(bits):
        if bit:
            packed[x // 8] |= 0x80 >> (x % 8)
    return bytes(packed)


def bitmap_header(width, height, bpp, image_size, colours):
    # Height counts the colour rows and the mask rows together.
    return struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bpp, 0, image_size, 0, 0, colours, 0)


def hand_cursor():
    size = 32
    grid = [row.ljust(size, ".") for row in HAND] + ["." * size] * (size - len(HAND))
    xor_rows = [row_bytes([c == "W" for c in row], size) for row in grid]
    and_rows = [row_bytes([c not in "BW" for c in row], size) for row in grid]
    pixels = b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    palette = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)
    image = bitmap_header(size, size, 1, len(pixels), 2) + palette + pixels
    hot_x, hot_y = 5, 0
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return directory + entry + image


def icon_artwork(size):
    """A blue tile with a white globe: meridian, equator and rim. Drawn large, then reduced."""
    scale = 8
    big = size * scale
    art = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(art)
    margin = big // 16
    draw.rounded_rectangle([margin, margin, big - margin, big - margin], radius=big // 5,
                           fill=(30, 72, 140, 255), outline=(12, 32, 72, 255), width=max(scale, big // 32))
    line = max(scale, big // 14)
    inset = big // 4
    box = [inset, inset, big - inset, big - inset]
    draw.ellipse(box, outline=(255, 255, 255, 255), width=line)
    draw.ellipse([big // 2 - big // 8, inset, big // 2 + big // 8, big - inset],
                 outline=(255, 255, 255, 255), width=line)
    draw.line([(inset, big // 2), (big - inset, big // 2)], fill=(255, 255, 255, 255), width=line)
    return art.resize((size, size), Image.LANCZOS)


def icon_image(art, bpp):
    size = art.width
    mask = [[art.getpixel((x, y))[3] < 128 for x in range(size)] for y in range(size)]
    and_rows = b"".join(reversed([row_bytes(row, size) for row in mask]))
    if bpp == 32:
        rows = []
        for y in range(size):
            rows.append(b"".join(struct.pack("<4B", b, g, r, a)
                                 for r, g, b, a in (art.getpixel((x, y)) for x in range(size))))
        pixels = b"".join(reversed(rows))
        return bitmap_header(size, size, 32, len(pixels) + len(and_rows), 0) + pixels + and_rows

    colours = 1 << bpp
    # Index 0 is kept black, so the masked pixels leave the screen as it is.
    opaque = Image.new("RGB", art.size, (0, 0, 0))
    opaque.paste(art, mask=art.split()[3])
    reduced = opaque.quantize(colors=colours - 1, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = reduced.getpalette()[: 3 * (colours - 1)]
    palette += [0] * (3 * (colours - 1) - len(palette))
    table = struct.pack("<4B", 0, 0, 0, 0) + b"".join(
        struct.pack("<4B", palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0) for i in range(colours - 1))
    stride = (size * bpp + 31) // 32 * 4
    rows = []
    for y in range(size):
        indexes = [0 if mask[y][x] else reduced.getpixel((x, y)) + 1 for x in range(size)]
        row = bytearray(stride)
        if bpp == 8:
            row[:size] = bytes(indexes)
        else:
            for x, index in enumerate(indexes):
                row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))
    return bitmap_header(size, size, bpp, len(pixels) + len(and_rows), colours) + table + pixels + and_rows


def window_icon():
    images = []
    for size in (16, 24, 32, 48):
        art = icon_artwork(size)
        for bpp in (4, 8, 32):
            images.append((size, bpp, icon_image(art, bpp)))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    entries, data = b"", b""
    for size, bpp, image in images:
        colour_count = 16 if bpp == 4 else 0
        entries += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bpp, len(image), offset + len(data))
        data += image
    return directory + entries + data


def theme_icons():
    """Reads the 32-bit images back out of the written icon, so the theme shows the same pictures."""
    (HERE / "hicolor").mkdir(exist_ok=True)
    icon = Image.open(HERE / "tessarin.ico")
    for size in (16, 24, 32, 48):
        icon.size = (size, size)  # the best image of that size: the 32-bit one
        image = icon.copy().convert("RGBA")
        assert image.size == (size, size)
        image.save(HERE / "hicolor" / f"{size}x{size}.png", optimize=True)


def main():
    (HERE / "buttonface.jpg").write_bytes(button_face())
    (HERE / "hand.cur").write_bytes(hand_cursor())
    (HERE / "tessarin.ico").write_bytes(window_icon())
    theme_icons()


if __name__ == "__main__":
    main()
