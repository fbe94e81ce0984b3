#!/usr/bin/env bash
# Runs the store transfer tests under Wine against Debian's vsftpd and nginx, with the content of
# transfer_content.sh and, for the cases meant for stock servers, the same Korean names stored once as UTF-8
# bytes and once as code page 949 bytes, and a symbolic link whose listing shows the length of its target
# instead of the file's size.
#   run_with_stock_store.sh <tests.exe> [gtest arguments...]
set -euo pipefail
exe=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/kelvo-inet-stock.XXXXXX")
source "$here/../local_store.sh"  # free_port
source "$here/../stock_store.sh"
source "$here/transfer_content.sh"
cleanup() {
    stop_stock_store
    rm -rf "$work"
}
trap cleanup EXIT

make_transfer_content "$work/root"
mkdir -p "$work/root/pub/deep/folders/for/a/long/link/target" "$work/local"
/usr/bin/python3 - "$work/root" <<'PY'
import os, sys
root = sys.argv[1].encode()
for encoding, seed in (("utf-8", 1), ("cp949", 7)):
    folder = os.path.join(root, b"pub", encoding.encode(), "메모장/도움말".encode(encoding))
    os.makedirs(folder)
    with open(os.path.join(folder, "한글 파일.bin".encode(encoding)), "wb") as f:
        f.write(bytes((i * seed) % 256 for i in range(256)) * 300)
    web = os.path.join(root, b"web", encoding.encode(), "한글".encode(encoding))
    os.makedirs(web)
    with open(os.path.join(web, b"Profile.xml"), "wb") as f:
        f.write(('<?xml version="1.0"?>\n<PROFILE><HEAD><ALIAS>%s</ALIAS></HEAD></PROFILE>\n' % encoding).encode())
PY
printf abcde >"$work/root/pub/deep/folders/for/a/long/link/target/five.bin"
ln -s deep/folders/for/a/long/link/target/five.bin "$work/root/pub/link.bin"

start_stock_store "$work/root" "$work"

export KELVO_STORE_HTTP="127.0.0.1:$http_port" KELVO_STORE_FTP="127.0.0.1:$ftp_port"
export KELVO_STORE_ROOT="Z:${work//\//\\}\\root" KELVO_STORE_TEMP="Z:${work//\//\\}\\local"
# A port where nothing listens, for the refused connection.
export KELVO_STORE_CLOSED="127.0.0.1:$(free_port)"
status=0
wine "$exe" "$@" || status=$?
[ $status -eq 0 ] || show_stock_logs
exit $status
