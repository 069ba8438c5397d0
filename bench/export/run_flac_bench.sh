#!/bin/sh
# Builds and runs the FLAC pieces benchmark in ROUNDS interleaved rounds (each
# round runs every case once), then prints the medians of the per-round
# ratios against the goal (the engine faster than either tool) and the
# machine's cores and load. Needs about 300 MB free under $SNIPORA_BENCH_DIR
# (default /var/tmp/snipora-flac-bench), which is removed afterwards.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build-bench}
ROUNDS=${ROUNDS:-5}
export SNIPORA_BENCH_DIR=${SNIPORA_BENCH_DIR:-/var/tmp/snipora-flac-bench}
trap 'rm -rf "$SNIPORA_BENCH_DIR"' EXIT
cmake -S . -B "$BUILD" -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DSNIPORA_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target bench_export_FlacPieces >/dev/null
echo "cores: $(nproc); load before: $(uptime)"
round=1
while [ "$round" -le "$ROUNDS" ]; do
  "$BUILD/bench/bench_export_FlacPieces" --benchmark_out="$BUILD/flac_bench_$round.json" \
    --benchmark_out_format=json >/dev/null
  round=$((round + 1))
done
echo "load after:  $(uptime)"
python3 - "$BUILD" "$ROUNDS" <<'PY'
import json, statistics, sys
build, rounds = sys.argv[1], int(sys.argv[2])
runs = []
for r in range(1, rounds + 1):
    data = json.load(open(f"{build}/flac_bench_{r}.json"))["benchmarks"]
    runs.append({b["name"].split("/")[0]: b["real_time"] for b in data})
for name in sorted(runs[0]):
    print(f"{name:12s} median {statistics.median(t[name] for t in runs):8.0f} ms")
def ratio(a, b):
    per = [t[a] / t[b] for t in runs]
    m = statistics.median(per)
    verdict = "met" if m < 1 else "MISSED"
    rounds_text = " ".join(f"{x:4.2f}" for x in per)
    print(f"{a} / {b}: median {m:4.2f} (goal < 1: {verdict})  rounds: {rounds_text}")
ratio("BM_Engine", "BM_FlacTool")
ratio("BM_Engine", "BM_Ffmpeg")
PY
