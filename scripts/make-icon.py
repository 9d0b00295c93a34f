#!/usr/bin/env python3
"""Draws the application icon, a small camera, as a 16-colour .ico with 32x32 and 16x16 images."""
import struct
import sys

# The standard 16-colour palette, as (blue, green, red).
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128), (128, 128, 0),
    (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255), (255, 0, 0),
    (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, DARK_GREY, LIGHT_GREY, WHITE, BLUE, CYAN, YELLOW = 0, 8, 7, 15, 12, 14, 11
TRANSPARENT = None


def draw(size):
    """The camera as rows of palette indices, None where transparent."""
    s = size / 32.0
    pixels = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                pixels[y][x] = colour

    def disc(cx, cy, r, colour):
        for y in range(size):
            for x in range(size):
                dx, dy = (x + 0.5) / s - cx, (y + 0.5) / s - cy
                if dx * dx + dy * dy <= r * r:
                    pixels[y][x] = colour

    rect(10, 6, 20, 10, BLACK)       # the prism housing, outline
    rect(11, 7, 19, 10, DARK_GREY)
    rect(2, 9, 30, 27, BLACK)        # the body, outline
    rect(3, 10, 29, 26, DARK_GREY)
    rect(3, 10, 29, 12, LIGHT_GREY)  # top highlight
    rect(24, 12, 28, 15, YELLOW)     # the flash
    disc(16, 18, 7.5, BLACK)         # the lens
    disc(16, 18, 6.2, LIGHT_GREY)
    disc(16, 18, 4.6, BLUE)
    disc(14.5, 16.5, 1.6, CYAN)      # its reflection
    return pixels


def image(size):
    pixels = draw(size)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, xor_row * size + and_row * size, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for b, g, r in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(xor_row)
        bits = bytearray(and_row)
        for x, colour in enumerate(row):
            index = 0 if colour is None else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main(path):
    images = [image(32), image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/sembrix.ico')
