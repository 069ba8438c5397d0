#!/bin/sh
# Builds and runs the export benchmark in ROUNDS interleaved rounds (each
# round runs every case once), then prints the per-round ratios and their
# medians against the goals, the machine's load, and the peak memory and CPU
# time of snipora-cut splitting the same ranges with fades. Needs about 4 GiB
# free under $SNIPORA_BENCH_DIR (a disk folder, not tmpfs; default
# /var/tmp/snipora-export-bench), which is removed afterwards.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build-bench}
ROUNDS=${ROUNDS:-5}
export SNIPORA_BENCH_DIR=${SNIPORA_BENCH_DIR:-/var/tmp/snipora-export-bench}
trap 'rm -rf "$SNIPORA_BENCH_DIR"' EXIT
. bench/support/rounds.sh
bench_build bench_export_Export snipora-cut
bench_rounds bench_export_Export export_bench
python3 - "$BUILD" "$ROUNDS" <<'PY'
import sys
sys.path.insert(0, "bench/support")
from rounds import load, print_medians, ratio
runs = load(sys.argv[1], "export_bench", int(sys.argv[2]))
print_medians(runs)
ratio(runs, "BM_Split/plain", "BM_Dd/split", 1.0, "goal <= 1.0, stretch 0.8")
ratio(runs, "BM_Split/fade_1s", "BM_Dd/split", 1.0, "goal <= 1.0, stretch 0.8")
ratio(runs, "BM_Join/plain", "BM_Dd/join", 1.0, "goal <= 1.0, stretch 0.8")
ratio(runs, "BM_Split/fade_1s", "BM_Split/plain", 1.05, "goal <= 1.05")
ratio(runs, "BM_Split/aligned", "BM_Dd/split_aligned", None, "aligned, for reference")
ratio(runs, "BM_Split/plain", "BM_Split/aligned", None, "odd against aligned")
ratio(runs, "BM_Split/plain", "BM_DdFsync", None, "against dd conv=fsync")
ratio(runs, "BM_Split/plain", "BM_SoxSync", 1.0, "against sox + sync")
PY
out="$SNIPORA_BENCH_DIR/cut"
rm -rf "$out"
# shellcheck disable=SC2046  # the ranges are separate arguments
/usr/bin/time -v -o "$BUILD/cut_time.txt" "$BUILD/cli/snipora-cut" --fade 1000 -o "$out" \
  "$SNIPORA_BENCH_DIR/source.wav" $(cat "$SNIPORA_BENCH_DIR/odd_ranges.txt") >/dev/null
written=$(du -cb "$out"/*.wav | tail -1 | cut -f1)
awk -v bytes="$written" '
  /Maximum resident set size/ { rss = $NF }
  /User time/ { cpu += $NF } /System time/ { cpu += $NF }
  END {
    printf "snipora-cut split with fades: peak memory %.1f MB (goal < 32), CPU %.3f s per GB (goal < 0.3)\n",
      rss / 1024, cpu / (bytes / 1e9)
  }' "$BUILD/cut_time.txt"
