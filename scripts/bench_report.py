#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
"""Runs every benchmark of a release build and prints one table.

Start-up and memory: each program is started under Xvfb by startup_probe,
in interleaved rounds (A B C D, B C D A, ...) after a warm-up; medians and the
spread (lowest to highest) per program, and ratios against the two baselines
(the same layout bare, and a plain window with the same widgets) and
galculator measured in the same run. Keystrokes, the odds chart and the core
conversions are measured in-process and reported against their own baselines.
"""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import time

BUILD = "build/bench"


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def start_xvfb():
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-noreset", "-nolisten", "tcp",
         "-screen", "0", "1024x768x24"],
        pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as f:
        display = ":" + f.readline().strip()
    return xvfb, display


def probe(display, program, quiet_ms):
    env = {"DISPLAY": display, "PATH": "/usr/bin:/bin"}
    out = run([f"{BUILD}/bench/startup_probe", str(quiet_ms)] + program, env=env)
    map_ms, paint_ms, rss, pss = out.split()
    return float(map_ms), float(paint_ms), int(rss), int(pss)


def spread(values):
    return f"{min(values):.0f}–{max(values):.0f}"


def core_table():
    out = run([f"{BUILD}/bench/bench_core", "--benchmark_format=json",
               "--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"])
    medians = {b["run_name"]: b["real_time"] for b in json.loads(out)["benchmarks"]
               if b.get("aggregate_name") == "median"}
    rows = []
    for ours, bare in [("NumberFromText", "BareFromChars"),
                       ("TextFromNumber", "BareToCharsGeneral15"),
                       ("ResultText", "BareToCharsFixed1")]:
        ratio = medians[ours] / medians[bare]
        rows.append((f"`{ours}` (8 values)", f"{medians[ours]:.0f} ns",
                     f"{bare}: {medians[bare]:.0f} ns", f"{ratio:.2f}", "≤ 2", ratio <= 2))
    worked = medians["WorkedExample"]
    rows.append(("Worked example through a sheet", f"{worked:.0f} ns", "", "", "", None))
    with_odds = medians["WorkedExampleWithOdds"]
    rows.append(("Worked example with the odds of its four results", f"{with_odds:.0f} ns",
                 f"without odds: {worked:.0f} ns", f"{with_odds / worked:.2f}", "", None))
    hits = medians["HitsWithOddsOf100000Shots"]
    rows.append(("Hits from 100,000 shots with its odds", f"{hits / 1000:.0f} µs",
                 f"worked example: {worked:.0f} ns", f"{hits / worked:.0f}", "", None))
    restore, press = medians["RestoreWorkedExample"], medians["PressHits"]
    rows.append(("Restore the worked example's state", f"{restore:.0f} ns",
                 f"one press of Hits: {press:.0f} ns", f"{restore / press:.2f}", "", None))
    all_steps, by_hand = medians["WorkOutAllAfterATick"], medians["FourStepsAfterATick"]
    rows.append(("Work Out All after a tick", f"{all_steps:.0f} ns",
                 f"the four steps by hand: {by_hand:.0f} ns", f"{all_steps / by_hand:.2f}", "",
                 None))
    return rows


