#!/usr/bin/env bash
# Import benchmark: a delivery of 100 000 stays (about 600 000 record lines, ~2 % faulty stays) is
# imported into a new department with kalvora-cli and compared with the sqlite3 shell loading the
# same stored rows from CSV into the same schema; then the same file is imported again in append
# mode into the filled department. Prints times, lines per second, ratios and peak memory.
set -euo pipefail
cd "$(dirname "$0")/.."
stays=${STAYS:-100000}
build=${BUILD:-build}
work=$(mktemp -d /tmp/kalvora-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target kalvora-cli kalvora-gen >/dev/null
cli="$build/src/kalvora-cli"
gen="$build/tools/kalvora-gen"

file=$("$gen" --stays "$stays" --seed 42 --hospital K101 --department 12100101 --period A --year 6 \
  --faults 0.02 --output "$work")
lines=$(grep -c '^[13]' "$file")
"$cli" --ini "$work/k.ini" setup "$work/sys" >/dev/null

seconds() { python3 -c "import sys; print(f'{float(sys.argv[1]):.2f}')" "$1" 2>/dev/null || echo "$1"; }
measure() {  # prints "elapsed peak_kb" of the command
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  cat "$work/time"
}

read -r first first_kb < <(measure "$cli" --ini "$work/k.ini" import "$file")
db="$work/sys/12100101.101"
stored=$(sqlite3 "$db" "SELECT (SELECT count(*) FROM \"Gesamt - Patientenadministration\") || ' stays, ' ||
  (SELECT count(*) FROM \"Satzart 3 - TISS28\") || ' survey days'")

# The shell's bulk load of the same rows into a fresh copy of the template.
for table in "Gesamt - Patientenadministration" "Satzart 1 - Patientenadministration Intensiv" "Satzart 3 - TISS28"; do
  sqlite3 -csv "$db" "SELECT * FROM \"$table\"" > "$work/$table.csv"
done
cp "$work/sys/ibds.mdb" "$work/shell.db"
cat > "$work/load.sql" <<SQL
PRAGMA synchronous=OFF;
.mode csv
.import "$work/Gesamt - Patientenadministration.csv" "Gesamt - Patientenadministration"
.import "$work/Satzart 1 - Patientenadministration Intensiv.csv" "Satzart 1 - Patientenadministration Intensiv"
.import "$work/Satzart 3 - TISS28.csv" "Satzart 3 - TISS28"
SQL
read -r shell shell_kb < <(measure sqlite3 "$work/shell.db" ".read $work/load.sql")

read -r second second_kb < <(measure "$cli" --ini "$work/k.ini" import "$file")

# Peak memory must not grow with the file: a delivery of half the size for comparison.
half=$("$gen" --stays $((stays / 2)) --seed 43 --hospital K101 --department 12100201 --period A --year 6 \
  --faults 0.02 --output "$work")
read -r _ half_kb < <(measure "$cli" --ini "$work/k.ini" import "$half")

awk -v lines="$lines" -v first="$first" -v shell="$shell" -v second="$second" -v fkb="$first_kb" \
    -v skb="$second_kb" -v hkb="$half_kb" -v stored="$stored" -v stays="$stays" 'BEGIN {
  printf "delivery: %d stays, %d record lines; stored: %s\n", stays, lines, stored
  printf "import (new department):     %6.2f s  %9.0f lines/s  peak %5.1f MB (target >= 250000 lines/s, < 100 MB)\n", first, lines / first, fkb / 1024
  printf "sqlite3 .import of the rows: %6.2f s  ratio import/shell %.2f (target <= 1.0)\n", shell, first / shell
  printf "import again (append mode):  %6.2f s  ratio to first %.2f (target <= 2.0)  peak %5.1f MB\n", second, second / first, skb / 1024
  printf "half-size delivery:          peak %5.1f MB (memory does not grow with the file)\n", hkb / 1024
}'
