#!/usr/bin/env bash
# Builds the Debian package of Kalvora with CPack and prints its path as the last line.
#
# Usage: scripts/package.sh
# The build directory is build-package/ (KALVORA_PACKAGE_BUILD_DIR overrides it): a release build of
# the two programs without the tests, installed under /usr. The package's dependencies are read from
# the binaries by dpkg-shlibdeps; it also depends on qt6-translations-l10n (Qt's own texts in German)
# and recommends sqlite3. Install it with: sudo apt install ./build-package/packages/kalvora_….deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package >&2
build_dir=${KALVORA_PACKAGE_BUILD_DIR:-build-package}
jobs=${KALVORA_JOBS:-$(nproc)}

configure=(-DCMAKE_BUILD_TYPE=Release -DKALVORA_BUILD_TESTS=OFF -DKALVORA_BUILD_GUI=ON)
[ -f "$build_dir/CMakeCache.txt" ] || configure+=(-G Ninja)
cmake -S . -B "$build_dir" "${configure[@]}" >&2
targets=$(cmake --build "$build_dir" --target help)
if ! grep -qE '(^|\.\.\. )kalvora(:|$)' <<<"$targets"; then
  echo "Qt 6 wurde nicht gefunden: ohne das Fensterprogramm wird kein Paket gebaut." >&2
  exit 1
fi
cmake --build "$build_dir" -j "$jobs" >&2

packages="$PWD/$build_dir/packages"
rm -rf "$packages"
(cd "$build_dir" && cpack -G DEB -B "$packages") >&2
shopt -s nullglob
built=("$packages"/kalvora_*.deb)
if [ ${#built[@]} -ne 1 ]; then
  echo "CPack hat kein Paket kalvora_*.deb in $packages geschrieben." >&2
  exit 1
fi
echo "${built[0]}"
