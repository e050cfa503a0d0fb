# shellcheck shell=bash
# Sourced by the scripts: ensure_packages NAME... installs the Debian packages that are missing,
# with apt-get (through sudo when not root).
ensure_packages() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Paquets manquants (installez-les en tant que root) : ${missing[*]}" >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Installation des paquets manquants : ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
