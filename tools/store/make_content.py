#!/usr/bin/python3
"""Lays out the local store's content: the store page, package profiles and package files.

usage: make_content.py BIN_DIR OUT_DIR
BIN_DIR holds the sample programs built by the Windows tree (sample_memo.exe, sample_viewer.exe,
sample_bigdata.exe). The store serves OUT_DIR over HTTP and FTP alike:
  /index.asp                                             the store page (buttons call window.external)
  /application/<store directory>/<package name>/Profile.xml
  /application/<BASEDIR>/<ALIAS><DIRECTORY>/<FILENAME>   the package files
  /application/launcher/Profile.xml, /application/Launcher/<file>   the suite's own update
"""
import hashlib
import html
import shutil
import tempfile
import sys
from pathlib import Path

# The suite's names, written by the build from the C++ headers (ctest puts the module on the path).
sys.path.append(str(Path(__file__).resolve().parents[2] / "build" / "win" / "generated" / "python"))
import kelvo_ids as ids  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent))
import publish  # noqa: E402

PUBLISHED = "2026-12-01"

BIG_FILE_SIZE = 20 * 1024 * 1024
PIECES = 300

PACKAGES = [
    {"index": 101, "directory": "utility", "alias": "한글메모장", "exe": "메모장.exe", "version": "1.0.2",
     "title": "한글 메모장", "summary": "한글 이름의 작은 메모 프로그램",
     "files": [("메모장.exe", "", "sample_memo.exe"), ("읽어보기.txt", "/도움말", "text:readme")]},
    {"index": 102, "directory": "graphics", "alias": "Viewer", "exe": "viewer.exe", "version": "2.3",
     "title": "그림 뷰어", "summary": "여러 단계의 폴더와 한글 파일 이름을 가진 패키지",
     "files": [("viewer.exe", "", "sample_viewer.exe"), ("한글 설명.txt", "/doc/img", "text:manual")]},
    {"index": 103, "directory": "data", "alias": "BigData", "exe": "bigdata.exe", "version": "0.9",
     "title": "큰 자료", "summary": "20 MB 자료 파일을 가진 패키지",
     "files": [("bigdata.exe", "", "sample_bigdata.exe"), ("blob.bin", "/data", "big")]},
    {"index": 104, "directory": "office", "alias": "Notes", "exe": "notes.exe", "version": "3.1",
     "title": "노트", "summary": "다섯 개의 파일을 여러 폴더에 둔 패키지",
     "files": [("notes.exe", "", "sample_memo.exe"), ("읽어보기.txt", "/도움말", "text:readme"),
               ("a.dat", "/data", "text:part-a"), ("b.dat", "/data/deep", "text:part-b"),
               ("설정.ini", "/설정", "text:settings")]},
    # Its one data file is damaged on the store after publishing: listed size right, checksum wrong.
    {"index": 105, "directory": "office", "alias": "BadSum", "exe": "badsum.exe", "version": "1.0",
     "title": "손상된 패키지", "summary": "체크섬이 맞지 않는 파일을 가진 패키지",
     "files": [("badsum.exe", "", "sample_memo.exe"), ("data.bin", "/data", "text:part-a")],
     "damaged": "data/data.bin"},
    # Hundreds of small files: a swap that lasts long enough to be cut off in the middle. Offered by updates only,
    # not on the store page.
    {"index": 106, "directory": "office", "alias": "Pieces", "exe": "pieces.exe", "version": "2.0",
     "title": "조각들", "summary": "작은 파일 삼백 개를 가진 패키지", "listed": False,
     "files": [("pieces.exe", "", "sample_memo.exe")] +
              [(f"조각{n:03}.txt", f"/parts/{n // 50}", f"piece:{n}") for n in range(PIECES)]},
]

TEXTS = {
    "readme": "한글 메모장 도움말\r\n이 파일은 Kelvo 스토어 예제 패키지에 들어 있습니다.\r\n",
    "manual": "그림 뷰어 설명서\r\n폴더: doc/img\r\n",
    "part-a": "첫째 자료\r\n",
    "part-b": "둘째 자료, 한 단계 더 안쪽\r\n",
    "settings": "[노트]\r\n글꼴=나눔고딕\r\n",
}


