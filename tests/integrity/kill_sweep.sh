#!/usr/bin/env bash
# Kill sweep: every writing kalvora-cli command is killed (SIGKILL, by strace) at each of its fsync,
# fdatasync, rename and unlink calls in turn. Afterwards the reading commands and the sqlite3 shell
# must see exactly the state before the command or exactly the state after an uninterrupted run,
# with every database intact; and a following append import must then give the same result as it
# gives after that state (a kill must leave nothing behind that spoils later work).
#
# Usage: kill_sweep.sh KALVORA_CLI SOURCE_DIR [SCENARIO...]
#   scenarios: import-new import-existing import-initialise remove staffing (default: all)
# Environment: KILL_SWEEP_CAP (highest invocation number killed per system call, default 200),
#              KILL_SWEEP_KEEP=DIR keeps the snapshots of failed points in DIR.
# Prints one line per kill point and ends with "N passed, N failed". Exit 0 when every point passed,
# 1 when one failed, 2 on wrong usage, 77 when strace or sqlite3 cannot be used (test skipped).
set -euo pipefail

all_scenarios=(import-new import-existing import-initialise remove staffing)
syscalls=(fsync fdatasync rename renameat renameat2 unlink unlinkat)
cap=${KILL_SWEEP_CAP:-200}
keep=${KILL_SWEEP_KEEP:-}

if [ $# -lt 2 ]; then
  echo "usage: $0 KALVORA_CLI SOURCE_DIR [SCENARIO...]" >&2
  echo "scenarios: ${all_scenarios[*]}" >&2
  exit 2
fi
cli_binary=$(realpath "$1")
source_dir=$(realpath "$2")
shift 2
scenarios=("$@")
[ ${#scenarios[@]} -gt 0 ] || scenarios=("${all_scenarios[@]}")
for scenario in "${scenarios[@]}"; do
  case " ${all_scenarios[*]} " in
    *" $scenario "*) ;;
    *) echo "kill_sweep: unknown scenario '$scenario' (known: ${all_scenarios[*]})" >&2; exit 2 ;;
  esac
done
[ -x "$cli_binary" ] || { echo "kill_sweep: $cli_binary is not an executable" >&2; exit 2; }
demo=$source_dir/data/demo
for delivery in A6100101.101 B6100201.103; do
  [ -f "$demo/$delivery" ] || { echo "kill_sweep: $demo/$delivery is missing" >&2; exit 2; }
done

for tool in strace sqlite3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "kill_sweep: SKIPPED - '$tool' is not installed (Debian package $tool)" >&2
    exit 77
  fi
done
if ! strace -f -qq -o /dev/null -e trace=fsync true >/dev/null 2>&1; then
  echo "kill_sweep: SKIPPED - strace cannot trace here (ptrace not permitted)" >&2
  exit 77
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/kill_sweep.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
# SQLite's own scratch files go here, so that a kill before their unlink leaves nothing elsewhere.
export SQLITE_TMPDIR=$tmp/sqlite-tmp
mkdir -p "$SQLITE_TMPDIR"
export LC_ALL=C.UTF-8

passed=0
failed=0

# ---- the data directory of one scenario ----
# work is the data directory in use; its settings file holds absolute paths into it, so every run
# happens at this path and the saved state is copied back into it.
work=""
saved=""

cli() { "$cli_binary" --ini "$work/k.ini" --locale de "$@"; }

restore() {
  rm -rf "$work" "${SQLITE_TMPDIR:?}"
  cp -a "$saved" "$work"
  mkdir -p "$SQLITE_TMPDIR"
}

# A delivery made from a demo delivery: its stays FIRST..LAST, the discharge time of stays
# CHANGE_FIRST..CHANGE_LAST moved by one minute, the sum record counted anew; CR LF line ends.
delivery_part() {  # SOURCE FIRST LAST CHANGE_FIRST CHANGE_LAST OUTPUT
  awk -v first="$2" -v last="$3" -v cfirst="$4" -v clast="$5" '
    BEGIN { stay = 0; n1 = 0; n3 = 0; sumhead = "" }
    {
      line = $0; sub(/\r$/, "", line)
      kind = substr(line, 1, 1)
      if (kind == "$") { sumhead = substr(line, 1, 13); next }
      if (kind == "1") stay++
      if (stay < first || stay > last) next
      if (kind == "1" && stay >= cfirst && stay <= clast) {
        minute = substr(line, 76, 2) + 0
        minute = minute < 30 ? minute + 1 : minute - 1
        line = substr(line, 1, 75) sprintf("%02d", minute) substr(line, 78)
      }
      if (kind == "1") n1++
      if (kind == "3") n3++
      printf "%s\r\n", line
    }
    END { printf "%s%06d%06d%06d%06d\r\n", sumhead, n1, 0, n3, 0 }' "$1" >"$6"
}

# A fresh data directory with department 12100201.103 (demo delivery B, 50 stays) stored and the
# follow-up delivery (ten of its stays, three of them changed) in the import directory.
base_directory() {
  rm -rf "$work"
  mkdir -p "$work"
  cli setup "$work/sys" --import-dir "$work/imp" --export-dir "$work/exp" >/dev/null || return 1
  cp "$demo/A6100101.101" "$demo/B6100201.103" "$work/imp/" || return 1
  delivery_part "$demo/B6100201.103" 1 10 1 3 "$work/imp/C6100201.103" || return 1
  run_clean import "$work/imp/B6100201.103"
}

command_args=()
followup_args=()

prepare() {  # SCENARIO: builds the old state in $work and sets command_args
  local scenario=$1
  base_directory || return 1
  followup_args=(import "$work/imp/C6100201.103")
  case $scenario in
    import-new)
      command_args=(import "$work/imp/A6100101.101")
      ;;
    import-existing)
      delivery_part "$demo/A6100101.101" 1 25 0 -1 "$work/imp/A6100101.101" || return 1
      run_clean import "$work/imp/A6100101.101" || return 1
      # stays 21-25 are delivered again with a changed discharge time, 26-40 are new
      delivery_part "$demo/A6100101.101" 21 40 21 25 "$work/imp/B6100101.101" || return 1
      command_args=(import "$work/imp/B6100101.101")
      ;;
    import-initialise)
      run_clean import "$work/imp/A6100101.101" || return 1
      delivery_part "$demo/A6100101.101" 1 30 1 5 "$work/imp/C6100101.101" || return 1
      command_args=(import --initialise "$work/imp/C6100101.101")
      ;;
    remove)
      run_clean import "$work/imp/A6100101.101" || return 1
      command_args=(remove 12100101.101)
      ;;
    staffing)
      run_clean import "$work/imp/A6100101.101" || return 1
      command_args=(staffing 12100101.101 --dgkp 12,50 --beds 7 --preset E2)
      ;;
  esac
}

