#!/usr/bin/env bash
# Import benchmark on two deliveries of 100 000 stays each, side by side in one run:
#   project    stays in admission order, each stay's lines together, ~2 % faulty stays;
#   realistic  stays in random key order, the lines of 64 stays mixed (survey days spread over the
#              file), about 30 % error stays and 20 % stays with warnings.
# For each: the import into a new department with kalvora-cli, the sqlite3 shell's `.import` of the
# same stored rows into a copy of the template, the same file again in append mode into the filled
# department, peak memory (also for a delivery of twice the size: it must not need more), and the
# size of the department file against the shell-loaded copy. Prints the load average it ran under.
#   bench/import.sh                 the full run (about a minute on a quiet 2-core machine)
#   STAYS=20000 bench/import.sh     a quick trial
#   CLI=build/src/kalvora-cli.old bench/import.sh   the same with an earlier build of the program
set -euo pipefail
cd "$(dirname "$0")/.."
stays=${STAYS:-100000}
build=${BUILD:-build}
work=$(mktemp -d /tmp/kalvora-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target kalvora-cli kalvora-gen >/dev/null
cli=${CLI:-$build/src/kalvora-cli}  # CLI=path: another build of the program, for a before/after
gen="$build/tools/kalvora-gen"
"$cli" --ini "$work/k.ini" setup "$work/sys" >/dev/null

project_options=(--faults 0.02)
realistic_options=(--faults 0.53 --shuffle --interleave 64)

measure() {  # prints "elapsed peak_kb" of the command
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || { cat "$work/err" >&2; exit 1; }
  cat "$work/time"
}

generate() {  # stays seed department options...
  local count=$1 seed=$2 department=$3
  shift 3
  "$gen" --stays "$count" --seed "$seed" --hospital K101 --department "$department" --period A --year 6 \
    --output "$work/files-$department" "$@"
}

# The shell's bulk load of the rows stored in department file $1 into a fresh copy of the template.
shell_load() {
  local db=$1 copy=$2
  for table in "Gesamt - Patientenadministration" "Satzart 1 - Patientenadministration Intensiv" \
    "Satzart 3 - TISS28"; do
    sqlite3 -csv "$db" "SELECT * FROM \"$table\"" >"$work/$table.csv"
  done
  cp "$work/sys/ibds.mdb" "$copy"
  cat >"$work/load.sql" <<SQL
PRAGMA synchronous=OFF;
.mode csv
.import "$work/Gesamt - Patientenadministration.csv" "Gesamt - Patientenadministration"
.import "$work/Satzart 1 - Patientenadministration Intensiv.csv" "Satzart 1 - Patientenadministration Intensiv"
.import "$work/Satzart 3 - TISS28.csv" "Satzart 3 - TISS28"
SQL
  measure sqlite3 "$copy" ".read $work/load.sql"
}

run_delivery() {  # label seed department double_department options...
  local label=$1 seed=$2 department=$3 double_department=$4
  shift 4
  local file lines bytes db stored first first_kb shell shell_kb second second_kb double double_kb
  file=$(generate "$stays" "$seed" "$department" "$@")
  lines=$(grep -c '^[13]' "$file")
  bytes=$(stat -c %s "$file")
  db="$work/sys/${department}.101"
  read -r first first_kb < <(measure "$cli" --ini "$work/k.ini" --export-dir "$work" import \
    --initialise --protocol "$department.dat" "$file")
  stored=$(sqlite3 "$db" "SELECT (SELECT count(*) FROM \"Gesamt - Patientenadministration\") || ' stays, ' ||
    (SELECT count(*) FROM \"Satzart 3 - TISS28\") || ' survey days'")
  local protocol_kb=$(($(stat -c %s "$work/$department.dat") / 1024))
  read -r shell shell_kb < <(shell_load "$db" "$work/shell-$department.db")
  local db_bytes shell_bytes
  db_bytes=$(stat -c %s "$db")
  shell_bytes=$(stat -c %s "$work/shell-$department.db")
  read -r second second_kb < <(measure "$cli" --ini "$work/k.ini" --export-dir "$work" import \
    --protocol "$department.dat" "$file")
  # Twice the admissions a day keep twice the stays within the generator's years.
  double=$(generate $((stays * 2)) "$((seed + 100))" "$double_department" --admissions-per-day 8 "$@")
  read -r _ double_kb < <(measure "$cli" --ini "$work/k.ini" --export-dir "$work" import \
    --initialise --protocol "$double_department.dat" "$double")
  rm -f "$double"
  awk -v label="$label" -v lines="$lines" -v bytes="$bytes" -v stays="$stays" -v stored="$stored" \
      -v pkb="$protocol_kb" -v first="$first" -v shell="$shell" -v second="$second" -v fkb="$first_kb" \
      -v skb="$second_kb" -v dkb="$double_kb" -v dbb="$db_bytes" -v shb="$shell_bytes" 'BEGIN {
    printf "%s delivery: %d stays, %d record lines, %.1f MB; stored: %s; protocol %d KB\n", label, stays, lines, bytes / 1048576, stored, pkb
    printf "  import (new department):     %6.2f s  %7.0f lines/s  %.2f x shell  (targets >= 300000 lines/s, <= 1.0 x)\n", first, lines / first, first / shell
    printf "  sqlite3 .import of the rows: %6.2f s\n", shell
    printf "  import again (append mode):  %6.2f s  %.2f x shell  (target <= 1.5 x)\n", second, second / shell
    printf "  peak memory: %.1f MB new, %.1f MB append, %.1f MB twice the delivery  (target < 64 MB, flat)\n", fkb / 1024, skb / 1024, dkb / 1024
    printf "  department file %.1f MB, shell-loaded copy %.1f MB: %.2f x  (target <= 1.2 x)\n", dbb / 1048576, shb / 1048576, dbb / shb
  }'
}

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
run_delivery project 42 12100101 12100301 "${project_options[@]}"
run_delivery realistic 44 12100201 12100401 "${realistic_options[@]}"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