def file_bytes(source, bin_dir):
    if source.startswith("text:"):
        return TEXTS[source[5:]].encode("utf-8-sig")
    if source.startswith("piece:"):
        return f"조각 {source[6:]}번\r\n".encode("utf-8-sig")
    if source == "big":
        block = hashlib.sha256(b"kelvo").digest() * 2048  # 64 KiB of fixed, incompressible-looking bytes
        return (block * (BIG_FILE_SIZE // len(block) + 1))[:BIG_FILE_SIZE]
    return (bin_dir / source).read_bytes()


SUITE_VERSION = "1.0.1"
SUITE_FILES = [ids.kLauncherProgram, ids.kAgentProgram, ids.kSettingsProgram, ids.kStarterProgram]


def suite_update(bin_dir, out):
    """The suite's own update: its profile (root UPDATEPROFILE) and the suite files that are built."""
    files = out / "application" / "Launcher"
    files.mkdir(parents=True, exist_ok=True)
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<UPDATEPROFILE>", "\t<HEAD>",
             f"\t\t<VERSION>{SUITE_VERSION}</VERSION>", "\t</HEAD>", "\t<GAMEFILELIST>"]
    for name in SUITE_FILES:
        source = bin_dir / name
        if not source.is_file():
            continue
        shutil.copyfile(source, files / name)
        size = source.stat().st_size
        lines += ["\t\t<FILE>", f"\t\t\t<FILENAME>{name}</FILENAME>", "\t\t\t<DIRECTORY></DIRECTORY>",
                  "\t\t\t<TYPE>exe</TYPE>", "\t\t\t<COMPRESS>0</COMPRESS>", "\t\t\t<COMPARISON>S</COMPARISON>",
                  f"\t\t\t<FILESIZE>{size}</FILESIZE>", f"\t\t\t<REALSIZE>{size}</REALSIZE>",
                  "\t\t\t<DATE>2026-12-01</DATE>", "\t\t\t<CHECKSUM></CHECKSUM>", "\t\t</FILE>"]
    lines += ["\t</GAMEFILELIST>", "</UPDATEPROFILE>", ""]
    profile = out / "application" / "launcher" / ids.kProfileFile
    profile.parent.mkdir(parents=True, exist_ok=True)
    profile.write_bytes("\r\n".join(lines).encode("utf-8"))


def store_page():
    rows = []
    for p in (p for p in PACKAGES if p.get("listed", True)):
        args = ", ".join(f"'{value}'" for value in (str(p["index"]), p["directory"], p["alias"]))
        rows.append(f"""      <li><b>{html.escape(p["title"])}</b> <span>{html.escape(p["summary"])}</span>
        <button onclick="window.external.CB_InstallPackage({html.escape(args)})">설치</button>
        <button onclick="window.external.CB_UpdatePackage({html.escape(args)})">업데이트</button></li>""")
    return f"""<!DOCTYPE html>
<html lang="ko"><head><meta charset="utf-8"><title>Storvia</title></head>
<body>
  <h1>Storvia 프로그램 스토어</h1>
  <p id="inside"></p>
  <ul>
{chr(10).join(rows)}
  </ul>
  <button onclick="window.external.CB_Close()">닫기</button>
  <script>
    try {{ if (window.external.CB_IsOurCustomBrowser) document.getElementById('inside').textContent =
      'Kelvo 안에서 열렸습니다.'; }} catch (e) {{}}
  </script>
</body></html>
""".encode("utf-8")


def main():
    bin_dir, out = Path(sys.argv[1]), Path(sys.argv[2])
    if out.exists():
        shutil.rmtree(out)
    (out / "application").mkdir(parents=True)
    (out / "index.asp").write_bytes(store_page())
    with tempfile.TemporaryDirectory() as work:
        for package in PACKAGES:
            # Laid out as its author hands it over, then published as an operator does.
            source = Path(work) / str(package["index"])
            for name, directory, origin in package["files"]:
                target = source / directory.lstrip("/") / name
                target.parent.mkdir(parents=True, exist_ok=True)
                target.write_bytes(file_bytes(origin, bin_dir))
            publish.publish(source, out, package["alias"], package["directory"], version=package["version"],
                            exe=package["exe"], date=PUBLISHED)
            if "damaged" in package:
                damage(out / "application" / package["directory"] / package["alias"] / package["damaged"])
    suite_update(bin_dir, out)
    print(out)


def damage(path):
    """One byte changed after publishing, as an upload cut and resent can leave it: its size still right."""
    data = bytearray(path.read_bytes())
    data[len(data) // 2] ^= 0xFF
    path.write_bytes(bytes(data))


if __name__ == "__main__":
    main()
