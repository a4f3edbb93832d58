#!/usr/bin/env bash
# The layering: only src/gui may include Qt headers, the table engine stands
# on the platform layer alone, and the astronomy core on nothing but itself.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0

report() { # title, offending lines
    [ -z "$2" ] && return 0
    echo "$1" >&2
    echo "$2" >&2
    status=1
}

qt=$(grep -rlE '#[[:space:]]*include[[:space:]]*[<"]Q[A-Za-z]' "$root/src" "$root/bench" "$root/fuzz" \
    --include='*.h' --include='*.cpp' | grep -v "^$root/src/gui/" || true)
report "Qt headers outside src/gui:" "$qt"

# Project includes of a folder other than the allowed ones.
includes_outside() { # folder, allowed folders as an alternation
    grep -rnE '#[[:space:]]*include[[:space:]]*"' "$root/src/$1" --include='*.h' --include='*.cpp' |
        grep -vE "#[[:space:]]*include[[:space:]]*\"($2)/" || true
}
report "src/table includes more than table/ and platform/:" "$(includes_outside table 'table|platform')"
report "src/astro includes more than astro/:" "$(includes_outside astro 'astro')"
exit $status
