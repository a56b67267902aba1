#!/bin/sh
# Writes the gzipped manual page of a Velquor program from its own --help and --version with
# help2man; for velquor-cli every command's --help becomes a subsection of COMMANDS.
# usage: man-page.sh PROGRAM OUTPUT.1.gz "one-line description" INCLUDE.h2m
set -eu
program=$1
output=$2
name=$3
include=$4
here=$(dirname "$0")
work="$output.work"
rm -rf "$work"
mkdir -p "$work"
trap 'rm -rf "$work"' EXIT

set -- --include="$include"
commands=$("$program" --help | sed -n 's/^\(usage:\)\{0,1\} *velquor-cli \([a-z][a-z-]*\).*/\2/p')
if [ -n "$commands" ]; then
  echo '[COMMANDS]' >"$work/commands.h2m"
  for command in $commands; do
    "$program" "$command" --help | awk -v command="$command" -f "$here/help-to-roff.awk"
  done >>"$work/commands.h2m"
  set -- "$@" --include="$work/commands.h2m"
fi

# help2man takes the synopsis from "Usage:" and "or:" lines; velquor-cli writes "usage:" and
# indents the other forms.
mkdir "$work/bin"
wrapper="$work/bin/$(basename "$program")"
cat >"$wrapper" <<WRAPPER
#!/bin/sh
if [ "\$1" = --help ]; then "$program" --help | sed -e 's/^usage:/Usage:/' -e '1,/^\$/s/^  *\([a-z]\)/  or:  \1/'; else exec "$program" "\$@"; fi
WRAPPER
chmod +x "$wrapper"

help2man --no-info --no-discard-stderr --section=1 --name="$name" \
  "$@" --output="$work/page.1" "$wrapper"
gzip -9n -c "$work/page.1" >"$output"
