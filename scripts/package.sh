#!/usr/bin/env bash
# Builds the Debian package (Release) in build-package/ and checks it; any problem fails:
#  - lintian: no error and no warning; at its pedantic level too, no missing hardening
#    (relro, bindnow, PIE, stack protector, fortify) and no unstripped program;
#  - desktop-file-validate on the menu entry, appstreamcli validate --no-net on the
#    software-centre entry, whose screenshots must be pictures of docs/screenshots/;
#  - one version: the project's, the package's, the latest changelog entry's, the manual
#    pages', the software-centre entry's and what each program prints for --version;
#  - every option each program lists in its --help appears in its manual page
#    (scripts/check_manual_options.sh).
#   scripts/package.sh
# Environment: PLATINE_PACKAGE_CONTACT="Name <e-mail>" names the package's maintainer (else
# DEBFULLNAME and DEBEMAIL, then git's identity: see packaging/package.cmake);
# PLATINE_SCREENSHOTS_URL, the web address where docs/screenshots/ is published.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"
dir="$root/build-package"
jobs=$(nproc 2>/dev/null || echo 2)

# The build packages of setup.sh, and the packaging tools.
ensure_packages "${build_packages[@]}" "${run_packages[@]}" \
  dpkg-dev binutils lintian desktop-file-utils appstream

problems=0
problem() {
  echo "PROBLÈME : $*" >&2
  problems=$((problems + 1))
}

echo "== construction ($dir, Release) =="
# Warnings are not errors here, as in a distribution's build with whatever compiler it has.
args=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DPLATINE_TESTS=OFF -DPLATINE_BENCHMARKS=OFF
  -DPLATINE_WERROR=OFF
  "-DPLATINE_PACKAGE_CONTACT=${PLATINE_PACKAGE_CONTACT:-}")
if [ -n "${PLATINE_SCREENSHOTS_URL:-}" ]; then
  args+=("-DPLATINE_SCREENSHOTS_URL=$PLATINE_SCREENSHOTS_URL")
else
  args+=(-UPLATINE_SCREENSHOTS_URL)  # back to the default, whatever an earlier run set
fi
if command -v ccache >/dev/null 2>&1; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" "${args[@]}"
cmake --build "$dir" --parallel "$jobs"

echo "== paquet =="
rm -f "$dir"/platine_*.deb
(cd "$dir" && cpack -G DEB)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
deb="$dir/platine_${version}_$(dpkg --print-architecture).deb"
if [ -z "$version" ] || [ ! -f "$deb" ]; then
  echo "aucun paquet platine_${version}_*.deb dans $dir" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
files="$work/files"
dpkg-deb -x "$deb" "$files"

echo "== lintian =="
lintian_args=(--pedantic --display-info --tag-display-limit 0 --fail-on none)
[ "$(id -u)" -eq 0 ] && lintian_args+=(--allow-root)
lintian "${lintian_args[@]}" "$deb" >"$work/lintian" 2>&1 || problem "lintian ne s'est pas exécuté jusqu'au bout"
cat "$work/lintian"
if grep -q '^[EW]: ' "$work/lintian"; then
  problem "lintian signale des erreurs ou des avertissements"
fi
if grep -Eq '^[A-Z]: platine: (hardening-no-(relro|bindnow|pie|stackprotector)|unstripped-binary-or-object|binary-has-unneeded-section) ' \
  "$work/lintian"; then
  problem "lintian : un programme n'est pas durci ou pas allégé de ses symboles"
fi
# Fortify can only be checked where a program calls a function whose buffer size the compiler
# cannot prove safe; lintian flags a program without such calls. Flagging every program means
# that fortify is off.
programs=0
for f in "$files"/usr/bin/*; do
  [ "$(head -c 4 "$f" | od -An -tx1 | tr -d ' \n')" = 7f454c46 ] && programs=$((programs + 1))
done
unfortified=$(grep -c '^[A-Z]: platine: hardening-no-fortify-functions ' "$work/lintian" || true)
if [ "$programs" -gt 0 ] && [ "$unfortified" -ge "$programs" ]; then
  problem "lintian : aucun programme n'est construit avec fortify"
fi

echo "== entrée de menu =="
for f in "$files"/usr/share/applications/*.desktop; do
  out=$(desktop-file-validate "$f" 2>&1) || problem "desktop-file-validate a échoué sur ${f#"$files"}"
  if [ -n "$out" ]; then
    echo "$out"
    problem "desktop-file-validate: ${f#"$files"}"
  else
    echo "${f#"$files"} : valide"
  fi
done

echo "== entrée de la logithèque =="
metainfo=("$files"/usr/share/metainfo/*.metainfo.xml)
if [ ! -f "${metainfo[0]}" ]; then
  problem "pas de fichier AppStream metainfo dans le paquet"
else
  appstreamcli validate --no-net --strict --pedantic "${metainfo[@]}" ||
    problem "appstreamcli validate"
  # Each screenshot is a picture of docs/screenshots/.
  while read -r picture; do
    [ -f "$root/docs/screenshots/$picture" ] ||
      problem "l'entrée de la logithèque montre $picture, absente de docs/screenshots/"
  done < <(sed -n 's|.*<image[^>]*>.*/\([^/<]*\)</image>.*|\1|p' "${metainfo[@]}")
  if grep -q '<image[^>]*>https\?://[^/]*\.invalid/' "${metainfo[@]}"; then
    echo "REMARQUE : l'adresse web des captures d'écran n'est pas définie" \
      "(PLATINE_SCREENSHOTS_URL) : les logithèques n'en montreront aucune."
  fi
fi

echo "== version $version =="
check_version() {
  local what=$1 found=$2
  if [ "$found" = "$version" ]; then
    echo "$what : $found"
  else
    problem "$what : « $found », le projet est en $version"
  fi
}
check_version "paquet" "$(dpkg-deb -f "$deb" Version)"
zcat "$files/usr/share/doc/platine/changelog.gz" >"$work/changelog"
check_version "changelog" "$(dpkg-parsechangelog -l "$work/changelog" -S Version)"
for f in "$files"/usr/bin/*; do
  name=$(basename "$f")
  check_version "$name --version" "$("$f" --version 2>/dev/null | sed -n "s/^$name //p")"
  page="$files/usr/share/man/man1/$name.1.gz"
  if [ -f "$page" ]; then
    check_version "page de manuel $name(1)" \
      "$(zcat "$page" | sed -n 's/^\.TH .* "platine \([^"]*\)".*/\1/p')"
    "$root/scripts/check_manual_options.sh" "$f" "$page" ||
      problem "$name : des options de --help manquent à sa page de manuel"
  else
    problem "$name n'a pas de page de manuel"
  fi
done
for f in "${metainfo[@]}"; do
  [ -f "$f" ] || continue
  check_version "entrée de la logithèque" \
    "$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$f" | head -n 1)"
done

echo "== $(basename "$deb") : $(stat -c %s "$deb") octets, $(dpkg-deb -f "$deb" Installed-Size) Kio une fois installé =="
dpkg-deb -c "$deb" | awk '{ print "  " $6 }'
if [ "$problems" -gt 0 ]; then
  echo "vérification du paquet : $problems problème(s)" >&2
  exit 1
fi
echo "vérification du paquet : réussie ($deb)"
