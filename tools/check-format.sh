#!/usr/bin/env bash
# Fails when a C or C++ source of the project differs from .clang-format; with --fix, rewrites them.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run -Werror)
[ "${1:-}" = "--fix" ] && mode=(-i)
# The tracked sources; outside a git checkout, every source not in a build folder.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' sources < <(git ls-files -z -- '*.c' '*.cpp' '*.h')
else
  mapfile -d '' sources < <(find . -path './build*' -prune -o -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -print0)
fi
clang-format "${mode[@]}" "${sources[@]}"
