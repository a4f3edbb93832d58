#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvantella.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot open."
    echo "Here is the batch tool instead, which runs the same commands without a window:"
    echo
    exec "$root/build/orvantella-batch" help
fi
cd "$root/data"
exec "$root/build/orvantella"
