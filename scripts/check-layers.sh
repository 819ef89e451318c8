#!/usr/bin/env bash
# Checks every #include "..." of the modules against the layers
# (docs/ARCHITECTURE.md, "Rules the build checks"): a module includes its own
# headers, those of the modules below it and the platform's interfaces, never
# a platform implementation. Prints each breach and exits 1 if there is one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

interfaces='platform/[A-Za-z0-9_]+\.h' # the service interfaces and shared types
files='platform/(plist|bundles)/[^"]+' # file formats, the same on every system
status=0

# check <description> <allowed include regex> <file>...
check() {
    local who=$1 allowed=$2
    shift 2
    local file line include
    for file in "$@"; do
        while IFS= read -r line; do
            include=${line#*\"}
            include=${include%%\"*}
            if ! [[ $include =~ ^($allowed)$ ]]; then
                echo "$file: includes \"$include\", which $who may not use" >&2
                status=1
            fi
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
    done
}

sources() { find "$@" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) | sort; }

check "the platform's interfaces" "$interfaces|$files" $(sources platform platform/plist platform/bundles)
check "a platform implementation" "$interfaces|$files|platform/(linux|qt)/[^\"]+" \
    $(sources platform/linux platform/qt)
check "the widget services" "$interfaces|platform/widgets/[^\"]+" $(sources platform/widgets)
check "a test double (build it on the interfaces, not on an implementation)" \
    "$interfaces|$files|platform/testing/[^\"]+" $(sources platform/testing)
check "model/" "$interfaces|$files|model/[^\"]+" $(sources model)
check "menus/" "$interfaces|$files|(model|menus)/[^\"]+" $(sources menus)
check "exchange/" "$interfaces|$files|(model|menus|exchange)/[^\"]+" $(sources exchange)
check "editor/" "$interfaces|$files|platform/widgets/[^\"]+|(model|menus|editor)/[^\"]+" \
    $(sources editor)
# The shell starts the crash service, so it may use telemetry/ too.
check "shell/" \
    "$interfaces|$files|platform/widgets/[^\"]+|(model|menus|editor|exchange|shell|telemetry)/[^\"]+" \
    $(sources shell)
check "telemetry/" "$interfaces|$files|telemetry/[^\"]+" $(sources telemetry)

exit $status
