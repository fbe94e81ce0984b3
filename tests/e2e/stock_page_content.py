"""A store's content as somebody else wrote it, for the stock servers: a page in EUC-KR whose install buttons call
a function of the page's own script, with a long table of packages (taller than the store window), and two real
packages published into it, one in the first row and one in the last, with Korean names in nested folders. The
first package's names are stored as UTF-8 bytes, the last one's as code page 949 bytes."""
import html
import shutil
import sys
from pathlib import Path

from kelvo_e2e import ROOT, BIN

sys.path.insert(0, str(ROOT / "tools" / "store"))
sys.path.insert(0, str(ROOT / "tools" / "store" / "stock"))
import publish  # noqa: E402
from cp949_package import store_names_as_cp949  # noqa: E402

ROWS = 36
FIRST_INDEX = 701


class Package:
    """A package of the page: its row, store index, store directory, name, and files (directory, name, bytes)."""

    def __init__(self, row, store_dir, name, files):
        self.row, self.index, self.store_dir, self.name, self.files = row, FIRST_INDEX + row, store_dir, name, files

    @property
    def size(self):
        return sum(len(data) for _, _, data in self.files)


def _text(line, copies):
    return ("\r\n".join(f"{line} {n}" for n in range(copies)) + "\r\n").encode("utf-8-sig")


def packages():
    """The two real packages: the first row's (UTF-8 names on the server) and the last row's (code page 949)."""
    program = (BIN / "sample_memo.exe").read_bytes()
    return (Package(0, "reference", "한글사전",
                    [("", "사전.exe", program), ("/자료/낱말", "기본 낱말.txt", _text("가나다 낱말", 40)),
                     ("/도움말", "읽어보기.txt", _text("한글사전 도움말", 5))]),
            Package(ROWS - 1, "legacy", "옛글보기",
                    [("", "보기.exe", program), ("/글꼴/바탕", "안내.txt", _text("바탕 글꼴 안내", 12)),
                     ("/설정/기본", "설정.ini", "[보기]\r\n글꼴=바탕\r\n".encode("cp949"))]))


def _script_string(value):
    return "'" + value.replace("\\", "\\\\").replace("'", "\\'") + "'"


def page(real):
    """The store page's text: one row per package, the real ones at their rows, made-up ones between."""
    by_row = {package.row: package for package in real}
    entries, rows = [], []
    for row in range(ROWS):
        package = by_row.get(row)
        name = package.name if package else f"연습 프로그램 {row + 1}"
        size = package.size if package else 1000 * (row + 3)
        store_dir = package.store_dir if package else "practice"
        entries.append(f"  [{_script_string(str(FIRST_INDEX + row))}, {_script_string(store_dir)}, "
                       f"{_script_string(name)}]")
        rows.append(f'  <tr><td>{FIRST_INDEX + row}</td><td><b>{html.escape(name)}</b></td>'
                    f'<td>{size / 1024:.1f} KB</td><td><button onclick="install({row})">설치</button></td></tr>')
    return f"""<!DOCTYPE html>
<html lang="ko">
<head>
<meta charset="euc-kr">
<title>자료실</title>
<script>
var packages = [
{(","+chr(10)).join(entries)}
];
function install(row) {{
  var p = packages[row];
  window.external.CB_InstallPackage(p[0], p[1], p[2]);
}}
</script>
</head>
<body>
<h2>자료실 프로그램 목록</h2>
<table border="1" cellpadding="3">
  <tr><th>번호</th><th>이름</th><th>크기</th><th>설치</th></tr>
{chr(10).join(rows)}
</table>
<p>모든 프로그램은 무료입니다.</p>
</body>
</html>
"""


def build(content):
    """Lays the content out in the folder `content` (made afresh); returns the two real packages."""
    content = Path(content)
    if content.exists():
        shutil.rmtree(content)
    content.mkdir(parents=True)
    real = packages()
    sources = content.parent / "sources"
    if sources.exists():
        shutil.rmtree(sources)
    for package in real:
        source = sources / package.name
        for directory, name, data in package.files:
            target = source / directory.lstrip("/") / name
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
        publish.publish(source, content, package.name, package.store_dir)
    store_names_as_cp949(content / "application" / real[-1].store_dir)
    (content / "index.html").write_bytes(page(real).encode("euc-kr"))
    return real
