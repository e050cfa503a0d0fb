#!/usr/bin/env bash
# Installs what is missing, builds incrementally into build/ and starts the tool.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" plain
exec "$root/build/src/app/platine" "$@"
