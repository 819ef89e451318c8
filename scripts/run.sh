#!/usr/bin/env bash
# Installs, builds and starts Quorvane (the application alone, not the tests).
# Arguments go to the application (for example --home DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QRV_PRESET=default "$root/scripts/build.sh" quorvane
exec "$root/build/bin/quorvane" "$@"
