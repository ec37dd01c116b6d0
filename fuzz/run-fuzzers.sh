#!/usr/bin/env bash
# Builds every fuzz target with clang (libFuzzer + ASan + UBSan) into
# build-fuzz and runs each one for a fixed, short budget.
#   LUMOX_FUZZ_SECONDS   time per target (default 30)
#   LUMOX_FUZZ_RUNS      cap on inputs per target (default 2000000)
#   LUMOX_JOBS           build parallelism (default: number of CPUs)
# Exits non-zero when a target finds a crash; the reproducer is left in
# build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${LUMOX_FUZZ_SECONDS:-30}
runs=${LUMOX_FUZZ_RUNS:-2000000}
jobs=${LUMOX_JOBS:-$(nproc)}
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMOX_BUILD_FUZZ=ON -DLUMOX_BUILD_TESTS=OFF -DLUMOX_BUILD_BENCH=OFF \
  -DLUMOX_BUILD_HOSTS=OFF \
  -DLUMOX_SANITIZE=address,undefined \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" --target fuzzers -j "$jobs"

# A fuzz source that fuzz/CMakeLists.txt does not list yet is only noted.
for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  grep -qx "$name" "$build/fuzz/targets.txt" || echo "== $name: not listed in fuzz/CMakeLists.txt, skipped" >&2
done

failed=0
while read -r target; do
  [ -n "$target" ] || continue
  binary="$build/fuzz/$target"
  [ -x "$binary" ] || { echo "== $target: not built" >&2; failed=1; continue; }
  # Work on a copy of the seeds so the committed corpus stays small.
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  if [ -d "fuzz/corpus/$target" ]; then cp -n "fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true; fi
  echo "== $target: ${seconds}s or $runs runs"
  if "$binary" "$corpus" -max_total_time="$seconds" -runs="$runs" \
       -artifact_prefix="$findings/" -print_final_stats=1 </dev/null 2>"$build/$target.log"; then
    tail -n 3 "$build/$target.log"
  else
    tail -n 40 "$build/$target.log" >&2
    echo "== $target: FAILED (reproducer in $findings/)" >&2
    failed=1
  fi
done <"$build/fuzz/targets.txt"
exit "$failed"
