#!/usr/bin/env bash
# The core stays free of Qt: only src/gui may include Qt headers.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
offenders=$(grep -rlE '#[[:space:]]*include[[:space:]]*[<"]Q[A-Za-z]' "$root/src" "$root/bench" "$root/fuzz" \
    --include='*.h' --include='*.cpp' | grep -v "^$root/src/gui/" || true)
if [ -n "$offenders" ]; then
    echo "Qt headers outside src/gui:" >&2
    echo "$offenders" >&2
    exit 1
fi