# ---- snapshot: what the reading commands and sqlite3 see ----
databases=()  # department database file names registered in the old or the new state

registered_databases() {
  sqlite3 -batch "$work/sys/iadmin.mdb" "SELECT trim(MDB_DATEI) FROM Dateiverwaltung"
}

# One reading command: its output, messages and exit code.
read_with_cli() {
  local rc=0
  cli "$@" >"$tmp/out" 2>"$tmp/err" || rc=$?
  echo "### kalvora-cli $*"
  cat "$tmp/out"
  echo "--- messages"
  cat "$tmp/err"
  echo "--- exit $rc"
}

# One sqlite3 query: its output, errors and exit code.
query() {  # FILE SQL
  local rc=0
  sqlite3 -batch "$1" "$2" 2>&1 || rc=$?
  [ $rc -eq 0 ] || echo "--- sqlite3 exit $rc"
}

database_content() {  # FILE
  local file=$1 table columns order i
  echo "integrity: $(query "$file" 'PRAGMA integrity_check' | paste -sd ' ')"
  echo "schema: $(query "$file" "SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY type, name" | sha256sum | cut -c1-16)"
  while IFS= read -r table; do
    [ -n "$table" ] || continue
    [ "$table" != "Satzart 3 - TISS28 TEMP" ] || continue  # work table of the import
    columns=$(query "$file" "SELECT count(*) FROM pragma_table_info('$table')")
    order=1
    for ((i = 2; i <= columns; i++)); do order+=",$i"; done
    echo "table $table: $(query "$file" "SELECT count(*) FROM \"$table\"") rows," \
         "$(query "$file" "SELECT * FROM \"$table\" ORDER BY $order" | sha256sum | cut -c1-16)"
  done < <(query "$file" "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")
}

