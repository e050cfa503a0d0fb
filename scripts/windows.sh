#!/usr/bin/env bash
# The Windows build, made on Debian: a static Qt 6 for MinGW built once into a cache, then
# platine.exe, platine-cli.exe, an NSIS installer and a portable zip in build-windows/.
#   scripts/windows.sh           build the installer and the zip
#   scripts/windows.sh --qt      only make sure the cached Qt is there
#   scripts/windows.sh --test    build, then run the tests under Wine (unit tests, a COM port
#                                mapped to a pseudo-terminal, the window under Xvfb)
# The cache is ~/.cache/platine/qt6-mingw-6.4.2/KEY, KEY being a checksum of Qt's source and of
# the options it is built with; PLATINE_CACHE moves ~/.cache/platine.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"

mode=build
case "${1:-}" in
  "") ;;
  --qt) mode="qt" ;;
  --test) mode="test" ;;
  *)
    echo "Usage : scripts/windows.sh [--qt|--test]" >&2
    exit 2
    ;;
esac

jobs=$(nproc 2>/dev/null || echo 2)
cache=${PLATINE_CACHE:-$HOME/.cache/platine}
qt_version=6.4.2
mingw_host=x86_64-w64-mingw32

packages=(
  cmake ninja-build dpkg-dev xz-utils zip
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  qt6-base-dev-tools qt6-translations-l10n nsis
)
[ "$mode" = test ] && packages+=(wine wine64 xvfb xauth x11-utils imagemagick unzip python3)
ensure_packages "${packages[@]}"

seconds_since() { echo $(($(date +%s) - $1)); }
minutes() { printf '%d min %02d s' $(($1 / 60)) $(($1 % 60)); }

# --- Qt's source, from Debian ------------------------------------------------------------------
# apt-get source needs a deb-src entry: a copy of the main deb stanza, added once.
ensure_deb_src() {
  local sources=/etc/apt/sources.list.d/debian.sources
  if grep -qsE '^Types:.*deb-src' "$sources" /etc/apt/sources.list 2>/dev/null; then
    return 0
  fi
  grep -qsE '^deb-src ' /etc/apt/sources.list && return 0
  [ -f "$sources" ] || {
    echo "Pas d'entrée deb-src ni de $sources : ajoutez une source Debian pour qt6-base." >&2
    exit 1
  }
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Ajout d'une entrée deb-src à $sources (sources de Qt)."
  # The first stanza (the main archive), its Types line turned into deb-src.
  { echo; awk 'BEGIN{RS=""} NR==1{sub(/Types: deb/, "Types: deb-src"); print; exit}' "$sources"; } |
    "${sudo[@]}" tee -a "$sources" >/dev/null
  "${sudo[@]}" apt-get update -qq
}

fetch_qt_source() {
  local dir="$cache/sources"
  mkdir -p "$dir"
  local found=("$dir"/qt6-base_"$qt_version"*.orig.tar.xz)
  qt_tarball=${found[0]}
  if [ ! -f "$qt_tarball" ]; then
    ensure_deb_src
    echo "Téléchargement des sources de Qt $qt_version (qt6-base, 46 Mo)…"
    (cd "$dir" && apt-get source --download-only qt6-base >/dev/null)
    found=("$dir"/qt6-base_"$qt_version"*.orig.tar.xz)
    qt_tarball=${found[0]}
  fi
  # The .dsc names the tarball's checksum: a damaged download is caught here.
  local dscs=("$dir"/qt6-base_"$qt_version"*.dsc) sum
  local dsc=${dscs[0]}
  sum=$(sha256sum "$qt_tarball" | cut -d' ' -f1)
  if ! grep -q "$sum" "$dsc"; then
    echo "Somme de contrôle de $(basename "$qt_tarball") différente de celle de $(basename "$dsc") :" \
      "supprimez $dir et relancez." >&2
    exit 1
  fi
  qt_source_sum=$sum
}

write_toolchain() {
  cat >"$1" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $mingw_host-gcc-posix)
set(CMAKE_CXX_COMPILER $mingw_host-g++-posix)
set(CMAKE_RC_COMPILER $mingw_host-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$mingw_host)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# The options the cache is keyed by, with the source's checksum and the toolchain file.
qt_options=(
  -release -static -opensource -confirm-license -nomake tests -nomake examples
  -no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz
  -qt-pcre -no-feature-sql -no-feature-network -no-feature-concurrent
  -no-feature-xml -no-feature-tabletevent -qt-host-path /usr
)

