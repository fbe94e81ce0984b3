#!/usr/bin/env bash
# Lays out a drive image as the stick would look: the root, the suite folder and "Portable Programs".
# usage: drive.sh DIR [LABEL]
set -euo pipefail
source "$(dirname "$0")/env.sh"

drive="${1:?drive folder}"
label="${2:-KELVO}"
bin="$KELVO_BUILD/win/bin"
load_ids
suite="$drive/$kSuiteFolder"

mkdir -p "$suite" "$drive/$kPackagesFolder"
# Wine reads the volume label and serial number of a mapped folder from these two files.
printf '%s\n' "$label" >"$drive/.windows-label"
printf '%s\n' "4B454C56" >"$drive/.windows-serial"

for program in "$kLauncherProgram" "$kAgentProgram" "$kSettingsProgram" "$kUpdaterProgram"; do
    [ -f "$bin/$program" ] && cp -f "$bin/$program" "$suite/"
done
[ -f "$bin/$kStarterProgram" ] && cp -f "$bin/$kStarterProgram" "$drive/"
if [ -d "$KELVO_BUILD/win/skin" ]; then
    cp -f "$KELVO_BUILD/win/skin/"* "$suite/"
fi
exit 0
