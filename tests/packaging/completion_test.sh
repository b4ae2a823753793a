#!/usr/bin/env bash
# The bash completion of kalvora-cli: commands, options, fixed choices and the department databases
# of the data directory that the command line being completed works on. Prints each case that
# completes wrongly, exits 1 if any does.
set -uo pipefail
cli="${1:?usage: completion_test.sh KALVORA_CLI COMPLETION_FILE}"
completion="${2:?usage: completion_test.sh KALVORA_CLI COMPLETION_FILE}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME"
"$cli" --ini "$work/k.ini" setup "$work/sys" >/dev/null || { echo "setup failed"; exit 1; }
# Two department files beside the administration files, a work file, the lock and a database copy
# whose name has the 8.3 form of a department file but is none.
touch "$work/sys/12100101.101" "$work/sys/12100201.103" "$work/sys/temp-1-22.mdb" "$work/sys/kalvora.lock" \
  "$work/sys/sicher01.mdb"
# A second data directory, chosen by --system-dir alone.
mkdir -p "$work/other" && touch "$work/other/12100301.105"

# shellcheck source=/dev/null
source "$completion"

# The sorted completions of the last word of a command line.
complete_line() {
    COMP_WORDS=("$cli" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kalvora_cli
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//'
}

faults=0
check() {
    local expected=$1
    shift
    local got
    got=$(complete_line "$@")
    if [ "$got" != "$expected" ]; then
        echo "kalvora-cli $*<TAB>: expected \"$expected\", got \"$got\""
        faults=1
    fi
}

dbs="12100101.101 12100201.103"
check "analysis classify config departments export import protocol remove search setup staffing stay stays" ""
check "staffing stay stays" "st"
check "--locale" "--l"
check "Error Warning" "--plaus" ""
check "C de" "--locale" ""
check "$dbs" "--ini" "$work/k.ini" "stays" ""
check "$dbs" "--ini" "$work/k.ini" "remove" "12100101.101" ""
check "$dbs" "--ini" "$work/k.ini" "classify" "--from" "20160101" ""
check "" "--ini" "$work/k.ini" "stay" "12100101.101" ""
check "" "--ini" "$work/k.ini" "staffing" "12100101.101" ""
check "$dbs" "--ini" "$work/k.ini" "search" "--after" ""
check "12100301.105" "--ini" "$work/k.ini" "--system-dir" "$work/other" "analysis" ""
check "J N" "classify" "--multiple-tiss" ""
check "E0 E1 E2 E3 none" "staffing" "12100101.101" "--preset" ""
check "--force" "setup" "--f"
check "--protocol" "import" "--p"
check "--dgkp" "--ini" "$work/k.ini" "staffing" "12100101.101" "--d"
check "--summary" "protocol" "--s"
check "--pdf" "analysis" "--p"
check "$dbs" "--ini" "$work/k.ini" "analysis" "--pdf" "a.pdf" ""
check "Error Warning" "protocol" "--summary" "--type" ""
exit "$faults"
