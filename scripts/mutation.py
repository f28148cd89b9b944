#!/usr/bin/env python3
"""Mutation testing of the portable sources; run through scripts/mutation.sh.

Every mutant is one small textual fault in one .cpp file: a comparison flipped, && and ||
swapped, an integer constant moved by one, a statement (such as one field of a copy) dropped or
a returned value replaced by the type's empty value. Each is written into a scratch copy of the
project, built incrementally (one object plus the links) and judged by the test programs that
link the file: killed when a test fails, the build succeeds but a test program times out, or it
crashes; survived when every test passes; not built when the compiler refuses it.
"""

import argparse
import difflib
import os
import random
import re
import shutil
import subprocess
import sys
import time

AREAS = ["core", "i18n", "library", "ui", "cli"]
# Which test programs link each area (every program links the areas below its own).
PROGRAMS = {
    "core": ["core_tests", "i18n_tests", "library_tests", "ui_tests", "cli_tests"],
    "i18n": ["i18n_tests", "library_tests", "ui_tests", "cli_tests"],
    "library": ["library_tests", "ui_tests", "cli_tests"],
    "ui": ["ui_tests", "cli_tests"],
    "cli": ["cli_tests"],
}
# The console tool's entry point is linked by no test program: its mutants could not be judged.
SKIPPED_FILES = {"src/cli/CliMain.cpp"}
TIMEOUT = 60

RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
LOGICAL = {"&&": "||", "||": "&&"}
EMPTY_RETURNS = {"{}", "false", "0", "nullptr", "std::nullopt", '""', "0.0", "std::string()"}
# A whole statement on one line that acts on something already declared: a call, an assignment
# (such as one field of a copy), an increment, a push; declarations start with a type and a name.
STATEMENT = re.compile(r"^(\s*)((?:\+\+|--)?[A-Za-z_][\w:]*(?:\s*(?:\.|->|\[|\(|\+\+|--|[-+*/|&^]?= |<<= |>>= )).*;)\s*$")
NOT_STATEMENT = re.compile(r"^\s*(return|case|default|break|goto|using|typedef|static_assert|template|public|private|protected|throw)\b")


