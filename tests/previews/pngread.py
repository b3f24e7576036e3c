"""A PNG reader of its own (zlib and the file format only), to read back what kartwerk and the
browser wrote without sharing any code with the writer."""
import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {2: 3, 6: 4}  # RGB, RGBA


class PngError(Exception):
    pass


def read_png(path):
    """Returns (width, height, colour_type, rows); rows[y][x] is an (r, g, b) tuple."""
    data = open(path, "rb").read()
    if not data.startswith(SIGNATURE):
        raise PngError(f"{path}: no PNG signature")
    at, chunks = len(SIGNATURE), []
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, body = data[at + 4:at + 8], data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise PngError(f"{path}: bad CRC in chunk {kind!r}")
        chunks.append((kind, body))
        at += 12 + length
    if chunks[0][0] != b"IHDR" or chunks[-1][0] != b"IEND":
        raise PngError(f"{path}: chunks do not begin with IHDR and end with IEND")
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if depth != 8 or colour not in CHANNELS or interlace != 0:
        raise PngError(f"{path}: depth {depth}, colour type {colour}, interlace {interlace} not read here")
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    bpp = CHANNELS[colour]
    stride = width * bpp
    if len(raw) != height * (stride + 1):
        raise PngError(f"{path}: {len(raw)} bytes of pixel data for {width} x {height}")
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up, corner = previous[i], previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
            elif kind != 0:
                raise PngError(f"{path}: row {y} has filter {kind}")
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(width)])
        previous = line
    return width, height, colour, rows
