#!/usr/bin/env bash
# Stored-data benchmark: classification of one department of 100 000 stays (about 500 000 survey
# days), the department analysis of ten such departments, and the total database of ten departments
# of 50 000 stays each. The departments are generated with kalvora-gen and imported with
# kalvora-cli; each command is timed RUNS times and its fastest run printed with its target.
#   STAYS=10000 bench/stored_data.sh     a quick trial (the export departments get half as many)
#   DATA=/tmp/kalvora-stored ...         keeps the imported departments there and reuses them
set -euo pipefail
cd "$(dirname "$0")/.."
stays=${STAYS:-100000}
export_stays=${EXPORT_STAYS:-$((stays / 2))}
runs=${RUNS:-3}
build=${BUILD:-build}
work=$(mktemp -d /tmp/kalvora-stored.XXXXXX)
data=${DATA:-$work}
trap 'rm -rf "$work"' EXIT

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target kalvora-cli kalvora-gen >/dev/null
cli="$build/src/kalvora-cli"
gen="$build/tools/kalvora-gen"

# Ten departments: the adult intensive care functions of the shipped list (no children's units,
# 51/27 at characters 3-4), the first one twice as a second unit, each in its own hospital.
departments=(12100101 12100201 12100301 12100401 12100501 12100601 12100701 12100801 12100901 12100102)

# A system directory of ten departments of $2 stays each; skipped when an earlier run left it
# complete (DATA). Forty admissions a day keep the stays within a few years.
populate() {
  local dir=$1 count=$2 seed=$3 files=() i
  [ -f "$dir/ready.$count" ] && return
  rm -rf "$dir" && mkdir -p "$dir/delivery"
  "$cli" --ini "$dir/k.ini" setup "$dir/sys" --import-dir "$dir/import" --export-dir "$dir/export" >/dev/null
  for i in "${!departments[@]}"; do
    files+=("$("$gen" --stays "$count" --seed $((seed + i)) --hospital "K$((101 + i))" \
      --department "${departments[$i]}" --period A --year 6 --admissions-per-day 40 --output "$dir/delivery")")
  done
  echo "importing ten departments of $count stays into $dir ..." >&2
  "$cli" --ini "$dir/k.ini" import "${files[@]}" >/dev/null
  rm -rf "$dir/delivery"
  touch "$dir/ready.$count"
}
populate "$data/stays" "$stays" 100
populate "$data/export" "$export_stays" 200

dbs=()
for i in "${!departments[@]}"; do dbs+=("${departments[$i]}.$((101 + i))"); done

# Runs the command $runs times; prints "elapsed user system" of the fastest run.
measure() {
  local run best="" line
  for ((run = 0; run < runs; run++)); do
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >"$work/out" 2>"$work/err" ||
      { cat "$work/err" >&2; exit 1; }
    line=$(cat "$work/time")
    if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then best=$line; fi
  done
  echo "$best"
}
report() {  # label target elapsed user system
  awk -v label="$1" -v target="$2" -v e="$3" -v u="$4" -v s="$5" 'BEGIN {
    printf "%-52s %6.2f s  (cpu %5.2f s user + %5.2f s sys; target < %s s)\n", label ":", e, u, s, target }'
}

stay_sys="$data/stays/sys"
first="$stay_sys/${dbs[0]}"
read -r stored days from to < <(sqlite3 -separator ' ' "$first" "SELECT
  (SELECT count(*) FROM \"Gesamt - Patientenadministration\"), (SELECT count(*) FROM \"Satzart 3 - TISS28\"),
  (SELECT min(substr(ADM_DATE, 1, 8)) FROM \"Gesamt - Patientenadministration\"),
  (SELECT max(substr(DIS_DATE, 1, 8)) FROM \"Gesamt - Patientenadministration\")")
exported=$(sqlite3 "$data/export/sys/${dbs[0]}" "SELECT count(*) FROM \"Gesamt - Patientenadministration\"")

echo "uptime:$(uptime | sed 's/.*load/ load/'); fastest of $runs runs"
classify=("$cli" --ini "$data/stays/k.ini" classify --from "$from" --to "$to" --min-hours 4)
read -r e u s < <(measure "${classify[@]}" --multiple-tiss N "${dbs[0]}")
report "classification ($stored stays, $days days, $from-$to)" 1 "$e" "$u" "$s"
read -r e u s < <(measure "${classify[@]}" --multiple-tiss J --substitute-tiss J "${dbs[0]}")
report "classification, MehrfachTISS J and ErsatzTISS J" 1 "$e" "$u" "$s"
read -r e u s < <(measure "$cli" --ini "$data/stays/k.ini" analysis "${dbs[@]}")
report "analysis (10 departments of $stored stays)" 1 "$e" "$u" "$s"
read -r e u s < <(measure "$cli" --ini "$data/export/k.ini" export --output gesamt.mdb "${dbs[@]}")
report "export (10 departments of $exported stays)" 5 "$e" "$u" "$s"
