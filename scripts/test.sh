#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine: installs what is missing, builds with
# warnings as errors, runs every test and the fuzz harnesses, then runs the core tests once
# more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

export QT_QPA_PLATFORM=offscreen
# The web engine's own sandbox cannot start as root; tests only.
export QTWEBENGINE_DISABLE_SANDBOX=1

# Optimised as shipped, but without debug information (that alone costs a third of the
# compile time), and with each target's files compiled as one unit (the Qt and test headers
# are then read once per target, not once per file): the suite has to fit its time on two
# cores.
unity=(-DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=0)
MORVALEN_BUILD_DIR=build MORVALEN_BUILD_TYPE=Release scripts/build.sh -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DMORVALEN_WERROR=ON -DMORVALEN_BUILD_TESTS=ON -DMORVALEN_BUILD_BENCH=ON "${unity[@]}"
# Tests that need a real window system (window placement, focus, the second engine) use an X
# server of their own with a window manager, named in MORVALEN_TEST_X11_DISPLAY; the rest run
# offscreen.
x_pids=()
stop_x() { [ ${#x_pids[@]} -eq 0 ] || kill "${x_pids[@]}" 2>/dev/null || true; }
trap stop_x EXIT
# Starts an Xvfb and sets display_number to its display (empty when it did not come up).
start_xvfb() {
  exec {display_fd}<> <(:)
  Xvfb -displayfd "$display_fd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  x_pids+=($!)
  read -r -t 10 display_number <&"$display_fd" || display_number=
  exec {display_fd}>&-
}
if command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
  start_xvfb
  if [ -n "$display_number" ]; then
    DISPLAY=":$display_number" openbox >/dev/null 2>&1 &
    x_pids+=($!)
    export MORVALEN_TEST_X11_DISPLAY=":$display_number"
  fi
fi

# Tests of the program as a native Wayland client use a weston of their own, named in
# MORVALEN_TEST_WAYLAND_DISPLAY (the socket's path), with a runtime folder of its own. Its
# headless backend has no seat, and without one weston never activates a window: the X11
# backend, on an X server of its own (not the one above, whose focus other tests watch), gives
# it a keyboard.
if command -v weston >/dev/null && command -v Xvfb >/dev/null; then
  start_xvfb
  wayland_runtime=$(mktemp -d /tmp/morvalen-wayland-XXXXXX)
  chmod 700 "$wayland_runtime"
  if [ -n "$display_number" ]; then
    DISPLAY=":$display_number" XDG_RUNTIME_DIR="$wayland_runtime" weston --backend=x11-backend.so \
      --socket=morvalen-test --idle-time=0 --width=1280 --height=1024 >/dev/null 2>&1 &
    x_pids+=($!)
    for _ in $(seq 100); do
      [ -S "$wayland_runtime/morvalen-test" ] && break
      sleep 0.05
    done
    if [ -S "$wayland_runtime/morvalen-test" ]; then
      export MORVALEN_TEST_WAYLAND_DISPLAY="$wayland_runtime/morvalen-test"
    fi
  fi
fi

ctest --test-dir build --output-on-failure --parallel "$(nproc)"

# Every libFuzzer harness over its seed corpus and a few seconds more (set
# MORVALEN_SKIP_FUZZ=1 to leave it out; scripts/fuzz.sh SECONDS runs longer).
if [ "${MORVALEN_SKIP_FUZZ:-0}" != 1 ]; then
  MORVALEN_BUILD_DIR=build MORVALEN_FUZZ_JOBS=$(nproc) scripts/fuzz.sh "${MORVALEN_FUZZ_SECONDS:-4}"
fi

if [ "${MORVALEN_SKIP_SANITIZERS:-0}" != 1 ]; then
  MORVALEN_BUILD_DIR=build-sanitize MORVALEN_BUILD_TYPE=Debug scripts/build.sh \
    -DMORVALEN_WERROR=ON -DMORVALEN_BUILD_TESTS=ON -DMORVALEN_SANITIZE=ON -DMORVALEN_BUILD_GUI=OFF "${unity[@]}"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure --parallel "$(nproc)" -L core
fi
