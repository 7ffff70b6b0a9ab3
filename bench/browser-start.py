#!/usr/bin/env python3
"""Site windows side by side: the program, a bare Qt WebEngine program and `chromium --app`,
each loading the same page from a loopback server, in one run and alternating.

usage: bench/browser-start.py [BUILD_DIR] [RUNS]   (default: build 5)

Measured for each of them, from the launch until the page's load event has reached the
server (the page sends a beacon request from its load handler):
  cold    the first window: the program started with "Element=ID" of an installed site;
  second  a second window opened by the running program ("Element=ID2" handed over by a
          second start; the bare program reads "open URL" on its input; chromium --app again);
and the memory of the whole process tree (proportional set size summed over the program and
its engine processes) with one window and the growth per further window. Every site window is
1024 x 768, placed at the top left: the page costs the same to draw in all three.

Runs off screen unless QT_QPA_PLATFORM is set (set it to xcb under Xvfb). Without a session
bus the script starts one for the run, as a desktop has one. Chromium runs only
when `chromium` is installed. BENCH_COMPOSITING=software (the default) runs every engine
without GPU compositing (`--disable-gpu`), BENCH_COMPOSITING=gpu lets each compose as it
would by default; the memory figures compare only within one kind.

Goals, printed after the figures: cold at most 1.1 times the bare program; second at most
1.3 times the bare program's second window; the memory of each further window at most
chromium --app's under the same compositing.
"""
import http.server
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

WIDTH, HEIGHT = 1024, 768
PAGE = """<!DOCTYPE html><html><head><title>%(name)s</title></head><body>
<h1>%(name)s</h1><p>A page of some length.</p>%(filler)s
<script>addEventListener('load', () => { new Image().src = '/beacon?page=%(name)s&r=' + Math.random(); });</script>
</body></html>"""


class Beacons:
    def __init__(self):
        self.lock = threading.Condition()
        self.arrived = {}

    def hit(self, page):
        with self.lock:
            self.arrived.setdefault(page, time.perf_counter())
            self.lock.notify_all()

    def reset(self):
        with self.lock:
            self.arrived.clear()

    def wait(self, page, timeout=60):
        with self.lock:
            if not self.lock.wait_for(lambda: page in self.arrived, timeout):
                raise RuntimeError(f"page {page} never loaded")
            return self.arrived[page]


def serve(beacons):
    filler = "".join(f"<p>Paragraph {i} of the page, with a few words in it.</p>" for i in range(50))

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if self.path.startswith("/beacon"):
                page = self.path.split("page=")[1].split("&")[0]
                beacons.hit(page)
                body, kind = b"", "image/gif"
            else:
                name = self.path.strip("/") or "site1"
                body, kind = (PAGE % {"name": name, "filler": filler}).encode(), "text/html"
            self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def tree(pid):
    found, todo = [], [pid]
    while todo:
        current = todo.pop()
        found.append(current)
        try:
            with open(f"/proc/{current}/task/{current}/children") as children:
                todo.extend(int(c) for c in children.read().split())
        except OSError:
            pass
    return found


