#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvantella.
# The program works in its own folder: ${XDG_DATA_HOME:-~/.local/share}/orvantella
# (the settings file and the MDB live there); on the first start the demo
# database is copied into it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot open."
    echo "Here is the batch tool instead, which runs the same commands without a window:"
    echo
    "$root/build/orvantella-batch" help
    echo
    echo "The demo database, counted by the batch tool:"
    exec "$root/build/orvantella-batch" info "$root/data/demo/MDB"
fi
work="${XDG_DATA_HOME:-$HOME/.local/share}/orvantella"
if [ ! -e "$work/MDB" ]; then
    mkdir -p "$work"
    cp -r "$root/data/demo/MDB" "$work/MDB"
    echo "First start: the demo database was copied to $work/MDB"
fi
cd "$work"
exec "$root/build/orvantella"