snapshot() {  # OUTPUT
  local system=$work/sys db
  {
    # The first command after a kill is a reading one: it may finish or undo the interrupted
    # change. sqlite3 looks at the files only after it.
    read_with_cli departments
    for db in "${databases[@]}"; do read_with_cli stays "$db"; done
    echo "### iadmin.mdb"
    if [ -f "$system/iadmin.mdb" ]; then
      echo "integrity: $(query "$system/iadmin.mdb" 'PRAGMA integrity_check' | paste -sd ' ')"
      echo "Dateiverwaltung:"
      query "$system/iadmin.mdb" "SELECT * FROM Dateiverwaltung ORDER BY KANR, ABTEILUNG, MDB_DATEI"
    else
      echo "missing"
    fi
    echo "### ibds.mdb"
    if [ -f "$system/ibds.mdb" ]; then
      echo "integrity: $(query "$system/ibds.mdb" 'PRAGMA integrity_check' | paste -sd ' ')"
    else
      echo "missing"
    fi
    for db in "${databases[@]}"; do
      echo "### $db"
      if [ -f "$system/$db" ]; then database_content "$system/$db"; else echo "missing"; fi
    done
  } >"$1"
}

# Runs a command uninterrupted; it must succeed.
run_clean() {
  local rc=0
  cli "$@" >"$tmp/clean.out" 2>"$tmp/clean.err" || rc=$?
  if [ $rc -ne 0 ]; then
    echo "kalvora-cli $* failed with exit $rc:" >&2
    cat "$tmp/clean.err" >&2
    return 1
  fi
}

# The reference states: old, new, and each followed by the follow-up import.
references() {  # DIR
  local dir=$1 run
  restore
  snapshot "$dir/old"
  run_clean "${followup_args[@]}" || return 1
  snapshot "$dir/old+followup"
  restore
  snapshot "$dir/old2"
  for run in 1 2; do
    restore
    run_clean "${command_args[@]}" || return 1
    snapshot "$dir/new$run"
    run_clean "${followup_args[@]}" || return 1
    snapshot "$dir/new$run+followup"
  done
}

show_diff() {  # LABEL EXPECTED ACTUAL
  echo "    differs from $1:"
  diff "$2" "$3" | head -n 12 | sed 's/^/      /' || true
}

