#!/usr/bin/env bash
# Installs, builds and runs the whole test suite on a private session bus.
# Exits non-zero when anything fails; CTest's summary is the last output.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
cd "$root"
preset="${QRV_PRESET:-default}"
exec dbus-run-session -- ctest --preset "$preset" -j"$(nproc)" "$@"
