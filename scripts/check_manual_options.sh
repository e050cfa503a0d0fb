#!/usr/bin/env bash
# Checks that every option a program lists in its --help appears in its manual page:
#   scripts/check_manual_options.sh PROGRAM PAGE
# PAGE is the page's source (man macros), plain or compressed with gzip. The options are the
# long ones ("--port") wherever the help names them, and the short ones ("-h") in the first
# column of the lines that start with "-" (before the description, at least two spaces away).
# Prints each option missing from the page and fails when there is one.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage : $0 PROGRAMME PAGE" >&2
  exit 2
fi
program=$1
page=$2

help=$("$program" --help 2>&1) || {
  echo "$program --help a échoué" >&2
  exit 1
}
case "$page" in
  *.gz) text=$(zcat -- "$page") ;;
  *) text=$(cat -- "$page") ;;
esac
# The page as read: "\-" is a dash, font changes and zero-width marks are not there.
text=$(printf '%s\n' "$text" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\&//g')

# Long options wherever the help names them (in a command's synopsis too); short ones in the
# first column of the option lines.
long=$(printf '%s\n' "$help" | grep -oE '(^|[^A-Za-z0-9-])--[A-Za-z0-9][A-Za-z0-9-]*' |
  sed 's/^[^-]*//') || true
short=$(printf '%s\n' "$help" |
  sed -n 's/^[[:space:]]*\(-.*\)$/\1/p' |
  sed 's/[[:space:]]\{2,\}.*//' |
  grep -oE '(^|[ ,|])-[A-Za-z0-9]([^A-Za-z0-9-]|$)' |
  grep -oE -- '-[A-Za-z0-9]') || true
options=$(printf '%s\n%s\n' "$long" "$short" | grep -v '^$' | sort -u) || true

if [ -z "$options" ]; then
  echo "$program --help ne liste aucune option" >&2
  exit 1
fi
missing=0
for option in $options; do
  # From a here-string: grep -q stops at the first match, which would break a pipe.
  if ! grep -qE -- "(^|[^A-Za-z0-9-])${option}($|[^A-Za-z0-9-])" <<<"$text"; then
    echo "$(basename "$program") : l'option $option de --help manque à la page de manuel $(basename "$page")" >&2
    missing=$((missing + 1))
  fi
done
if [ "$missing" -gt 0 ]; then
  exit 1
fi
echo "$(basename "$program") : les $(printf '%s\n' "$options" | wc -l) options de --help sont dans $(basename "$page")"
