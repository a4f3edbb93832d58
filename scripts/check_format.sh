#!/usr/bin/env bash
# Every C++ file follows .clang-format.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
