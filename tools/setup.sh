#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine needs (idempotent) and builds the Korean locale in the project folder.
set -euo pipefail
source "$(dirname "$0")/env.sh"

PACKAGES=(
    # fonts-wine (Marlett, Tahoma) is only a recommendation of wine; the screens depend on it, so it is named.
    cmake ninja-build clang libclang-rt-14-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64 wine fonts-wine xvfb xauth x11-utils imagemagick fonts-nanum locales
    python3 python3-pyftpdlib python3-pil openssl
)

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
fi

if [ ! -f "$LOCPATH/ko_KR.UTF-8/LC_CTYPE" ]; then
    log "building the ko_KR.UTF-8 locale"
    mkdir -p "$LOCPATH"
    localedef -i ko_KR -f UTF-8 "$LOCPATH/ko_KR.UTF-8" || [ -f "$LOCPATH/ko_KR.UTF-8/LC_CTYPE" ]
fi
# glibc looks a "ko_KR.UTF-8" locale up under its normalised name.
[ -e "$LOCPATH/ko_KR.utf8" ] || ln -s ko_KR.UTF-8 "$LOCPATH/ko_KR.utf8"
