#!/usr/bin/env bash
# Runs the bash completion of velquor-cli against the built tool, with the few helpers of the
# bash-completion package it calls replaced by stand-ins that say what they were asked for.
# Fails naming each command line whose completion differs from what is expected.
# usage: completion_test.sh COMPLETION_SCRIPT VELQUOR_CLI
set -uo pipefail
cli=$(realpath "$2")

_init_completion() {
  words=("${COMP_WORDS[@]}")
  cword=$COMP_CWORD
  cur=${words[cword]}
  prev=${words[cword - 1]}
}
_filedir() { COMPREPLY=("(files $*)"); }
compopt() { :; }
# shellcheck source=/dev/null
source "$1"

failed=0
# The line typed (the word completed is its last, possibly empty) and the words offered.
check() {
  local line=$1 expected=$2
  read -r -a COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]=$cli
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _velquor_cli
  local got="${COMPREPLY[*]}"
  if [[ $got != "$expected" ]]; then
    echo "\"$line\": expected \"$expected\", got \"$got\""
    failed=1
  fi
}

check "velquor-cli " "reanalyse measure pushes report feedback catalogue progress export-bids --version --help"
check "velquor-cli feedback --" "--print --help"
check "velquor-cli pu" "pushes"
check "velquor-cli pushes --" \
  "--json --csv --threshold --min-peak --min-push --merge-gap --skip-first --skip-last --from --to --help"
check "velquor-cli reanalyse --o" "--out --overwrite"
check "velquor-cli pushes --csv " "(files -d)"
check "velquor-cli reanalyse --png pics --out " "(files -d)"
check "velquor-cli report --pdf " "(files pdf)"
check "velquor-cli pushes --threshold " ""
check "velquor-cli measure --daq re" "replay:"
check "velquor-cli reanalyse --channel c" "ch0 ch1"
check "velquor-cli report --pdf r.pdf R" "(files csv)"
exit $failed
