#!/usr/bin/python3
"""Packs a release: the drive image as a user copies it to the root of a stick, in a zip that is the same bytes
whenever the programs are, and its SHA-256 beside it.

usage: pack.py BIN_DIR LAYOUT_DIR IDS_DIR VERSION OUT_DIR
BIN_DIR holds the release tree's programs, LAYOUT_DIR the launcher's layout files (*.kpt), IDS_DIR the build's
generated python names (kelvo_ids.py). Writes OUT_DIR/kelvo-VERSION.zip and OUT_DIR/kelvo-VERSION.zip.sha256.

The zip holds, in this order:
  Start.exe                         the drive-root starter
  <suite folder>/                   the four programs, the layout files and Profile.xml (the suite's update
                                    profile: its version and one entry per file with sizes and SHA-256)
  Portable Programs/                empty; packages are installed here
  읽어보기.txt                       what to copy where, how to start, how to remove (UTF-8 with a BOM)
"""
import hashlib
import re
import sys
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "store"))
import publish  # noqa: E402

# Every entry carries this time, whatever the files' own: the zip depends on their bytes only.
FIXED_TIME = (2026, 1, 1, 0, 0, 0)
FIXED_DATE = "2026-01-01"
README_NAME = "읽어보기.txt"
UTF8_NAMES = 0x800
VERSION_PATTERN = re.compile(r"^[0-9]+\.[0-9]+\.[0-9]+$")


def load_ids(ids_dir):
    sys.path.insert(0, str(ids_dir))
    import kelvo_ids  # noqa: E402
    return kelvo_ids


def suite_files(ids, bin_dir, layout_dir):
    """(name in the suite folder, bytes) of the suite's files in a fixed order; Start.exe is not among them."""
    programs = [ids.kLauncherProgram, ids.kAgentProgram, ids.kSettingsProgram, ids.kUpdaterProgram]
    files = []
    for name in programs:
        path = Path(bin_dir) / name
        if not path.is_file():
            raise SystemExit(f"release: {path} was not built")
        files.append((name, path.read_bytes()))
    layouts = sorted(Path(layout_dir).glob("*.kpt"))
    if not layouts:
        raise SystemExit(f"release: no layout files in {layout_dir}")
    files += [(path.name, path.read_bytes()) for path in layouts]
    return files


def update_entries(ids, files, starter):
    """The update profile's entries: every suite file and the starter, the updater under its staged name (a
    running updater cannot replace its own file; the agent renames it when it starts)."""
    entries = []
    for name, data in files + [(ids.kStarterProgram, starter)]:
        listed = ids.kStagedUpdaterProgram if name == ids.kUpdaterProgram else name
        entries.append((listed, data))
    return entries


def update_profile(version, entries):
    """The suite's update profile; COMPARISON carries S, so the updater checks every size."""
    listed = [(name, "", len(data), hashlib.sha256(data).hexdigest()) for name, data in entries]
    return publish.profile_xml([("VERSION", version)], listed, FIXED_DATE, root="UPDATEPROFILE")


def readme(ids, version):
    suite, packages, starter = ids.kSuiteFolder, ids.kPackagesFolder, ids.kStarterProgram
    text = f"""Kelvo {version}

USB 메모리에 넣어 다니며 쓰는 프로그램 모음입니다.

1. 복사하기
   이 압축 파일의 내용을 모두 USB 메모리의 맨 위(루트)에 풉니다.
   USB 메모리가 E: 드라이브라면 다음과 같이 됩니다.
     E:\\{starter}
     E:\\{suite}\\          (Kelvo 프로그램과 설정 파일)
     E:\\{packages}\\   (스토어에서 설치한 프로그램)

2. 시작하기
   USB 메모리의 {starter} 를 두 번 누릅니다.
   설정의 "App 업데이트 자동 체크"를 켜 두면 시작할 때마다 새 버전이 있는지 먼저 확인합니다.
   USB 메모리를 꽂을 때 저절로 시작되게 하려면 설정에서 "런처 자동실행"을 켭니다.

3. 지우기
   트레이 아이콘의 메뉴에서 "종료"를 눌러 Kelvo 를 끝냅니다.
   USB 메모리에서 {starter}, {suite} 폴더, 그리고 있다면 autorun.inf 를 지웁니다.
   설치한 프로그램까지 지우려면 {packages} 폴더도 지웁니다.
   컴퓨터에는 아무것도 설치되지 않으므로 더 지울 것은 없습니다.
"""
    return "\ufeff".encode("utf-8") + text.replace("\n", "\r\n").encode("utf-8")


class Utf8ZipInfo(zipfile.ZipInfo):
    """An entry whose name is flagged UTF-8 whatever its letters; Python flags only non-ASCII names and clears
    the flag of the others when it writes the header."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("utf-8"), self.flag_bits | UTF8_NAMES


def zip_entry(name, is_dir=False):
    info = Utf8ZipInfo(name + ("/" if is_dir else ""), date_time=FIXED_TIME)
    info.create_system = 0
    info.external_attr = 0x10 if is_dir else 0x20  # MS-DOS directory / archive attribute
    info.compress_type = zipfile.ZIP_STORED if is_dir else zipfile.ZIP_DEFLATED
    return info


def write_zip(path, members):
    """members: (name, bytes or None for a folder), written in the given order."""
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in members:
            info = zip_entry(name, data is None)
            archive.writestr(info, b"" if data is None else data, compresslevel=9)


def release_members(ids, bin_dir, layout_dir, version):
    files = suite_files(ids, bin_dir, layout_dir)
    starter_path = Path(bin_dir) / ids.kStarterProgram
    if not starter_path.is_file():
        raise SystemExit(f"release: {starter_path} was not built")
    starter = starter_path.read_bytes()
    profile = update_profile(version, update_entries(ids, files, starter))
    suite = ids.kSuiteFolder
    members = [(ids.kStarterProgram, starter), (suite, None)]
    members += [(f"{suite}/{name}", data) for name, data in files]
    members += [(f"{suite}/{ids.kProfileFile}", profile), (ids.kPackagesFolder, None), (README_NAME, readme(ids, version))]
    return members


def main(argv):
    if len(argv) != 5:
        raise SystemExit(__doc__.splitlines()[3])
    bin_dir, layout_dir, ids_dir, version, out_dir = argv
    if not VERSION_PATTERN.match(version):
        raise SystemExit(f"release: version {version!r} is not X.Y.Z")
    ids = load_ids(ids_dir)
    out = Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    archive = out / f"kelvo-{version}.zip"
    partial = archive.with_name(archive.name + ".partial")
    write_zip(partial, release_members(ids, bin_dir, layout_dir, version))
    partial.replace(archive)
    digest = hashlib.sha256(archive.read_bytes()).hexdigest()
    (out / (archive.name + ".sha256")).write_text(f"{digest}  {archive.name}\n", encoding="ascii")
    print(archive)


if __name__ == "__main__":
    main(sys.argv[1:])
