#!/usr/bin/env bash
# The layering: only src/gui may include Qt headers, and every project include
# runs down the floors below (or stays in its own folder). The table engine
# stands on the platform layer alone, the astronomy core on nothing but itself.
#
#   check_layers.sh [ROOT]     checks ROOT (default: this repository)
#   check_layers.sh --self-test
#                              plants upward includes in copies of src/ and
#                              fails unless the check catches every one
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

# The floors, bottom to top. A folder may include its own folder and any folder
# on a lower floor; folders on one floor (cluster and maps, gui and batch) do
# not include each other.
declare -A floor=(
    [platform]=0 [astro]=0
    [table]=1
    [mdb]=2
    [views]=3
    [orbits]=4
    [streams]=5
    [cluster]=6 [maps]=6
    [app]=7
    [pages]=8
    [gui]=9 [batch]=9
)

check() { # root
    local root=$1 status=0
    report() { # title, offending lines
        [ -z "$2" ] && return 0
        echo "$1" >&2
        echo "$2" >&2
        status=1
    }

    local qt
    qt=$(grep -rlE '#[[:space:]]*include[[:space:]]*[<"]Q[A-Za-z]' "$root/src" "$root/bench" "$root/fuzz" \
        --include='*.h' --include='*.cpp' | grep -v "^$root/src/gui/" || true)
    report "Qt headers outside src/gui:" "$qt"

    local dir folder
    for dir in "$root"/src/*/; do
        folder=$(basename "$dir")
        if [ -z "${floor[$folder]+set}" ]; then
            report "src/$folder has no floor in scripts/check_layers.sh:" "$dir"
            continue
        fi
        local allowed="$folder" other
        for other in "${!floor[@]}"; do
            [ "${floor[$other]}" -lt "${floor[$folder]}" ] && allowed="$allowed|$other"
        done
        case $folder in
        table) allowed='table|platform' ;;
        astro) allowed='astro' ;;
        esac
        report "src/$folder includes a folder above it or beside it (allowed: ${allowed//|/ }):" \
            "$(grep -rnE '#[[:space:]]*include[[:space:]]*"[a-z_]+/' "$dir" --include='*.h' --include='*.cpp' |
                grep -vE "#[[:space:]]*include[[:space:]]*\"($allowed)/" || true)"
    done
    return $status
}

# Each case: the file that gets the include, and the include that must be caught.
self_test() {
    local cases=(
        "orbits/orbit_selection.cpp|app/settings.h"
        "orbits/orbit_averages.h|streams/stream_grouping.h"
        "streams/stream_grouping.cpp|pages/page_stream.h"
        "maps/sky_map.cpp|cluster/cluster_engine.h"
        "cluster/cluster_engine.cpp|app/app_context.h"
        "app/startup.cpp|pages/page_setup.h"
        "pages/page_orbit.cpp|gui/orbit_page.h"
        "table/cutable.cpp|mdb/schema.h"
        "astro/sun.cpp|platform/ui.h"
        "mdb/schema.cpp|QString"
    )
    local failed=0 entry file include
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp -r "$here/src" "$work/"
    mkdir -p "$work/bench" "$work/fuzz"
    if ! check "$work" 2>/dev/null; then
        echo "self-test: the unchanged tree fails the check" >&2
        return 1
    fi
    for entry in "${cases[@]}"; do
        file=${entry%%|*}
        include=${entry#*|}
        echo "#include \"$include\"" >>"$work/src/$file"
        if check "$work" 2>/dev/null; then
            echo "self-test: an include of $include in src/$file passed the check" >&2
            failed=1
        fi
        cp "$here/src/$file" "$work/src/$file"
    done
    [ $failed -eq 0 ] && echo "self-test: every planted include was caught"
    return $failed
}

case "${1:-}" in
--self-test) self_test ;;
"") check "$here" ;;
*) check "$(cd "$1" && pwd)" ;;
esac
