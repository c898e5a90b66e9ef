#!/usr/bin/env python3
"""Runs every benchmark program on one book and prints the README's table.

    bench/benchtable.py BUILD_DIR BOOK [extra Google Benchmark options]

Each benchmark family (BM_Name/...) holds the program's figures and their
floors (named "bare_...", "floor" or "file_copy"); the program and its floor
run one after the other in the same program run. Each figure is the median of the repetitions, after a
warm-up, so that neither side alone pays for cold caches. Each shows its real time and, after a slash,
the CPU time of the program's main thread; the machine's load average is printed before and after the
table, since a busy machine stretches real time more than CPU time.
"""
import json
import os
import subprocess
import sys

PROGRAMS = ["book_bench", "masterdata_bench", "documents_bench", "stock_bench",
            "reports_bench", "journal_bench", "period_bench", "print_bench",
            "stockcheck_bench"]
OPTIONS = ["--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true",
           "--benchmark_min_warmup_time=0.5", "--benchmark_format=json"]


def medians(build, program, book, extra):
    args = [f"{build}/bench/{program}"] + ([] if program == "print_bench" else [f"--book={book}"])
    out = subprocess.run(args + OPTIONS + extra, check=True, capture_output=True, text=True).stdout
    result = []
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            name = b["run_name"].split("/iterations")[0]
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            result.append((name, b["real_time"] * scale, b["cpu_time"] * scale))
    return result


def is_floor(kind):
    return kind.startswith("bare") or kind in ("floor", "file_copy")


def text(ms):
    return f"{ms:.3g} ms" if ms < 100 else f"{ms:.0f} ms"


def times(real, cpu):
    return f"{text(real)} / {text(cpu)}"


def load_average():
    one, five, fifteen = os.getloadavg()
    return f"load average {one:.2f}, {five:.2f}, {fifteen:.2f} on {os.cpu_count()} CPUs"


def main():
    build, book, extra = sys.argv[1], sys.argv[2], sys.argv[3:]
    print(f"Before: {load_average()}")
    print()
    print("| benchmark | program (real / CPU) | floor (real / CPU) | ratio (real, CPU) |")
    print("|---|---|---|---|")
    for program in PROGRAMS:
        families = {}
        for name, real, cpu in medians(build, program, book, extra):
            family, _, kind = name.partition("/")
            families.setdefault(family, []).append((kind, real, cpu))
        for family, runs in families.items():
            floors = [run for run in runs if is_floor(run[0])]
            for kind, real, cpu in runs:
                if is_floor(kind):
                    continue
                for floor_kind, floor_real, floor_cpu in floors:
                    print(f"| {family} ({kind}) | {times(real, cpu)} | {times(floor_real, floor_cpu)} ({floor_kind}) "
                          f"| {real / floor_real:.2f}x, {cpu / floor_cpu:.2f}x |")
        sys.stdout.flush()
    print()
    print(f"After: {load_average()}")


if __name__ == "__main__":
    main()
