#!/usr/bin/env bash
# Builds Kalvora, prepares a demo data directory with the demo deliveries of data/demo and starts the
# desktop program on it. Without a display it runs the command-line demo instead: it imports the
# demo deliveries, prints the import summary and what to try next.
#
# Usage: scripts/run-demo.sh [DATA_DIR]      (default: ~/.local/share/kalvora-demo)
# The build directory is build/ (KALVORA_BUILD_DIR overrides it); a new one is configured without
# the tests, which the demo does not need (scripts/test.sh switches them on).
# DATA_DIR receives Kalvora10_0.ini and the folders system/, import/ and export/; the system data of
# an earlier demo there is replaced. The demo deliveries are of 2016, so the settings file gets the
# survey period 01.01.2016 to 31.12.2016 for the classification.
set -euo pipefail
cd "$(dirname "$0")/.."

has_display=0
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then has_display=1; fi
if [ "$has_display" -eq 1 ]; then scripts/install-deps.sh run; else scripts/install-deps.sh cli; fi

data_dir=${1:-$HOME/.local/share/kalvora-demo}
mkdir -p "$data_dir"
data_dir=$(cd "$data_dir" && pwd)
ini="$data_dir/Kalvora10_0.ini"
build_dir=${KALVORA_BUILD_DIR:-build}
cli="$build_dir/src/kalvora-cli"

configure=()
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  configure=(-DKALVORA_BUILD_TESTS=OFF)
  command -v ninja >/dev/null 2>&1 && configure+=(-G Ninja)
fi
cmake -S . -B "$build_dir" "${configure[@]}" >/dev/null
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
"$cli" --ini "$ini" setup "$data_dir/system" --import-dir "$data_dir/import" --export-dir "$data_dir/export" \
  >/dev/null
# The survey period of the demo deliveries (setup sets the current year).
sed -i -e 's/^Erhebungvon=.*/Erhebungvon=20160101/' -e 's/^Erhebungbis=.*/Erhebungbis=20161231/' "$ini"
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
"$cli" --ini "$ini" import "$data_dir"/import/*
echo
echo "Protokolldatei: $data_dir/export/protocol.dat"
echo
echo "Zum Weiterprobieren:"
echo "  $cli --ini $ini departments"
echo "  $cli --ini $ini stays 12100101.101"
echo "  $cli --ini $ini staffing 12100101.101 --dgkp 12,5 --beds 6"
echo "  $cli --ini $ini classify"
echo "  $cli --ini $ini analysis 12100101.101 12100201.103 12100301.105"
echo "  $cli --ini $ini export"
echo "  $cli --help"
echo "Das Fensterprogramm auf einem Rechner mit Bildschirm: $build_dir/src/kalvora /i:$ini"
