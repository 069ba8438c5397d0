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
. bench/support/rounds.sh
bench_build bench_ranges_SilenceScan
bench_rounds bench_ranges_SilenceScan silence_bench
grep -c silence_end "$SNIPORA_BENCH_DIR/ffmpeg.txt" | sed 's/^/ffmpeg silences: /'
python3 - "$BUILD" "$ROUNDS" <<'PY'
import sys
sys.path.insert(0, "bench/support")
from rounds import load, print_medians, ratio
runs = load(sys.argv[1], "silence_bench", int(sys.argv[2]))
print_medians(runs)
print(f"sounds found: {runs[0]['BM_FindSounds'].get('sounds')}")
ratio(runs, "BM_FindSounds", "BM_DdDirect", 1.2, "goal <= 1.2")
ratio(runs, "BM_FindSounds", "BM_FfmpegSilencedetect", None, "for reference")
ratio(runs, "BM_FindSounds", "BM_SoxSilence", None, "for reference")
PY