def keystroke_table():
    out = run([f"{BUILD}/bench/bench_keystroke"], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    rows = []
    for line in out.splitlines():
        _, name, ours, plain, ratio = line.split("\t")
        rows.append((f"Keystroke, {name}", f"{float(ours) / 1000:.1f} µs",
                     f"plain QLineEdit: {float(plain) / 1000:.1f} µs", ratio, "≤ 1.25",
                     float(ratio) <= 1.25))
    return rows


def history_table():
    out = run([f"{BUILD}/bench/bench_history"], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    rows = []
    for line in out.splitlines():
        kind, name, ours, other, last = line.split("\t")
        if kind == "memory":
            kib = int(ours) / 1024
            rows.append((f"Heap of a {name} ({last} steps)", f"{kib:.0f} KiB", "empty: 0 KiB",
                         "", "< 2 MiB", kib < 2048))
        else:
            rows.append((f"Form history: {name}", f"{float(ours) / 1000:.0f} µs",
                         f"by hand: {float(other) / 1000:.0f} µs", last, "≤ 1",
                         float(last) <= 1))
    return rows


def chart_table():
    out = run([f"{BUILD}/bench/bench_chart"], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    rows = []
    for line in out.splitlines():
        _, name, ours, text, ratio = line.split("\t")
        rows.append((f"Odds tooltip with chart, {name}: lay out and paint",
                     f"{float(ours) / 1000:.0f} µs", f"text only: {float(text) / 1000:.0f} µs",
                     ratio, "", None))
    return rows


def log_table():
    out = run([f"{BUILD}/bench/bench_log"], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    goals = {"adding a row": 0.1, "opening the log": None, "chart of eight": 8,
             "odds of eight": 20}
    rows = []
    for line in out.splitlines():
        kind, name, ours, other, last = line.split("\t")
        if kind == "memory":
            kib = int(ours) / 1024
            rows.append((f"Heap of a {name}", f"{kib:.0f} KiB", "empty: 0 KiB", "", "< 1 MiB",
                         kib < 1024))
            continue
        goal = next((g for key, g in goals.items() if name.startswith(key)), None)
        rows.append((f"Volley log: {name}", f"{float(ours) / 1000:.0f} µs",
                     f"baseline: {float(other) / 1000:.0f} µs", last,
                     f"≤ {goal}" if goal is not None else "",
                     float(last) <= goal if goal is not None else None))
    return rows


def startup_table(rounds, quiet_ms):
    programs = {"tarvelin": [os.path.abspath(f"{BUILD}/window/tarvelin")],
                "baseline": [os.path.abspath(f"{BUILD}/bench/tarvelin_baseline")],
                "plain window": [os.path.abspath(f"{BUILD}/bench/tarvelin_plain")]}
    for name, path in [("galculator", "/usr/bin/galculator"), ("xcalc", "/usr/bin/xcalc")]:
        if os.path.exists(path):
            programs[name] = [path]
    xvfb, display = start_xvfb()
    results = {name: [] for name in programs}
    try:
        time.sleep(0.5)
        for _ in range(2):  # warm-up: file cache, font cache
            for program in programs.values():
                probe(display, program, quiet_ms)
        # Each round rotates the order (A B C D, B C D A, ...): a program
        # started right after another one is measurably slower, and a fixed
        # order would charge that to the same program every round.
        names = list(programs)
        for r in range(rounds):
            for name in names[r % len(names):] + names[:r % len(names)]:
                results[name].append(probe(display, programs[name], quiet_ms))
    finally:
        xvfb.terminate()
        xvfb.wait()

    def med(name, i):
        return statistics.median(r[i] for r in results[name])

    rows = []
    for name in programs:
        maps = [r[0] for r in results[name]]
        paints = [r[1] for r in results[name]]
        rss = [r[2] / 1024 for r in results[name]]
        pss = [r[3] / 1024 for r in results[name]]
        rows.append((name, f"{statistics.median(maps):.0f} ms ({spread(maps)})",
                     f"{statistics.median(paints):.0f} ms ({spread(paints)})",
                     f"{statistics.median(rss):.1f} MiB", f"{statistics.median(pss):.1f} MiB"))
    targets = []
    base_paint, base_rss = med("baseline", 1), med("baseline", 2)
    paint, rss = med("tarvelin", 1), med("tarvelin", 2)
    targets.append(("Start-up to last paint / baseline", f"{paint / base_paint:.2f}", "≤ 1.10",
                    paint / base_paint <= 1.10))
    plain = med("plain window", 1)
    targets.append(("Start-up to last paint / plain window", f"{paint / plain:.2f}", "≤ 1.05",
                    paint / plain <= 1.05))
    if "galculator" in results:
        g = med("galculator", 1)
        targets.append(("Start-up to last paint / galculator", f"{paint / g:.2f}", "≤ 0.50",
                        paint / g <= 0.5))
    if "xcalc" in results:
        x = med("xcalc", 1)
        targets.append(("Start-up to last paint / xcalc", f"{paint / x:.2f}", "", None))
    targets.append(("Resident memory / baseline", f"{rss / base_rss:.2f}", "≤ 1.10",
                    rss / base_rss <= 1.10))
    return rows, targets


def verdict(ok):
    return "" if ok is None else ("met" if ok else "MISSED")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rounds", type=int, default=20)
    parser.add_argument("--quiet-ms", type=int, default=500)
    args = parser.parse_args()

    cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo")
                if l.startswith("model name")), "unknown CPU")
    print(f"Machine: {os.cpu_count()} cores, {cpu}")
    print(f"Date: {time.strftime('%Y-%m-%d')}; start-up rounds: {args.rounds}, "
          f"quiet period {args.quiet_ms} ms\n")

    rows, targets = startup_table(args.rounds, args.quiet_ms)
    print("| Program | First map, median (range) | Last paint, median (range) | VmRSS | Pss |")
    print("|---|---|---|---|---|")
    for r in rows:
        print("| " + " | ".join(r) + " |")
    print()
    print("| Measure | Tarvelin | Baseline | Ratio | Target | |")
    print("|---|---|---|---|---|---|")
    for name, ratio, target, ok in targets:
        print(f"| {name} | | | {ratio} | {target} | {verdict(ok)} |")
    for name, ours, base, ratio, target, ok in keystroke_table() + history_table() + chart_table() +
                                               log_table() +
                                               core_table():
        print(f"| {name} | {ours} | {base} | {ratio} | {target} | {verdict(ok)} |")


if __name__ == "__main__":
    sys.exit(main())
