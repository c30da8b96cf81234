#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Tarvelin developers
# SPDX-License-Identifier: MIT
"""How well the window tests catch faults in a source file.

Makes small hand-style faults ("mutants") in the given files one at a time:
a comparison turned round or made strict, + for -, * for /, max for min,
true for false, && for ||, a number one larger, a call statement left out.
After each it rebuilds the window's test programs and runs them in turn; a
mutant is killed when one of them fails or hangs, and stillborn when it does not compile. Prints each
survivor and the share killed per file. The file is restored after each
mutant, also when the run is interrupted.

Usage: scripts/mutation_run.py [--every N] [--offset K] [--again LOG]
                               [--target test_NAME]... FILE...
  (from the repository root, with build/ci configured)
--again tries only the survivors an earlier run printed to LOG: tests are
only ever added, so what they killed before stays killed.
"""
import argparse
import os
import re
import subprocess
import sys

SWAPS = [
    (r"(?<![<>=!-])<=(?![<=])", "<"), (r"(?<![<>=!-])>=(?![>=])", ">"),
    (r"(?<![<>=!-])<(?![<=])", "<="), (r"(?<![<>=!-])>(?![>=])", ">="),
    (r"==", "!="), (r"!=", "=="),
    (r" \+ ", " - "), (r" - ", " + "), (r" \* ", " / "), (r" / ", " * "),
    (r"std::max", "std::min"), (r"std::min", "std::max"),
    (r"\btrue\b", "false"), (r"\bfalse\b", "true"),
    (r"&&", "||"), (r"\|\|", "&&"),
]
CALL = re.compile(r"^\s+[a-z_][\w.>-]*(\.|->)\w+\(.*\);\s*$")
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.'])")


def code_lines(text):
    """Line numbers that hold code: no comments, includes or templates."""
    for number, line in enumerate(text.split("\n")):
        stripped = line.strip()
        if not stripped or stripped.startswith(("//", "#", "template", "using")):
            continue
        yield number, line


def mutants(text):
    lines = text.split("\n")
    for number, line in code_lines(text):
        code = line.split("//")[0]
        for pattern, replacement in SWAPS:
            for match in re.finditer(pattern, code):
                # Template brackets and stream operators are no comparisons.
                if replacement in ("<=", ">=") and re.search(r"\w<|std::\w+<|>\(|>\s*\w+\s*[({=]", code):
                    continue
                yield number, match.start(), match.end(), replacement
        for match in NUMBER.finditer(code):
            yield number, match.start(), match.end(), str(int(match.group(1)) + 1)
        if CALL.match(code):
            yield number, 0, len(line), ""
    del lines


def mutated(original, number, start, end, replacement):
    lines = original.split("\n")
    line = lines[number]
    lines[number] = line[:start] + replacement + line[end:]
    return lines


def survivor(original, path, mutant):
    """The line a run prints when this mutant survives."""
    number = mutant[0]
    return (f"survived {path}:{number + 1}: {original.split(chr(10))[number].strip()}  ->  "
            f"{mutated(original, *mutant)[number].strip()}")


def earlier(log):
    with open(log, encoding="utf-8") as f:
        return {line.rstrip("\n") for line in f if line.startswith("survived ")}


WINDOW_TESTS = ["test_form", "test_odds_tip", "test_compare", "test_out_of_date"]


def run(command, timeout):
    try:
        return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout, check=False).returncode
    except subprocess.TimeoutExpired:
        return -1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--every", type=int, default=1, help="try only every N-th mutant")
    parser.add_argument("--offset", type=int, default=0)
    parser.add_argument("--target", action="append", dest="targets",
                        help="a test program to run, again for more (default: the window's)")
    parser.add_argument("--again", help="an earlier run's output: retry its survivors only")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    targets = args.targets or WINDOW_TESTS
    build = ["nice", "cmake", "--build", "--preset", "ci", "--target", *targets]
    tests = [["build/ci/tests/window/" + target] for target in targets]
    os.environ["QT_QPA_PLATFORM"] = "offscreen"
    if run(build, 900) != 0 or any(run(test, 300) != 0 for test in tests):
        sys.exit("the tests must build and pass before mutating")
    for path in args.files:
        with open(path, encoding="utf-8") as f:
            original = f.read()
        found = list(mutants(original))[args.offset::args.every]
        if args.again:
            found = [m for m in found if survivor(original, path, m) in earlier(args.again)]
        killed = survived = stillborn = 0
        try:
            for mutant in found:
                lines = mutated(original, *mutant)
                with open(path, "w", encoding="utf-8") as f:
                    f.write("\n".join(lines))
                if run(build, 900) != 0:
                    stillborn += 1
                    continue
                if any(run(test, 120) != 0 for test in tests):
                    killed += 1
                else:
                    survived += 1
                    print(survivor(original, path, mutant), flush=True)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        tried = killed + survived
        print(f"{path}: {killed} of {tried} killed ({100 * killed / max(tried, 1):.0f} %), "
              f"{stillborn} stillborn, {len(found)} made", flush=True)
    run(build, 900)


if __name__ == "__main__":
    main()
