#!/usr/bin/env bash
# Installs, builds and starts Quorvane. Arguments go to the application
# (for example --home DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh"
exec "$root/build/bin/quorvane" "$@"
