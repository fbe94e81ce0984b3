#!/usr/bin/env bash
# Builds a release: a Release-configuration Windows tree of the shipped programs only, for the given store hosts,
# and out/release/kelvo-VERSION.zip (the drive image a user copies to a stick) with its SHA-256 beside it.
#
# usage: release.sh --http-host HOST[:PORT] --ftp-host HOST[:PORT] [--version X.Y.Z]
# A host without a port means the standard one (80 for the web, 21 for FTP). The version defaults to the one in
# the VERSION file. KELVO_RELEASE_BUILD and KELVO_RELEASE_OUT move the build tree and the output folder.
set -euo pipefail
source "$(dirname "$0")/env.sh"

usage() { die "usage: ./kelvo release --http-host HOST[:PORT] --ftp-host HOST[:PORT] [--version X.Y.Z]"; }

http_host="" ftp_host="" version=""
while [ $# -gt 0 ]; do
    case "$1" in
    --http-host) http_host=${2:-}; shift 2 || usage ;;
    --ftp-host) ftp_host=${2:-}; shift 2 || usage ;;
    --version) version=${2:-}; shift 2 || usage ;;
    *) usage ;;
    esac
done
[ -n "$http_host" ] && [ -n "$ftp_host" ] || usage
[ -n "$version" ] || version=$(tr -d ' \r\n' <"$KELVO_ROOT/VERSION")
# The hosts go into the programs as they are: a name or address and at most a port, nothing a URL would split.
host_pattern='^[A-Za-z0-9.-]+(:[0-9]{1,5})?$'
for host in "$http_host" "$ftp_host"; do
    [[ "$host" =~ $host_pattern ]] || die "not a host[:port]: '$host'"
done
[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || die "not a version X.Y.Z: '$version'"

tree="${KELVO_RELEASE_BUILD:-$KELVO_BUILD/release-win}"
out="${KELVO_RELEASE_OUT:-$KELVO_OUT/release}"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$KELVO_ROOT" CCACHE_NOHASHDIR=1
fi
# Configured every time, so a run for other hosts rebuilds what holds them.
cmake -S "$KELVO_ROOT" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_RELEASE=ON -DKELVO_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$KELVO_ROOT/cmake/mingw-w64.cmake" \
    -DKELVO_STORE_HTTP_HOST="$http_host" -DKELVO_STORE_FTP_HOST="$ftp_host" "${launcher[@]}" >/dev/null
cmake --build "$tree" -j "$(nproc)" --target Tolv Marlo TolvSet KelvoUp Start
"$PY" "$KELVO_ROOT/tools/release/pack.py" "$tree/bin" "$tree/skin" "$tree/generated/python" "$version" "$out"
log "$(cat "$out/kelvo-$version.zip.sha256")"
