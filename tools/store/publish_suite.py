#!/usr/bin/python3
"""Publishes a release of the suite to a store's content folder, where the self-updater looks for it: the suite's
files under STORE_ROOT/application/Launcher/ and its update profile (root UPDATEPROFILE, the release's VERSION, one
entry per file with sizes and SHA-256) at STORE_ROOT/application/launcher/Profile.xml.

usage: publish_suite.py RELEASE_ZIP STORE_ROOT

The files are the programs and layout files of the release's suite folder and Start.exe from its root. The updater
travels as KelvoUp.ex_: a running updater cannot replace its own file, and the agent moves the new one over it when
it starts. The version is the one the release's own Profile.xml carries. The files are placed first and the profile
last, by a rename, so a client never reads a profile whose files are not all there yet.
"""
import argparse
import hashlib
import os
import sys
import xml.etree.ElementTree as ET
import zipfile
from pathlib import Path, PurePosixPath

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(ROOT / "tools" / "build"))
import ipc_table  # noqa: E402
import publish  # noqa: E402


def suite_names():
    """The suite's file and folder names and the updater's store paths, read from the headers that define them."""
    names = {}
    for header in ("common/ipc/SuiteNames.h", "common/update/SuiteUpdate.h"):
        ipc_table.read_header(str(ROOT / header), names)
    return names


class PublishError(Exception):
    pass


def release_version(profile_bytes):
    """HEAD/VERSION of the release's Profile.xml, or a PublishError."""
    try:
        root = ET.fromstring(profile_bytes)
    except ET.ParseError as error:
        raise PublishError(f"the release's profile is not XML: {error}")
    version = (root.findtext("HEAD/VERSION") or "").strip()
    if root.tag != "UPDATEPROFILE" or not version:
        raise PublishError("the release's profile has no UPDATEPROFILE/HEAD/VERSION")
    return version


def suite_files(archive, names):
    """(published name, zip member) of every file the update carries, in a stable order."""
    suite = names["kSuiteFolder"]
    # The user's own files are never published (an update would overwrite them), and the profile travels apart.
    user_files = {names[k].lower() for k in ("kEnvironmentFile", "kSettingsFile", "kCredentialsFile", "kProfileFile")}
    files = []
    for info in sorted(archive.infolist(), key=lambda i: i.filename):
        if info.is_dir():
            continue
        path = PurePosixPath(info.filename)
        if path.parts == (names["kStarterProgram"],):
            files.append((path.name, info))
        elif len(path.parts) == 2 and path.parts[0] == suite and path.name.lower() not in user_files:
            published = names["kStagedUpdaterProgram"] if path.name == names["kUpdaterProgram"] else path.name
            files.append((published, info))
    found = {name for name, _ in files}
    for required in ("kLauncherProgram", "kAgentProgram", "kSettingsProgram", "kStagedUpdaterProgram",
                     "kStarterProgram"):
        if names[required] not in found:
            raise PublishError(f"the release has no {names[required]}")
    return files


def write_atomically(path, data):
    path.parent.mkdir(parents=True, exist_ok=True)
    temp = path.with_name(path.name + ".publishing")
    temp.write_bytes(data)
    os.replace(temp, path)


def publish_suite(release_zip, store_root):
    """Places the release's files and then its update profile under store_root; returns the profile's path."""
    names = suite_names()
    store_root = Path(store_root)
    files_dir = store_root / names["kSuiteFilesFolder"].lstrip("/")
    profile_path = store_root / names["kSuiteProfileFolder"].lstrip("/") / names["kProfileFile"]
    try:
        archive = zipfile.ZipFile(release_zip)
    except (OSError, zipfile.BadZipFile) as error:
        raise PublishError(f"{release_zip}: not a release zip ({error})")
    with archive:
        member = f'{names["kSuiteFolder"]}/{names["kProfileFile"]}'
        try:
            version = release_version(archive.read(member))
        except KeyError:
            raise PublishError(f"the release has no {member}")
        entries = []
        date = None
        for published, info in suite_files(archive, names):
            data = archive.read(info)
            write_atomically(files_dir / published, data)
            entries.append((published, "", len(data), hashlib.sha256(data).hexdigest()))
            date = date or "%04d-%02d-%02d" % info.date_time[:3]
    # Files an earlier release listed and this one does not are left: a client still reading the old profile may
    # be fetching them.
    write_atomically(profile_path, publish.profile_xml([("VERSION", version)], entries, date, root="UPDATEPROFILE"))
    return profile_path


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("release_zip", type=Path)
    parser.add_argument("store_root", type=Path)
    args = parser.parse_args(argv)
    try:
        print(publish_suite(args.release_zip, args.store_root))
    except PublishError as error:
        parser.error(str(error))


if __name__ == "__main__":
    main(sys.argv[1:])
