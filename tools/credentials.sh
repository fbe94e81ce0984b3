#!/usr/bin/env bash
# Writes the credentials file of a drive image: credentials.sh ID PASSWORD DRIVE_DIR
# The file lands in the suite folder of DRIVE_DIR, written to a temporary file and then renamed over the old one.
set -euo pipefail
source "$(dirname "$0")/env.sh"

[ $# -eq 3 ] || die "usage: ./kelvo credentials ID PASSWORD DRIVE_DIR"
id=$1
password=$2
drive=$3
[ -d "$drive" ] || die "no such drive folder: $drive"
tool="$KELVO_BUILD/native/tools/credentials/kelvo-credentials"
if [ ! -x "$tool" ]; then
    "$KELVO_ROOT/tools/setup.sh"
    "$KELVO_ROOT/tools/build.sh" native
fi
load_ids
mkdir -p "$drive/$kSuiteFolder"
"$tool" "$id" "$password" "$drive/$kSuiteFolder/$kCredentialsFile"
log "wrote $drive/$kSuiteFolder/$kCredentialsFile"