# ---- one scenario ----
run_scenario() {
  local scenario=$1
  local dir=$tmp/$scenario
  mkdir -p "$dir"
  work=$dir/work
  saved=$dir/old-directory
  if ! prepare "$scenario" >"$dir/prepare.log" 2>&1; then
    echo "$scenario: FAILED - the old state cannot be prepared:"
    sed 's/^/    /' "$dir/prepare.log"
    failed=$((failed + 1))
    return
  fi
  rm -rf "$saved"
  cp -a "$work" "$saved"

  # the department databases of either state
  restore
  local names
  names=$(registered_databases)
  restore
  run_clean "${command_args[@]}" 2>/dev/null || true  # a failure is reported with the references
  names+=$'\n'$(registered_databases)
  mapfile -t databases < <(printf '%s\n' "$names" | sed '/^$/d' | sort -u)

  local problem=""
  references "$dir" 2>"$dir/references.log" || problem="the uninterrupted command fails: $(cat "$dir/references.log")"
  if [ -z "$problem" ]; then
    if ! cmp -s "$dir/old" "$dir/old2"; then problem="the old snapshot is not reproducible"
    elif ! cmp -s "$dir/new1" "$dir/new2"; then problem="two uninterrupted runs give different snapshots"
    elif ! cmp -s "$dir/new1+followup" "$dir/new2+followup"; then
      problem="two uninterrupted runs and the follow-up import give different snapshots"
    elif cmp -s "$dir/old" "$dir/new1"; then problem="the command changes nothing the snapshot sees"
    elif grep -h '^integrity: ' "$dir/old" "$dir/new1" "$dir/old+followup" "$dir/new1+followup" |
           grep -qv '^integrity: ok$'; then
      problem="a reference state is not intact"
    fi
  fi
  if [ -n "$problem" ]; then
    echo "$scenario: FAILED - $problem"
    [ ! -f "$dir/new2" ] || show_diff "the first run" "$dir/new1" "$dir/new2"
    failed=$((failed + 1))
    return
  fi

  # how often the uninterrupted command makes each system call (per process)
  local traced=()
  local syscall
  for syscall in "${syscalls[@]}"; do
    if strace -qq -o /dev/null -e trace="$syscall" true >/dev/null 2>&1; then traced+=("$syscall"); fi
  done
  restore
  local trace_list
  trace_list=$(IFS=,; echo "${traced[*]}")
  strace -f -qq -o "$dir/trace" -e trace="$trace_list" "$cli_binary" --ini "$work/k.ini" --locale de \
    "${command_args[@]}" >/dev/null 2>&1 || true
  declare -A calls=()
  while read -r name count; do calls[$name]=$count; done < <(
    awk 'match($0, /^[0-9]+ +[a-z0-9_]+\(/) { split(substr($0, 1, RLENGTH - 1), f, " "); n[f[2] " " f[1]]++ }
         END { for (k in n) { split(k, f, " "); if (n[k] > most[f[1]]) most[f[1]] = n[k] }
               for (s in most) print s, most[s] }' "$dir/trace")

  for syscall in "${traced[@]}"; do
    local made=${calls[$syscall]:-0}
    if [ "$made" -eq 0 ]; then continue; fi
    local n rc state followup
    for ((n = 1; n <= cap; n++)); do
      restore
      rc=0
      # (the subshell waits for strace, so that the shell's "Killed" notice goes to /dev/null)
      (strace -f -qq -o /dev/null -e trace="$syscall" -e inject="$syscall:signal=KILL:when=$n" \
        "$cli_binary" --ini "$work/k.ini" --locale de "${command_args[@]}" >/dev/null 2>&1
       status=$?; exit $status) 2>/dev/null || rc=$?
      if [ $rc -ne 137 ]; then
        if [ "$n" -le "$made" ]; then
          echo "$scenario $syscall#$n: not killed (exit $rc) although the command makes $made such calls"
        fi
        break
      fi
      local point="$scenario $syscall#$n"
      snapshot "$dir/after-kill"
      if cmp -s "$dir/after-kill" "$dir/old"; then state=old
      elif cmp -s "$dir/after-kill" "$dir/new1"; then state=new
      else state=FAILED
      fi
      # the follow-up import must behave as after that state
      followup=""
      local rc_followup=0
      cli "${followup_args[@]}" >/dev/null 2>"$tmp/followup.err" || rc_followup=$?
      snapshot "$dir/after-followup"
      if [ $state = old ] && cmp -s "$dir/after-followup" "$dir/old+followup"; then followup=ok
      elif [ $state = new ] && cmp -s "$dir/after-followup" "$dir/new1+followup"; then followup=ok
      elif [ $state = FAILED ] && { cmp -s "$dir/after-followup" "$dir/old+followup" ||
                                    cmp -s "$dir/after-followup" "$dir/new1+followup"; }; then followup=ok
      else followup=FAILED
      fi
      if [ $state != FAILED ] && [ $followup = ok ]; then
        echo "$point: $state"
        passed=$((passed + 1))
        continue
      fi
      failed=$((failed + 1))
      if [ $state = FAILED ]; then
        echo "$point: FAILED - the state is neither the old nor the new one"
        show_diff old "$dir/old" "$dir/after-kill"
        show_diff new "$dir/new1" "$dir/after-kill"
      fi
      if [ $followup = FAILED ]; then
        [ $state = FAILED ] || echo "$point: FAILED - reads as $state, but the follow-up import then differs"
        echo "    follow-up kalvora-cli ${followup_args[*]}: exit $rc_followup $(head -c 300 "$tmp/followup.err" | paste -sd ' ')"
        if [ $state = new ]; then
          show_diff "new + follow-up" "$dir/new1+followup" "$dir/after-followup"
        else
          show_diff "old + follow-up" "$dir/old+followup" "$dir/after-followup"
        fi
      fi
      if [ -n "$keep" ]; then
        mkdir -p "$keep/$scenario"
        cp "$dir/old" "$dir/new1" "$dir/old+followup" "$dir/new1+followup" "$keep/$scenario/"
        cp "$dir/after-kill" "$keep/$scenario/$syscall-$n.after-kill"
        cp "$dir/after-followup" "$keep/$scenario/$syscall-$n.after-followup"
      fi
    done
    if [ "$n" -gt "$cap" ]; then echo "$scenario $syscall: stopped at the cap of $cap kill points"; fi
  done
}

for scenario in "${scenarios[@]}"; do run_scenario "$scenario"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
