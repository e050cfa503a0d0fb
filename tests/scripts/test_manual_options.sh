#!/usr/bin/env bash
# scripts/check_manual_options.sh on the built programs and their pages, then on stand-ins
# whose help lists an option their page lacks.
#   test_manual_options.sh SCRIPTS_DIR MANUAL_DIR PROGRAM...
set -uo pipefail

scripts=$1
manual=$2
shift 2
check="$scripts/check_manual_options.sh"
failures=0
fail() {
  echo "ÉCHEC : $*" >&2
  failures=$((failures + 1))
}

for program in "$@"; do
  name=$(basename "$program")
  "$check" "$program" "$manual/$name.1" || fail "$name : une option de --help manque à $name.1"
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/page.1" <<'PAGE'
.TH ESSAI 1
.SH OPTIONS
.TP
.BI \-\-port " port"
Le port.
.TP
.BR \-h ", " \-\-help
L'aide.
PAGE
stand_in() {
  printf '#!/bin/sh\nprintf "Usage : essai [options]\\n\\nOptions :\\n%s\\n"\n' "$1" >"$work/essai"
  chmod +x "$work/essai"
}

stand_in '  --port <port>     le port\n  -h, --help        cette aide'
"$check" "$work/essai" "$work/page.1" >/dev/null || fail "une page complète est refusée"
gzip -k "$work/page.1"
"$check" "$work/essai" "$work/page.1.gz" >/dev/null || fail "une page compressée est refusée"

stand_in '  --port <port>     le port\n  --port-serie <p>  un autre\n  -h, --help        cette aide'
out=$("$check" "$work/essai" "$work/page.1" 2>&1) && fail "--port-serie, absente de la page, passe"
case "$out" in
  *"--port-serie"*) ;;
  *) fail "le message ne nomme pas l'option absente : $out" ;;
esac

stand_in '  -v, --version     la version'
"$check" "$work/essai" "$work/page.1" >/dev/null 2>&1 && fail "-v et --version, absentes, passent"

[ "$failures" -eq 0 ] || exit 1
echo "check_manual_options.sh : tous les cas passent"
