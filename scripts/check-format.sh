#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what clang-format
# (.clang-format) makes of it; the differences are printed.
# `scripts/check-format.sh --fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mapfile -t sources < <(git ls-files -- '*.h' '*.cpp')
if [[ "${1:-}" == --fix ]]; then
  exec clang-format -i "${sources[@]}"
fi
exec clang-format --dry-run --Werror "${sources[@]}"
