#!/usr/bin/env bash
# Configures and builds the native tree (clang, ASan+UBSan, fuzz targets) and the MinGW tree.
set -euo pipefail
source "$(dirname "$0")/env.sh"

jobs=$(nproc)
hosts=(-DKELVO_STORE_HTTP_HOST="127.0.0.1:$KELVO_HTTP_PORT" -DKELVO_STORE_FTP_HOST="127.0.0.1:$KELVO_FTP_PORT")
# A compiler cache, when the machine has one, is shared by every checkout of the project on it.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$KELVO_ROOT" CCACHE_NOHASHDIR=1
fi

build_native() {
    if [ ! -f "$KELVO_BUILD/native/build.ninja" ]; then
        cmake -S "$KELVO_ROOT" -B "$KELVO_BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
            -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKELVO_FUZZ=ON "${hosts[@]}" "${launcher[@]}" >/dev/null
    fi
    cmake --build "$KELVO_BUILD/native" -j "$jobs"
}

build_win() {
    if [ ! -f "$KELVO_BUILD/win/build.ninja" ]; then
        cmake -S "$KELVO_ROOT" -B "$KELVO_BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$KELVO_ROOT/cmake/mingw-w64.cmake" "${hosts[@]}" "${launcher[@]}" >/dev/null
    fi
    # Test discovery runs the test programs under Wine at build time.
    cmake --build "$KELVO_BUILD/win" -j "$jobs"
    # The local store's packages are made from the sample programs just built.
    "$PY" "$KELVO_ROOT/tools/store/make_content.py" "$KELVO_BUILD/win/bin" "$KELVO_BUILD/store-content" >/dev/null
}

case "${1:-all}" in
native) build_native ;;
win) build_win ;;
all) build_native && build_win ;;
*) die "unknown build target: $1" ;;
esac
