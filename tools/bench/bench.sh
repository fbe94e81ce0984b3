#!/usr/bin/env bash
# Builds what the bench needs (an unsanitised Release native tree, the Windows tree and the store's content),
# then runs every figure with its baseline under a private Xvfb and Wine server; writes out/bench.md.
# usage: bench.sh [bench.py options: --runs N, --only frame,ftp,stock,install,paint,store,idle,xml]
set -euo pipefail
source "$(dirname "$0")/../env.sh"
source "$KELVO_ROOT/tools/session.sh"

"$KELVO_ROOT/tools/setup.sh"
source "$KELVO_ROOT/tools/env.sh"  # the locale exists now
# The rows start the local store on the ports this build bakes into the store hosts.
export KELVO_HTTP_PORT KELVO_FTP_PORT
"$KELVO_ROOT/tools/wineprefix.sh"

native="$KELVO_BUILD/bench-native"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$KELVO_ROOT" CCACHE_NOHASHDIR=1
fi
if [ ! -f "$native/build.ninja" ]; then
    cmake -S "$KELVO_ROOT" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVO_SANITIZE=OFF \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
        -DKELVO_STORE_HTTP_HOST="127.0.0.1:$KELVO_HTTP_PORT" -DKELVO_STORE_FTP_HOST="127.0.0.1:$KELVO_FTP_PORT" >/dev/null
fi
cmake --build "$native" -j "$(nproc)" --target frame_bench xml_bench

cleanup() {
    stop_wineserver
    stop_xvfb
}
trap cleanup EXIT
start_wineserver
"$KELVO_ROOT/tools/build.sh" win
start_xvfb
start_wineserver
"$PY" "$KELVO_ROOT/tools/bench/bench.py" "$@"