ensure_qt() {
  fetch_qt_source
  local toolchain_text key
  toolchain_text=$(write_toolchain /dev/stdout)
  key=$(printf '%s\n' "$qt_source_sum" "${qt_options[*]}" "$toolchain_text" |
    sha256sum | cut -c1-16)
  qt_dir="$cache/qt6-mingw-$qt_version/$key"
  qt_prefix="$qt_dir/prefix"
  if [ -f "$qt_dir/complete" ]; then
    echo "Qt $qt_version pour MinGW : en cache dans $qt_dir."
    return 0
  fi
  echo "Qt $qt_version pour MinGW n'est pas en cache : construction dans $qt_dir."
  echo "Elle se fait une fois par machine et prend 45 à 60 minutes sur 2 cœurs libres," \
    "davantage sur une machine chargée (journal : $qt_dir/build.log)."
  local start
  start=$(date +%s)
  mkdir -p "$qt_dir"
  write_toolchain "$qt_dir/toolchain.cmake"
  local src="$qt_dir/qtbase-everywhere-src-$qt_version"
  if [ ! -d "$src" ]; then
    tar -C "$qt_dir" -xf "$qt_tarball"
  fi
  mkdir -p "$qt_dir/build"
  (
    cd "$qt_dir/build"
    if [ ! -f build.ninja ]; then
      "$src/configure" -prefix "$qt_prefix" "${qt_options[@]}" \
        -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt_dir/toolchain.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    fi
    # Low priority: the machine stays usable while Qt builds.
    nice -n 19 ninja -j"$jobs"
    ninja install >/dev/null
  ) >>"$qt_dir/build.log" 2>&1 || {
    echo "La construction de Qt a échoué ; fin du journal $qt_dir/build.log :" >&2
    tail -n 30 "$qt_dir/build.log" >&2
    exit 1
  }
  # The build folder is several gigabytes; the install is what the cache keeps.
  rm -rf "$qt_dir/build" "$src"
  local took
  took=$(seconds_since "$start")
  echo "$took" >"$qt_dir/complete"
  echo "Qt $qt_version pour MinGW construit en $(minutes "$took")."
}

ensure_qt
[ "$mode" = qt ] && exit 0

