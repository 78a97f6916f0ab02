#!/usr/bin/env python3
"""Writes the main menu's animated strip and its still picture.

Regenerate with `cmake --build build --target artwork` (or run this script directly; it needs
nothing beyond the Python standard library). The outputs are committed, so a normal build never
runs it:

    resources/RESNAME.gif              the strip, 451 x 10, 9 interlaced frames, looping forever
    resources/images/animata_still.bmp its first frame as an 8-bit indexed bitmap, shown until the
                                       strip is loaded

The picture is a row of small blue squares on black with a bright "comet" of shading that runs
to the right by one square per frame; nine frames are one period of the shading, so the loop has
no seam.
"""

import argparse
import os
import random
import struct
import sys

WIDTH = 451
HEIGHT = 10
FRAME_COUNT = 9
DELAY_HUNDREDTHS = 5
DISPOSAL_DO_NOT_DISPOSE = 1
MIN_CODE_SIZE = 3  # eight colours need three bits per pixel

PALETTE = [
    (0, 0, 0),
    (0, 0, 255),
    (0, 51, 255),
    (51, 51, 255),
    (51, 102, 255),
    (102, 102, 255),
    (153, 153, 255),
    (204, 204, 255),
]

SQUARE = 8
GAP = 2
SQUARE_TOP = 1
# 45 squares fill 448 of the 451 columns; the odd columns left over go to the margins.
SQUARE_COUNT = (WIDTH + GAP) // (SQUARE + GAP)
LEFT_MARGIN = (WIDTH - (SQUARE_COUNT * SQUARE + (SQUARE_COUNT - 1) * GAP)) // 2

# Palette index of a square by its distance behind the comet's head, one entry per frame of the
# cycle: the head is the palest blue, the tail fades back into the deep blue of the resting squares.
SHADING = [7, 1, 1, 1, 2, 3, 4, 5, 6]

MAX_CODE = 4096  # GIF codes are at most 12 bits wide


def frame_pixels(frame):
    """Palette indices of one frame, row by row from the top."""
    rows = []
    for y in range(HEIGHT):
        row = bytearray(WIDTH)
        if SQUARE_TOP <= y < SQUARE_TOP + SQUARE:
            for k in range(SQUARE_COUNT):
                colour = bevelled(SHADING[(k - frame) % FRAME_COUNT], y - SQUARE_TOP)
                left = LEFT_MARGIN + k * (SQUARE + GAP)
                row[left:left + SQUARE] = bytes([colour]) * SQUARE
        rows.append(bytes(row))
    return rows


def bevelled(colour, row):
    """A lit top edge and a shaded bottom edge make the flat squares look like small tiles."""
    if row == 0:
        return min(colour + 1, len(PALETTE) - 1)
    if row == SQUARE - 1:
        return max(colour - 1, 1)
    return colour


def interlaced_order(height):
    """Row numbers in the order an interlaced GIF stores them: four passes."""
    order = []
    for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)):
        order.extend(range(start, height, step))
    return order


class BitWriter:
    """Packs variable-width codes least significant bit first, as GIF wants."""

    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.bits = 0

    def write(self, code, width):
        self.acc |= code << self.bits
        self.bits += width
        while self.bits >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.bits -= 8

    def finish(self):
        if self.bits:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


def lzw_encode(pixels, min_code_size):
    """GIF flavour of LZW: starts with a clear code, widens the codes as the table grows and
    starts a new table (with a clear code) once all 4096 codes are taken."""
    clear = 1 << min_code_size
    end = clear + 1
    writer = BitWriter()
    width = min_code_size + 1
    table = {}
    next_code = end + 1
    writer.write(clear, width)
    if not pixels:
        writer.write(end, width)
        return writer.finish()
    prefix = pixels[0]
    for pixel in pixels[1:]:
        key = (prefix, pixel)
        if key in table:
            prefix = table[key]
            continue
        writer.write(prefix, width)
        # The decoder adds its entry one code later than we do, so it widens its codes after
        # reading this one exactly when our next free code no longer fits.
        if next_code >= (1 << width) and width < 12:
            width += 1
        if next_code < MAX_CODE:
            table[key] = next_code
            next_code += 1
        else:
            writer.write(clear, width)
            table = {}
            next_code = end + 1
            width = min_code_size + 1
        prefix = pixel
    writer.write(prefix, width)
    writer.write(end, width)
    return writer.finish()


