#!/usr/bin/env bash
# Installs, builds and runs the whole test suite on a private session bus.
# Exits non-zero when anything fails; CTest's summary is the last output.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
cd "$root"
preset="${QRV_PRESET:-default}"
# Programs under test that read menus must not reach the user's accessibility
# bus, nor have the suite's session bus start one: the bus launcher would
# publish it in the user's runtime folder and on the user's display. The
# accessibility tests start private sessions of their own.
export AT_SPI_BUS_ADDRESS="unix:path=/nonexistent/quorvane-tests-have-no-accessibility-bus"
exec dbus-run-session -- ctest --preset "$preset" -j"$(nproc)" "$@"
