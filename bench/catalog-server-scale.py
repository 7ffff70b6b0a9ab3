#!/usr/bin/env python3
"""Measures morvalen-catalog-server beyond one process, on loopback only.

    bench/catalog-server-scale.py [BUILD_DIR] [--seconds N] [--applications N]

Requests per second at 50 concurrent keep-alive clients (wrk) for a list file, a search and
ratings, with the votes in SQLite and in PostgreSQL, one server instance against two that
share the database (two wrk runs of 25 clients at once, one per instance, as a load balancer
would spread them). Ratings come through a trusted proxy that names a random client address
in X-Forwarded-For, so that each vote is a row of its own. PostgreSQL is a cluster of the
bench's own (initdb in a temporary folder, as "nobody" when run as root, a Unix socket only,
durable as shipped). Without --applications the sample catalog is served, otherwise a
synthetic one of that size. Prints one table; exits 1 when a request failed.
"""
import argparse
import glob
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLIENTS = 50

SEARCH_SCRIPT = """
local words = {"mail", "office", "photo", "calendar", "chat", "music", "news", "maps", "notes", "video"}
local n = 0
request = function()
  n = n + 1
  return wrk.format("GET", '/xmlsearch.php?query="' .. words[n % #words + 1] .. '"&action=search')
end
"""

RATING_SCRIPT = """
local ids = {%s}
math.randomseed(os.time() + tonumber(tostring({}):match("0x(%%x+)"), 16) %% 1000)
request = function()
  local id = ids[math.random(#ids)]
  local client = "10." .. math.random(0, 255) .. "." .. math.random(0, 255) .. "." .. math.random(1, 254)
  return wrk.format("GET", "/link/update.php?imgId=" .. id .. "&rating=" .. math.random(1, 5),
                    {["X-Forwarded-For"] = client})
end
"""


def run_as_postgres_user():
    """PostgreSQL refuses root; the tests' way: run it as nobody."""
    if os.geteuid() != 0:
        return None
    user = pwd.getpwnam("nobody")

    def change():
        os.setgroups([])
        os.setgid(user.pw_gid)
        os.setuid(user.pw_uid)

    return user, change


class Postgres:
    def __init__(self, work):
        bins = sorted(glob.glob("/usr/lib/postgresql/*/bin"), key=lambda p: [int(x) for x in re.findall(r"\d+", p)])
        bins = [b for b in bins if os.access(os.path.join(b, "initdb"), os.X_OK)]
        if not bins:
            raise SystemExit("PostgreSQL is not installed: scripts/deps.sh installs it")
        bin_dir = bins[-1]
        self.dir = os.path.join(work, "pg")
        os.mkdir(self.dir, 0o700)
        runner = run_as_postgres_user()
        preexec = None
        if runner:
            user, preexec = runner
            os.chown(self.dir, user.pw_uid, user.pw_gid)
            os.chmod(work, 0o711)  # nobody passes through to its own folder, and sees nothing else
        data = os.path.join(self.dir, "data")
        subprocess.run([os.path.join(bin_dir, "initdb"), "-D", data, "-U", "morvalen", "-A", "trust", "-E", "UTF8",
                        "--locale", "C"], preexec_fn=preexec, check=True, stdout=subprocess.DEVNULL)
        self.log = open(os.path.join(work, "postgres.log"), "wb")
        self.process = subprocess.Popen([os.path.join(bin_dir, "postgres"), "-D", data, "-k", self.dir, "-c",
                                         "listen_addresses=", "-c", "max_connections=100"],
                                        preexec_fn=preexec, stdout=self.log, stderr=subprocess.STDOUT)
        for _ in range(600):
            with open(os.path.join(work, "postgres.log"), "rb") as log:
                if b"ready to accept connections" in log.read():
                    return
            time.sleep(0.1)
        raise SystemExit("PostgreSQL did not start; see " + os.path.join(work, "postgres.log"))

    def url(self, database):
        return f"postgresql:///{database}?host={self.dir}&user=morvalen"

    def create(self, database):
        psql = os.path.join(os.path.dirname(self.process.args[0]), "psql")
        subprocess.run([psql, self.url("postgres"), "-q", "-c", f"CREATE DATABASE {database}"], check=True)

    def stop(self):
        self.process.send_signal(2)  # a fast shutdown
        self.process.wait(timeout=60)
        self.log.close()


