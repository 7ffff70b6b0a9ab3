#!/usr/bin/env python3
"""Measures morvalen-catalog-server under idle, slow and abusive clients, on loopback only.

    bench/catalog-server-abuse.py [BUILD_DIR]

1. 500 idle connections and 500 half-sent requests stay open (from ten loopback addresses
   each, under the server's per-address limit); a normal request must be answered in 100 ms.
2. A burst of 20,000 requests from 50 concurrent keep-alive clients: none may fail, the
   slowest must be answered in 1 s.
3. A request with 100,000 headers must get a 4xx, and the server's resident memory must
   return within 10 % of where it stood.
Every loop is bounded; the script prints its figures and exits 1 when a goal is missed.
"""
import http.client
import os
import re
import socket
import subprocess
import sys
import tempfile
import threading
import time

build = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("MORVALEN_BUILD_DIR", "build")
root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
binary = os.path.join(root, build, "bin", "morvalen-catalog-server")
catalog = os.path.join(root, "server", "catalog")
PATH = "/xmlcache/whatsnew.xml"


def rss_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        return int(re.search(r"VmRSS:\s+(\d+)", status.read()).group(1))


def connect(port, source):
    s = socket.create_connection(("127.0.0.1", port), timeout=10, source_address=(source, 0))
    return s


def timed_get(port, source="127.0.0.1"):
    start = time.perf_counter()
    s = connect(port, source)
    s.sendall(f"GET {PATH} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n".encode())
    data = b""
    while True:
        chunk = s.recv(65536)
        if not chunk:
            break
        data += chunk
    s.close()
    return time.perf_counter() - start, data.split(b" ", 2)[1] if data else b"none"


def main():
    failures = []
    with tempfile.TemporaryDirectory() as work:
        server = subprocess.Popen([binary, "--catalog", catalog, "--port", "0", "--db", ":memory:"],
                                  stdout=subprocess.PIPE, text=True)
        try:
            line = server.stdout.readline()
            port = int(line.rsplit(":", 1)[1])
            timed_get(port)  # draws nothing, but warms the list cache

            # 1. Idle and half-sent connections.
            held = []
            for i in range(500):
                held.append(connect(port, f"127.0.0.{2 + i % 10}"))
            for i in range(500):
                s = connect(port, f"127.0.0.{12 + i % 10}")
                s.sendall(b"GET /xmlcache/popular.xml HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ")
                held.append(s)
            time.sleep(0.5)
            samples = [timed_get(port) for _ in range(20)]
            worst = max(t for t, _ in samples)
            statuses = {status for _, status in samples}
            print(f"with 500 idle + 500 half-sent connections: slowest of 20 requests {worst * 1000:.1f} ms, "
                  f"statuses {sorted(s.decode() for s in statuses)}")
            if worst > 0.1 or statuses != {b"200"}:
                failures.append("normal request beside idle clients")
            for s in held:
                s.close()

            # 2. The burst.
            total, clients = 20000, 50
            latencies = []
            failed = [0]
            lock = threading.Lock()

            def client(count):
                connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
                mine = []
                for _ in range(count):
                    start = time.perf_counter()
                    try:
                        connection.request("GET", PATH)
                        response = connection.getresponse()
                        response.read()
                        ok = response.status == 200
                    except (OSError, http.client.HTTPException):
                        ok = False
                        connection.close()
                        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
                    mine.append(time.perf_counter() - start)
                    if not ok:
                        with lock:
                            failed[0] += 1
                connection.close()
                with lock:
                    latencies.extend(mine)

            start = time.perf_counter()
            threads = [threading.Thread(target=client, args=(total // clients,)) for _ in range(clients)]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
            elapsed = time.perf_counter() - start
            print(f"burst of {total} requests, {clients} clients: {elapsed:.1f} s, {failed[0]} failed, "
                  f"slowest {max(latencies) * 1000:.1f} ms, {total / elapsed:.0f} requests/s")
            if failed[0] or max(latencies) > 1.0:
                failures.append("burst")

            # 3. 100,000 headers.
            before = rss_kb(server.pid)
            request = (f"GET {PATH} HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                       "".join(f"X-{i}: v\r\n" for i in range(100000)) + "\r\n").encode()
            s = connect(port, "127.0.0.1")
            try:
                s.sendall(request)
            except OSError:
                pass  # the server may answer and close before it has read everything
            answer = b""
            try:
                while True:
                    chunk = s.recv(65536)
                    if not chunk:
                        break
                    answer += chunk
            except OSError:
                pass
            s.close()
            status = answer.split(b" ", 2)[1].decode() if answer else "none"
            time.sleep(0.5)
            after = rss_kb(server.pid)
            print(f"100,000 headers: status {status}; memory {before} kB before, {after} kB after")
            if not status.startswith("4") or after > before * 1.1:
                failures.append("many headers")
        finally:
            server.terminate()
            server.wait(timeout=30)
    if failures:
        print("MISSED:", ", ".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
