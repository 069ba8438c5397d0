#!/bin/sh
# Several sources in one run against one run per source: SOURCES files of
# 20 s (16-bit stereo 44.1 kHz noise), each with a CSV of five ranges at odd
# frames beside it, cut by one `snipora-cut --csv '{stem}.csv' -o DIR ...`
# run and by one run per source of a baseline snipora-cut built from
# BASELINE_COMMIT (default e3b5906, the last one-source version) in a folder
# under $TMPDIR. Rounds alternate which goes first; prints each round's
# times, the median of the per-round ratios and the machine's load. Needs
# about 1.3 GB free under $SNIPORA_BENCH_DIR (a disk folder, not tmpfs),
# which is removed afterwards. BASELINE=path skips building the baseline.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${BUILD:-build-bench}
ROUNDS=${ROUNDS:-5}
SOURCES=${SOURCES:-200}
BASELINE_COMMIT=${BASELINE_COMMIT:-e3b5906}
WORK=${SNIPORA_BENCH_DIR:-/var/tmp/snipora-many-sources-bench}
trap 'rm -rf "$WORK"' EXIT

cmake -S . -B "$BUILD" -DSNIPORA_BENCH=ON -DSNIPORA_TESTS=OFF -DSNIPORA_GUI=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target snipora-cut >/dev/null
if [ -z "${BASELINE:-}" ]; then
  base="${TMPDIR:-/tmp}/snipora-baseline-$BASELINE_COMMIT"
  if [ ! -x "$base/build/cli/snipora-cut" ]; then
    mkdir -p "$base/src"
    git archive "$BASELINE_COMMIT" | tar -x -C "$base/src"
    cmake -S "$base/src" -B "$base/build" -DSNIPORA_GUI=OFF -DSNIPORA_TESTS=OFF \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$base/build" -j2 --target snipora-cut >/dev/null
  fi
  BASELINE="$base/build/cli/snipora-cut"
fi

echo "load before: $(uptime)"
python3 - "$BUILD/cli/snipora-cut" "$BASELINE" "$WORK" "$SOURCES" "$ROUNDS" <<'PY'
import os, random, resource, shutil, statistics, struct, subprocess, sys, time
current, baseline, work, count, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
rate, frames = 44100, 20 * 44100
src = os.path.join(work, "src")
os.makedirs(src, exist_ok=True)
rng = random.Random(7)
for i in range(count):
    data = os.urandom(frames * 4)
    with open(os.path.join(src, f"take{i:03d}.wav"), "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
                struct.pack("<IHHIIHH", 16, 1, 2, rate, rate * 4, 4, 16) +
                b"data" + struct.pack("<I", len(data)) + data)
    # Five ranges of 2-4 s at odd frames, one in each fifth of the source.
    with open(os.path.join(src, f"take{i:03d}.csv"), "w") as f:
        for k in range(5):
            start = k * frames // 5 + rng.randrange(1, 20000) | 1
            f.write(f"{start},{start + (rng.randrange(88200, 150000) & ~1)},\n")
subprocess.run(["sync"], check=True)
stems = sorted(n[:-4] for n in os.listdir(src) if n.endswith(".wav"))

def one_run(out):
    subprocess.run([current, "-q", "--csv", "{stem}.csv", "-o", out] +
                   [os.path.join(src, s + ".wav") for s in stems], check=True,
                   stderr=subprocess.DEVNULL)

def run_each(out):
    for s in stems:
        subprocess.run([baseline, "-q", "--csv", os.path.join(src, s + ".csv"), "-o",
                        os.path.join(out, s), os.path.join(src, s + ".wav")], check=True)

def cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

# Wall-clock and CPU seconds of one case.
def timed(case, out):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)  # the baseline makes no missing parents
    subprocess.run(["sync"], check=True)
    cpu_began, began = cpu(), time.perf_counter()
    case(out)
    return time.perf_counter() - began, cpu() - cpu_began

ratios, cpu_ratios = [], []
for r in range(rounds):
    cases = [("one run", one_run), ("a run each", run_each)]
    if r % 2:
        cases.reverse()
    times = {name: timed(case, os.path.join(work, name.replace(" ", "_"))) for name, case in cases}
    if r == 0:  # the same pieces, byte for byte
        subprocess.run(["diff", "-r", os.path.join(work, "one_run"),
                        os.path.join(work, "a_run_each")], check=True)
    (one, one_cpu), (each, each_cpu) = times["one run"], times["a run each"]
    ratios.append(one / each)
    cpu_ratios.append(one_cpu / each_cpu)
    print(f"round {r + 1}: one run {one:.2f} s ({one_cpu:.2f} s CPU), a run each {each:.2f} s "
          f"({each_cpu:.2f} s CPU), ratio {ratios[-1]:.3f} (CPU {cpu_ratios[-1]:.3f})")
written = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(os.path.join(work, "one_run")) for f in fs)
print(f"{count} sources, {written / 1e6:.0f} MB of pieces per case; one run / a run each: "
      f"median {statistics.median(ratios):.3f} (goal <= 1.0), CPU time median "
      f"{statistics.median(cpu_ratios):.3f}")
PY
echo "load after:  $(uptime)"
