#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: CTest's emulator for build-windows/.
# scripts/windows.sh --test sets WINEPREFIX (the build's own Wine folder) and its COM ports.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The Wine server may print its object table when a program ends with a device open: noise.
exec wine "$@" 2> >(grep -v -E '^(0x[0-9a-f]+:| +[0-9a-f]{4}: )' >&2)
