#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvantella.
# The program works in its own folder: ${XDG_DATA_HOME:-~/.local/share}/orvantella
# (the settings file and the MDB live there); on the first start the demo
# database is copied into it. Without a display it runs the batch tool's demo
# into demo-report there instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
work="${XDG_DATA_HOME:-$HOME/.local/share}/orvantella"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): the window cannot open."
    echo "The batch tool runs the program's main job on the demo database instead:"
    echo
    "$root/build/orvantella-batch" demo "$work/demo-report"
    echo
    echo "The report and its three maps are in $work/demo-report (report.md);"
    echo "'$root/build/orvantella-batch help' lists every command."
    exit 0
fi
if [ ! -e "$work/MDB" ]; then
    mkdir -p "$work"
    cp -r "$root/data/demo/MDB" "$work/MDB"
    echo "First start: the demo database was copied to $work/MDB"
fi
cd "$work"
exec "$root/build/orvantella"
