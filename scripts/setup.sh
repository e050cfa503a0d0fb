#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: installs the Debian packages the build needs when they
# are missing, then configures and builds incrementally.
#   scripts/setup.sh [plain|asan]...   (default: plain)
# Build folders: build/ (plain, RelWithDebInfo) and build-asan/ (AddressSanitizer + UBSan).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  qt6-qpa-plugins fonts-dejavu-core
)

jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() {
  local flavour=$1 dir args=()
  case "$flavour" in
    plain) dir="$root/build"; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    asan)  dir="$root/build-asan"; args=(-DCMAKE_BUILD_TYPE=Debug -DPLATINE_SANITIZE=ON) ;;
    *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
  esac
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$dir" -G Ninja "${args[@]}"
  fi
  cmake --build "$dir" --parallel "$jobs"
}

ensure_packages "${packages[@]}"
flavours=("$@")
[ ${#flavours[@]} -eq 0 ] && flavours=(plain)
for f in "${flavours[@]}"; do
  configure_and_build "$f"
done
