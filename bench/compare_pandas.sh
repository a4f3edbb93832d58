#!/usr/bin/env bash
# The whole load (`orvantella-batch info`) of a GMN-like MDB against pandas read_csv of the same
# orbit files, in turn, several times; prints each pair and the ratio of the medians.
# Usage: bench/compare_pandas.sh [MDB folder] [repetitions]
# The default folder is the 1 M-orbit MDB that build/bench/bench_gmn_like keeps
# (run it once with --benchmark_filter=BM_Info/10 to make it). pandas: scripts/setup.sh --bench.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
mdb="${1:-${TMPDIR:-/tmp}/orvantella-gmn-like-10}"
repetitions="${2:-5}"
batch="$root/build/orvantella-batch"
[ -x "$batch" ] || { echo "Build first: $batch is missing" >&2; exit 1; }
[ -d "$mdb/orbits" ] || { echo "No MDB at $mdb" >&2; exit 1; }
/usr/bin/python3 -c "import pandas" 2>/dev/null ||
    { echo "pandas is missing: scripts/setup.sh --bench" >&2; exit 1; }

# pandas' figure is its read_csv calls alone, without starting Python.
pandas_seconds() {
    /usr/bin/python3 - "$mdb"/orbits/O*.csv <<'PY'
import sys, time, pandas
start = time.perf_counter()
for name in sys.argv[1:]:
    pandas.read_csv(name)
print(f"{time.perf_counter() - start:.3f}")
PY
}

info_seconds() {
    local start end
    start=$(date +%s.%N)
    "$batch" info "$mdb" >/dev/null
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN {printf "%.3f\n", b - a}'
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
infos=() pandases=()
for ((i = 1; i <= repetitions; ++i)); do
    infos+=("$(info_seconds)")
    pandases+=("$(pandas_seconds)")
    echo "repetition $i: info ${infos[-1]} s, pandas ${pandases[-1]} s"
done
info_median=$(printf "%s\n" "${infos[@]}" | median)
pandas_median=$(printf "%s\n" "${pandases[@]}" | median)
awk -v i="$info_median" -v p="$pandas_median" \
    'BEGIN {printf "median: info %.3f s, pandas %.3f s, ratio %.3f\n", i, p, i / p}'
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
