#!/usr/bin/env python3
"""Runs every benchmark program on one book, several times, and prints the README's table.

    bench/benchtable.py BUILD_DIR BOOK [--runs=N] [extra Google Benchmark options]

Each benchmark family (BM_Name/...) holds the program's figures and their
floors (named "bare_...", "floor" or "file_copy"); the program and its floor
run one after the other in the same program run. Within a run each figure is the median of the
repetitions, after a warm-up, so that neither side alone pays for cold caches. The table is run N
times (3 unless told), every program once per run, and shows the median over the runs with the
spread (lowest to highest): the shown-and-painted cases move a good deal between runs on a shared
machine. Each shows its real time and, after a slash, the CPU time of the program's main thread; the
machine's load average is printed at each run, since a busy machine stretches real time more than
CPU time.

The benchmarks only read the book they are given (those that write work on a copy): its size and
checksum are taken before the first run and compared after every program that was given it; a
change stops the table with a message naming the program.
"""
import hashlib
import json
import os
import statistics
import subprocess
import sys

PROGRAMS = ["book_bench", "masterdata_bench", "documents_bench", "stock_bench",
            "reports_bench", "journal_bench", "period_bench", "print_bench",
            "stockcheck_bench"]
BUILDS_ITS_OWN_BOOK = {"print_bench"}
OPTIONS = ["--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true",
           "--benchmark_min_warmup_time=0.5", "--benchmark_format=json"]


def medians(build, program, book, extra):
    args = [f"{build}/bench/{program}"] + ([] if program in BUILDS_ITS_OWN_BOOK else [f"--book={book}"])
    out = subprocess.run(args + OPTIONS + extra, check=True, capture_output=True, text=True).stdout
    result = []
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            name = b["run_name"].split("/iterations")[0]
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            result.append((name, b["real_time"] * scale, b["cpu_time"] * scale))
    return result


def fingerprint(path):
    """The book's size and SHA-256."""
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return os.path.getsize(path), digest.hexdigest()


def is_floor(kind):
    return kind.startswith("bare") or kind in ("floor", "file_copy")


def text(ms):
    return f"{ms:.3g} ms" if ms < 100 else f"{ms:.0f} ms"


def spread(values, form):
    return f"{form(min(values))} to {form(max(values))}"


def ratio(value):
    return f"{value:.2f}x"


def load_average():
    one, five, fifteen = os.getloadavg()
    return f"load average {one:.2f}, {five:.2f}, {fifteen:.2f} on {os.cpu_count()} CPUs"


def take_runs(extra):
    runs = 3
    rest = []
    for option in extra:
        if option.startswith("--runs="):
            runs = int(option[len("--runs="):])
        else:
            rest.append(option)
    return runs, rest


def measure(build, book, runs, extra):
    """{program: {family: [(kind, [real per run], [cpu per run])]}} in the programs' order."""
    before = fingerprint(book)
    figures = {}
    for run in range(1, runs + 1):
        print(f"Run {run}: {load_average()}", flush=True)
        for program in PROGRAMS:
            families = figures.setdefault(program, {})
            for name, real, cpu in medians(build, program, book, extra):
                family, _, kind = name.partition("/")
                runs_of = families.setdefault(family, {}).setdefault(kind, ([], []))
                runs_of[0].append(real)
                runs_of[1].append(cpu)
            if program not in BUILDS_ITS_OWN_BOOK and fingerprint(book) != before:
                sys.exit(f"{program} changed the book {book} (run {run}): it was {before[0]} bytes, "
                         f"SHA-256 {before[1]}; now {fingerprint(book)[0]} bytes")
    print(f"After: {load_average()}")
    print(f"The book: {before[0]} bytes, SHA-256 {before[1]}, the same after every program of every run.")
    return figures


def print_table(figures, runs):
    print()
    print(f"| benchmark | program (real / CPU) | floor (real / CPU) | ratio (real, CPU) | real ratio over {runs} runs |")
    print("|---|---|---|---|---|")
    for families in figures.values():
        for family, kinds in families.items():
            floors = [(kind, f) for kind, f in kinds.items() if is_floor(kind)]
            for kind, (real, cpu) in kinds.items():
                if is_floor(kind):
                    continue
                for floor_kind, (floor_real, floor_cpu) in floors:
                    real_ratios = [p / f for p, f in zip(real, floor_real)]
                    cpu_ratios = [p / f for p, f in zip(cpu, floor_cpu)]
                    print(f"| {family} ({kind}) "
                          f"| {text(statistics.median(real))} / {text(statistics.median(cpu))} "
                          f"| {text(statistics.median(floor_real))} / {text(statistics.median(floor_cpu))} ({floor_kind}) "
                          f"| {ratio(statistics.median(real_ratios))}, {ratio(statistics.median(cpu_ratios))} "
                          f"| {spread(real_ratios, ratio)} |")


def main():
    if len(sys.argv) < 3 or sys.argv[1] in ("-h", "--help"):
        sys.exit(__doc__)
    build, book = sys.argv[1], sys.argv[2]
    runs, extra = take_runs(sys.argv[3:])
    print_table(measure(build, book, runs, extra), runs)


if __name__ == "__main__":
    main()
