#!/usr/bin/env python3
"""Runs every benchmark program on one book and prints the README's table.

    bench/benchtable.py BUILD_DIR BOOK [extra Google Benchmark options]

Each benchmark family (BM_Name/...) holds the program's figures and their
floors (named "bare_...", "floor" or "file_copy"); the program and its floor
run one after the other in the same program run. Each figure is the median of the repetitions, after a
warm-up, so that neither side alone pays for cold caches.
"""
import json
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
            result.append((name, b["real_time"] * scale))
    return result


def is_floor(kind):
    return kind.startswith("bare") or kind in ("floor", "file_copy")


def text(ms):
    return f"{ms:.3g} ms" if ms < 100 else f"{ms:.0f} ms"


def main():
    build, book, extra = sys.argv[1], sys.argv[2], sys.argv[3:]
    print("| benchmark | program | floor | ratio |")
    print("|---|---|---|---|")
    for program in PROGRAMS:
        families = {}
        for name, ms in medians(build, program, book, extra):
            family, _, kind = name.partition("/")
            families.setdefault(family, []).append((kind, ms))
        for family, runs in families.items():
            floors = [(kind, ms) for kind, ms in runs if is_floor(kind)]
            for kind, ms in runs:
                if is_floor(kind):
                    continue
                for floor_kind, floor_ms in floors:
                    print(f"| {family} ({kind}) | {text(ms)} | {text(floor_ms)} ({floor_kind}) "
                          f"| {ms / floor_ms:.2f}x |")
        sys.stdout.flush()


if __name__ == "__main__":
    main()
