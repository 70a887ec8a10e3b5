#!/usr/bin/env bash
# Unpacks the release zip into a fresh folder whose name holds Chinese
# characters and a blank, names it to the command in VELMORA_RELEASE_DIR (as
# Windows writes it), runs the command, and removes the folder.
#
# usage: tests/e2e/unpack_release.sh ZIP COMMAND...
set -euo pipefail

(($# >= 2)) || { echo "usage: $0 ZIP COMMAND..." >&2; exit 2; }
zip=$1
shift
parent=$(mktemp -d)
trap 'rm -rf "$parent"' EXIT
folder="$parent/发布 测试"
mkdir "$folder"
python3 -m zipfile -e "$zip" "$folder"
VELMORA_RELEASE_DIR=$(winepath -w "$folder" 2>/dev/null)
export VELMORA_RELEASE_DIR
"$@"
