#!/usr/bin/env bash
# The credentials command: the file it writes deciphers, with an independent AES implementation (openssl), to
# the marker, ID and password at their offsets; a second write replaces the first whole; bad input is refused.
set -euo pipefail
tool=${1:?path of kelvo-credentials}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
key_hex=$(printf '9081726354453627' | od -An -tx1 | tr -d ' \n')

field() {  # field FILE OFFSET UNITS -> the UTF-16 text of a fixed field, as UTF-8
    dd if="$1" bs=1 skip="$2" count=$(($3 * 2)) status=none | iconv -f UTF-16LE -t UTF-8 | tr -d '\0'
}
decipher() {
    openssl enc -d -aes-128-ecb -nopad -K "$key_hex" -in "$1" -out "$2"
}

"$tool" "사용자01" 'p&ss=word%^' "$work/TolvIni.dat"
[ "$(stat -c %s "$work/TolvIni.dat")" -eq 1248 ] || { echo "size is not 1248"; exit 1; }
decipher "$work/TolvIni.dat" "$work/plain"
[ "$(field "$work/plain" 0 10)" = 'kqz%^&' ] || { echo "marker wrong"; exit 1; }
[ "$(field "$work/plain" 20 260)" = '사용자01' ] || { echo "id wrong"; exit 1; }
[ "$(field "$work/plain" 540 260)" = 'p&ss=word%^' ] || { echo "password wrong"; exit 1; }

[ "$(stat -c %a "$work/TolvIni.dat")" = 600 ] || { echo "the login is readable by others"; exit 1; }
chmod 644 "$work/TolvIni.dat"

"$tool" demo short "$work/TolvIni.dat"
decipher "$work/TolvIni.dat" "$work/plain"
[ "$(field "$work/plain" 20 260)" = 'demo' ] || { echo "rewrite kept the old id"; exit 1; }
[ "$(field "$work/plain" 540 260)" = 'short' ] || { echo "rewrite kept the old password"; exit 1; }

if "$tool" "$(printf 'x%.0s' $(seq 1 300))" pw "$work/long.dat" 2>/dev/null; then
    echo "an ID longer than its field was accepted"; exit 1
fi
[ ! -e "$work/long.dat" ] || { echo "a refused write left a file"; exit 1; }
[ "$(stat -c %a "$work/TolvIni.dat")" = 600 ] || { echo "a rewrite kept the old file's wider mode"; exit 1; }
for bad in $'\xC0\xAF' $'\xED\xA0\x80' $'a\xED\x95' $'caf\xE9'; do
    rc=0
    "$tool" "$bad" pw "$work/bad.dat" 2>/dev/null || rc=$?
    [ "$rc" -eq 2 ] || { echo "malformed UTF-8 in the ID was not refused (exit $rc)"; exit 1; }
    rc=0
    "$tool" id "$bad" "$work/bad.dat" 2>/dev/null || rc=$?
    [ "$rc" -eq 2 ] || { echo "malformed UTF-8 in the password was not refused (exit $rc)"; exit 1; }
done
[ ! -e "$work/bad.dat" ] || { echo "a refused argument left a file"; exit 1; }
if "$tool" id pw "$work/no/such/folder/TolvIni.dat" 2>/dev/null; then
    echo "a missing folder was accepted"; exit 1
fi
[ -z "$(ls "$work" | grep -v -E '^(TolvIni.dat|plain)$' || true)" ] || { echo "temporary files left: $(ls "$work")"; exit 1; }
echo "credentials command: ok"
