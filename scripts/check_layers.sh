#!/usr/bin/env bash
# Fails when a folder of src/ or app/ includes a folder above it. The floors, lowest first; a
# folder may include its own floor and the floors below. Every */ui folder and ui_kit stand on
# the whole core; app stands on everything.
set -euo pipefail
cd "$(dirname "$0")/.."

floors=(common record daq analysis plot files calibration replay catalogue backend measure session
  workspace report ui_kit ui app)

floor_of() {
  local i
  for i in "${!floors[@]}"; do
    if [ "${floors[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

# The floor a source file stands on: app/..., src/X/ui/... (ui), src/X/... (X).
file_floor() {
  case "$1" in
  app/*) floor_of app ;;
  src/*/ui/*) floor_of ui ;;
  *)
    local top=${1#src/}
    floor_of "${top%%/*}"
    ;;
  esac
}

# The floor an include names: "X/ui/..." is ui, "X/..." is X, "app/..." is app.
include_floor() {
  case "$1" in
  app/*) floor_of app ;;
  */ui/*) floor_of ui ;;
  *) floor_of "${1%%/*}" ;;
  esac
}

problems=0
while IFS= read -r file; do
  own=$(file_floor "$file")
  if [ "$own" -lt 0 ]; then
    echo "check_layers: $file stands in a folder that has no floor; add it to scripts/check_layers.sh" >&2
    problems=1
    continue
  fi
  while IFS= read -r line; do
    n=${line%%:*}
    inc=${line#*:}
    inc=${inc#*\"}
    inc=${inc%%\"*}
    case "$inc" in */*) ;; *) continue ;; esac # a file beside this one
    theirs=$(include_floor "$inc")
    if [ "$theirs" -lt 0 ]; then
      continue # not one of ours (a generated header, say)
    fi
    if [ "$theirs" -gt "$own" ]; then
      echo "check_layers: $file:$n includes $inc, a floor above ${floors[$own]}" >&2
      problems=1
    fi
  done < <(grep -n '^#include "' "$file" || true)
done < <(find src app -name '*.h' -o -name '*.cpp' | sort)

if [ "$problems" -ne 0 ]; then
  echo "check_layers: the floors, lowest first: ${floors[*]}" >&2
  exit 1
fi
echo "check_layers: every include stands on its own floor or one below"
