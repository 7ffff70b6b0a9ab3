#!/usr/bin/env bash
# Configures and builds into build/ (or $MORVALEN_BUILD_DIR). Extra arguments go to CMake.
# $MORVALEN_BUILD_TARGETS (blank-separated) builds only those targets instead of everything.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${MORVALEN_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${MORVALEN_BUILD_TYPE:-RelWithDebInfo} "$@"
targets=()
for target in ${MORVALEN_BUILD_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
