#!/usr/bin/env bash
# Installs what is missing, configures when needed, builds incrementally.
# Arguments are build targets (default: everything of the preset).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
preset="${QRV_PRESET:-default}"
folder="build"
[[ "$preset" == default ]] || folder="build-$preset"
# A configure that failed leaves a cache without build.ninja: configure again
# until one succeeds, instead of failing every build after it. A preset that
# changed since is applied too (a build alone keeps the cached settings).
if [[ ! -f "$folder/build.ninja" || CMakePresets.json -nt "$folder/CMakeCache.txt" ]]; then
  cmake --preset "$preset" >/dev/null
fi
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build --preset "$preset" "${targets[@]}"
