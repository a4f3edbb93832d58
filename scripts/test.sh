#!/usr/bin/env bash
# Installs what is missing, builds, checks the layering, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/check_layers.sh"
"$root/scripts/check_layers.sh" --self-test
"$root/scripts/check_format.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$(mktemp -d)"
cd "$root/build"
ctest --output-on-failure --parallel "$(nproc)" "$@"
# The core once more under AddressSanitizer, UndefinedBehaviorSanitizer and,
# for its threads, ThreadSanitizer.
"$root/scripts/sanitizers.sh"
