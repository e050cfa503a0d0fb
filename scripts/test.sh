#!/usr/bin/env bash
# Installs what is missing, builds the plain and the sanitizer configurations and runs every
# test of both through CTest.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" plain asan
# Tests only: faketime puts the PC clock in another century for platine-cli.
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
ensure_packages faketime

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}

status=0
echo "== tests de la construction ordinaire (build/) =="
ctest --test-dir "$root/build" --output-on-failure --parallel "$jobs" || status=1
echo "== tests de la construction avec contrôles mémoire (build-asan/, ASan + UBSan) =="
ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$jobs" || status=1
if [ $status -eq 0 ]; then
  echo "Tous les tests ont réussi."
else
  echo "Des tests ont échoué (voir ci-dessus)." >&2
fi
exit $status
