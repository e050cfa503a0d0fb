#!/usr/bin/env bash
# Shared set-up for run.sh, test.sh and screenshots.sh: installs the Debian packages the build
# needs when they are missing, then configures and builds incrementally.
#   scripts/setup.sh [plain|asan]... [--target NAME]...
# Build folders: build/ (plain, RelWithDebInfo) and build-asan/ (AddressSanitizer + UBSan);
# default: plain. --target builds only the named targets (run.sh: the tool and the simulator)
# instead of everything, tests included.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"

jobs=$(nproc 2>/dev/null || echo 2)

# Seconds of one core a source file takes to compile, on average: 3 to 4 measured on an idle
# machine; a slower or busy one takes up to 10 (a first full build of over 10 minutes on 2
# cores has been seen).
file_seconds_low=4
file_seconds_high=10

configure_and_build() {
  local flavour=$1 dir args=()
  case "$flavour" in
    plain) dir="$root/build"; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan)  dir="$root/build-asan"; args=(-DCMAKE_BUILD_TYPE=Debug -DPLATINE_SANITIZE=ON) ;;
  esac
  # Developer builds treat warnings as errors (the package build does not).
  args+=(-DPLATINE_WERROR=ON)
  if command -v ccache >/dev/null 2>&1; then
    args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    echo "Première construction dans ${dir#"$root/"}/ : elle prend quelques minutes ; les" \
      "suivantes ne recompilent que ce qui a changé."
    cmake -S "$root" -B "$dir" -G Ninja "${args[@]}"
  fi
  local build_args=(--parallel "$jobs") pending low high
  [ ${#targets[@]} -gt 0 ] && build_args+=(--target "${targets[@]}")
  # What is left to compile: all of it the first time, much after new targets or an update.
  pending=$(cmake --build "$dir" "${build_args[@]}" -- -n 2>/dev/null | grep -c 'Building CXX') ||
    true
  low=$(((pending * file_seconds_low / jobs + 59) / 60))
  high=$(((pending * file_seconds_high / jobs + 59) / 60))
  if [ "$high" -ge 2 ]; then
    echo "$pending fichiers à compiler dans ${dir#"$root/"}/ : compter $low à $high minutes" \
      "($jobs cœurs)."
  fi
  cmake --build "$dir" "${build_args[@]}"
}

flavours=()
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    plain | asan) flavours+=("$1") ;;
    --target)
      if [ $# -lt 2 ]; then
        echo "--target demande le nom d'une cible." >&2
        exit 2
      fi
      targets+=("$2")
      shift
      ;;
    *)
      echo "Argument inconnu : $1 (attendu : plain, asan ou --target NOM)." >&2
      exit 2
      ;;
  esac
  shift
done
[ ${#flavours[@]} -eq 0 ] && flavours=(plain)

ensure_packages "${build_packages[@]}" "${run_packages[@]}"
for f in "${flavours[@]}"; do
  configure_and_build "$f"
done
