#!/usr/bin/env python3
"""Measures how common each byte value is in Windows executables and prints the ranking that
src/bytes/find_bytes.cpp uses (0 = rarest, 255 = most common) as C++ table rows.

Each argument is a folder: the x86 and x86-64 PE files under it (found by their content,
searched recursively, each distinct file once) form one set, and every set weighs the same in the
ranking, so that a large set does not drown a small one. Only what is loaded counts: the headers
and every section except debug information. The table in find_bytes.cpp comes from

    bench/byte_ranking.py /usr/lib/i386-linux-gnu/wine/i386-windows /root/.pyenv

that is Wine's PE DLLs and programs, built by GCC, and the MSVC-built installer and launcher
stubs that the Python installations under pyenv ship.
"""
import hashlib
import pathlib
import struct
import sys


X86_MACHINES = (0x014C, 0x8664)


def loaded_bytes(data):
    """The headers and non-debug sections of an x86 or x86-64 PE image, or None for other data."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0" or struct.unpack_from("<H", data, pe + 4)[0] not in X86_MACHINES:
        return None
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    symbols, symbol_count = struct.unpack_from("<II", data, pe + 12)
    table = pe + 24 + optional_size
    first_raw = len(data)
    parts = []
    for i in range(sections):
        entry = table + 40 * i
        name = data[entry:entry + 8].rstrip(b"\0")
        if name.startswith(b"/"):  # a long name, kept in the COFF string table
            start = symbols + 18 * symbol_count + int(name[1:])
            name = data[start:data.index(b"\0", start)]
        raw_size, raw_offset = struct.unpack_from("<II", data, entry + 16)
        if raw_size == 0:
            continue
        first_raw = min(first_raw, raw_offset)
        if not name.startswith((b".debug", b".zdebug")):
            parts.append(data[raw_offset:raw_offset + raw_size])
    return data[:first_raw] + b"".join(parts)


def frequencies(folder):
    counts = [0] * 256
    seen = set()
    for path in sorted(pathlib.Path(folder).rglob("*")):
        if path.is_symlink() or not path.is_file():
            continue
        with path.open("rb") as f:
            if f.read(2) != b"MZ":
                continue
            data = b"MZ" + f.read()
        digest = hashlib.sha256(data).digest()
        image = loaded_bytes(data)
        if image is None or digest in seen:
            continue
        seen.add(digest)
        for value in range(256):
            counts[value] += image.count(value)
    total = sum(counts)
    if total == 0:
        sys.exit(f"{folder}: no PE files")
    print(f"{folder}: {len(seen)} files, {total} bytes", file=sys.stderr)
    return [c / total for c in counts]


def main(folders):
    if not folders:
        sys.exit(__doc__)
    sets = [frequencies(folder) for folder in folders]
    mean = [sum(s[value] for s in sets) / len(sets) for value in range(256)]
    rank = [0] * 256
    for position, value in enumerate(sorted(range(256), key=lambda v: (mean[v], v))):
        rank[value] = position
    for row in range(16):
        cells = ", ".join(f"{rank[16 * row + column]:3d}" for column in range(16))
        print(f"    {cells},  // {row:X}0..{row:X}F")


if __name__ == "__main__":
    main(sys.argv[1:])
