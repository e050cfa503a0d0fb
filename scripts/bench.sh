#!/usr/bin/env bash
# Benchmarks, not tests (test.sh does not run them):
#  1. builds build-bench/ (Release, -DPLATINE_BENCHMARKS=ON) and runs the Google Benchmark
#     programs: frame encoding, the settings file and the week chart;
#  2. times `platine-cli heure` from process start to the clock frame at a pseudo-terminal's
#     board end, beside printf writing the same frame (medians over 20 runs, and their ratio);
#  3. starts the tool several times under Xvfb and prints the medians of its start-up time to
#     its first window and of its peak memory (resident set size);
#  4. under Xvfb too, times the splash's first painted frame and --no-splash's main window
#     mapped against a bare QApplication + QLabel program started in the same run (bench_startup,
#     medians over 15 runs of each), and prints both ratios.
#   scripts/bench.sh [runs]          (default 7 start-ups)
# Environment: BENCH_ARGS (extra arguments for the benchmark program, e.g.
# --benchmark_filter=write), PLATINE_BENCH_HOLD (seconds a start-up may take before it is
# stopped, default 10).
# The start-up time is what the tool prints on standard error as "startup-ms: <n>" when
# PLATINE_STARTUP_PROBE=1 is set (it then quits by itself); without that line only the memory
# is reported.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
runs=${1:-7}
hold=${PLATINE_BENCH_HOLD:-10}
dir="$root/build-bench"
jobs=$(nproc 2>/dev/null || echo 2)

case "$runs" in
  '' | *[!0-9]* | 0) echo "usage : $0 [démarrages]  (démarrages : un nombre entier >= 1)" >&2; exit 2 ;;
esac

# What the benchmarks need beyond the build packages of setup.sh.
bench_packages=(libbenchmark-dev xvfb xauth time)
ensure_packages "${bench_packages[@]}"

echo "== construction ($dir, Release) =="
if ! cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLATINE_BENCHMARKS=ON \
    -DPLATINE_TESTS=OFF -DPLATINE_WERROR=ON >/dev/null; then
  echo "la configuration a échoué : lancez une fois scripts/setup.sh pour installer les" \
    "paquets de construction" >&2
  exit 1
fi
cmake --build "$dir" --parallel "$jobs" --target platine_bench platine_bench_chart platine \
  bench_cli_clock platine-cli bench_startup bench_bare_window

echo "== mesures de performance =="
# shellcheck disable=SC2086
"$dir/bench/platine_bench" ${BENCH_ARGS:-}
# shellcheck disable=SC2086
"$dir/bench/platine_bench_chart" ${BENCH_ARGS:-}

echo "== platine-cli heure : du lancement à la trame, à côté de printf =="
"$dir/bench/bench_cli_clock" "$dir/src/app/platine-cli" 20

echo "== démarrage : $runs lancements sous Xvfb =="
app="$dir/src/app/platine"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The tool reads param.ini beside itself: it runs from a copy in an empty folder so that every
# start finds the same settings (none).
cp "$app" "$work/platine"

# One X server for all runs, so that its own start-up is not measured.
# shellcheck disable=SC2016  # expanded by the inner shell
inner='
app=$1; runs=$2; hold=$3; work=$4
for i in $(seq 1 "$runs"); do
  PLATINE_STARTUP_PROBE=1 /usr/bin/time -f "%M" -o "$work/rss.$i" \
    timeout -s TERM "$hold" "$app" >/dev/null 2>"$work/err.$i" || true
done
'
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash -c "$inner" bash "$work/platine" "$runs" "$hold" "$work"

median() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR == 0) exit 1
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%g\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

startups=()
rss=()
for i in $(seq 1 "$runs"); do
  ms=$(grep -h '^startup-ms:' "$work/err.$i" 2>/dev/null | head -n 1 | awk '{ print $2 }' || true)
  [ -n "$ms" ] && startups+=("$ms")
  kb=$(grep -E '^[0-9]+$' "$work/rss.$i" 2>/dev/null | tail -n 1 || true)
  [ -n "$kb" ] && rss+=("$kb")
done

if [ ${#startups[@]} -gt 0 ]; then
  echo "démarrage jusqu'à la première fenêtre : médiane $(printf '%s\n' "${startups[@]}" | median) ms" \
    "(${#startups[@]} lancements : ${startups[*]})"
else
  echo "démarrage jusqu'à la première fenêtre : non mesuré : avec PLATINE_STARTUP_PROBE=1," \
    "le logiciel n'a pas écrit de ligne « startup-ms: <n> » (arrêté au bout de ${hold} s)"
  if [ -s "$work/err.1" ]; then
    echo "  sa sortie d'erreur (premier lancement) :"
    sed 's/^/    /' "$work/err.1" | head -n 5
  fi
fi
if [ ${#rss[@]} -gt 0 ]; then
  echo "mémoire maximale (RSS) : médiane $(printf '%s\n' "${rss[@]}" | median) KiB" \
    "(${#rss[@]} lancements : ${rss[*]})"
else
  echo "mémoire maximale : non mesurée (/usr/bin/time n'a donné aucune valeur)"
fi

echo "== démarrage comparé à un programme Qt nu (QApplication + QLabel), sous Xvfb =="
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$dir/bench/bench_startup" "$app" "$dir/bench/bench_bare_window" 15
