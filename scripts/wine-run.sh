#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: CTest's emulator for build-windows/.
# scripts/windows.sh --test sets WINEPREFIX (the build's own Wine folder) and its COM ports.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Without a console, Qt Test writes its report to the debugger instead of standard output. Wine
# hands QT_* variables to Windows programs only under the name WINEQT_*.
export WINEQT_FORCE_STDERR_LOGGING=1
# The Wine server may print its object table when a program ends with a device open: noise.
exec wine "$@" 2> >(grep -v -E '^(0x[0-9a-f]+:| +[0-9a-f]{4}: )' >&2)
