#!/usr/bin/env python3
"""Cold start: time from starting the program until its main window is shown, next to the
smallest Qt Widgets program that shows one empty window, in the same run and alternating.

usage: bench/cold-start.py [BUILD_DIR] [RUNS]   (default: build 15)

Runs off screen unless QT_QPA_PLATFORM is set (set it to xcb under Xvfb to include the
X server). Each start of the program gets a fresh data folder and private XDG folders, and a
catalog server address where nothing answers, so it measures start-up alone. Goal: the
program's median at most 2.0 times the empty window's, under X11 with a session bus.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def measure(command, marker, env):
    start = time.perf_counter()
    process = subprocess.Popen(command, stderr=subprocess.PIPE, stdout=subprocess.DEVNULL, env=env)
    try:
        for line in process.stderr:
            if marker in line:
                return (time.perf_counter() - start) * 1000.0
        raise RuntimeError(f"{command[0]} ended without showing a window")
    finally:
        process.kill()
        process.wait()


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    program = os.path.join(build, "bin", "morvalen-desktop")
    empty = os.path.join(build, "bin", "morvalen-bench-empty-window")
    for path in (program, empty):
        if not os.access(path, os.X_OK):
            sys.exit(f"missing {path}: build with -DMORVALEN_BUILD_BENCH=ON")

    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    env["QT_LOGGING_RULES"] = "morvalen.window.debug=true"
    times = {"program": [], "empty window": []}
    with tempfile.TemporaryDirectory() as home:
        for folder in ("runtime", "config", "data"):
            os.makedirs(os.path.join(home, folder), mode=0o700)
        env["XDG_RUNTIME_DIR"] = os.path.join(home, "runtime")
        env["XDG_CONFIG_HOME"] = os.path.join(home, "config")
        env["XDG_DATA_HOME"] = os.path.join(home, "data")
        # One warm-up each, so that both find the libraries in the page cache.
        for run in range(runs + 1):
            data = tempfile.mkdtemp(dir=home)
            program_ms = measure([program, f"--data-folder={data}", "--catalog-server=http://127.0.0.1:9"],
                                 b"first show", env)
            empty_ms = measure([empty], b"shown", env)
            if run > 0:
                times["program"].append(program_ms)
                times["empty window"].append(empty_ms)

    for name, values in times.items():
        print(f"{name:>13}: median {statistics.median(values):7.1f} ms"
              f"  (min {min(values):.1f}, max {max(values):.1f}, {len(values)} runs)")
    ratio = statistics.median(times["program"]) / statistics.median(times["empty window"])
    print(f"        ratio: {ratio:.2f} (goal: at most 2.00) {'met' if ratio <= 2.0 else 'NOT met'}")
    return 0 if ratio <= 2.0 else 1


if __name__ == "__main__":
    sys.exit(main())
