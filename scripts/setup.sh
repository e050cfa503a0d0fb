#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: installs the Debian packages the build needs when they
# are missing, then configures and builds incrementally.
#   scripts/setup.sh [plain|asan]...   (default: plain)
# Build folders: build/ (plain, RelWithDebInfo) and build-asan/ (AddressSanitizer + UBSan).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev
  qt6-qpa-plugins fonts-dejavu-core libbenchmark-dev
)

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

install_missing() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Paquets manquants (installez-les en tant que root) : $missing" >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Installing missing packages: $missing"
  # shellcheck disable=SC2086
  "${sudo[@]}" apt-get update -qq
  # shellcheck disable=SC2086
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

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

install_missing
flavours=("$@")
[ ${#flavours[@]} -eq 0 ] && flavours=(plain)
for f in "${flavours[@]}"; do
  configure_and_build "$f"
done