def mask(text):
    """The text with comments, string and character literals blanked (same length, newlines kept),
    so that operators are looked for in code only."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            k = text.find("(", i)
            delim = text[i + 2 : k]
            j = text.find(")" + delim + '"', k)
            j = n if j < 0 else j + len(delim) + 2
            blank(i, j)
            i = j
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            # A quote after a digit or letter is a digit separator (1'000), not a literal.
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j, n - 1)
            blank(i, j + 1)
            i = j + 1
        else:
            i += 1
    return "".join(out)


def skipped_line(code_line):
    s = code_line.strip()
    return not s or s.startswith("#") or "static_assert" in s


def mutants_of(path, text):
    """Every mutant of one file, as (path, line number, kind, old line, new line), in file order."""
    found = []
    lines = text.split("\n")
    masked = mask(text).split("\n")
    for number, (line, code) in enumerate(zip(lines, masked), start=1):
        if skipped_line(code):
            continue

        def add(kind, start, end, replacement):
            found.append((path, number, kind, line, line[:start] + replacement + line[end:]))

        # Binary operators with a space on both sides (template brackets, shifts, arrows and
        # rvalue references never are written that way).
        for m in re.finditer(r"(?<= )(<=|>=|==|!=|<|>|&&|\|\|)(?= )", code):
            op = m.group(1)
            if op in RELATIONAL:
                add("relational", m.start(), m.end(), RELATIONAL[op])
            else:
                add("logical", m.start(), m.end(), LOGICAL[op])
        # Integer constants moved up by one (a digit separator is kept out for simplicity).
        for m in re.finditer(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])", code):
            digits, suffix = m.group(1), m.group(2)
            value = int(digits, 16) if digits[:2].lower() == "0x" else int(digits)
            moved = hex(value + 1) if digits[:2].lower() == "0x" else str(value + 1)
            add("constant", m.start(), m.end(), moved + suffix)
        # Returned values replaced by the type's empty value.
        m = re.match(r"^(\s*)return (.+);\s*$", code)
        if m and m.group(2).strip() not in EMPTY_RETURNS:
            start = line.index("return ") + len("return ")
            add("return", start, len(line.rstrip()) - 1, "{}")
        # Whole statements dropped; an empty block keeps an unbraced if/for/while well formed.
        m = STATEMENT.match(code)
        previous = next((p for p in reversed(masked[: number - 1]) if p.strip()), "")
        continued = previous.rstrip().endswith((",", "(", "=", "&&", "||", "+", "-", "?", ":", "<<"))
        if (m and not NOT_STATEMENT.match(code) and code.count("(") == code.count(")")
                and code.count("{") == code.count("}") and not continued):
            add("statement", len(m.group(1)), len(line), "{}")
        if code.strip() == "continue;":
            indent = len(line) - len(line.lstrip())
            add("statement", indent, len(line), "{}")
    return found


def all_mutants(root):
    files = []
    for area in AREAS:
        folder = os.path.join(root, "src", area)
        for name in sorted(os.listdir(folder)):
            rel = f"src/{area}/{name}"
            if name.endswith(".cpp") and rel not in SKIPPED_FILES:
                files.append(rel)
    result = []
    for rel in files:
        with open(os.path.join(root, rel), encoding="utf-8") as f:
            result.extend(mutants_of(rel, f.read()))
    return result


def run(cmd, cwd=None, timeout=None, env=None):
    return subprocess.run(cmd, cwd=cwd, timeout=timeout, env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, errors="replace")


def build(build_dir, targets):
    return run(["cmake", "--build", build_dir, "--target", *targets, "--", "-j2", "-l", "3"]).returncode == 0


def run_tests(build_dir, programs, budget):
    """'passed', 'failed' or 'timeout' for the programs in turn, within budget seconds in all."""
    deadline = time.time() + budget
    for program in programs:
        left = deadline - time.time()
        if left <= 0:
            return "timeout", program
        try:
            result = run([os.path.join(build_dir, "tests", program), "--gtest_brief=1", "--gtest_fail_fast"],
                         cwd=os.path.join(build_dir, "tests"), timeout=left)
        except subprocess.TimeoutExpired:
            return "timeout", program
        if result.returncode != 0:
            return "failed", program
    return "passed", None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sample", type=int, default=0, help="judge N mutants picked at random (0: all)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the pick, for a reproducible sample")
    parser.add_argument("--list", action="store_true", help="only print the mutants, build nothing")
    parser.add_argument("--file", action="append", default=[], help="only mutants of this source (repeatable)")
    parser.add_argument("--ids", default="", help="only these mutants, by the #number a run prints (1,5,9)")
    parser.add_argument("--project", required=True)
    parser.add_argument("--work", required=True, help="scratch folder: the copy and its build")
    args = parser.parse_args()

    # A mutant's number is its place among all mutants of the unchanged sources: stable while
    # only tests change, so the survivors of one run can be judged again after sharpening them.
    mutants = [(number, *m) for number, m in enumerate(all_mutants(args.project), start=1)]
    total = len(mutants)
    if args.ids:
        wanted = {int(n) for n in args.ids.split(",")}
        mutants = [m for m in mutants if m[0] in wanted]
    if args.file:
        mutants = [m for m in mutants if m[1] in args.file]
    if args.sample and args.sample < len(mutants):
        picked = random.Random(args.seed).sample(range(len(mutants)), args.sample)
        mutants = [mutants[i] for i in sorted(picked)]
    print(f"{total} mutants in all; judging {len(mutants)}" + (f" (seed {args.seed})" if args.sample else ""),
          flush=True)
    if args.list:
        for mutant, path, number, kind, old, new in mutants:
            print(f"#{mutant} {path}:{number} {kind}: {old.strip()}  ->  {new.strip()}")
        return 0

    started = time.time()
    tree = os.path.join(args.work, "tree")
    build_dir = os.path.join(args.work, "build")
    sync_tree(args.project, tree)
    configure = ["cmake", "-S", tree, "-B", build_dir, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=None",
                 "-DCMAKE_CXX_FLAGS=-O1", "-DTIRN_SANITIZE=OFF"]
    if shutil.which("ccache"):
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    result = run(configure)
    if result.returncode != 0:
        print(result.stdout)
        return 2
    every_program = PROGRAMS["core"]
    if not build(build_dir, every_program):
        print("the unchanged copy does not build")
        return 2
    status, program = run_tests(build_dir, every_program, 600)
    if status != "passed":
        print(f"the unchanged copy does not pass its tests ({program} {status})")
        return 2
    print(f"unchanged copy built and passed in {(time.time() - started) / 60:.1f} min", flush=True)

    killed = survived = unbuilt = 0
    for index, (mutant, path, number, kind, old, new) in enumerate(mutants, start=1):
        target = os.path.join(tree, path)
        with open(target, encoding="utf-8") as f:
            original = f.read()
        lines = original.split("\n")
        assert lines[number - 1] == old
        lines[number - 1] = new
        programs = PROGRAMS[path.split("/")[1]]
        t0 = time.time()
        try:
            with open(target, "w", encoding="utf-8") as f:
                f.write("\n".join(lines))
            if not build(build_dir, programs):
                verdict, why = "not built", ""
                unbuilt += 1
            else:
                status, program = run_tests(build_dir, programs, TIMEOUT)
                if status == "passed":
                    verdict, why = "SURVIVED", ""
                    survived += 1
                else:
                    verdict, why = "killed", f" by {program}" + (" (timeout)" if status == "timeout" else "")
                    killed += 1
        finally:
            with open(target, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"[{index}/{len(mutants)}] {verdict}{why}: #{mutant} {path}:{number} {kind} ({time.time() - t0:.0f} s)",
              flush=True)
        if verdict == "SURVIVED":
            diff = difflib.unified_diff([old + "\n"], [new + "\n"], f"a/{path}", f"b/{path}", n=0)
            for d in diff:
                sys.stdout.write("    " + (d.replace("@@ -1 +1 @@", f"@@ line {number} @@")))
            sys.stdout.flush()
    # Leave the copy built as the sources are, so the next run starts from a clean state.
    build(build_dir, every_program)
    judged = killed + survived
    score = f", {100.0 * killed / judged:.1f} % killed" if judged else ""
    print(f"total {(time.time() - started) / 60:.1f} min{score}")
    print(f"mutants: {killed} killed, {survived} survived, {unbuilt} not built")
    return 0


def sync_tree(project, tree):
    """Copies the sources into the scratch tree, touching only files that differ, so the
    persistent build there stays incremental."""
    os.makedirs(tree, exist_ok=True)
    for top in ["cmake", "src", "tests", "examples"]:
        # Files gone from the project go from the copy too (the build globs its folders).
        for folder, dirs, files in os.walk(os.path.join(tree, top)):
            for name in files:
                copy = os.path.join(folder, name)
                if not os.path.exists(os.path.join(project, os.path.relpath(copy, tree))):
                    os.remove(copy)
    for top in ["CMakeLists.txt", "cmake", "src", "tests", "examples"]:
        source = os.path.join(project, top)
        if os.path.isfile(source):
            copy_if_changed(source, os.path.join(tree, top))
            continue
        for folder, dirs, files in os.walk(source):
            rel = os.path.relpath(folder, project)
            os.makedirs(os.path.join(tree, rel), exist_ok=True)
            for name in files:
                copy_if_changed(os.path.join(folder, name), os.path.join(tree, rel, name))


def copy_if_changed(source, destination):
    with open(source, "rb") as f:
        data = f.read()
    if os.path.exists(destination):
        with open(destination, "rb") as f:
            if f.read() == data:
                return
    with open(destination, "wb") as f:
        f.write(data)
    shutil.copymode(source, destination)


if __name__ == "__main__":
    sys.exit(main())
