#!/usr/bin/env python3
"""Copy Qt's record of the third-party code it builds in out of its source tree.

    keep-attribution.py QT_SOURCE_DIR DEST

DEST gets every qt_attribution.json at its path in the source, each licence file an entry names
(LicenseFile, LicenseFiles) beside it, and LICENSES/. A named file that does not exist is not
copied: the assembly of the Windows folder reports it, for the entries it ships.
"""
import json
import pathlib
import shutil
import sys


def entries(path):
    # Some records hold raw tabs or line breaks inside their strings: read them as Qt's tools do.
    data = json.loads(path.read_text(encoding="utf-8"), strict=False)
    return data if isinstance(data, list) else [data]


def licence_files(entry):
    names = entry.get("LicenseFiles") or entry.get("LicenseFile") or []
    return [names] if isinstance(names, str) else names


def main(source, dest):
    copied = 0
    for record in sorted(source.rglob("qt_attribution.json")):
        wanted = [record] + [record.parent / name for e in entries(record) for name in licence_files(e)]
        for path in wanted:
            if path.is_file():
                target = dest / path.relative_to(source)
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(path, target)
        copied += 1
    if (source / "LICENSES").is_dir():
        shutil.copytree(source / "LICENSES", dest / "LICENSES", dirs_exist_ok=True)
    if copied == 0:
        sys.exit(f"no qt_attribution.json under {source}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]))
