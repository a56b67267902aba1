#!/usr/bin/env bash
# A small study measured on the simulated rig with velquor-cli, as an operator would: two
# participants over three sessions. The catalogue written as the trials were saved equals the
# one a scan rebuilds from the files, a second scan changes nothing, the progress report judges
# each session against the minimal detectable change set, and the exported dataset has every
# run and passes the dataset validator (when the test tools are installed).
# usage: study_end_to_end.sh EXAMPLES_DIR VELQUOR_CLI VALIDATOR
set -euo pipefail
examples=$(realpath "$1")
cli=$(realpath "$2")
validator=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$examples" "$scratch/rig"
cd "$scratch/rig"
export HOME="$scratch"

fail() {
  echo "study_end_to_end: $*" >&2
  exit 1
}

# A minimal detectable change of the contact angle, kept through every run's rewrite of the file.
printf '"MDC",contact_angle_deg,5\r\n' >>Velquor.ini

for p in P01 P02; do
  for s in 1 2 3; do
    "$cli" measure --participant "$p" --session "$s" --task steady --trial-length 4 \
      --interval 2 --samples 1000 --daq "sim:$s" >/dev/null 2>"$scratch/measure.err" ||
      fail "measure $p $s: $(tail -n 3 "$scratch/measure.err")"
  done
done

grep -q '^"MDC",contact_angle_deg,5' Velquor.ini || fail "the MDC line was lost from Velquor.ini"

"$cli" catalogue list --json . >"$scratch/live.json"
rows=$(grep -o '"trial":' "$scratch/live.json" | wc -l)
[ "$rows" -eq 6 ] || fail "the catalogue written live lists $rows trials, not 6"
for who in '"participant":"P01","session":"3"' '"participant":"P02","session":"1"'; do
  grep -q "$who" "$scratch/live.json" || fail "no trial with $who in the live catalogue"
done

rm -f velquor-catalogue.sqlite velquor-catalogue.sqlite-wal velquor-catalogue.sqlite-shm
"$cli" catalogue scan . 2>/dev/null || fail "the first scan failed"
"$cli" catalogue list --json . >"$scratch/scanned.json"
cmp -s "$scratch/live.json" "$scratch/scanned.json" ||
  fail "the rebuilt catalogue differs from the live one: $(diff "$scratch/live.json" "$scratch/scanned.json" | head -c 400)"
said=$("$cli" catalogue scan . 2>&1) || fail "the second scan failed: $said"
[[ $said == *"0 rows added, 0 changed, 0 removed"* ]] || fail "the second scan changed rows: $said"

"$cli" progress --participant P01 --task steady --pdf "$scratch/p01.pdf" >"$scratch/progress.out" 2>&1 ||
  fail "progress: $(cat "$scratch/progress.out")"
grep -q "3 sessions" "$scratch/progress.out" || fail "progress: $(cat "$scratch/progress.out")"
pdftotext -layout "$scratch/p01.pdf" "$scratch/p01.txt"
# Sessions 2 and 3 are each judged against the first, within or beyond the band of 5 degrees.
judged=$(grep -c -E "(within|beyond)" "$scratch/p01.txt" || true)
[ "$judged" -ge 2 ] || fail "the progress report judges $judged changes: $(head -c 600 "$scratch/p01.txt")"
"$cli" progress --participant P01 --pdf "$scratch/p01.pdf" >/dev/null 2>&1 &&
  fail "progress replaced an existing PDF"

"$cli" export-bids --out "$scratch/ds" >/dev/null 2>"$scratch/export.err" ||
  fail "export-bids: $(cat "$scratch/export.err")"
runs=$(find "$scratch/ds" -name '*_motion.tsv' | wc -l)
[ "$runs" -eq 6 ] || fail "the export holds $runs runs, not 6"
if [ -x "$validator" ]; then
  "$validator" "$scratch/ds" >"$scratch/validator.out" 2>&1 ||
    fail "the validator found errors: $(grep -A3 'ERR' "$scratch/validator.out" | head -20)"
elif [ -n "${VELQUOR_REQUIRE_TEST_TOOLS:-}" ]; then
  fail "$validator is missing: run bash scripts/setup.sh --test-tools"
else
  echo "study_end_to_end: the validator is not installed; the export was not validated"
fi
echo "study_end_to_end: 6 trials measured, catalogued live and rebuilt alike, progress judged, exported"
