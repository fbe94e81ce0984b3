#!/usr/bin/env bash
# Runs one fuzz target for a while on its own corpus: fuzz.sh TARGET SECONDS
set -euo pipefail
source "$(dirname "$0")/env.sh"
target="${1:?target, e.g. XmlDocumentFuzz}"
seconds="${2:-600}"
"$KELVO_ROOT/tools/setup.sh"
"$KELVO_ROOT/tools/build.sh" native
corpus="$KELVO_BUILD/native/fuzz-corpus/$target"
mkdir -p "$corpus" "$KELVO_OUT/reports"
"$KELVO_BUILD/native/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    "$corpus" "$KELVO_ROOT/tests/fuzz/seeds/$target" 2>&1 | tee "$KELVO_OUT/reports/fuzz-$target.txt" | tail -n 20
