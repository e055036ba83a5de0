#!/usr/bin/env python3
"""Fail when a DLL of the Windows folder holds code of others that the folder's notices do not name.

    check-markers.py MARKERS FOLDER

MARKERS (markers.txt) gives, for each piece of others' code known to be built into such DLLs, bytes
that only a DLL holding it has. For each DLL under FOLDER in which a piece's marker is found, some
text in FOLDER/licenses/ must have an entry for the piece: a line starting with the piece's name,
then a line "In: ..." naming the DLL, as Qt-third-party.txt and GCC-runtime-components.txt write
them. Prints what it found; exits non-zero naming each piece found and not declared.
"""
import pathlib
import re
import sys
import zlib


def read_markers(path):
    """[(piece, kind, value bytes)]; a line is PIECE | KIND | VALUE, KIND one of text, hex, gzip."""
    markers = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        fields = [field.strip() for field in line.split("|")]
        if len(fields) != 3 or fields[1] not in ("text", "hex", "gzip"):
            sys.exit(f"{path}:{number}: PIECE | text|hex|gzip | VALUE expected")
        piece, kind, value = fields
        markers.append((piece, kind, bytes.fromhex(value) if kind == "hex" else value.encode()))
    return markers


def gzip_streams(data):
    """The unpacked contents of every gzip stream inside data (a data file built into the DLL)."""
    for start in (m.start() for m in re.finditer(b"\x1f\x8b\x08", data)):
        try:
            yield zlib.decompressobj(wbits=31).decompress(memoryview(data)[start:], 64 << 20)
        except zlib.error:
            continue


def found(data, kind, value):
    if kind == "gzip":
        return any(value in unpacked for unpacked in gzip_streams(data))
    return value in data


def declared(licenses, piece, dll):
    """Whether a notice has an entry titled piece (with its version or not) whose next line says it
    is In: dll."""
    title = re.compile(r"^" + re.escape(piece) + r"(?:, version .*)?\r?\nIn: (.*?)\r?$", re.MULTILINE)
    for text in licenses.glob("*.txt"):
        for match in title.finditer(text.read_text(encoding="utf-8-sig", errors="replace")):
            if dll in [name.strip() for name in re.split(r"[,(]", match[1])]:
                return True
    return False


def main(markers_path, folder):
    markers = read_markers(markers_path)
    undeclared = []
    for path in sorted(folder.rglob("*.dll")):
        dll = str(path.relative_to(folder)).replace("/", "\\")
        data = path.read_bytes()
        pieces = sorted({piece for piece, kind, value in markers if found(data, kind, value)})
        print(f"{dll}: {', '.join(pieces) if pieces else 'no marker'}")
        undeclared += [f"{piece} in {dll}" for piece in pieces
                       if not declared(folder / "licenses", piece, dll)]
    if undeclared:
        sys.exit("check-markers.py: code of others that no notice names: " + "; ".join(undeclared))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]))
