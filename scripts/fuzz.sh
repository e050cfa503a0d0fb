#!/usr/bin/env bash
# Coverage-guided fuzzing (clang's libFuzzer) of the profile reader and writer and of the
# program file mapping; not run by test.sh. Builds build-fuzz/ (clang 14, AddressSanitizer,
# UBSan, libFuzzer) and runs platine_profile_fuzzer for a fixed number of executions over the
# seed corpus tests/fuzz/corpus/. The inputs it finds go to build-fuzz/corpus/ (kept for the
# next run), an input that fails a check to build-fuzz/crashes/, the whole output to
# build-fuzz/fuzz.log.
#   scripts/fuzz.sh [RUNS]     (default 200000 executions)
# Environment: FUZZ_ARGS (more libFuzzer options, e.g. -seed=1 or -max_len=8192).
# The last line printed sums the run up; the exit status is 0 only when it ran clean.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
runs=${1:-200000}
dir="$root/build-fuzz"
jobs=$(nproc 2>/dev/null || echo 2)

case "$runs" in
  '' | *[!0-9]* | 0) echo "usage: $0 [RUNS]  (RUNS: a whole number >= 1)" >&2; exit 2 ;;
esac

# The build packages of setup.sh, clang 14 and its runtime libraries (libFuzzer, sanitizers).
ensure_packages "${build_packages[@]}" clang-14 libclang-rt-14-dev

if [ ! -f "$dir/CMakeCache.txt" ]; then
  launcher=()
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DPLATINE_SANITIZE=ON -DPLATINE_FUZZ=ON -DPLATINE_WERROR=ON "${launcher[@]}"
fi
cmake --build "$dir" --parallel "$jobs" --target platine_profile_fuzzer

corpus="$dir/corpus"
crashes="$dir/crashes"
log="$dir/fuzz.log"
mkdir -p "$corpus" "$crashes"
# A smaller quarantine than the default lets freed memory be reused sooner: the target
# allocates a lot, and fresh pages cost more than the checks.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}
export LC_ALL=C.UTF-8
# Every write of the file functions is flushed to disk; the target's scratch files go to a
# folder in memory when there is one.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

# The first folder receives the new inputs; the seed corpus is only read.
start=$(date +%s)
status=0
# shellcheck disable=SC2086  # FUZZ_ARGS holds several options
"$dir/tests/fuzz/platine_profile_fuzzer" -runs="$runs" -timeout=20 -print_final_stats=1 \
  -dict="$root/tests/fuzz/profile.dict" -artifact_prefix="$crashes/" ${FUZZ_ARGS:-} \
  "$corpus" "$root/tests/fuzz/corpus" >"$log" 2>&1 || status=$?
seconds=$(($(date +%s) - start))

executions=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -n 1 || true)
if [ "$status" -eq 0 ]; then
  echo "fuzz: ${executions:-$runs} executions in ${seconds} s, clean (${coverage:-no coverage line})"
else
  tail -n 40 "$log" >&2
  crash=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
  saved=""
  [ -n "$crash" ] && saved=", input saved in $crash (repeat: $dir/tests/fuzz/platine_profile_fuzzer $crash)"
  echo "fuzz: NOT clean: stopped after ${executions:-?} executions in ${seconds} s" \
    "(exit status $status)$saved; see $log" >&2
fi
exit "$status"
