#!/usr/bin/env bash
# scripts/run.sh asks the built tool whether there is a display before building, then builds
# only the tool and the simulator. It runs from a copy beside a stand-in setup.sh that records
# its arguments, and a stand-in tool that passes the display question to the real tool and
# records the arguments of any other start, so nothing is built or opened.
#   test_run_script.sh SCRIPTS_FOLDER PLATINE
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts" "$work/build/src/app"
cp "$1/run.sh" "$work/scripts/run.sh"
cat >"$work/scripts/setup.sh" <<STUB
#!/bin/sh
echo "\$*" >"$work/setup"
STUB
chmod +x "$work/scripts/setup.sh"
cat >"$work/build/src/app/platine" <<STUB
#!/bin/sh
if [ "\$PLATINE_DISPLAY_CHECK" = 1 ]; then exec "$2" "\$@"; fi
echo "\$*" >"$work/tool"
STUB
chmod +x "$work/build/src/app/platine"
failures=0

# check WHAT STATUS TOOL_ARGUMENTS VARIABLES... -- ARGUMENTS...
check() {
  local what=$1 status=$2 tool=$3 variables=() got
  shift 3
  while [ "$1" != -- ]; do variables+=("$1"); shift; done
  shift
  rm -f "$work/setup" "$work/tool"
  env -i PATH="$PATH" "${variables[@]+"${variables[@]}"}" bash "$work/scripts/run.sh" "$@" \
    >/dev/null 2>"$work/err"
  got=$?
  if [ "$status" -eq 2 ]; then
    [ "$got" -eq 2 ] && [ ! -e "$work/setup" ] &&
      grep -q '« xvfb-run scripts/run.sh »' "$work/err" && grep -q '« ssh -X »' "$work/err" &&
      return 0
  else
    [ "$got" -eq 0 ] && [ "$(cat "$work/tool")" = "$tool" ] &&
      [ "$(cat "$work/setup")" = "plain --target platine --target platine-sim" ] && return 0
  fi
  echo "FAIL: $what (status $got): $(cat "$work/err" "$work/setup" "$work/tool" 2>/dev/null)" >&2
  failures=$((failures + 1))
}

check "no display" 2 "" --
check "xcb, Wayland only" 2 "" QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=w --
check "-platform xcb wins" 2 "" QT_QPA_PLATFORM=offscreen -- -platform xcb
check "--demo, no display" 2 "" -- --demo
check "X11" 0 "--no-splash" DISPLAY=:9 -- --no-splash
check "offscreen" 0 "" QT_QPA_PLATFORM=offscreen --
check "-platform offscreen" 0 "-platform offscreen" -- -platform offscreen
check "--version, no display" 0 "--version" -- --demo --version
[ "$failures" -eq 0 ]
