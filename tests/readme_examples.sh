#!/usr/bin/env bash
# Runs the velquor-cli examples of the README and the pages it leads to as a newcomer would:
# every line of their code blocks that calls velquor-cli, or sets up for it (export PATH, cp,
# mkdir, cd), in the order of the pages given and in order within each, in one shell, from a
# scratch directory laid out like the source tree (examples/ and build/app/velquor-cli). Lines
# for a command this velquor-cli does not know, or for the real cards, are skipped and listed.
# Fails naming the page and line of each command that fails.
# usage: readme_examples.sh EXAMPLES_DIR VELQUOR_CLI PAGE.md...
set -uo pipefail
examples=$(realpath "$1")
cli=$(realpath "$2")
shift 2
pages=()
for page in "$@"; do
  pages+=("$(realpath "$page")")
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/root/build/app" "$scratch/home"
cp -r "$examples" "$scratch/root/examples"
ln -s "$cli" "$scratch/root/build/app/velquor-cli"
export HOME="$scratch/home"
cd "$scratch/root" || exit 1

# Code-block lines named by page and line number, trailing comments removed.
mapfile -t lines < <(for page in "${pages[@]}"; do
  awk -v page="$(basename "$page")" '/^```/ { block = !block; next }
    block { sub(/[ \t]+#.*$/, ""); sub(/^[ \t]+/, ""); if ($0 != "") print page ":" FNR "\t" $0 }' "$page"
done)

failed=0
ran=0
for entry in "${lines[@]}"; do
  number=${entry%%$'\t'*}
  line=${entry#*$'\t'}
  read -r first second _ <<<"$line"
  case $first in
    export | cp | mkdir | cd)
      [[ $first != export || $line == *PATH=* ]] || continue
      ;;
    velquor-cli | */velquor-cli)
      if [[ $line == *"--daq comedi"* ]]; then
        echo "skipped $number (needs a card): $line"
        continue
      fi
      if [[ $second != -* ]] && ! "$cli" "$second" --help >/dev/null 2>&1; then
        echo "skipped $number (no command \"$second\" in this build): $line"
        continue
      fi
      ran=$((ran + 1))
      ;;
    *) continue ;;
  esac
  # In this shell, so that cd and export carry on to the lines after.
  if ! eval "$line" >"$scratch/output" 2>&1; then
    echo "$number failed: $line"
    tail -n 5 "$scratch/output"
    failed=1
  fi
done
echo "$ran velquor-cli example commands run"
if [[ $ran -eq 0 ]]; then
  echo "no velquor-cli example found in ${pages[*]}"
  exit 1
fi
exit $failed
