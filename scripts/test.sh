#!/usr/bin/env bash
# Installs, checks the rules the code keeps (layers, format), then builds and
# runs the default suite and the thread-sanitizer suite, each on a private
# session bus. QRV_PRESET=<preset> runs that suite alone (default, tsan,
# asan). Arguments go to CTest. Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
scripts/install-deps.sh
scripts/check-layers.sh
scripts/check-format.sh
# Programs under test that read menus must not reach the user's accessibility
# bus, nor have the suite's session bus start one: the bus launcher would
# publish it in the user's runtime folder and on the user's display. The
# accessibility tests start private sessions of their own.
export AT_SPI_BUS_ADDRESS="unix:path=/nonexistent/quorvane-tests-have-no-accessibility-bus"

run_suite() {
  local preset="$1"
  shift
  echo "== $preset suite"
  QRV_PRESET="$preset" scripts/build.sh
  if [[ "$preset" != tsan ]]; then
    dbus-run-session -- ctest --preset "$preset" -j"$(nproc)" "$@"
    return
  fi
  # The sanitizer writes its reports to files (the preset's log_path), so that
  # a report in a program a test starts is seen even when the test does not
  # look at that program's output.
  local reports="build-tsan/tsan-reports"
  rm -rf "$reports" && mkdir -p "$reports"
  local status=0
  dbus-run-session -- ctest --preset tsan -j"$(nproc)" "$@" || status=$?
  if compgen -G "$reports/report.*" >/dev/null; then
    cat "$reports"/report.*
    echo "ThreadSanitizer reported the races above ($reports)" >&2
    return 1
  fi
  return "$status"
}

if [[ -n "${QRV_PRESET:-}" ]]; then
  run_suite "$QRV_PRESET" "$@"
else
  run_suite default "$@"
  run_suite tsan "$@"
fi