# --- platine for Windows ---------------------------------------------------------------------
build="$root/build-windows"
version=$(sed -n 's/^project(platine VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
tests=OFF
[ "$mode" = test ] && tests=ON

# Wine, for the tests: one prefix per build folder, made once (minutes on a busy machine).
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$build/wine"
wine_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Préparation de Wine dans ${WINEPREFIX#"$root/"}/ (une fois)…"
    wineboot --init >/dev/null 2>&1
    wineserver -w
  fi
}

start=$(date +%s)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/CMakeCache.txt" ]; then
  "$qt_prefix/bin/qt-cmake" -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPLATINE_HARDENING=OFF -DPLATINE_TESTS="$tests" "${launcher[@]}" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
else
  cmake "$build" -DPLATINE_TESTS="$tests" >/dev/null
fi
echo "Construction de platine.exe et platine-cli.exe (MinGW, Qt statique)…"
nice -n 10 cmake --build "$build" --parallel "$jobs"
echo "Programmes construits en $(minutes "$(seconds_since "$start")")."

# The files a Windows user gets: the two programs, Qt's French texts and where Qt finds them.
stage="$build/stage/platine-$version"
rm -rf "$build/stage"
mkdir -p "$stage/translations"
cp "$build/src/app/platine.exe" "$build/src/app/platine-cli.exe" "$stage/"
cp /usr/share/qt6/translations/qtbase_fr.qm "$stage/translations/"
printf '[Paths]\r\nPrefix = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
sed 's/$/\r/' "$root/packaging/windows/LISEZMOI.txt" >"$stage/LISEZMOI.txt"
"$mingw_host-strip" "$stage/platine.exe" "$stage/platine-cli.exe"

# The portable zip: param.ini goes beside platine.exe, in the unzipped folder.
zip_file="$build/platine-$version-windows.zip"
rm -f "$zip_file"
(cd "$build/stage" && zip -qr9 "$zip_file" "platine-$version")
# The installer.
setup_file="$build/platine-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup_file" \
  "$root/packaging/windows/platine.nsi"
echo "Installateur : ${setup_file#"$root/"} ($(du -h "$setup_file" | cut -f1))"
echo "Version portable : ${zip_file#"$root/"} ($(du -h "$zip_file" | cut -f1))"
[ "$mode" = test ] || exit 0

# --- the tests, under Wine ---------------------------------------------------------------------
test_start=$(date +%s)
failed=0
wine_ready
check() { # check CONDITION-COMMAND... ; says what failed
  local what=$1
  shift
  if "$@"; then
    echo "ok    $what"
  else
    echo "ECHEC $what" >&2
    failed=1
  fi
}

echo "L'installateur et la version portable, sous Wine :"
install_dir="$WINEPREFIX/drive_c/Program Files/platine"
start_menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/platine.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\platine'
# shellcheck disable=SC2317 # run through check
installed_files() {
  local file
  for file in platine.exe platine-cli.exe qt.conf LISEZMOI.txt translations/qtbase_fr.qm \
    desinstaller.exe; do
    [ -f "$install_dir/$file" ] || return 1
  done
  [ -f "$start_menu" ] && wine reg query "$uninstall_key" /reg:64 >/dev/null 2>&1
}
# shellcheck disable=SC2317 # run through check
installed_help() {
  local help
  help=$(wine 'C:\Program Files\platine\platine-cli.exe' --help 2>/dev/null) &&
    grep -q '^platine-cli :' <<<"$help"
}
# Program Files is not the user's to write: the installed copy keeps param.ini in %APPDATA%.
# shellcheck disable=SC2317 # run through check
installed_settings() {
  local help
  help=$(wine 'C:\Program Files\platine\platine.exe' --help 2>/dev/null) &&
    grep -qF 'AppData\Roaming\platine\param.ini' <<<"$help"
}
# shellcheck disable=SC2317 # run through check
uninstalled() {
  # The uninstaller runs from a copy of itself in the temporary folder, so that it can remove
  # its own file: wait for it to be done.
  local _
  for _ in $(seq 150); do
    [ ! -e "$install_dir" ] && [ ! -e "$start_menu" ] && break
    sleep 0.2
  done
  [ ! -e "$install_dir" ] && [ ! -e "$start_menu" ] &&
    ! wine reg query "$uninstall_key" /reg:64 >/dev/null 2>&1
}
check "installation silencieuse (/S)" wine "$setup_file" /S
check "programmes, traductions, menu Démarrer et « Programmes et fonctionnalités »" installed_files
check "platine-cli.exe --help installé" installed_help
check "platine.exe installé : param.ini dans %APPDATA%\\platine" installed_settings
check "désinstallation silencieuse" wine 'C:\Program Files\platine\desinstaller.exe' /S
check "désinstallation : dossier, raccourci et clé de registre retirés" uninstalled

# The portable copy, unzipped anywhere, keeps param.ini beside platine.exe.
portable="$build/portable-test"
rm -rf "$portable"
mkdir -p "$portable"
unzip -q "$zip_file" -d "$portable"
# shellcheck disable=SC2317 # run through check
portable_settings() {
  local folder="Z:${portable//\//\\}\\platine-$version" help
  help=$(wine "$portable/platine-$version/platine.exe" --help 2>/dev/null) &&
    grep -qF "$folder\\param.ini" <<<"$help"
}
check "version portable : param.ini à côté de platine.exe" portable_settings
lines="$build/com-lines"
rm -rf "$lines"
# Null-modem pairs for the serial tests (COM11-COM12 ... COM17-COM18) and COM7 for platine-cli.
python3 "$root/tests/windows/com_lines.py" "$lines" 4 &
lines_pid=$!
xvfb_pid=
# shellcheck disable=SC2317 # run by the trap
cleanup() {
  kill "$lines_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -f "$lines/ready" ] && break; sleep 0.1; done
for port in 7 11 12 13 14 15 16 17 18; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /t REG_SZ /d "$lines/COM$port" /f \
    >/dev/null 2>&1
done
wineserver -k 2>/dev/null || true # the server reads the port mapping when it starts

echo "Tests sans fenêtre, sous Wine :"
export PLATINE_TEST_COM_LINES="Z:$lines"
ctest --test-dir "$build" --output-on-failure || failed=1

echo "platine-cli.exe sur un port COM relié à un pseudo-terminal :"
"$root/scripts/setup.sh" plain --target platine-cli >/dev/null
python3 "$root/tests/windows/cli_e2e.py" "$build/src/app/platine-cli.exe" "$lines" \
  "$root/build/src/app/platine-cli" || failed=1

echo "La fenêtre de platine.exe, sous Xvfb :"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
screenshot="$root/docs/screenshots/windows-main-window.png"
# The window of the previous run was killed and left its lock; Wine numbers its processes anew
# at each start, so that lock's process number may be in use again and the lock look held.
rm -f "$build"/screenshot-param.ini*
if (
  export DISPLAY=$display
  cd "$build/stage/platine-$version"
  wine platine.exe --no-splash --settings "Z:$build/screenshot-param.ini" >"$build/window.log" 2>&1 &
  app=$!
  shown=
  for _ in $(seq 120); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Logiciel de param'; then
      shown=1
      break
    fi
    sleep 0.5
  done
  if [ -n "$shown" ]; then
    sleep 2 # the window paints its panels
    import -window root "$screenshot"
  fi
  kill "$app" 2>/dev/null || true
  [ -n "$shown" ]
); then
  echo "Fenêtre affichée : ${screenshot#"$root/"}"
else
  echo "La fenêtre de platine.exe ne s'est pas affichée ; ce qu'il a écrit :" >&2
  iconv -f cp1252 -t utf-8 "$build/window.log" >&2 || cat "$build/window.log" >&2
  failed=1
fi
echo "Tests Windows en $(minutes "$(seconds_since "$test_start")")."
exit "$failed"
