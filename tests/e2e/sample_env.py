"""An environment file of three pages as the launcher writes it, for end-to-end runs and the demo."""
from kelvo_e2e import ids

# An item whose program is certainly on the drive: the launcher itself.
LAUNCHER = "{drive}\\" + ids.kSuiteFolder + "\\" + ids.kLauncherProgram

MENU = [(12, "스토어", "explorer.exe"), (10, "설정", ids.kSettingsProgram), (11, "찾기", ""), (13, "드라이브", "c:\\")]

PAGE_ONE = [
    # (PKGTYPE, PKGID, TYPE, CAPTION, PATH, UPDATEFLAG)
    (1, 11, 0, "메모장", LAUNCHER, 0),
    (1, 12, 0, "그림판", LAUNCHER, 1),
    (1, 13, 0, "설치 중", "{drive}\\Portable Programs\\설치\\setup.exe", 2),
    (1, 14, 0, "없는 프로그램", "{drive}\\Portable Programs\\없음\\gone.exe", 0),
    (2, 0, 1, "문서", "{drive}\\" + ids.kPackagesFolder, 0),
    (3, 0, 15, "백업", LAUNCHER, 0),
] + [(1, 20 + n, 0, f"프로그램 {n}", LAUNCHER, 0) for n in range(10)]

PAGE_TWO = [(1, 40 + n, 0, f"두번째 {n}", LAUNCHER, 0) for n in range(5)]
PAGE_THREE = [(2, 0, 1, "세번째 폴더", "{drive}\\" + ids.kPackagesFolder, 0)]


def env_xml(drive="T:", pages=(PAGE_ONE, PAGE_TWO, PAGE_THREE), menu=MENU):
    """pages: lists of (PKGTYPE, PKGID, TYPE, CAPTION, PATH, UPDATEFLAG[, {FIELD: value}]); menu: (TYPE, CAPTION, PATH) per slot."""
    lines = ["<TolvEnv>", "\t<MAINMENU>"]
    for n, (type_, caption, path) in enumerate(menu, start=1):
        lines += [f"\t\t<BUTTON0{n}>", "\t\t\t<PKGTYPE>0</PKGTYPE>", f"\t\t\t<PKGID>{n - 1}</PKGID>",
                  f"\t\t\t<TYPE>{type_}</TYPE>", f"\t\t\t<CAPTION>{caption}</CAPTION>",
                  f"\t\t\t<PATH>{path.format(drive=drive)}</PATH>",
                  "\t\t\t<PARAM></PARAM>", "\t\t\t<ICON></ICON>", "\t\t\t<DELETED>0</DELETED>",
                  "\t\t\t<UPDATEFLAG>0</UPDATEFLAG>", f"\t\t</BUTTON0{n}>"]
    lines += ["\t</MAINMENU>", "\t<PAGEENV>", f"\t\t<PageNum>{len(pages)}</PageNum>", "\t\t<CurrentPage>0</CurrentPage>"]
    for page in pages:
        lines += ["\t\t<Page>", f"\t\t\t<PackageCount>{len(page)}</PackageCount>"]
        for pkg_type, pkg_id, type_, caption, path, flag, *more in page:
            fields = [("PKGTYPE", pkg_type), ("PKGID", pkg_id), ("TYPE", type_), ("CAPTION", caption),
                      ("PATH", path.format(drive=drive)), ("PARAM", ""), ("ICON", ""), ("DELETED", 0),
                      ("UPDATEFLAG", flag), ("STARTOPEN", 0), ("STARTCLOSE", 0), ("SHORTCUT", ""), ("ALT", 0),
                      ("SHIFT", 0), ("CTRL", 0), ("WIN", 0)]
            overrides = more[0] if more else {}
            fields = [(name, overrides.get(name, value)) for name, value in fields]
            lines.append("\t\t\t<Package>")
            lines += [f"\t\t\t\t<{name}>{value}</{name}>" for name, value in fields]
            lines.append("\t\t\t</Package>")
        lines.append("\t\t</Page>")
    lines += ["\t</PAGEENV>", "</TolvEnv>", ""]
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le")


if __name__ == "__main__":
    import sys
    sys.stdout.buffer.write(env_xml(sys.argv[1] if len(sys.argv) > 1 else "T:"))
