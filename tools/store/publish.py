#!/usr/bin/python3
"""Publishes a package to a store's content folder the way a store operator does: every file of SOURCE_FOLDER is
listed in the package's Profile.xml with its sizes and SHA-256, and placed where the package's FTP paths lead.

usage: publish.py SOURCE_FOLDER STORE_ROOT NAME [--dir STORE_DIR] [--manifest FILE]
                  [--version V] [--exe FILE] [--svctype T] [--date YYYY-MM-DD]
                  [--index N] [--title T] [--summary S]
The head values come from the options, else from the manifest (JSON: version, exe, svctype, date, and index,
title and summary, which a store page lists), else from defaults. STORE_DIR ("apps" by default) is the package's
store directory, and its BASEDIR too, so the profile and the files lie together:
  STORE_ROOT/application/<STORE_DIR>/<NAME>/Profile.xml
  STORE_ROOT/application/<STORE_DIR>/<NAME><DIRECTORY>/<FILENAME>
A package with an index is listed on the store page (store_page.py): its index, title and summary are kept
beside the profile in store-listing.json.
"""
import argparse
import datetime
import hashlib
import json
import shutil
import sys
from pathlib import Path
from xml.sax.saxutils import escape

PROFILE_FILE = "Profile.xml"
MANIFEST_FILE = "kelvo-package.json"
LISTING_FILE = "store-listing.json"


def listed_files(source):
    """(name, directory, path) of every file below source, the manifest left out, in a stable order."""
    files = []
    for path in sorted(p for p in source.rglob("*") if p.is_file()):
        relative = path.relative_to(source)
        if relative.name in (MANIFEST_FILE, PROFILE_FILE, LISTING_FILE) and len(relative.parts) == 1:
            continue
        directory = "".join("/" + part for part in relative.parts[:-1])
        files.append((relative.name, directory, path))
    return files


def profile_xml(head, entries, date, root="PROFILE"):
    """The profile: HEAD as given, in order, one FILE per entry (name, directory, size, sha256 hex). A package's
    root is PROFILE, the suite's own update profile's UPDATEPROFILE."""
    lines = ['<?xml version="1.0" encoding="utf-8"?>', f"<{root}>", "\t<HEAD>"]
    lines += [f"\t\t<{tag}>{escape(value)}</{tag}>" for tag, value in head]
    lines += ["\t</HEAD>", "\t<GAMEFILELIST>"]
    for name, directory, size, digest in entries:
        fields = [("FILENAME", name), ("DIRECTORY", directory), ("TYPE", Path(name).suffix[1:]), ("COMPRESS", "0"),
                  ("COMPARISON", "SC"), ("FILESIZE", str(size)), ("REALSIZE", str(size)), ("DATE", date),
                  ("CHECKSUM", digest)]
        lines.append("\t\t<FILE>")
        lines += [f"\t\t\t<{tag}>{escape(value)}</{tag}>" for tag, value in fields]
        lines.append("\t\t</FILE>")
    lines += ["\t</GAMEFILELIST>", f"</{root}>", ""]
    return "\r\n".join(lines).encode("utf-8")


def package_head(name, store_dir, version, exe, svctype="free"):
    return [("VERSION", version), ("CHANNEL", store_dir), ("ALIAS", name), ("EXEFILE", exe), ("BASEDIR", store_dir),
            ("SVCTYPE", svctype)]


def publish(source, store_root, name, store_dir, version="1.0", exe=None, svctype="free", date=None, listing=None):
    """Writes the package's profile and files under store_root; returns the profile's path."""
    files = listed_files(source)
    if not files:
        raise ValueError(f"{source}: no files to publish")
    exe = exe or next((n for n, d, _ in files if d == "" and n.lower().endswith(".exe")), files[0][0])
    date = date or datetime.date.today().isoformat()
    package = Path(store_root) / "application" / store_dir / name
    if package.exists():
        shutil.rmtree(package)
    entries = []
    for file_name, directory, path in files:
        data = path.read_bytes()
        target = package / directory.lstrip("/") / file_name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        entries.append((file_name, directory, len(data), hashlib.sha256(data).hexdigest()))
    profile = package / PROFILE_FILE
    profile.write_bytes(profile_xml(package_head(name, store_dir, version, exe, svctype), entries, date))
    if listing:
        (package / LISTING_FILE).write_text(json.dumps(listing, ensure_ascii=False), encoding="utf-8")
    return profile


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source", type=Path)
    parser.add_argument("store_root", type=Path)
    parser.add_argument("name")
    parser.add_argument("--dir", dest="store_dir", default="apps")
    parser.add_argument("--manifest", type=Path)
    parser.add_argument("--version")
    parser.add_argument("--exe")
    parser.add_argument("--svctype")
    parser.add_argument("--date")
    parser.add_argument("--index", type=int)
    parser.add_argument("--title")
    parser.add_argument("--summary")
    args = parser.parse_args(argv)
    if not args.source.is_dir():
        parser.error(f"{args.source}: not a folder")
    manifest_path = args.manifest or args.source / MANIFEST_FILE
    manifest = json.loads(manifest_path.read_text(encoding="utf-8")) if manifest_path.is_file() else {}
    index = args.index if args.index is not None else manifest.get("index")
    listing = None
    if index is not None:
        if not 0 < int(index) < 2**31:
            parser.error(f"index {index}: not a positive 32-bit number")
        listing = {"index": int(index), "title": args.title or manifest.get("title") or args.name,
                   "summary": args.summary or manifest.get("summary", "")}
    try:
        profile = publish(args.source, args.store_root, args.name, args.store_dir,
                          version=args.version or manifest.get("version", "1.0"),
                          exe=args.exe or manifest.get("exe"), svctype=args.svctype or manifest.get("svctype", "free"),
                          date=args.date or manifest.get("date"), listing=listing)
    except ValueError as error:
        parser.error(str(error))
    print(profile)


if __name__ == "__main__":
    main(sys.argv[1:])
