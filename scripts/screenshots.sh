#!/usr/bin/env bash
# Takes the README's pictures of the window: the Set Up, Stream and Orbit pages at the default
# window size over the demo database, drawn by the real X11 platform under Xvfb, into
# docs/images/ (setup_page.png, stream_page.png, orbit_page.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" --screenshots
cmake --build "$root/build" --target test_gui
export XDG_RUNTIME_DIR="$(mktemp -d)"
ORVANTELLA_SCREENSHOT_DIR="$root/docs/images" QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1280x800x24" \
    "$root/build/tests/test_gui" --gtest_filter='WindowAtDefaultSize.*'
echo "Pictures written to $root/docs/images"
