#!/bin/sh
# Builds and runs the export benchmark once, then prints the ratios against
# the goals. Needs about 3 GiB free under $SNIPORA_BENCH_DIR (a disk folder,
# default /var/tmp/snipora-export-bench), which is removed afterwards.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build-bench}
export SNIPORA_BENCH_DIR=${SNIPORA_BENCH_DIR:-/var/tmp/snipora-export-bench}
trap 'rm -rf "$SNIPORA_BENCH_DIR"' EXIT
cmake -S . -B "$BUILD" -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DSNIPORA_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target bench_export_Export >/dev/null
"$BUILD/bench/bench_export_Export" --benchmark_out="$BUILD/export_bench.json" \
  --benchmark_out_format=json
python3 - "$BUILD/export_bench.json" <<'PY'
import json, sys
t = {b["name"].split("/iterations")[0]: b["real_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]}
def ratio(a, b, goal, text):
    r = t[a] / t[b]
    verdict = "" if goal is None else (": met" if r <= goal else ": MISSED")
    print(f"{a:26s} / {b:26s} = {r:5.2f}  ({text}{verdict})")
ratio("BM_Split/plain", "BM_Dd/split", 1.15, "goal <= 1.15")
ratio("BM_Split/plain", "BM_Sox/split_then_sync", 1.0, "goal < 1")
ratio("BM_Split/plain", "BM_Sox/split", None, "for information")
ratio("BM_Split/fade_1s", "BM_Split/plain", 1.10, "goal <= 1.10")
ratio("BM_Join", "BM_Dd/join", 1.15, "goal <= 1.15")
PY
