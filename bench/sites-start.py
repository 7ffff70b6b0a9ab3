#!/usr/bin/env python3
"""Start-up with many installed sites: time from starting the program until its main window
is shown, with a data folder of 1,000 sites next to one with none, in the same run and
alternating.

usage: bench/sites-start.py [BUILD_DIR] [RUNS] [SITES]   (default: build 11 1000)

The sites are written by `morvalen-tool sites-write`, each with its own thumbnail address
(no thumbnail files: decoding pictures waits until a tile is painted anyway). Runs off screen
unless QT_QPA_PLATFORM is set. Goal: the median with the sites at most 2 times the median
without.
"""
import json
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


def write_sites(tool, folder, count):
    records = [{
        "Title": f"Site {i:04d}",
        "URL": f"http://site{i}.example/",
        "Description": f"The {i}th site, with a description long enough to wrap into a second line of the tile",
        "RunCount": i % 17,
        "TabURLs": [f"http://site{i}.example/news"] if i % 5 == 0 else [],
    } for i in range(count)]
    source = os.path.join(folder, "sites.json")
    with open(source, "w", encoding="utf-8") as out:
        json.dump({"records": records}, out)
    subprocess.run([tool, "sites-write", source, os.path.join(folder, "MorvalenDesktop.dat")], check=True)
    os.remove(source)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    program = os.path.join(build, "bin", "morvalen-desktop")
    tool = os.path.join(build, "bin", "morvalen-tool")
    for path in (program, tool):
        if not os.access(path, os.X_OK):
            sys.exit(f"missing {path}")

    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    env["QT_LOGGING_RULES"] = "morvalen.window.debug=true"
    times = {"none": [], f"{count} sites": []}
    with tempfile.TemporaryDirectory() as home:
        for folder in ("runtime", "config", "data", "empty", "sites"):
            os.makedirs(os.path.join(home, folder), mode=0o700)
        env["XDG_RUNTIME_DIR"] = os.path.join(home, "runtime")
        env["XDG_CONFIG_HOME"] = os.path.join(home, "config")
        env["XDG_DATA_HOME"] = os.path.join(home, "data")
        write_sites(tool, os.path.join(home, "sites"), count)
        # One warm-up each, so that both find the libraries in the page cache.
        for run in range(runs + 1):
            for name, folder in (("none", "empty"), (f"{count} sites", "sites")):
                ms = measure([program, f"--data-folder={os.path.join(home, folder)}",
                              "--catalog-server=http://127.0.0.1:9"], b"first show", env)
                if run > 0:
                    times[name].append(ms)

    for name, values in times.items():
        print(f"{name:>11}: median {statistics.median(values):7.1f} ms"
              f"  (min {min(values):.1f}, max {max(values):.1f}, {len(values)} runs)")
    ratio = statistics.median(times[f"{count} sites"]) / statistics.median(times["none"])
    print(f"      ratio: {ratio:.2f} (goal: at most 2.00)")
    return 0 if ratio <= 2.0 else 1


if __name__ == "__main__":
    sys.exit(main())
