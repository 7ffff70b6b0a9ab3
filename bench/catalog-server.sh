#!/usr/bin/env bash
# Measures morvalen-catalog-server with wrk on loopback: the list files a refresh asks for,
# a category file and a search, over a synthetic catalog. Goal: at least 2,000 requests per
# second for each list file. Run by hand after a build:
#
#   bench/catalog-server.sh [APPLICATIONS] [CATEGORIES] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
applications=${1:-5000}
categories=${2:-12}
seconds=${3:-10}

if ! command -v wrk >/dev/null; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get install -y -q --no-install-recommends wrk
fi

bin=${MORVALEN_BUILD_DIR:-build}/bin
work=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/morvalen-catalog-generator" --applications "$applications" --categories "$categories" --output "$work"
"$bin/morvalen-catalog-server" --catalog "$work" --port 0 --db :memory: >"$work/server.out" 2>/dev/null &
server_pid=$!
for _ in $(seq 100); do
  grep -q Listening "$work/server.out" && break
  sleep 0.1
done
base=$(grep -o 'http://[0-9.:]*' "$work/server.out")
echo "catalog: $applications applications, $categories categories; server at $base"

printf '%-40s %12s %12s\n' path requests/s "<2000?"
for path in /xmlcache/categorylist.xml /xmlcache/whatsnew.xml /xmlcache/recommended.xml \
            /xmlcache/popular.xml /xmlcache/highestrated.xml /xmlcache/category1.xml \
            '/xmlsearch.php?query=%22cloud%20mail%22&action=search'; do
  rate=$(wrk -t2 -c16 -d"${seconds}s" "$base$path" | awk '/Requests\/sec/ {print $2}')
  below=$(awk -v r="$rate" 'BEGIN { print (r < 2000) ? "BELOW GOAL" : "ok" }')
  printf '%-40s %12s %12s\n' "$path" "$rate" "$below"
done
