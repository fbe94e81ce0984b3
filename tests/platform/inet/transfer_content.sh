# The store transfer tests' content; sourced by the run_with scripts.
# make_transfer_content ROOT: a profile, a nested file with a Korean name (UTF-8 on disk), a short Korean-named
# file and an empty file.
make_transfer_content() {
    local root=$1
    mkdir -p "$root/apps/memo" "$root/pub/메모장/도움말"
    printf '<?xml version="1.0"?>\n<PROFILE><HEAD><VERSION>1.0</VERSION></HEAD></PROFILE>\n' >"$root/apps/memo/Profile.xml"
    /usr/bin/python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 300)' >"$root/pub/메모장/도움말/한글 파일.bin"
    : >"$root/pub/empty.bin"
    printf abcde >"$root/pub/메모장/한글.bin"
}
