#!/usr/bin/env python3
"""First page of each engine: a window with one frame of engine 0 (Chromium, Qt WebEngine) and
of engine 1 (WebKit, morvalen-webkit-host), each started cold in its own process, loading the
same page from a local HTTP server; alternating, in one run. Prints the median time to the
page's top-level document complete and the memory (PSS) of the process tree.

usage: bench/engine-first-page.py [BUILD_DIR] [RUNS]   (default: build 7)

Needs an X server (DISPLAY; the WebKit engine embeds X11 windows). Goal: engine 1 within 1.5
times engine 0 in time.
"""
import functools
import http.server
import os
import statistics
import subprocess
import sys
import tempfile
import threading

PAGE = (b"<!DOCTYPE html><html><head><meta charset='utf-8'><title>Bench</title>"
        b"<style>body{font-family:sans-serif}</style></head><body><h1>First page</h1>"
        + b"<p>Some text of the page, long enough to lay out a few lines.</p>" * 40 + b"</body></html>")


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)

    def log_message(self, *args):
        pass


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    program = os.path.join(build, "bin", "morvalen-bench-engine-first-page")
    if not os.access(program, os.X_OK):
        sys.exit(f"missing {program}: build with -DMORVALEN_BUILD_BENCH=ON")
    if not os.environ.get("DISPLAY"):
        sys.exit("needs an X server in DISPLAY")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    address = f"http://127.0.0.1:{server.server_address[1]}/page.html"
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    if os.geteuid() == 0:
        env["QTWEBENGINE_DISABLE_SANDBOX"] = "1"  # its sandbox cannot start as root
    results = {0: ([], []), 1: ([], [])}
    for run in range(runs + 1):
        for engine in (0, 1):
            with tempfile.TemporaryDirectory() as data:
                out = subprocess.run([program, str(engine), address, data], env=env, capture_output=True,
                                     text=True, timeout=120)
                if out.returncode != 0:
                    sys.exit(f"engine {engine} failed: {out.stderr[-2000:]}")
                ms, kb = (int(v) for v in out.stdout.split())
                if run > 0:  # the first round only warms the page cache
                    results[engine][0].append(ms)
                    results[engine][1].append(kb)
    server.shutdown()
    names = {0: "engine 0 (Chromium)", 1: "engine 1 (WebKit)"}
    for engine in (0, 1):
        times, sizes = results[engine]
        print(f"{names[engine]:22} first page {statistics.median(times):7.0f} ms   "
              f"process tree {statistics.median(sizes) / 1024:7.1f} MiB")
    ratio = statistics.median(results[1][0]) / statistics.median(results[0][0])
    print(f"time ratio engine 1 / engine 0: {ratio:.2f} (goal at most 1.5)")


if __name__ == "__main__":
    main()