def pss_mib(pid):
    total = 0
    for process in tree(pid):
        try:
            with open(f"/proc/{process}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024.0


def settle(pid, seconds=2.0):
    time.sleep(seconds)
    return pss_mib(pid)


def stop(process):
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(20)
    except subprocess.TimeoutExpired:
        for child in tree(process.pid)[1:]:
            try:
                os.kill(child, signal.SIGKILL)
            except OSError:
                pass
        process.kill()
        process.wait()


def software_compositing(env):
    return env.get("BENCH_COMPOSITING", "software") != "gpu"


def run_program(build, base, beacons, env, home):
    tool = os.path.join(build, "bin", "morvalen-tool")
    program = os.path.join(build, "bin", "morvalen-desktop")
    data = tempfile.mkdtemp(dir=home)
    placement = {"Left": 0, "Top": 0, "Width": WIDTH, "Height": HEIGHT, "WindowState": 0}
    sites = {"records": [
        {"Title": "Site one", "URL": base + "/site1", "ElementId": "00000000000000000001",
         "WindowPlacement": placement},
        {"Title": "Site two", "URL": base + "/site2", "ElementId": "00000000000000000002",
         "WindowPlacement": placement},
    ]}
    with open(os.path.join(data, "sites.json"), "w") as out:
        json.dump(sites, out)
    subprocess.run([tool, "sites-write", os.path.join(data, "sites.json"),
                    os.path.join(data, "MorvalenDesktop.dat")], check=True)
    common = [f"--data-folder={data}", "--catalog-server=http://127.0.0.1:9"]
    start = time.perf_counter()
    process = subprocess.Popen([program, *common, "Element=00000000000000000001"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    cold = beacons.wait("site1") - start
    one = settle(process.pid)
    start = time.perf_counter()
    subprocess.run([program, *common, "Element=00000000000000000002"], env=env,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    second = beacons.wait("site2") - start
    two = settle(process.pid)
    stop(process)
    return cold, second, one, two - one


def run_bare(build, base, beacons, env, home):
    bare = os.path.join(build, "bin", "morvalen-bench-bare-webengine")
    start = time.perf_counter()
    process = subprocess.Popen([bare, base + "/site1"], env=env, stdin=subprocess.PIPE,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    cold = beacons.wait("site1") - start
    one = settle(process.pid)
    start = time.perf_counter()
    process.stdin.write(f"open {base}/site2\n".encode())
    process.stdin.flush()
    second = beacons.wait("site2") - start
    two = settle(process.pid)
    stop(process)
    return cold, second, one, two - one


def run_chromium(chromium, base, beacons, env, home):
    profile = tempfile.mkdtemp(dir=home)
    command = [chromium, f"--user-data-dir={profile}", "--no-first-run", "--no-default-browser-check",
               "--no-sandbox", f"--window-size={WIDTH},{HEIGHT}", "--window-position=0,0"]
    if software_compositing(env):
        command.append("--disable-gpu")
    if env.get("QT_QPA_PLATFORM", "offscreen") == "offscreen":
        command.append("--headless=new")
    start = time.perf_counter()
    process = subprocess.Popen(command + [f"--app={base}/site1"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    cold = beacons.wait("site1") - start
    one = settle(process.pid)
    start = time.perf_counter()
    subprocess.Popen(command + [f"--app={base}/site2"], env=env, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL).wait(30)
    second = beacons.wait("site2") - start
    two = settle(process.pid)
    stop(process)
    return cold, second, one, two - one


def main():
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ and shutil.which("dbus-run-session"):
        os.execvp("dbus-run-session", ["dbus-run-session", "--", sys.executable, *sys.argv])
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    env.setdefault("QTWEBENGINE_DISABLE_SANDBOX", "1" if os.geteuid() == 0 else "0")
    if software_compositing(env):
        # Both Qt WebEngine programs take Chromium's switches from here.
        env["QTWEBENGINE_CHROMIUM_FLAGS"] = (env.get("QTWEBENGINE_CHROMIUM_FLAGS", "") + " --disable-gpu").strip()
    beacons = Beacons()
    server = serve(beacons)
    base = f"http://127.0.0.1:{server.server_address[1]}"
    runners = {"program": run_program, "bare Qt WebEngine": run_bare}
    chromium = shutil.which("chromium")
    if chromium:
        runners["chromium --app"] = lambda b, *rest: run_chromium(chromium, *rest)
    results = {name: [] for name in runners}
    with tempfile.TemporaryDirectory() as home:
        for folder in ("runtime", "config", "data"):
            os.makedirs(os.path.join(home, folder), mode=0o700)
        env["XDG_RUNTIME_DIR"] = os.path.join(home, "runtime")
        env["XDG_CONFIG_HOME"] = os.path.join(home, "config")
        env["XDG_DATA_HOME"] = os.path.join(home, "data")
        env["HOME"] = home
        # One warm-up round, so that everybody finds the libraries in the page cache.
        for run in range(runs + 1):
            for name, runner in runners.items():
                beacons.reset()
                figures = runner(build, base, beacons, env, home)
                if run > 0:
                    results[name].append(figures)
    compositing = "software" if software_compositing(env) else "gpu"
    print(f"{compositing + ' compositing':20} {'cold ms':>9} {'second ms':>10} {'MiB 1 window':>13} "
          f"{'MiB/window':>11}")
    medians = {}
    for name, rows in results.items():
        medians[name] = [statistics.median(column) for column in zip(*rows)]
        cold, second, one, more = medians[name]
        print(f"{name:20} {cold * 1000:9.0f} {second * 1000:10.0f} {one:13.1f} {more:11.1f}")
    server.shutdown()
    program, bare = medians["program"], medians["bare Qt WebEngine"]
    goals = [("cold start", program[0] / bare[0], "x bare", 1.1),
             ("second window", program[1] / bare[1], "x bare", 1.3)]
    if "chromium --app" in medians:
        goals.append(("MiB per further window", program[3] / medians["chromium --app"][3],
                      "x chromium --app", 1.0))
    met = True
    for what, ratio, anchor, goal in goals:
        print(f"{what:>22}: {ratio:5.2f} {anchor} (goal: at most {goal:.1f}) {'met' if ratio <= goal else 'NOT met'}")
        met = met and ratio <= goal
    return 0 if met else 1


if __name__ == "__main__":
    sys.exit(main())
