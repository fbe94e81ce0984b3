#!/usr/bin/env bash
# Creates the project's Wine prefix (never ~/.wine): Hangul fonts under the names the programs ask for,
# and two removable drives: K: for the demo's drive image, T: for the end-to-end tests.
set -euo pipefail
source "$(dirname "$0")/env.sh"

stamp="$WINEPREFIX/.kelvo-prefix-v1"
if [ ! -f "$stamp" ]; then
    log "creating the Wine prefix in $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w

    reg="$KELVO_BUILD/kelvo-prefix.reg"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
        printf '"Gulim"="NanumGothic"\r\n"굴림"="NanumGothic"\r\n"GulimChe"="NanumGothicCoding"\r\n'
        printf '"굴림체"="NanumGothicCoding"\r\n"Dotum"="NanumGothic"\r\n"돋움"="NanumGothic"\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\r\n"k:"="floppy"\r\n"t:"="floppy"\r\n\r\n'
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    wine regedit /S "$reg" >/dev/null 2>&1
    wineserver -w
    touch "$stamp"
fi

# The screen as Windows draws it: Wine's virtual desktop, which draws captions and frames itself (a bare X
# server shows none), of the display's size so whole-screen shots hold nothing else. Everything a screenshot
# depends on is pinned here rather than left to the machine's defaults: Wine's own fonts (Marlett for the caption
# buttons, Tahoma for dialogs) sit in the prefix's font folder, because Debian's Wine does not look in the
# folder fonts-wine installs them to and the caption buttons otherwise show the letters "0 1 r"; font smoothing,
# 96 DPI, Hangul text linked to NanumGothic rather than whatever CJK font the machine has, and the launcher's
# Verdana (absent here, so Wine would take the first Hangul font it enumerates) standing for NanumGothic too.
screen_stamp="$WINEPREFIX/.kelvo-screen-v2"
if [ ! -f "$screen_stamp" ]; then
    log "setting up the Wine prefix's screen ($KELVO_SCREEN_SIZE virtual desktop, fonts)"
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for font in marlett.ttf tahoma.ttf tahomabd.ttf symbol.ttf; do
        cp "/usr/share/wine/fonts/$font" "$fonts/$font"
    done
    # A one-string REG_MULTI_SZ as regedit reads it: UTF-16LE bytes, the string's end and the list's end.
    nanum_link="$(printf '%s' 'NanumGothic.ttf,NanumGothic' | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v |
        tr -s ' \n' ',' | sed 's/^,//; s/,$//'),00,00,00,00"
    reg="$KELVO_BUILD/kelvo-screen.reg"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="kelvo"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"kelvo"="%s"\r\n\r\n' "$KELVO_SCREEN_SIZE"
        printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"FontSmoothing"="2"\r\n'
        printf '"FontSmoothingType"=dword:00000001\r\n"FontSmoothingGamma"=dword:00000000\r\n'
        printf '"FontSmoothingOrientation"=dword:00000001\r\n"LogPixels"=dword:%08x\r\n\r\n' 96
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
        printf '"Tahoma"=hex(7):%s\r\n\r\n' "$nanum_link"
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
        printf '"Verdana"="NanumGothic"\r\n\r\n'
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    wine regedit /S "$reg" >/dev/null 2>&1
    wineserver -w
    touch "$screen_stamp"
fi

# The DPI test changes the DPI and puts it back; a run killed in between must not leave the next one at 120.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1 </dev/null

# Drive letters point at project folders; the links may change between runs.
mkdir -p "$KELVO_OUT/drive" "$KELVO_BUILD/testdrive"
# Each test resets the test drive; until then it carries a label of its own.
[ -f "$KELVO_BUILD/testdrive/.windows-label" ] || printf 'KELVOTEST\n' >"$KELVO_BUILD/testdrive/.windows-label"
ln -sfn "$KELVO_OUT/drive" "$WINEPREFIX/dosdevices/k:"
ln -sfn "$KELVO_BUILD/testdrive" "$WINEPREFIX/dosdevices/t:"
