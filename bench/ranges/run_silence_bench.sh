#!/bin/sh
# Builds and runs the silence benchmark in ROUNDS interleaved rounds (each
# round runs every case once), then prints the medians of the per-round
# ratios against the goal. Needs about 1 GiB free under $SNIPORA_BENCH_DIR (a
# disk folder, not tmpfs; default /var/tmp/snipora-silence-bench), which is
# removed afterwards.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build-bench}
ROUNDS=${ROUNDS:-5}
export SNIPORA_BENCH_DIR=${SNIPORA_BENCH_DIR:-/var/tmp/snipora-silence-bench}
trap 'rm -rf "$SNIPORA_BENCH_DIR"' EXIT
cmake -S . -B "$BUILD" -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DSNIPORA_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target bench_ranges_SilenceScan >/dev/null
echo "load before: $(uptime)"
round=1
while [ "$round" -le "$ROUNDS" ]; do
  "$BUILD/bench/bench_ranges_SilenceScan" --benchmark_out="$BUILD/silence_bench_$round.json" \
    --benchmark_out_format=json >/dev/null
  round=$((round + 1))
done
echo "load after:  $(uptime)"
grep -c silence_end "$SNIPORA_BENCH_DIR/ffmpeg.txt" | sed 's/^/ffmpeg silences: /'
python3 - "$BUILD" "$ROUNDS" <<'PY'
import json, statistics, sys
build, rounds = sys.argv[1], int(sys.argv[2])
runs = []
for r in range(1, rounds + 1):
    data = json.load(open(f"{build}/silence_bench_{r}.json"))["benchmarks"]
    runs.append({b["name"].split("/iterations")[0]: b for b in data})
for name in sorted(runs[0]):
    times = [t[name]["real_time"] for t in runs]
    print(f"{name:26s} median {statistics.median(times):8.0f} ms")
print(f"sounds found: {runs[0]['BM_FindSounds'].get('sounds')}")
def ratio(a, b, goal, text):
    per = [t[a]["real_time"] / t[b]["real_time"] for t in runs]
    m = statistics.median(per)
    verdict = "" if goal is None else (": met" if m <= goal else ": MISSED")
    print(f"{a} / {b}: median {m:4.2f} ({text}{verdict})  rounds: " +
          " ".join(f"{x:4.2f}" for x in per))
ratio("BM_FindSounds", "BM_DdDirect", 1.2, "goal <= 1.2")
ratio("BM_FindSounds", "BM_FfmpegSilencedetect", None, "for reference")
ratio("BM_FindSounds", "BM_SoxSilence", None, "for reference")
PY
