#!/usr/bin/env bash
# The core and its tests under AddressSanitizer with UndefinedBehaviorSanitizer
# (build-asan/), then the threaded tests under ThreadSanitizer (build-tsan/).
# Any finding fails. The slow tests run in the plain build only.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

configure() { # folder, sanitizer flags
    local flags="$2 -fno-omit-frame-pointer"
    cmake -S "$root" -B "$1" -G Ninja -DORVANTELLA_GUI=OFF -DORVANTELLA_BENCH=OFF \
        -DORVANTELLA_PYTHON=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
}

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

configure "$root/build-asan" "-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake --build "$root/build-asan" --parallel "$jobs"
ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$jobs" -LE slow

# The derived orbit columns share their rows among threads; the M layout
# converter computes orbits on worker threads.
configure "$root/build-tsan" "-fsanitize=thread"
cmake --build "$root/build-tsan" --parallel "$jobs" --target test_mdb test_orbits
"$root/build-tsan/tests/test_mdb" --gtest_filter='OrbitDerived.*'
"$root/build-tsan/tests/test_orbits" --gtest_filter='*MLayout*:*Import*'
# The maps read their inputs and draw their largest layers on both cores.
cmake --build "$root/build-tsan" --parallel "$jobs" --target test_maps
"$root/build-tsan/tests/test_maps" --gtest_filter='*MatchAPlain*'
# Automatic clustering searches on a worker thread.
if compgen -G "$root/tests/cluster/*.cpp" >/dev/null; then
    cmake --build "$root/build-tsan" --parallel "$jobs" --target test_cluster
    "$root/build-tsan/tests/test_cluster"
fi
