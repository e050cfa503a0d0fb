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

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core
)

jobs=$(nproc 2>/dev/null || echo 2)

# Seconds one source file takes to compile on one core, on average (measured: the first build
# of the tool and the simulator, 55 files).
seconds_per_file=11

# Minutes a first build took on a machine with 2 cores, without a compiler cache: the tool and
# the simulator alone, and everything (the tests too) in each build folder.
first_build_minutes() {
  local flavour=$1 minutes
  if [ ${#targets[@]} -gt 0 ]; then
    minutes=5
  elif [ "$flavour" = asan ]; then
    minutes=14
  else
    minutes=12
  fi
  minutes=$(((minutes * 2 + jobs - 1) / jobs))
  [ "$minutes" -lt 1 ] && minutes=1
  echo "$minutes"
}

configure_and_build() {
  local flavour=$1 dir args=()
  case "$flavour" in
    plain) dir="$root/build"; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan)  dir="$root/build-asan"; args=(-DCMAKE_BUILD_TYPE=Debug -DPLATINE_SANITIZE=ON) ;;
  esac
  if command -v ccache >/dev/null 2>&1; then
    args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  local first=0
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    first=1
    echo "Première construction dans ${dir#"$root/"}/ : compter environ" \
      "$(first_build_minutes "$flavour") minutes ($jobs cœurs) ; les suivantes ne recompilent" \
      "que ce qui a changé."
    cmake -S "$root" -B "$dir" -G Ninja "${args[@]}"
  fi
  local build_args=(--parallel "$jobs") pending minutes
  [ ${#targets[@]} -gt 0 ] && build_args+=(--target "${targets[@]}")
  if [ "$first" -eq 0 ]; then
    # A folder built before may still have much to compile (new targets, a big update).
    pending=$(cmake --build "$dir" "${build_args[@]}" -- -n 2>/dev/null | grep -c 'Building CXX') ||
      true
    minutes=$(((pending * seconds_per_file / jobs + 59) / 60))
    if [ "$minutes" -ge 2 ]; then
      echo "$pending fichiers à compiler dans ${dir#"$root/"}/ : compter environ $minutes minutes."
    fi
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

ensure_packages "${packages[@]}"
for f in "${flavours[@]}"; do
  configure_and_build "$f"
done
