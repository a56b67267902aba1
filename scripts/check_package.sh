#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root (dpkg -x) and checks that what its desktop
# entry, manual pages and README promise is there and works from the unpacked files.
# usage: check_package.sh velquor_VERSION_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/.."
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
problems=0
fail() {
  echo "check_package: $*" >&2
  problems=1
}

version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *fonts-ipafont-gothic* ]] || fail "Depends lacks the Japanese font: $depends"
[[ $depends == *libqt6widgets6* ]] || fail "Depends lacks the computed Qt library: $depends"

share=$root/usr/share
for f in usr/bin/velquor usr/bin/velquor-cli usr/share/applications/velquor.desktop \
  usr/share/metainfo/org.velquor.Velquor.metainfo.xml \
  usr/share/bash-completion/completions/velquor-cli \
  usr/share/doc/velquor/README.md usr/share/doc/velquor/docs/headless.md usr/share/doc/velquor/copyright \
  usr/share/doc/velquor/changelog.gz usr/share/doc/velquor/Velquor.ini \
  usr/share/doc/velquor/examples/Velquor.ini usr/share/doc/velquor/examples/Velquor.clb; do
  [ -f "$root/$f" ] || fail "missing /$f"
done

for program in velquor velquor-cli; do
  [ "$("$root/usr/bin/$program" --version)" = "$program $version" ] ||
    fail "$program --version does not say $version"
  page=$share/man/man1/$program.1.gz
  if [ ! -f "$page" ]; then
    fail "missing /usr/share/man/man1/$program.1.gz"
    continue
  fi
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$program.1: $warnings"
  # Every option of the program's --help is on its page.
  text=$(zcat "$page" | sed 's/\\-/-/g')
  for option in $("$root/usr/bin/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" <<<"$text" || fail "$program.1 lacks $option"
  done
done
# Every velquor-cli command has its subsection with all its options.
commands=$("$root/usr/bin/velquor-cli" --help |
  sed -n 's/^\(usage:\)\{0,1\} *velquor-cli \([a-z][a-z-]*\).*/\2/p')
text=$(zcat "$share/man/man1/velquor-cli.1.gz" | sed 's/\\-/-/g')
for command in $commands; do
  section=$(sed -n "/^\.SS \"velquor-cli $command\"/,/^\.S[SH] /p" <<<"$text")
  [ -n "$section" ] || fail "velquor-cli.1 has no section for $command"
  for option in $("$root/usr/bin/velquor-cli" "$command" --help | grep -o -- '--[a-z][a-z-]*'); do
    grep -q -- "$option" <<<"$section" || fail "velquor-cli.1 lacks $command $option"
  done
done

entry=$share/applications/velquor.desktop
desktop-file-validate "$entry" | grep -v ': hint: ' && fail "desktop-file-validate: velquor.desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$root/usr/bin/$exec_name" ] || fail "the desktop entry starts $exec_name, not in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48 px icon $icon.png"
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
[ "$(file -b --mime-type "$share/icons/hicolor/48x48/apps/$icon.png")" = image/png ] ||
  fail "$icon.png is no PNG"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$share/metainfo/org.velquor.Velquor.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate: org.velquor.Velquor.metainfo.xml"
fi
bash -n "$share/bash-completion/completions/velquor-cli" || fail "the completion is no bash"

# The README's examples run from the installed documentation with the installed tool.
doc=$share/doc/velquor
bash tests/readme_examples.sh "$doc/examples" "$root/usr/bin/velquor-cli" "$doc/README.md" \
  "$doc/docs/headless.md" "$doc/docs/operator.md" "$doc/docs/hardware.md" \
  "$doc/docs/architecture.md" >/dev/null || fail "README examples fail from the package"

[ $problems -eq 0 ] && echo "check_package: $(basename "$deb") holds what it promises"
exit $problems
