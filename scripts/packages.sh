# shellcheck shell=bash
# Sourced by the scripts: the Debian packages the build needs, and ensure_packages NAME...,
# which installs those that are missing with apt-get (through sudo when not root).

# What compiles the programs: the tools, Qt's development files (Qt Widgets needs OpenGL's
# headers) and fontconfig's, which the start loads early (the toolkit's own font library).
# shellcheck disable=SC2034  # used by the scripts that source this file
build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev
  libfontconfig-dev)
# What the programs and their tests need to run: Qt's platform plugins, Qt's own French texts
# and the fonts the windows are measured with.
# shellcheck disable=SC2034
run_packages=(qt6-qpa-plugins qt6-translations-l10n fonts-dejavu-core)
ensure_packages() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Paquets manquants (installez-les en tant que root) : ${missing[*]}" >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Installation des paquets manquants : ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
