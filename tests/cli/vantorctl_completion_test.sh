#!/usr/bin/env bash
# The bash completion of vantorctl against the built program: commands, options and files.
# Usage: vantorctl_completion_test.sh VANTORCTL COMPLETION_SCRIPT
set -uo pipefail
program=$1
completion=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
ln -s "$(realpath "$program")" "$work/bin/vantorctl"
touch "$work/config.vtr" "$work/other.txt"
export PATH="$work/bin:$PATH"
# shellcheck source=/dev/null
source "$completion"

failures=0
# expect "WORDS ON THE LINE" "EXPECTED REPLIES, SORTED"
expect() {
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _vantorctl
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
    if [[ ${got% } != "$2" ]]; then
        echo "FAIL: '$1' completed to '${got% }', expected '$2'"
        failures=$((failures + 1))
    fi
}

all=$(vantorctl --help | awk '/^Subcommands:$/ { on = 1; next } on && /^  [^ ]/ { print $1 }' |
    sort | tr '\n' ' ')
for command in show normalize status start stop reload; do
    [[ " $all" == *" $command "* ]] || { echo "FAIL: $command not in --help"; failures=$((failures + 1)); }
done
expect "vantorctl " "${all% }"
expect "vantorctl st" "start status stop"
expect "vantorctl stop -" "--help --timeout -h"
expect "vantorctl show --json $work/con" "$work/config.vtr"
expect "vantorctl show --f" "--file"
expect "vantorctl check --file $work/con" "$work/config.vtr"
expect "vantorctl normalize $work/config.vtr $work/o" "$work/other.txt"
# Commands with subcommands complete those, then the subcommand's options and files.
expect "vantorctl folder " "add edit"
expect "vantorctl multicast --help st" "start stop"
expect "vantorctl folder add --no-m" "--no-mms-players --no-multicast"
expect "vantorctl folder edit zulu --file $work/con" "$work/config.vtr"
expect "vantorctl restrictions --file x add --l" "--list"
expect "vantorctl disconnect 0 --a" "--address --all"
expect "vantorctl restrictions mode --r" "--replace-damaged"

[[ $failures -eq 0 ]] && echo "completion: all cases passed"
exit $((failures > 0))
