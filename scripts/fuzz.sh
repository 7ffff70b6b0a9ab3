#!/usr/bin/env bash
# Builds the libFuzzer harnesses (fuzz/) with clang against the main build's libraries, then
# runs each over its seed corpus in fuzz/corpus/ and for SECONDS more (default 5). Any crash,
# leak, time-out or allocation beyond the limit fails the script; the input that caused it is
# kept in build-fuzz/crashes/ (commit it to the harness's corpus with the fix).
# MORVALEN_FUZZ_JOBS harnesses run at once (default 1).
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
main=${MORVALEN_BUILD_DIR:-build}
out=${MORVALEN_FUZZ_BUILD_DIR:-build-fuzz}

if [ ! -f "$main/source/libmorvalen_core.a" ] || [ ! -f "$main/server/libmorvalen_catalog_site.a" ]; then
  echo "fuzz.sh: build the program first (scripts/build.sh into $main)" >&2
  exit 1
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S fuzz -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DMORVALEN_MAIN_BUILD="$PWD/$main" "${launcher[@]}" >/dev/null
cmake --build "$out" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$out/crashes"

# Runs one harness; its log ends with libFuzzer's statistics, and "$out/NAME.result" says how it went.
run_harness() {
  local name=$1 seeds="fuzz/corpus/$1/" work="$out/corpus/$1"
  mkdir -p "$work"
  if "$out/fuzz_$name" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
       -malloc_limit_mb=96 -print_final_stats=1 -artifact_prefix="$out/crashes/$name-" >"$out/$name.log" 2>&1; then
    echo ok >"$out/$name.result"
  else
    echo FAILED >"$out/$name.result"
  fi
}
export -f run_harness
export out seconds

names=()
for seeds in fuzz/corpus/*/; do
  names+=("$(basename "$seeds")")
done
rm -f "$out"/*.result
printf '%s\n' "${names[@]}" | xargs -P "${MORVALEN_FUZZ_JOBS:-1}" -I{} bash -c 'run_harness "$1"' _ {}

failed=()
printf '%-28s %14s %10s\n' harness executions result
for name in "${names[@]}"; do
  result=$(cat "$out/$name.result" 2>/dev/null || echo FAILED)
  [ "$result" = ok ] || failed+=("$name")
  executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$out/$name.log" | tail -1)
  printf '%-28s %14s %10s\n' "$name" "${executions:-?}" "$result"
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz.sh: failed: ${failed[*]} (see $out/NAME.log and $out/crashes/)" >&2
  exit 1
fi