def lzw_decode(data, min_code_size, count):
    """Reference decoder, used to prove each frame round-trips before anything is written."""
    clear = 1 << min_code_size
    end = clear + 1
    pos = 0
    acc = 0
    bits = 0
    width = min_code_size + 1
    table = [bytes([i]) for i in range(clear)] + [b"", b""]
    previous = None
    out = bytearray()
    while True:
        while bits < width:
            if pos >= len(data):
                raise ValueError("image data ended without an end code")
            acc |= data[pos] << bits
            pos += 1
            bits += 8
        code = acc & ((1 << width) - 1)
        acc >>= width
        bits -= width
        if code == clear:
            table = table[:end + 1]
            width = min_code_size + 1
            previous = None
            continue
        if code == end:
            break
        if previous is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            table.append(previous + entry[:1])
        elif code == len(table):
            entry = previous + previous[:1]
            table.append(entry)
        else:
            raise ValueError("code %d beyond the table" % code)
        out += entry
        previous = entry
        if len(table) >= (1 << width) and width < 12:
            width += 1
    if len(out) != count:
        raise ValueError("decoded %d pixels, expected %d" % (len(out), count))
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def frame_block(rows):
    stored = b"".join(rows[y] for y in interlaced_order(HEIGHT))
    packed = lzw_encode(stored, MIN_CODE_SIZE)
    if lzw_decode(packed, MIN_CODE_SIZE, len(stored)) != stored:
        raise AssertionError("LZW round trip failed")
    gce = struct.pack("<BBBBHBB", 0x21, 0xF9, 4, DISPOSAL_DO_NOT_DISPOSE << 2, DELAY_HUNDREDTHS, 0, 0)
    interlace_flag = 0x40
    descriptor = struct.pack("<BHHHHB", 0x2C, 0, 0, WIDTH, HEIGHT, interlace_flag)
    return gce + descriptor + bytes([MIN_CODE_SIZE]) + sub_blocks(packed)


def gif_bytes():
    out = bytearray(b"GIF89a")
    table_size_bits = 2  # 2 ** (2 + 1) = 8 entries
    colour_resolution = 2  # three bits per primary are enough for this palette's meaning
    packed = 0x80 | (colour_resolution << 4) | table_size_bits
    out += struct.pack("<HHBBB", WIDTH, HEIGHT, packed, 0, 0)
    for r, g, b in PALETTE:
        out += bytes((r, g, b))
    out += b"\x21\xFF\x0BNETSCAPE2.0" + struct.pack("<BBHB", 3, 1, 0, 0)
    for frame in range(FRAME_COUNT):
        out += frame_block(frame_pixels(frame))
    out.append(0x3B)
    return bytes(out)


def bmp_bytes(rows):
    """8-bit indexed Windows bitmap, bottom-up, with just the eight palette entries."""
    stride = (WIDTH + 3) & ~3
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, stride * HEIGHT, 2835, 2835,
                       len(PALETTE), len(PALETTE))
    offset = 14 + len(info) + len(palette)
    pixels = b"".join(row + bytes(stride - WIDTH) for row in reversed(rows))
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


def self_test():
    """Round-trips data that overflows the 4096-entry table several times."""
    rng = random.Random(4)
    for length in (0, 1, 2, 5000, 60000):
        data = bytes(rng.randrange(8) for _ in range(length))
        if lzw_decode(lzw_encode(data, MIN_CODE_SIZE), MIN_CODE_SIZE, length) != data:
            raise AssertionError("LZW self test failed at length %d" % length)


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.dirname(here), help="the resources folder")
    args = parser.parse_args()
    self_test()
    write_file(os.path.join(args.out, "RESNAME.gif"), gif_bytes())
    write_file(os.path.join(args.out, "images", "animata_still.bmp"), bmp_bytes(frame_pixels(0)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
