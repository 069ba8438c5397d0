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
cmake -S . -B "$BUILD" -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DSNIPORA_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target bench_export_Export snipora-cut >/dev/null
echo "load before: $(uptime)"
round=1
while [ "$round" -le "$ROUNDS" ]; do
  "$BUILD/bench/bench_export_Export" --benchmark_out="$BUILD/export_bench_$round.json" \
    --benchmark_out_format=json >/dev/null
  round=$((round + 1))
done
echo "load after:  $(uptime)"
python3 - "$BUILD" "$ROUNDS" <<'PY'
import json, statistics, sys
build, rounds = sys.argv[1], int(sys.argv[2])
runs = []
for r in range(1, rounds + 1):
    data = json.load(open(f"{build}/export_bench_{r}.json"))["benchmarks"]
    runs.append({b["name"].split("/iterations")[0]: b["real_time"] for b in data})
def ratio(a, b, goal, text):
    per = [t[a] / t[b] for t in runs]
    m = statistics.median(per)
    verdict = "" if goal is None else (": met" if m <= goal else ": MISSED")
    rounds_text = " ".join(f"{x:4.2f}" for x in per)
    print(f"{a:22s} / {b:20s} median {m:4.2f} ({text}{verdict})  rounds: {rounds_text}")
for name in sorted(runs[0]):
    print(f"{name:24s} median {statistics.median(t[name] for t in runs):8.0f} ms")
ratio("BM_Split/plain", "BM_Dd/split", 1.0, "goal <= 1.0, stretch 0.8")
ratio("BM_Split/fade_1s", "BM_Dd/split", 1.0, "goal <= 1.0, stretch 0.8")
ratio("BM_Join/plain", "BM_Dd/join", 1.0, "goal <= 1.0, stretch 0.8")
ratio("BM_Split/fade_1s", "BM_Split/plain", 1.05, "goal <= 1.05")
ratio("BM_Split/aligned", "BM_Dd/split_aligned", None, "aligned, for reference")
ratio("BM_Split/plain", "BM_Split/aligned", None, "odd against aligned")
ratio("BM_Split/plain", "BM_DdFsync", None, "against dd conv=fsync")
ratio("BM_Split/plain", "BM_SoxSync", 1.0, "against sox + sync")
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
