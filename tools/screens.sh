#!/usr/bin/env bash
# Runs the end-to-end tests that check key screens against the references in tests/e2e/screens. With --refresh
# every checked screen is written as its new reference instead, after an intended change of the looks: look at
# the new images (git diff shows which changed) before committing them.
set -euo pipefail
source "$(dirname "$0")/env.sh"

case "${1:-}" in
--refresh) export KELVO_SCREENS=refresh ;;
"") ;;
*) die "usage: ./kelvo screens [--refresh]" ;;
esac
modules=$(grep -l "check_screen(" "$KELVO_ROOT"/tests/e2e/test_*.py | xargs -n1 basename | sed 's/\.py$//' | paste -sd'|')
[ -n "$modules" ] || die "no end-to-end test checks a screen"
exec "$KELVO_ROOT/tools/test.sh" "^e2e\.($modules)\$"
