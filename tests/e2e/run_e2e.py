#!/usr/bin/env python3
"""Runs the end-to-end tests under one Xvfb display and one Wine prefix.

    tests/e2e/run_e2e.py --dist build/windows/dist [--work build/e2e-work]
                         [-k PATTERN] [MODULE ...]

Every function test_*(session, dist) in tests/e2e/test_*.py runs in file
order. After each test the processes it started are killed and the files it
left in C:\\ and %TEMP% are removed. The last line says "N passed, M failed";
the exit code is 1 when anything failed.
"""

import argparse
import fnmatch
import importlib
import types
import shutil
import signal
import sys
import time
import traceback
from pathlib import Path

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
sys.path.insert(0, str(HERE))

import harness  # noqa: E402


class TestTimeout(AssertionError):
    pass


def load_tests(selected, pattern):
    files = sorted(HERE.glob("test_*.py"))
    if selected:
        wanted = {Path(name).stem for name in selected}
        unknown = wanted - {f.stem for f in files}
        if unknown:
            sys.exit(f"no such test module: {', '.join(sorted(unknown))}")
        files = [f for f in files if f.stem in wanted]
    tests = []
    for path in files:
        module = importlib.import_module(path.stem)  # tests/e2e is on sys.path
        functions = [f for name, f in vars(module).items()
                     if name.startswith("test_") and isinstance(f, types.FunctionType)
                     and f.__module__ == module.__name__]
        functions.sort(key=lambda f: f.__code__.co_firstlineno)
        for f in functions:
            name = f"{path.stem}.{f.__name__}"
            if pattern and pattern not in name and not fnmatch.fnmatch(name, pattern):
                continue
            tests.append((name, f, getattr(module, "TEST_TIMEOUT", 300)))
    return tests


def on_alarm(signum, frame):
    raise TestTimeout("the test ran past its time limit")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--dist", default=str(REPO / "build/windows/dist"),
                        help="folder with the built Windows programs")
    parser.add_argument("--work", default=str(REPO / "build/e2e-work"),
                        help="folder for the Wine prefix, logs and failure screenshots")
    parser.add_argument("-k", dest="pattern", help="run only tests whose name contains this "
                        "(or matches it as a shell pattern)")
    parser.add_argument("modules", nargs="*", help="test modules to run (default: all)")
    args = parser.parse_args()

    tests = load_tests(args.modules, args.pattern)
    if not tests:
        print("no tests selected")
        print("0 passed, 0 failed")
        return 1
    dist = Path(args.dist).resolve()
    work = Path(args.work).resolve()
    shutil.rmtree(work / "failures", ignore_errors=True)  # screenshots of an earlier run
    passed = failed = skipped = 0
    module_seconds = {}
    signal.signal(signal.SIGALRM, on_alarm)
    started = time.monotonic()
    try:
        session = harness.Session(work, log=lambda m: print(m, flush=True))
        session.__enter__()
    except Exception as e:
        print(f"FAIL set-up: {type(e).__name__}: {e}", flush=True)
        traceback.print_exc()
        print("0 passed, 1 failed")
        return 1
    try:
        for name, test, limit in tests:
            t = time.monotonic()
            signal.alarm(limit)
            try:
                test(session, dist)
                outcome = None
            except harness.Skip as e:
                outcome = ("SKIP", str(e))
            except AssertionError as e:
                outcome = ("FAIL", str(e) or "assertion failed")
                traceback.print_exc(file=sys.stderr)
            except Exception as e:
                outcome = ("FAIL", f"{type(e).__name__}: {e}")
                traceback.print_exc(file=sys.stderr)
            finally:
                signal.alarm(0)
            seconds = time.monotonic() - t
            module = name.split(".", 1)[0]
            module_seconds[module] = module_seconds.get(module, 0) + seconds
            if outcome and outcome[0] == "FAIL":
                try:
                    shot = work / "failures" / f"{name}.png"
                    session.screenshot(shot)
                    print(f"  screen at failure: {shot}", file=sys.stderr)
                except Exception as e:
                    print(f"  no screenshot: {e}", file=sys.stderr)
            try:
                strays = session.clean()
                if strays:
                    print(f"  killed after {name}: {', '.join(sorted(strays.values()))}", file=sys.stderr)
            except Exception as e:
                if outcome is None:
                    outcome = ("FAIL", f"clean-up after the test failed: {e}")
            if outcome is None:
                passed += 1
                print(f"PASS {name} ({seconds:.1f} s)", flush=True)
            elif outcome[0] == "SKIP":
                skipped += 1
                print(f"SKIP {name}: {outcome[1]}", flush=True)
            else:
                failed += 1
                message = " ".join(outcome[1].split())
                print(f"FAIL {name}: {message} ({seconds:.1f} s)", flush=True)
    finally:
        session.__exit__(None, None, None)
    print(f"set-up {session.timings.get('prefix', 0):.1f} s, total {time.monotonic() - started:.1f} s",
          flush=True)
    print("by module: " + ", ".join(f"{module} {seconds:.0f} s" for module, seconds in
                                    sorted(module_seconds.items(), key=lambda item: -item[1])))
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
