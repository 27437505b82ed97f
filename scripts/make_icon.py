#!/usr/bin/env python3
"""Draws the application icon (a moon over a power symbol's ring) into res/halcyra.ico, and with
--dark the notification icon for a light taskbar: the same glyph, dark, on nothing."""
import math
import struct
import zlib
import sys


DARK = False


def pixel(x, y, size):
    c = (size - 1) / 2
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    outer = size * 0.47
    if r > outer:
        return (0, 0, 0, 0)
    ring = size * 0.36
    # A night-blue disc with a pale ring open at the top, and a crescent moon in it.
    glyph = (32, 32, 32, 255) if DARK else (235, 225, 160, 255)
    if abs(r - ring) < size * 0.055 and not (dy < 0 and abs(dx) < size * 0.12):
        return glyph
    if abs(dx) < size * 0.05 and -ring * 1.05 < dy < -size * 0.06:
        return glyph
    moon = math.hypot(dx + size * 0.05, dy - size * 0.12) < size * 0.16
    bite = math.hypot(dx + size * 0.0, dy - size * 0.08) < size * 0.14
    if moon and not bite:
        return glyph if DARK else (250, 245, 210, 255)
    # A light taskbar is the background of the dark glyph: no disc of its own.
    return (0, 0, 0, 0) if DARK else (40, 50, 110, 255)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up DIB rows
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def png(size):
    """The image as PNG, which icons of Windows Vista and later may hold: small at 256 pixels."""
    rows = b"".join(b"\x00" + b"".join(bytes(pixel(x, y, size)) for x in range(size))
                    for y in range(size))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def main(path):
    # Every size the shell asks for at 100 % to 300 %: small icons 16 to 48, large ones to 256
    # (the notification area takes small ones only).
    sizes = [16, 20, 24, 32, 40, 48] + ([] if DARK else [256])
    images = [png(s) if s == 256 else image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def taskbar(path, background, dark, size=32, width=160, height=48):
    """The notification icon as it stands on a taskbar of that colour, as a PNG picture."""
    global DARK
    DARK = dark
    left, top = (width - size) // 2, (height - size) // 2
    rows = []
    for y in range(height):
        row = [b"\x00"]
        for x in range(width):
            r, g, b = background
            if left <= x < left + size and top <= y < top + size:
                pr, pg, pb, pa = pixel(x - left, y - top, size)
                a = pa / 255
                r, g, b = (round(p * a + q * (1 - a)) for p, q in ((pr, r), (pg, g), (pb, b)))
            row.append(bytes((r, g, b)))
        rows.append(b"".join(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if sys.argv[1:2] == ["--taskbars"]:
        # The pictures of the icon on Windows 11's light and dark taskbars (Wine draws no
        # notification area of its own to take them from).
        folder = sys.argv[2] if len(sys.argv) > 2 else "docs/screenshots"
        taskbar(folder + "/tray-icon-light-taskbar.png", (243, 243, 243), True)
        taskbar(folder + "/tray-icon-dark-taskbar.png", (32, 32, 32), False)
        sys.exit(0)
    arguments = sys.argv[1:]
    if arguments[:1] == ["--dark"]:
        DARK = True
        arguments = arguments[1:]
    main(arguments[0] if arguments else
         "res/halcyra-tray-dark.ico" if DARK else "res/halcyra.ico")