def start_server(binary, catalog, database):
    option = "--database" if database.startswith("postgresql:") else "--db"
    server = subprocess.Popen([binary, "--catalog", catalog, "--port", "0", option, database,
                               "--trusted-proxy", "127.0.0.1", "--connections-per-address", "0"],
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    line = server.stdout.readline()
    if "Listening on" not in line:
        raise SystemExit("the server did not start")
    return server, int(line.rsplit(":", 1)[1])


def wrk(port, path, script, clients, seconds, work):
    command = ["wrk", "-t1" if clients < 50 else "-t2", f"-c{clients}", f"-d{seconds}s", "--latency"]
    if script:
        name = os.path.join(work, f"script{port}.lua")
        with open(name, "w") as f:
            f.write(script)
        command += ["-s", name]
    return subprocess.Popen(command + [f"http://127.0.0.1:{port}{path}"], stdout=subprocess.PIPE, text=True)


def parse(output):
    rate = float(re.search(r"Requests/sec:\s+([\d.]+)", output).group(1))
    errors = sum(int(n) for n in re.findall(r"Non-2xx or 3xx responses: (\d+)", output))
    socket = re.search(r"Socket errors: connect (\d+), read (\d+), write (\d+), timeout (\d+)", output)
    if socket:
        errors += sum(int(n) for n in socket.groups())
    p99 = re.search(r"99%\s+([\d.]+)(us|ms|s)", output)
    scale = {"us": 0.001, "ms": 1, "s": 1000}
    return rate, errors, float(p99.group(1)) * scale[p99.group(2)] if p99 else 0.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default=os.environ.get("MORVALEN_BUILD_DIR", "build"))
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--applications", type=int, default=0)
    arguments = parser.parse_args()
    if not shutil.which("wrk"):
        raise SystemExit("wrk is not installed: scripts/deps.sh --bench installs it")
    binary = os.path.join(root, arguments.build, "bin", "morvalen-catalog-server")

    failed = False
    with tempfile.TemporaryDirectory() as work:
        catalog = os.path.join(root, "server", "catalog")
        if arguments.applications:
            catalog = os.path.join(work, "catalog")
            subprocess.run([os.path.join(root, arguments.build, "bin", "morvalen-catalog-generator"),
                            "--applications", str(arguments.applications), "--categories", "12", "--output", catalog],
                           check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(catalog, "catalog.json")) as f:
            ids = re.findall(r'"nid":\s*(\d+)', f.read())
        workloads = [("list", "/xmlcache/whatsnew.xml", None), ("search", "/", SEARCH_SCRIPT),
                     ("rating", "/", RATING_SCRIPT % ", ".join(ids))]
        postgres = Postgres(work)
        try:
            print(f"catalog: {len(ids)} applications; {CLIENTS} clients, {arguments.seconds} s each")
            print(f"{'database':<11}{'instances':>10}{'workload':>10}{'requests/s':>13}{'p99 ms':>9}{'failed':>8}")
            for kind in ("sqlite", "postgresql"):
                for instances in (1, 2):
                    name = f"{kind}{instances}"
                    if kind == "sqlite":
                        database = os.path.join(work, name + ".sqlite")
                    else:
                        postgres.create(name)
                        database = postgres.url(name)
                    servers = [start_server(binary, catalog, database) for _ in range(instances)]
                    try:
                        for workload, path, script in workloads:
                            # One warm-up request each: the list cache, the search index.
                            runs = [wrk(port, path, script, CLIENTS // instances, 1, work) for _, port in servers]
                            for run in runs:
                                run.communicate()
                            runs = [wrk(port, path, script, CLIENTS // instances, arguments.seconds, work)
                                    for _, port in servers]
                            results = [parse(run.communicate()[0]) for run in runs]
                            rate = sum(r[0] for r in results)
                            errors = sum(r[1] for r in results)
                            p99 = max(r[2] for r in results)
                            failed = failed or errors > 0
                            print(f"{kind:<11}{instances:>10}{workload:>10}{rate:>13.0f}{p99:>9.1f}{errors:>8}",
                                  flush=True)
                    finally:
                        for server, _ in servers:
                            server.terminate()
                            server.wait(timeout=30)
        finally:
            postgres.stop()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
