#!/usr/bin/env bash
# Renders the splash window and each panel arrangement of the main window to
# docs/screenshots/*.png (the pictures of the README):
#   scripts/screenshots.sh
# Same set-up as run.sh (scripts/setup.sh: missing packages, then build/), plus the virtual X
# server. The pictures are taken under Xvfb with the French locale when it is installed
# (fr_FR.UTF-8), else C.UTF-8; the clocks show a fixed moment so that the pictures only change
# when the windows do.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out="$root/docs/screenshots"
jobs=$(nproc 2>/dev/null || echo 2)

"$root/scripts/setup.sh" plain

# What the pictures need beyond the build packages of setup.sh.
shot_packages=(xvfb xauth)
missing=()
for p in "${shot_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "missing packages (install them as root): ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# setup.sh has built everything already; this names what is used here.
cmake --build "$root/build" --parallel "$jobs" --target platine_render_screens
renderer="$root/build/tests/app/platine_render_screens"

lang=C.UTF-8
if locale -a 2>/dev/null | grep -Eqi '^fr_FR\.utf-?8$'; then
  lang=fr_FR.UTF-8
fi

mkdir -p "$out"
echo "== rendering into $out (locale $lang) =="
env -u QT_QPA_PLATFORM LANG="$lang" LC_ALL="$lang" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$renderer" "$out"
