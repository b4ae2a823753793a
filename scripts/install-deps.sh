#!/usr/bin/env bash
# Installs the Debian packages Kalvora needs to build, test and run, when they are missing.
set -euo pipefail

packages=(qt6-base-dev libqt6opengl6-dev qt6-charts-dev libsqlite3-dev libcli11-dev libgtest-dev
          cmake ninja-build g++ xvfb xauth fonts-dejavu-core sqlite3 clang libclang-rt-14-dev time strace
          qt6-translations-l10n)
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
