#!/usr/bin/env bash
# Installs what is missing, builds incrementally into build/ what it starts (the tool and the
# board simulator, not the tests) and starts the tool.
#   scripts/run.sh [--demo] [arguments for the tool...]
# --demo: tries the tool without a board. The board simulator platine-sim is started on a
# pseudo-terminal, the tool starts with a settings file of its own (in a temporary folder, so
# the user's param.ini is never touched) whose "Port COM" names that pseudo-terminal, and the
# simulator's report of every frame it decodes shows in this terminal. When the tool ends, the
# simulator is stopped and the temporary folder removed.
# Every other argument goes to the tool unchanged.
# Without a display (no DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM or -platform that needs
# none) the tool says so, and the script exits with 2: before building anything once the tool
# has been built, else after building it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

demo=0
args=()
for arg in "$@"; do
  if [ "$arg" = "--demo" ] && [ $demo -eq 0 ]; then
    demo=1
  else
    args+=("$arg")
  fi
done

# Help and version need no display (the tool answers them before opening anything).
only_help=0
if [ ${#args[@]} -gt 0 ]; then
  only_help=1
  for arg in "${args[@]}"; do
    case "$arg" in
      -h | --help | -v | --version) ;;
      *) only_help=0 ;;
    esac
  done
fi

app="$build/src/app/platine"
# The tool says whether it has a display to open its window on (the platform named by
# -platform or QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY), and how to go without one, naming
# this script. Once it is built it is asked first, before anything is built again.
export PLATINE_LAUNCHER=scripts/run.sh
if [ -x "$app" ]; then
  status=0
  PLATINE_DISPLAY_CHECK=1 "$app" "${args[@]+"${args[@]}"}" >/dev/null || status=$?
  if [ "$status" -ne 0 ]; then
    echo "Rien n'a été construit." >&2
    exit "$status"
  fi
fi

"$root/scripts/setup.sh" plain --target platine --target platine-sim

if [ $demo -eq 0 ] || [ $only_help -eq 1 ]; then
  exec "$app" "${args[@]+"${args[@]}"}"
fi

sim="$build/tools/platine-sim"
work=$(mktemp -d "${TMPDIR:-/tmp}/platine-demo.XXXXXX")
sim_pid=
tail_pid=

# shellcheck disable=SC2317  # run by the trap below
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    # The simulator ends on SIGTERM at once; a stuck one is killed after 5 s.
    for _ in $(seq 1 50); do
      kill -0 "$sim_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  if [ -n "$tail_pid" ]; then
    kill "$tail_pid" 2>/dev/null || true
    wait "$tail_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

log="$work/platine-sim.log"
"$sim" --quiet >"$log" 2>&1 &
sim_pid=$!

# Its first line names the pseudo-terminal: "Port : /dev/pts/N".
device=
for _ in $(seq 1 100); do
  line=$(head -n 1 "$log" 2>/dev/null || true)
  case "$line" in
    "Port : "*) device=${line#"Port : "}; break ;;
  esac
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    break
  fi
  sleep 0.1
done
if [ -z "$device" ]; then
  echo "Le simulateur de la platine n'a pas démarré :" >&2
  sed 's/^/  /' "$log" >&2 || true
  exit 1
fi

settings="$work/param.ini"
printf '[Port COM]\r\nvaleur=%s\r\n' "$device" >"$settings"

echo "Démonstration sans platine : simulateur sur $device (Port COM déjà réglé)."
echo "Les trames reçues par le simulateur s'affichent ici."
tail -n +2 -f --pid="$sim_pid" "$log" &
tail_pid=$!

status=0
PLATINE_PEER="simulateur platine-sim" "$app" --settings "$settings" --no-splash \
  "${args[@]+"${args[@]}"}" || status=$?
exit "$status"
