#!/usr/bin/python3
"""Adds to a copy of the store's content the package whose Korean names are stored as code page 949 bytes, as a
Linux server holds names a Korean Windows wrote: package 106, store directory "legacy", the files of package 101
(한글메모장) under the same names, in code page 949.

usage: cp949_package.py CONTENT_DIR
CONTENT_DIR is the store content laid out by make_content.py (its package 101 is read from there).
"""
import hashlib
import os
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
import make_content  # noqa: E402

DIRECTORY = "legacy"


def on_disk(root, *names):
    """The path of the Korean names below root, in code page 949 bytes."""
    path = bytes(root)
    for name in names:
        path += b"/" + name.encode("cp949")
    return path


def store_names_as_cp949(folder):
    """Renames everything below folder (not folder itself) so that its Korean names are code page 949 bytes on
    disk, as a Linux server holds a tree a Korean Windows wrote; the deepest names first, so the paths still hold."""
    for path in sorted(Path(folder).rglob("*"), key=lambda p: len(p.parts), reverse=True):
        name = path.name.encode("cp949")
        if name != path.name.encode("utf-8"):
            os.rename(bytes(path), bytes(path.parent) + b"/" + name)


def main():
    root = Path(sys.argv[1])
    source = next(p for p in make_content.PACKAGES if p["index"] == 101)
    source_folder = root / "application" / source["directory"] / source["alias"]
    entries = []
    for name, directory, _ in source["files"]:
        parts = [part for part in directory.split("/") if part]
        target = on_disk(root, "application", DIRECTORY, source["alias"], *parts, name)
        Path(target.decode("utf-8", "surrogateescape")).parent.mkdir(parents=True, exist_ok=True)
        data = (source_folder.joinpath(*parts, name)).read_bytes()
        with open(target, "wb") as out:
            out.write(data)
        entries.append((name, directory, len(data), hashlib.sha256(data).hexdigest()))
    profile = on_disk(root, "application", DIRECTORY, source["alias"], make_content.ids.kProfileFile)
    head = make_content.publish.package_head(source["alias"], DIRECTORY, source["version"], source["exe"])
    with open(profile, "wb") as out:
        out.write(make_content.publish.profile_xml(head, entries, make_content.PUBLISHED))
    shutil.copymode(source_folder / make_content.ids.kProfileFile, profile)


if __name__ == "__main__":
    main()
