#!/usr/bin/env python3
"""Counts test results for scripts/test.sh.

Usage: count-results.py BUILD_DIR...
For each build folder: every GoogleTest case in BUILD/test-results/*.xml counts once; every CTest
test (from BUILD/ctest-results.xml, written by `ctest --output-junit`) that wrote no GoogleTest XML
counts once; a CTest test whose program failed although its XML shows no failure (a crash or a
sanitizer report after the XML was written) adds one failure, and so does one whose program was
to write GoogleTest XML and wrote none (it ended early). Cases that skipped themselves
(GTEST_SKIP) and CTest tests reported as skipped count as skipped; disabled cases do not count.
Prints "PASSED FAILED SKIPPED".
"""
import json
import os
import subprocess
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    """(passed, failed, skipped) of one GoogleTest XML file; None when it cannot be read."""
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError):
        return None
    passed = failed = skipped = 0
    for case in root.iter("testcase"):
        # Disabled cases run, if at all, in a program of their own that writes its own XML.
        if case.get("status") == "notrun" or case.get("result") == "suppressed":
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("result") == "skipped":
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def xml_outputs(build):
    """Test name -> GoogleTest XML path named on its command line (--gtest_output=xml:PATH)."""
    try:
        out = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True,
                             text=True, check=True).stdout
        tests = json.loads(out).get("tests", [])
    except (OSError, subprocess.CalledProcessError, ValueError):
        return {}
    result = {}
    for test in tests:
        for arg in test.get("command", []) or []:
            if arg.startswith("--gtest_output=xml:"):
                path = arg[len("--gtest_output=xml:"):]
                # Windows programs under Wine name the Unix root as drive Z:.
                if len(path) > 2 and path[:2] in ("Z:", "z:"):
                    path = path[2:].replace("\\", "/")
                result[test["name"]] = path
    return result


def ctest_results(build):
    """Test name -> passed? from the JUnit file that ctest wrote."""
    path = os.path.join(build, "ctest-results.xml")
    try:
        root = ET.parse(path).getroot()
    except (ET.ParseError, OSError):
        return {}
    result = {}
    for case in root.iter("testcase"):
        status = case.get("status", "")
        if status == "disabled":
            continue
        failed = case.find("failure") is not None or case.find("error") is not None or status in (
            "fail", "failed", "notrun")
        skipped = case.find("skipped") is not None and not failed
        result[case.get("name")] = None if skipped else not failed
    return result


def main():
    passed = failed = skipped = 0
    for build in sys.argv[1:]:
        outputs = xml_outputs(build)
        results = ctest_results(build)
        counted_xml = set()
        for name, ok in results.items():
            xml_path = outputs.get(name)
            counts = gtest_counts(xml_path) if xml_path and os.path.exists(xml_path) else None
            if counts is None and xml_path and ok is not None:
                # A program that should have written its results and wrote none ended early: a
                # crash under Wine can still give exit code 0.
                print(f"{name}: no results in {xml_path}: the program ended early", file=sys.stderr)
                failed += 1
                continue
            if counts is None:
                if ok is None:
                    skipped += 1
                    continue
                passed += 1 if ok else 0
                failed += 0 if ok else 1
                continue
            counted_xml.add(os.path.realpath(xml_path))
            passed += counts[0]
            failed += counts[1]
            skipped += counts[2]
            if ok is False and counts[1] == 0:
                failed += 1
        # GoogleTest XML that no CTest test claims (a program run outside CTest) still counts.
        folder = os.path.join(build, "test-results")
        if os.path.isdir(folder):
            for entry in sorted(os.listdir(folder)):
                path = os.path.realpath(os.path.join(folder, entry))
                if entry.endswith(".xml") and path not in counted_xml:
                    counts = gtest_counts(path)
                    if counts:
                        passed += counts[0]
                        failed += counts[1]
                        skipped += counts[2]
    print(passed, failed, skipped)


if __name__ == "__main__":
    main()
