#!/usr/bin/env bash
# Runs every fuzz target (fuzz/fuzz_*.cpp) in turn under ASan and UBSan for
# SECONDS each (default 600), then minimises its corpus back into
# fuzz/corpus/NAME. Findings are kept in fuzz-out/NAME/; the summary goes to
# fuzz-out/summary.txt. Exit status 1 when any target found something.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
shift || true
build="$root/build-fuzz"
out="$root/fuzz-out"

if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in "$root"/fuzz/fuzz_*.cpp; do
        targets+=("$(basename "$source" .cpp)")
    done
fi

CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORVANTELLA_FUZZ=ON -DORVANTELLA_GUI=OFF \
    -DORVANTELLA_BENCH=OFF -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null
mkdir -p "$out"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
printf '%-28s %12s %9s %s\n' target executions findings note >"$out/summary.txt"
for target in "${targets[@]}"; do
    name="${target#fuzz_}"
    # Built just before its turn, so that a long campaign fuzzes the latest code.
    if ! cmake --build "$build" --target "$target" >"$out/$name.build.log" 2>&1; then
        printf '%-28s %12s %9s %s\n' "$target" - - "build failed" >>"$out/summary.txt"
        status=1
        continue
    fi
    corpus="$root/fuzz/corpus/$name"
    work="$out/$name"
    rm -rf "$work" && mkdir -p "$work/corpus" "$work/findings" "$corpus"
    inputs=("$work/corpus" "$corpus")
    # Seed folders: fuzz/seeds/NAME, or the layout's short name (converter_u -> u).
    for seeds in "$root/fuzz/seeds/$name" "$root/fuzz/seeds/${name##*_}"; do
        if [ -d "$seeds" ] && [[ ! " ${inputs[*]} " =~ " $seeds " ]]; then
            inputs+=("$seeds")
        fi
    done
    options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
             -artifact_prefix="$work/findings/")
    [ -f "$root/fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")
    echo "== $target: $seconds s" >&2
    nice -n 19 "$build/fuzz/$target" "${options[@]}" "${inputs[@]}" >"$work/log" 2>&1 || true
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -1)"
    findings="$(find "$work/findings" -type f | wc -l)"
    note=""
    if [ "$findings" -gt 0 ]; then
        status=1
        note="$(grep -m1 -E 'ERROR: |runtime error|deadly signal' "$work/log" || true)"
    fi
    # The smallest set of inputs that keeps the coverage replaces the kept corpus.
    minimised="$work/minimised"
    mkdir -p "$minimised"
    if nice -n 19 "$build/fuzz/$target" -merge=1 "$minimised" "${inputs[@]}" \
        >"$work/merge.log" 2>&1; then
        rm -rf "$corpus" && mv "$minimised" "$corpus"
    fi
    printf '%-28s %12s %9s %s\n' "$target" "${executions:-?}" "$findings" "$note" \
        >>"$out/summary.txt"
done
cat "$out/summary.txt"
exit "$status"
