#!/usr/bin/python3
"""Writes a store's page from what is published in it: one table row per listed package (its title, summary and
version, and the buttons that ask the suite to install or update it), the suite's own update left out.

usage: store_page.py STORE_ROOT
Reads STORE_ROOT/application/<store directory>/<name>/Profile.xml with the store-listing.json beside it (written
by publish.py for a package published with an index) and writes STORE_ROOT/index.html. A package without a
listing is published but not on the page. Prints one line per listed package.
"""
import html
import json
import sys
from pathlib import Path
from xml.etree import ElementTree

sys.path.insert(0, str(Path(__file__).resolve().parent))
from publish import LISTING_FILE, PROFILE_FILE  # noqa: E402

PAGE_FILE = "index.html"


def script_string(value):
    """A single-quoted script string; the page's attribute escaping comes on top."""
    return "'" + value.replace("\\", "\\\\").replace("'", "\\'") + "'"


def attribute(value):
    """Text for a double-quoted attribute; single quotes stay as they are, for the script strings inside."""
    return html.escape(value, quote=False).replace('"', "&quot;")


def listed_packages(store_root):
    """(index, store directory, name, title, summary, version) of every listed package, by index."""
    packages = []
    for listing_path in sorted(Path(store_root).glob(f"application/*/*/{LISTING_FILE}")):
        profile_path = listing_path.with_name(PROFILE_FILE)
        try:
            listing = json.loads(listing_path.read_text(encoding="utf-8"))
            head = ElementTree.parse(profile_path).getroot().find("HEAD")
        except (OSError, ValueError, ElementTree.ParseError) as error:
            print(f"[store] skipped {listing_path.parent}: {error}", file=sys.stderr)
            continue
        store_dir, name = listing_path.parent.parent.name, listing_path.parent.name
        version = (head.findtext("VERSION") if head is not None else "") or ""
        packages.append((int(listing["index"]), store_dir, name, listing.get("title") or name,
                         listing.get("summary", ""), version))
    return sorted(packages)


def page(packages):
    rows = []
    for index, store_dir, name, title, summary, version in packages:
        arguments = ", ".join(script_string(v) for v in (str(index), store_dir, name))
        rows.append(f"""    <tr>
      <td><b>{html.escape(title)}</b></td><td>{html.escape(summary)}</td><td>{html.escape(version)}</td>
      <td><button onclick="{attribute(f"window.external.CB_InstallPackage({arguments})")}">설치</button>
        <button onclick="{attribute(f"window.external.CB_UpdatePackage({arguments})")}">업데이트</button></td>
    </tr>""")
    return f"""<!DOCTYPE html>
<html lang="ko"><head><meta charset="utf-8"><title>Storvia</title></head>
<body>
  <h1>Storvia 프로그램 스토어</h1>
  <table border="1">
    <tr><th>프로그램</th><th>설명</th><th>버전</th><th></th></tr>
{chr(10).join(rows)}
  </table>
  <p><button onclick="window.external.CB_Close()">닫기</button></p>
</body></html>
""".encode("utf-8")


def write_page(store_root):
    packages = listed_packages(store_root)
    target = Path(store_root) / PAGE_FILE
    partial = target.with_name(PAGE_FILE + ".partial")
    partial.write_bytes(page(packages))
    partial.replace(target)
    return packages


def main(argv):
    if len(argv) != 1:
        print("usage: store_page.py STORE_ROOT", file=sys.stderr)
        return 2
    for index, store_dir, name, _, _, version in write_page(argv[0]):
        print(f"[store] listed {index} {store_dir}/{name} {version}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
