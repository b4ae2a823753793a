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

# The machine's speed at the moment, to judge a figure by: on a shared or virtual machine it changes
# from minute to minute. Prints the seconds sqlite3 needs to count to 3 000 000 (about 0.45 s on an
# idle machine of the kind the targets were set on).
reference() {
  /usr/bin/time -f "%e" -o "$work/reference" sqlite3 :memory: \
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 3000000) SELECT sum(x) FROM c" \
    >/dev/null
  cat "$work/reference"
}

# Runs the command $runs times, each after a reference run, and prints the label with elapsed, user
# and system seconds of the fastest run, the reference measured just before it, and the target.
measure() {  # label target command...
  local label=$1 target=$2 run best="" line
  shift 2
  for ((run = 0; run < runs; run++)); do
    line="$(reference)"
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >"$work/out" 2>"$work/err" ||
      { cat "$work/err" >&2; exit 1; }
    line="$(cat "$work/time") $line"
    if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then best=$line; fi
  done
  awk -v label="$label" -v target="$target" -v times="$best" 'BEGIN { split(times, t, " ")
    printf "%-54s %5.2f s (cpu %4.2f user + %4.2f sys; reference %4.2f s) target < %s s\n",
      label ":", t[1], t[2], t[3], t[4], target }'
}

read -r stored days from to < <(sqlite3 -separator ' ' "$data/stays/sys/${dbs[0]}" "SELECT
  (SELECT count(*) FROM \"Gesamt - Patientenadministration\"), (SELECT count(*) FROM \"Satzart 3 - TISS28\"),
  (SELECT min(substr(ADM_DATE, 1, 8)) FROM \"Gesamt - Patientenadministration\"),
  (SELECT max(substr(DIS_DATE, 1, 8)) FROM \"Gesamt - Patientenadministration\")")
exported=$(sqlite3 "$data/export/sys/${dbs[0]}" "SELECT count(*) FROM \"Gesamt - Patientenadministration\"")

echo "uptime:$(uptime | sed 's/.*load/ load/'); fastest of $runs runs"
classify=("$cli" --ini "$data/stays/k.ini" classify --from "$from" --to "$to" --min-hours 4)
measure "classification ($stored stays, $days days)" 0.3 "${classify[@]}" --multiple-tiss N "${dbs[0]}"
measure "classification, MehrfachTISS J and ErsatzTISS J" 0.3 \
  "${classify[@]}" --multiple-tiss J --substitute-tiss J "${dbs[0]}"
measure "analysis (10 departments of $stored stays)" 1 "$cli" --ini "$data/stays/k.ini" analysis "${dbs[@]}"
measure "export (10 departments of $exported stays, engine only)" 5 \
  "$cli" --ini "$data/export/k.ini" export --output gesamt.mdb "${dbs[@]}"
