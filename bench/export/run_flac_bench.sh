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
. bench/support/rounds.sh
bench_build bench_export_FlacPieces
bench_rounds bench_export_FlacPieces flac_bench
python3 - "$BUILD" "$ROUNDS" <<'PY'
import sys
sys.path.insert(0, "bench/support")
from rounds import load, print_medians, ratio
runs = load(sys.argv[1], "flac_bench", int(sys.argv[2]))
print_medians(runs)
ratio(runs, "BM_Engine", "BM_FlacTool", 1.0, "goal < 1", strict=True)
ratio(runs, "BM_Engine", "BM_Ffmpeg", 1.0, "goal < 1", strict=True)
PY
