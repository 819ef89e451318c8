#!/usr/bin/env bash
# Installs what is missing, configures once, builds incrementally.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
preset="${QRV_PRESET:-default}"
if [[ ! -f "build/CMakeCache.txt" || "$preset" != default ]]; then
  cmake --preset "$preset" >/dev/null
fi
cmake --build --preset "$preset"
