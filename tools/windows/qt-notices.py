#!/usr/bin/env python3
"""The notices of the third-party code inside the Qt files the Windows folder ships.

    qt-notices.py ATTRIBUTION_DIR MAP NOTICES LIST SHIPPED...

ATTRIBUTION_DIR is what keep-attribution.py kept of Qt's source: every qt_attribution.json at its
path in the source, the licence files each names beside it, and LICENSES/. MAP (qt-attribution.txt)
says which of those records describe code built into each shipped Qt file. SHIPPED are the Qt
files in the folder, as the folder names them (Qt6Core.dll, platforms\\qwindows.dll...): each must
have a line in MAP, and MAP may name no other.

NOTICES gets every entry once, with its copyright and the full text of its licence; LIST gets,
for licenses\\README.txt, each file with the entries it holds. An entry whose licence text is
missing stops the assembly, as does a record or an entry MAP names that does not exist.
"""
import json
import pathlib
import re
import sys
import textwrap


def fail(message):
    sys.exit(f"qt-notices.py: {message}")


def read_map(path):
    """{shipped file: [(record path, [entry ids] or None for all)]}, in the order of MAP."""
    files = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        records = files.setdefault(words[0], [])
        if len(words) == 1 or words[1:] == ["-"]:  # a file with no third-party code
            continue
        ids = words[2].split(",") if len(words) > 2 else None
        if len(words) > 3:
            fail(f"{path}:{number}: FILE RECORD [ID,ID...] expected")
        records.append((words[1], ids))
    return files


def entries(record):
    data = json.loads(record.read_text(encoding="utf-8"), strict=False)  # raw tabs, as Qt reads them
    return data if isinstance(data, list) else [data]


def licence_texts(root, record, entry):
    """[(name, text)] of the entry's licence files, or of LICENSES/<id>.txt when it names none;
    none for code in the public domain."""
    names = entry.get("LicenseFiles") or entry.get("LicenseFile") or []
    names = [names] if isinstance(names, str) else names
    paths = [record.parent / name for name in names]
    if not paths:
        ids = re.findall(r"[A-Za-z0-9.+-]+", entry.get("LicenseId", ""))
        paths = [root / "LICENSES" / f"{i}.txt" for i in ids if i not in ("AND", "OR", "WITH")]
    if not paths and entry.get("License") == "Public Domain":
        return []  # no licence to give: the record's own words are the notice
    if not paths:
        fail(f"{entry.get('Name', entry.get('Id'))} ({record.relative_to(root)}): no licence named")
    for path in paths:
        if not path.is_file():
            fail(f"no licence text for {entry.get('Name', entry.get('Id'))}: "
                 f"{path.relative_to(root)} is missing")
    return [(str(p.relative_to(root)), p.read_text(encoding="utf-8", errors="replace")) for p in paths]


def main(root, map_path, notices, listing, shipped):
    files = read_map(map_path)
    if set(files) != set(shipped):
        fail(f"{map_path} names {sorted(files)}, the folder ships {sorted(shipped)}")
    held = {}      # entry key -> (record, entry, [files holding it])
    listed = []    # (file, [entry names])
    for name in shipped:
        names = []
        for record_name, ids in files[name]:
            record = root / record_name
            if not record.is_file():
                fail(f"{record_name} is not among Qt's attribution records")
            found = entries(record)
            if ids is not None:
                known = {e.get("Id") for e in found}
                if not set(ids) <= known:
                    fail(f"{record_name} has no entry {sorted(set(ids) - known)}")
                found = [e for e in found if e.get("Id") in ids]
            for entry in found:
                key = (record_name, entry.get("Id") or entry.get("Name"))
                held.setdefault(key, (record, entry, []))[2].append(name)
                names.append(entry.get("Name") or entry.get("Id"))
        listed.append((name, names))

    out = ["Third-party code inside Qt's DLLs", "=" * 33, "",
           "Each piece of code below is part of Qt's source and is built into the",
           "files of this folder named with it. Its description, copyright and",
           "licence are Qt's own records of it (qt_attribution.json in Qt's",
           "source), the licence given in full.", ""]
    for record, entry, holders in held.values():
        title = entry.get("Name") or entry.get("Id")
        if entry.get("Version"):
            title += f", version {entry['Version']}"
        out += ["=" * 72, title, f"In: {', '.join(holders)}",
                f"Qt's source: {record.parent.relative_to(root).as_posix()}"]
        for field, label in (("Description", "What"), ("Homepage", "Home page"),
                             ("License", "Licence"), ("LicenseId", "Licence identifier"),
                             ("Copyright", "Copyright")):
            value = entry.get(field)
            if isinstance(value, list):
                value = "\n".join(value)
            if value:
                lines = str(value).strip().splitlines()
                out += [f"{label}: {lines[0]}"] + [f"    {line}" for line in lines[1:]]
        for licence_name, text in licence_texts(root, record, entry):
            out += ["-" * 72, f"({licence_name})", "", text.rstrip()]
        out.append("")
    pathlib.Path(notices).write_text("\n".join(out) + "\n", encoding="utf-8")

    lines = []
    for name, names in listed:
        held_text = ", ".join(names) if names else "no third-party code"
        lines += textwrap.wrap(f"{name}: {held_text}.", width=72, initial_indent="    ",
                               subsequent_indent="        ")
    pathlib.Path(listing).write_text("\n".join(lines) + "\n", encoding="utf-8")


if __name__ == "__main__":
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    main(pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), sys.argv[3], sys.argv[4],
         sys.argv[5:])
