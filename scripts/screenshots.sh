#!/usr/bin/env bash
# Takes the main window's pictures on a virtual X display: at normal size, at
# twice the size and with a dark palette, into docs/ (or the folder given).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/docs}"
build="${QRV_BUILD_DIR:-$root/build}"
cmake --build "$build" --target quorvane-screenshots >/dev/null
tool="$build/bin/quorvane-screenshots"
[[ -x "$tool" ]] || tool="$(find "$build" -name quorvane-screenshots -type f -perm -u+x | head -n1)"
mkdir -p "$out"
shoot() { # <file> [--dark]; with QT_SCALE_FACTOR from the caller
    xvfb-run --auto-servernum --server-args="-screen 0 1920x1200x24" \
        env QT_QPA_PLATFORM=xcb AT_SPI_BUS_ADDRESS=unix:path=/nonexistent "$tool" "$out/$1" "${@:2}"
    echo "$out/$1"
}
QT_SCALE_FACTOR=1 shoot main-window.png
QT_SCALE_FACTOR=2 shoot main-window@2x.png
QT_SCALE_FACTOR=1 shoot main-window-dark.png --dark
