#!/usr/bin/env bash
# Fails when a C++ source of the tree differs from what clang-format makes of
# it with the repository's .clang-format; lists the files that do.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t sources < <(git ls-files '*.cpp' '*.h')
else  # an unpacked source archive
    mapfile -t sources < <(find app runtime ui net tests tools -name '*.cpp' -o -name '*.h' | sort)
fi
if ! clang-format --dry-run --Werror "${sources[@]}" 2>/dev/null; then
    echo "check-format: not formatted (run: git ls-files '*.cpp' '*.h' | xargs clang-format -i):" >&2
    for source in "${sources[@]}"; do
        clang-format --dry-run --Werror "$source" >/dev/null 2>&1 || echo "  $source" >&2
    done
    exit 1
fi
