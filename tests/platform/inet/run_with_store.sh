#!/usr/bin/env bash
# Runs the store transfer tests under Wine against a local store (HTTP and active-mode FTP) on free ports,
# with content made here: a profile, a nested file with a Korean name, an empty file.
#   run_with_store.sh <tests.exe> [gtest arguments...]
set -euo pipefail
exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-inet-store.XXXXXX")
source "$here/../local_store.sh"
cleanup() {
    stop_local_store
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/root/apps/memo" "$work/root/pub/메모장/도움말" "$work/log"
printf '<?xml version="1.0"?>\n<PROFILE><HEAD><VERSION>1.0</VERSION></HEAD></PROFILE>\n' >"$work/root/apps/memo/Profile.xml"
/usr/bin/python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 300)' >"$work/root/pub/메모장/도움말/한글 파일.bin"
: >"$work/root/pub/empty.bin"
printf abcde >"$work/root/pub/메모장/한글.bin"

start_local_store "$work/root" "$work"

export KELVO_STORE_HTTP="127.0.0.1:$http_port" KELVO_STORE_FTP="127.0.0.1:$ftp_port"
export KELVO_STORE_ROOT="Z:${work//\//\\}\\root" KELVO_STORE_TEMP="Z:${work//\//\\}"
export KELVO_STORE_LOG="Z:${work//\//\\}\\log\\http.log"
# A port where nothing listens, for the refused connection.
export KELVO_STORE_CLOSED="127.0.0.1:$(free_port)"
status=0
wine "$exe" "$@" || status=$?
echo "--- FTP commands seen by the local store:"
grep -E '<- (LIST|RETR)' "$work/log/ftp.log" 2>/dev/null | tail -n 20 || true
exit $status
