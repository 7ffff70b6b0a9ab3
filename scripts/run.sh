#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program. Arguments go to the program.
#
# The program reads its catalog from http://127.0.0.1:8370. When nothing answers there, this
# starts morvalen-catalog-server with the sample catalog first and stops it again when the
# program ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The build of scripts/test.sh (same folder, type and flags), so that neither throws away
# what the other compiled; only the program and the catalog server are built here.
MORVALEN_BUILD_DIR=build MORVALEN_BUILD_TYPE=Release \
  MORVALEN_BUILD_TARGETS="morvalen-desktop morvalen-catalog-server" \
  scripts/build.sh -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DMORVALEN_WERROR=ON \
  -DMORVALEN_BUILD_TESTS=ON -DMORVALEN_BUILD_BENCH=ON -DCMAKE_UNITY_BUILD=ON \
  -DCMAKE_UNITY_BUILD_BATCH_SIZE=0 >/dev/null

host=127.0.0.1
port=8370

answers() {
  (exec 3<>"/dev/tcp/$host/$port") 2>/dev/null
}

server_pid=
stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
}
trap stop_server EXIT

if ! answers; then
  build/bin/morvalen-catalog-server --catalog server/catalog --bind "$host" --port "$port" >/dev/null &
  server_pid=$!
  for _ in $(seq 100); do
    answers && break
    if ! kill -0 "$server_pid" 2>/dev/null; then
      echo "run.sh: the catalog server did not start" >&2
      server_pid=
      exit 1
    fi
    sleep 0.1
  done
fi

status=0
build/bin/morvalen-desktop "--catalog-server=http://$host:$port" "$@" || status=$?
exit "$status"
