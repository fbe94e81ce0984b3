#!/usr/bin/env bash
# Runs the package engine's or the updater's tests under Wine against a store serving the store content the build
# made (profiles and package files, tools/store/make_content.py): the local store, or with --stock Debian's
# vsftpd and nginx serving a copy of it with package 104 added (package 101's files under code page 949 names,
# tools/store/stock/cp949_package.py; the build's own packages keep their names in UTF-8).
#   run_with_content_store.sh [--stock] <content dir> <test drive dir> <tests.exe> [gtest arguments...]
# The test drive dir is the folder the Wine prefix maps to T:; it is made when missing.
set -euo pipefail
stock=false
if [ "${1:-}" = --stock ]; then
    stock=true
    shift
fi
content=$1
drive=$2
exe=$3
shift 3
mkdir -p "$drive"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-engine-store.XXXXXX")
source "$here/../platform/local_store.sh"
source "$here/../platform/stock_store.sh"
cleanup() {
    stop_local_store
    stop_stock_store
    rm -rf "$work"
}
trap cleanup EXIT

[ -d "$content/application" ] || { echo "no store content in $content (build it with ./kelvo build)" >&2; exit 1; }
if $stock; then
    # Hard links where the folders share a file system; the copy is only added to, never written over.
    cp -al "$content" "$work/content" 2>/dev/null || cp -a "$content" "$work/content"
    /usr/bin/python3 "$here/../../tools/store/stock/cp949_package.py" "$work/content"
    start_stock_store "$work/content" "$work"
    log="$work/stock/nginx-access.log"
else
    start_local_store "$content" "$work"
    log="$work/log/http.log"
fi

export KELVO_STORE_HTTP="127.0.0.1:$http_port" KELVO_STORE_FTP="127.0.0.1:$ftp_port"
# The tests compare with the build's content, whose names the Windows side can spell.
export KELVO_STORE_ROOT="Z:${content//\//\\}"
export KELVO_STORE_LOG="Z:${log//\//\\}"
status=0
wine "$exe" "$@" || status=$?
if [ $status -ne 0 ]; then
    if $stock; then
        show_stock_logs
    else
        echo "--- requests seen by the local store:"
        tail -n 20 "$work/log/http.log" 2>/dev/null || true
        grep -E '<- (LIST|RETR)' "$work/log/ftp.log" 2>/dev/null | tail -n 20 || true
    fi
fi
exit $status
