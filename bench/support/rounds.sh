# Sourced by the run_*_bench.sh scripts, which set BUILD, ROUNDS and
# SNIPORA_BENCH_DIR first and run from the repository's root.
# bench_build TARGET...: configures the Release benchmark build and builds the
# targets. bench_rounds PROGRAM NAME: runs bench/PROGRAM ROUNDS times (each
# round runs every case once, so that the cases interleave), round r's
# results in $BUILD/NAME_r.json, and shows the machine's cores and load before
# and after.
bench_build() {
  cmake -S . -B "$BUILD" -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DSNIPORA_GUI=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  for target in "$@"; do
    cmake --build "$BUILD" -j2 --target "$target" >/dev/null
  done
}

bench_rounds() {
  echo "cores: $(nproc); load before: $(uptime)"
  round=1
  while [ "$round" -le "$ROUNDS" ]; do
    "$BUILD/bench/$1" --benchmark_out="$BUILD/$2_$round.json" --benchmark_out_format=json \
      >/dev/null
    round=$((round + 1))
  done
  echo "load after:  $(uptime)"
}
