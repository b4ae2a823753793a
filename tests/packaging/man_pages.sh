#!/usr/bin/env bash
# The manual pages say what `kalvora-cli --help` says: every command with its arguments and options,
# every global option and every exit code has its place in kalvora-cli(1), and groff reads both pages
# without a warning. Prints what is missing, exits 1 if anything is.
set -euo pipefail
cli="${1:?usage: man_pages.sh KALVORA_CLI MAN_DIR}"
man_dir="${2:?usage: man_pages.sh KALVORA_CLI MAN_DIR}"
export LC_ALL=C.UTF-8

faults=0
fail() { echo "$*"; faults=1; }

for page in "$man_dir"/kalvora.1 "$man_dir"/kalvora-cli.1; do
  warnings=$(groff -man -ww -z -K utf8 "$page" 2>&1 || true)
  [ -z "$warnings" ] || fail "groff warns about ${page##*/}: $warnings"
done

# The page as a reader sees it, one long line per paragraph tag, without bold or underline.
text=$(groff -man -T utf8 -K utf8 -rLL=300n -P -cbou "$man_dir/kalvora-cli.1")

# Lines of `--help` under a heading, up to the next empty line.
section() { awk -v heading="$1" '$0 == heading {inside = 1; next} inside && /^$/ {exit} inside {print}'; }
# The options named in such lines (the long name of "-h,--help").
options() { grep -oE -- '--[a-z][a-z-]*' | sort -u; }

help=$("$cli" --help)
commands=$(section "Befehle:" <<<"$help" | awk '{print $1}')
[ -n "$commands" ] || fail "kalvora-cli --help lists no commands"

# Global options: each as a tag of its own in OPTIONEN.
for option in $(section "Optionen:" <<<"$help" | options); do
  grep -qE -- "^ {7}(-h, )?$option( |$)" <<<"$text" || fail "global option $option is not described"
done

# Each command: a tag line of BEFEHLE with its name and its synopsis; its arguments and options
# between it and the next command.
commands_text=$(awk '/^BEFEHLE/ {inside = 1; next} /^[^ ]/ {inside = 0} inside {print}' <<<"$text")
for command in $commands; do
  # (mawk knows no interval expressions: the tag's indent is spelt out.)
  block=$(awk -v tag="^       $command( |\$)" '
    /^[^ ]/ && inside {exit}
    $0 ~ tag {inside = 1; print; next}
    inside && /^       [a-z]/ {exit}
    inside {print}' <<<"$commands_text")
  if [ -z "$block" ]; then
    fail "command $command is not described"
    continue
  fi
  command_help=$("$cli" "$command" --help)
  for option in $(section "Optionen:" <<<"$command_help" | options); do
    [ "$option" = "--help" ] && continue
    grep -qE -- "^ +$option( |$)" <<<"$block" || fail "option $option of $command is not described"
    grep -qF -- "$option" <<<"$(head -n 1 <<<"$block")" || fail "option $option is missing from the synopsis of $command"
  done
  for argument in $(section "Argumente:" <<<"$command_help" | awk '{print $1}'); do
    grep -qE "(^| |\[)$argument( |\.\.\.|\]|$)" <<<"$(head -n 1 <<<"$block")" ||
      fail "argument $argument is missing from the synopsis of $command"
  done
done

# Exit codes: "Rückgabewerte: 0 erledigt; 1 …; 2 …; 3 …" in the help, each a tag of RÜCKGABEWERTE.
codes=$(tr '\n' ' ' <<<"$help" | grep -oE 'Rückgabewerte:.*' | grep -oE '(: |; )[0-9]+ ' | grep -oE '[0-9]+')
[ -n "$codes" ] || fail "kalvora-cli --help names no exit codes"
exit_block=$(awk '/^RÜCKGABEWERTE/ {inside = 1; next} /^[^ ]/ {inside = 0} inside {print}' <<<"$text")
for code in $codes; do
  grep -qE "^ {7}$code( |$)" <<<"$exit_block" || fail "exit code $code is not described"
done

# The version the page names is the program's.
version=$("$cli" --version | awk '{print $2}')
grep -qF "Kalvora $version" <<<"$text" || fail "the page does not name version $version"
exit "$faults"
