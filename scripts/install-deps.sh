#!/usr/bin/env bash
# Installs the Debian packages Kalvora needs, when they are missing:
#   scripts/install-deps.sh cli    build and run kalvora-cli
#   scripts/install-deps.sh run    the same and the desktop program (Qt 6)
#   scripts/install-deps.sh package  the same and what building and checking the Debian package
#                                  needs (dpkg-shlibdeps, the validators of the desktop entry and
#                                  the AppStream metadata, groff for the manual pages)
#   scripts/install-deps.sh test   the same and the test tool chain (GoogleTest, Xvfb, clang with its
#                                  sanitizer and fuzzer runtime, clang-format, sqlite3, strace, time,
#                                  pdftotext for the PDF reports);
#                                  the default
set -euo pipefail

profile=${1:-test}
cli_packages=(libsqlite3-dev libcli11-dev cmake ninja-build g++)
run_packages=(qt6-base-dev libqt6opengl6-dev qt6-charts-dev fonts-dejavu-core qt6-translations-l10n)
package_packages=(dpkg-dev binutils desktop-file-utils appstream groff-base)
test_packages=(ccache libgtest-dev xvfb xauth sqlite3 clang libclang-rt-14-dev clang-format time strace poppler-utils)
case "$profile" in
  cli) packages=("${cli_packages[@]}") ;;
  run) packages=("${cli_packages[@]}" "${run_packages[@]}") ;;
  package) packages=("${cli_packages[@]}" "${run_packages[@]}" "${package_packages[@]}") ;;
  test) packages=("${cli_packages[@]}" "${run_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
  *) echo "Unbekannte Auswahl \"$profile\": cli, run, package oder test." >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || { echo "Please run as root or install sudo." >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
