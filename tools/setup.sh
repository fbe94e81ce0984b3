#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs (idempotent) and builds the Korean locale in the project folder.
set -euo pipefail
source "$(dirname "$0")/env.sh"

PACKAGES=(
    # fonts-wine (Marlett, Tahoma) is only a recommendation of wine; the screens depend on it, so it is named.
    cmake ninja-build clang libclang-rt-14-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64 wine fonts-wine xvfb xauth x11-utils imagemagick fonts-nanum locales
    python3 python3-pyftpdlib python3-pil openssl
    vsftpd nginx libpam-pwdfile
    # Duktape's amalgamated sources (/usr/share/duktape), built into both trees like GoogleTest.
    duktape-dev
)
# Stock servers the tests start on loopback ports of their own (tools/store/stock); the system services these
# packages set up are not wanted.
SYSTEM_SERVICES=(vsftpd nginx)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    log "installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
    # Where systemd runs, a freshly installed vsftpd or nginx is started on ports 21 and 80 for everyone: stop
    # and disable the services this install brought (one the machine had before is left alone).
    if [ -d /run/systemd/system ]; then
        for p in "${SYSTEM_SERVICES[@]}"; do
            [[ " ${missing[*]} " == *" $p "* ]] && $SUDO systemctl disable --now "$p" >/dev/null 2>&1 || true
        done
    fi
fi

if [ ! -f "$LOCPATH/ko_KR.UTF-8/LC_CTYPE" ]; then
    log "building the ko_KR.UTF-8 locale"
    mkdir -p "$LOCPATH"
    localedef -i ko_KR -f UTF-8 "$LOCPATH/ko_KR.UTF-8" || [ -f "$LOCPATH/ko_KR.UTF-8/LC_CTYPE" ]
fi
# glibc looks a "ko_KR.UTF-8" locale up under its normalised name.
[ -e "$LOCPATH/ko_KR.utf8" ] || ln -s ko_KR.UTF-8 "$LOCPATH/ko_KR.utf8"
