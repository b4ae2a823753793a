#!/usr/bin/env bash
# Builds Kalvora, prepares a demo data directory with the demo deliveries of data/demo and starts the
# desktop program on it. Without a display it runs the command-line demo instead: it imports the
# demo deliveries and prints the import summary.
#
# Usage: scripts/run-demo.sh [DATA_DIR]      (default: ~/.local/share/kalvora-demo)
# The build directory is build/ (KALVORA_BUILD_DIR overrides it).
# DATA_DIR receives Kalvora10_0.ini and the folders system/, import/ and export/; the system data of
# an earlier demo there is replaced.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

data_dir=${1:-$HOME/.local/share/kalvora-demo}
mkdir -p "$data_dir"
data_dir=$(cd "$data_dir" && pwd)
ini="$data_dir/Kalvora10_0.ini"
build_dir=${KALVORA_BUILD_DIR:-build}

has_display=0
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then has_display=1; fi

generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
[ -f "$build_dir/CMakeCache.txt" ] && generator=()
cmake -S . -B "$build_dir" "${generator[@]}" >/dev/null
targets=(kalvora-cli)
if [ "$has_display" -eq 1 ]; then
  if cmake --build "$build_dir" --target help | grep -qE '(^|\.\.\. )kalvora(:|$)'; then
    targets+=(kalvora)
  else
    echo "Qt 6 wurde nicht gefunden: das Fensterprogramm kann nicht gebaut werden." >&2
    has_display=0
  fi
fi
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]}"

# A fresh system data directory: the department databases of an earlier demo go with it.
rm -rf "$data_dir/system"
"$build_dir"/src/kalvora-cli --ini "$ini" setup "$data_dir/system" \
  --import-dir "$data_dir/import" --export-dir "$data_dir/export" --force >/dev/null
for delivery in data/demo/*; do
  [ -f "$delivery" ] && cp -f "$delivery" "$data_dir/import/"
done
echo "Demo-Datenverzeichnis: $data_dir (Einstellungen: $ini)"

if [ "$has_display" -eq 1 ]; then
  exec "$build_dir"/src/kalvora "/i:$ini"
fi

echo "Kein Bildschirm (DISPLAY und WAYLAND_DISPLAY sind leer): Kommandozeilen-Demo statt des Fensterprogramms."
echo "Importiere die Demo-Lieferungen aus $data_dir/import ..."
echo
"$build_dir"/src/kalvora-cli --ini "$ini" import "$data_dir"/import/*
echo
echo "Protokolldatei: $data_dir/export/protocol.dat"
