#!/usr/bin/env bash
# scripts/run.sh checks for a display before it builds anything, and then builds only the tool
# and the simulator. It runs here from a copy beside a stand-in setup.sh (which records how it
# was called and leaves a stand-in tool that records its arguments), so nothing is built.
#   test_run_script.sh SCRIPTS_FOLDER
set -uo pipefail

scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scripts"
cp "$scripts/run.sh" "$work/scripts/run.sh"
cat >"$work/scripts/setup.sh" <<'STUB'
#!/usr/bin/env bash
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
echo "$*" >"$root/setup-called"
mkdir -p "$root/build/src/app"
printf '#!/bin/sh\necho "$*" >"%s/tool-called"\n' "$root" >"$root/build/src/app/platine"
chmod +x "$root/build/src/app/platine"
STUB
chmod +x "$work/scripts/setup.sh"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run NAME=value... -- ARGUMENTS...: runs the copy with only these variables (and PATH).
run() {
  local variables=()
  while [ "$1" != -- ]; do
    variables+=("$1")
    shift
  done
  shift
  rm -f "$work/setup-called" "$work/tool-called" "$work/err"
  env -i PATH="$PATH" "${variables[@]+"${variables[@]}"}" bash "$work/scripts/run.sh" "$@" \
    >/dev/null 2>"$work/err"
}

expect_refused() {
  local what=$1 status
  shift
  run "$@"
  status=$?
  [ "$status" -eq 2 ] || fail "$what: exit status $status, not 2"
  [ -e "$work/setup-called" ] && fail "$what: it built before checking the display"
  grep -q 'Aucun affichage graphique' "$work/err" || fail "$what: no French message"
  grep -q '« xvfb-run scripts/run.sh »' "$work/err" || fail "$what: xvfb-run not named"
  grep -q '« ssh -X »' "$work/err" || fail "$what: ssh -X not named"
}

expect_started() {
  local what=$1 arguments=$2 status
  shift 2
  run "$@"
  status=$?
  [ "$status" -eq 0 ] || fail "$what: exit status $status: $(cat "$work/err")"
  [ "$(cat "$work/setup-called" 2>/dev/null)" = "plain --target platine --target platine-sim" ] ||
    fail "$what: setup.sh called with '$(cat "$work/setup-called" 2>/dev/null)'"
  [ "$(cat "$work/tool-called" 2>/dev/null)" = "$arguments" ] ||
    fail "$what: the tool got '$(cat "$work/tool-called" 2>/dev/null)', not '$arguments'"
}

expect_refused "empty environment" --
expect_refused "xcb without DISPLAY" QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY=wayland-0 --
expect_refused "-platform xcb without DISPLAY" QT_QPA_PLATFORM=offscreen -- -platform xcb
expect_refused "--demo without a display" -- --demo
run QT_QPA_PLATFORM=xcb --
grep -q 'la plateforme graphique choisie' "$work/err" ||
  fail "xcb without DISPLAY: the chosen platform is not named"

expect_started "X11" "--no-splash" DISPLAY=:99 -- --no-splash
expect_started "Wayland" "" WAYLAND_DISPLAY=wayland-0 --
expect_started "offscreen" "" QT_QPA_PLATFORM=offscreen --
expect_started "list falling back on xcb" "" "QT_QPA_PLATFORM=wayland;xcb" DISPLAY=:0 --
expect_started "-platform offscreen" "-platform offscreen" -- -platform offscreen
expect_started "help without a display" "--help" -- --help
expect_started "version without a display, even with --demo" "--version" -- --demo --version

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "run.sh: display check and targets as expected"
