"""The rounds a run_*_bench.sh script wrote (bench_rounds in rounds.sh): the
median time of each case and the medians of per-round ratios against goals."""
import json
import statistics


def load(build, name, rounds):
    """Round r's benchmarks by name (without "/iterations..."), r = 1 .. rounds."""
    runs = []
    for r in range(1, rounds + 1):
        data = json.load(open(f"{build}/{name}_{r}.json"))["benchmarks"]
        runs.append({b["name"].split("/iterations")[0]: b for b in data})
    return runs


def print_medians(runs):
    for name in sorted(runs[0]):
        median = statistics.median(t[name]["real_time"] for t in runs)
        print(f"{name:26s} median {median:8.0f} ms")


def ratio(runs, a, b, goal, text, strict=False):
    """Prints the median of a / b over the rounds; met when it is at most goal
    (below it when strict); goal None: for reference."""
    per = [t[a]["real_time"] / t[b]["real_time"] for t in runs]
    m = statistics.median(per)
    met = m < goal if strict else goal is not None and m <= goal
    verdict = "" if goal is None else (": met" if met else ": MISSED")
    rounds_text = " ".join(f"{x:4.2f}" for x in per)
    print(f"{a} / {b}: median {m:4.2f} ({text}{verdict})  rounds: {rounds_text}")
