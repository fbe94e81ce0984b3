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

# Drive letters point at project folders; the links may change between runs.
mkdir -p "$KELVO_OUT/drive" "$KELVO_BUILD/testdrive"
# Each test resets the test drive; until then it carries a label of its own.
[ -f "$KELVO_BUILD/testdrive/.windows-label" ] || printf 'KELVOTEST\n' >"$KELVO_BUILD/testdrive/.windows-label"
ln -sfn "$KELVO_OUT/drive" "$WINEPREFIX/dosdevices/k:"
ln -sfn "$KELVO_BUILD/testdrive" "$WINEPREFIX/dosdevices/t:"
