#!/usr/bin/env bash
# Runs the package engine's tests under Wine against the local store serving the store content the build made
# (profiles and package files, tools/store/make_content.py).
#   run_with_content_store.sh <content dir> <test drive dir> <tests.exe> [gtest arguments...]
# The test drive dir is the folder the Wine prefix maps to T:; it is made when missing.
set -euo pipefail
content=$1
drive=$2
exe=$3
shift 3
mkdir -p "$drive"
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-engine-store.XXXXXX")
source "$here/../platform/local_store.sh"
cleanup() {
    stop_local_store
    rm -rf "$work"
}
trap cleanup EXIT

[ -d "$content/application" ] || { echo "no store content in $content (build it with ./kelvo build)" >&2; exit 1; }
start_local_store "$content" "$work"

export KELVO_STORE_HTTP="127.0.0.1:$http_port" KELVO_STORE_FTP="127.0.0.1:$ftp_port"
export KELVO_STORE_ROOT="Z:${content//\//\\}"
export KELVO_STORE_LOG="Z:${work//\//\\}\\log\\http.log"
status=0
wine "$exe" "$@" || status=$?
if [ $status -ne 0 ]; then
    echo "--- requests seen by the local store:"
    tail -n 20 "$work/log/http.log" 2>/dev/null || true
    grep -E '<- (LIST|RETR)' "$work/log/ftp.log" 2>/dev/null | tail -n 20 || true
fi
exit $status
