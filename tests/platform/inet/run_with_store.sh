#!/usr/bin/env bash
# Runs the store transfer tests under Wine against a local store (HTTP and active-mode FTP) on free ports,
# with the content of transfer_content.sh.
#   run_with_store.sh <tests.exe> [gtest arguments...]
set -euo pipefail
exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-inet-store.XXXXXX")
source "$here/../local_store.sh"
source "$here/transfer_content.sh"
cleanup() {
    stop_local_store
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/log"
make_transfer_content "$work/root"

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
