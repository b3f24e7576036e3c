#!/usr/bin/env python3
"""Prints the texts an NSIS installer carries for its pages, one a line:
    scripts/installer_texts.py SETUP.exe
The installer keeps them in its script header, which lies LZMA-compressed (solid) behind the
"NullsoftInst" signature, so `strings` cannot see them. Used by scripts/test-win32-installer.sh to
check what the installer shows, such as the branding line under its pages."""
import lzma
import struct
import sys

SIGNATURE = b"\xef\xbe\xad\xdeNullsoftInst"
ALIGNMENT = 512  # the installer's data starts on a 512-byte boundary after the program stub


def header(setup):
    # The first header: flags, the signature, the script header's length, the length of all data.
    at = 0
    while True:
        at = setup.find(SIGNATURE, at + 1)
        if at < 0:
            raise ValueError("no NSIS data found")
        if (at - 4) % ALIGNMENT == 0:
            break
    length, total = struct.unpack_from("<II", setup, at + len(SIGNATURE))
    data = setup[at + len(SIGNATURE) + 8:]
    if length <= 0 or total > len(setup) or len(data) < 5:
        raise ValueError("the NSIS data is cut short")
    if data[0] >= 9 * 5 * 5:
        raise ValueError("the installer is not compressed with solid LZMA")
    # Solid LZMA: five bytes of properties, then one raw stream whose first four bytes are the
    # script header's length again.
    lc, rest = data[0] % 9, data[0] // 9
    dictionary = struct.unpack_from("<I", data, 1)[0]
    decoder = lzma.LZMADecompressor(
        format=lzma.FORMAT_RAW,
        filters=[{"id": lzma.FILTER_LZMA1, "lc": lc, "lp": rest % 5, "pb": rest // 5, "dict_size": dictionary}])
    plain = decoder.decompress(data[5:], max_length=length + 4)
    if len(plain) < length + 4 or struct.unpack_from("<I", plain)[0] != length:
        raise ValueError("the script header does not decompress to its stated length")
    return plain[4:]


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: installer_texts.py SETUP.exe")
    with open(sys.argv[1], "rb") as file:
        setup = file.read()
    try:
        block = header(setup)
    except (ValueError, lzma.LZMAError, struct.error) as error:
        sys.exit(f"{sys.argv[1]}: {error}")
    # A Unicode installer's texts are UTF-16 strings, each ending with a zero character.
    for text in block[: len(block) // 2 * 2].decode("utf-16-le", errors="replace").split("\0"):
        # The rest of the header's bytes read as stray characters, rarely two printable ones in a row.
        if len(text) >= 2 and text.isprintable() and text.strip():
            print(text)


if __name__ == "__main__":
    main()
