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
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
out="$root/docs/screenshots"

"$root/scripts/setup.sh" plain --target platine_render_screens

# What the pictures need beyond the build packages of setup.sh.
shot_packages=(xvfb xauth)
ensure_packages "${shot_packages[@]}"

renderer="$root/build/tests/app/platine_render_screens"

lang=C.UTF-8
if locale -a 2>/dev/null | grep -Eqi '^fr_FR\.utf-?8$'; then
  lang=fr_FR.UTF-8
fi

mkdir -p "$out"
echo "== images dans $out (locale $lang) =="
env -u QT_QPA_PLATFORM LANG="$lang" LC_ALL="$lang" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$renderer" "$out"

# At 200 % on a 1920×1080 screen: the windows as they open there (*_200.png). Qt's offscreen
# screen of that size, with the same fonts.
echo "== images à 200 % (1920×1080) dans $out =="
env LANG="$lang" LC_ALL="$lang" QT_SCALE_FACTOR=2 \
  QT_QPA_PLATFORM="offscreen:configfile=$root/tests/app/screen_1920x1080.json" \
  "$renderer" "$out" 200
