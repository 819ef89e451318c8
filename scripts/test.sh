#!/usr/bin/env bash
# Installs, checks the rules the code keeps (layers, format), builds and runs
# the whole test suite on a private session bus. QRV_PRESET picks the suite
# (default, tsan, asan). Exits non-zero when anything fails; CTest's summary
# is the last output.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/check-layers.sh
scripts/check-format.sh
scripts/build.sh
preset="${QRV_PRESET:-default}"
exec dbus-run-session -- ctest --preset "$preset" -j"$(nproc)" "$@"
