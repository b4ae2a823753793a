#!/usr/bin/env bash
# Checks a Debian package built by scripts/package.sh, as CI does after the tests:
#   - it holds both programs, the desktop entry, the icons, the AppStream metadata, both manual pages,
#     the bash completion and share/kalvora with the reference lists and the demo deliveries;
#   - desktop-file-validate and appstreamcli validate accept the desktop entry and the metadata;
#   - the programs name no path of the build machine's source or build tree;
#   - kalvora-cli, unpacked outside the source tree, sets up a data directory from its own lists and
#     imports the shipped demo deliveries;
#   - apt-get can install the package (a simulation: its dependencies resolve).
#
# Usage: scripts/check-package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "${1:?usage: scripts/check-package.sh PACKAGE.deb}")
source_dir=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C.UTF-8

faults=0
fail() { echo "FEHLER: $*" >&2; faults=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/root"
root="$work/root"

for path in usr/bin/kalvora usr/bin/kalvora-cli \
  usr/share/applications/de.kalvora.Kalvora.desktop \
  usr/share/metainfo/de.kalvora.Kalvora.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/de.kalvora.Kalvora.svg \
  usr/share/icons/hicolor/48x48/apps/de.kalvora.Kalvora.png \
  usr/share/icons/hicolor/256x256/apps/de.kalvora.Kalvora.png \
  usr/share/man/man1/kalvora.1.gz usr/share/man/man1/kalvora-cli.1.gz \
  usr/share/bash-completion/completions/kalvora-cli \
  usr/share/kalvora/reference/hospitals.csv usr/share/kalvora/reference/departments.csv \
  usr/share/kalvora/demo/A6100101.101 usr/share/doc/kalvora/copyright; do
  [ -e "$root/$path" ] || fail "Das Paket enthält $path nicht."
done

desktop-file-validate "$root/usr/share/applications/de.kalvora.Kalvora.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/de.kalvora.Kalvora.metainfo.xml" ||
  fail "appstreamcli validate"
for page in kalvora kalvora-cli; do
  warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -man -ww -z -K utf8 2>&1 || true)
  [ -z "$warnings" ] || fail "groff warnt bei $page(1): $warnings"
done

# No path of this machine's trees: the programs find their data from where they are installed.
for binary in kalvora kalvora-cli; do
  if strings "$root/usr/bin/$binary" | grep -F -e "$source_dir" -e "/build/" -e "/work/"; then
    fail "usr/bin/$binary enthält einen Pfad des Quell- oder Bauverzeichnisses."
  fi
done
missing_libraries=$(ldd "$root/usr/bin/kalvora" "$root/usr/bin/kalvora-cli" | grep "not found" || true)
[ -z "$missing_libraries" ] || fail "Fehlende Bibliotheken: $missing_libraries"

# The unpacked command line on its own, from a directory outside the source tree.
cli="$root/usr/bin/kalvora-cli"
[ "$("$cli" --version)" = "kalvora-cli $(dpkg-deb -f "$deb" Version)" ] || fail "kalvora-cli --version nennt nicht die Paketversion."
(
  cd "$work"
  export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
  "$cli" setup "$work/daten" >/dev/null
  "$cli" import "$root"/usr/share/kalvora/demo/* >"$work/import.txt"
  "$cli" departments >"$work/departments.txt"
) || fail "setup und import der Demo-Lieferungen mit dem ausgepackten kalvora-cli"
grep -q "^A6100101.101	.*	 40   	 40   	" "$work/import.txt" || fail "A6100101.101 nicht vollständig importiert"
[ "$(wc -l <"$work/departments.txt" 2>/dev/null || echo 0)" -eq 3 ] || fail "drei Abteilungen erwartet"
[ -f "$work/config/kalvora/Kalvora10_0.ini" ] || fail "setup hat die Einstellungsdatei nicht im Konfigurationsverzeichnis geschrieben"

# Its dependencies resolve on this system.
apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.txt" 2>&1 || {
  cat "$work/apt.txt" >&2
  fail "apt-get install --simulate $deb"
}

echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"
[ "$faults" -eq 0 ] && echo "Paket in Ordnung: $deb"
exit "$faults"
