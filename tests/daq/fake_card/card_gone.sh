#!/bin/sh
# A card unplugged during the second cycle of a velquor-cli run: the first cycle is saved,
# the run stops at the failed read naming the device and that the card is gone, and the
# program exits 1. $1 is the fake card library, $2 velquor-cli.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
out=$(env LD_PRELOAD="$1" VELQUOR_FAKE_CARD_GONE_AFTER=150 ASAN_OPTIONS=verify_asan_link_order=0 \
  "$2" measure --daq comedi --interval 1 --samples 100 --cycles 3 2>&1)
rc=$?
echo "$out"
[ "$rc" -eq 1 ] || { echo "exit status $rc, not 1"; exit 1; }
echo "$out" | grep -q '^cycle 1: wrote' || { echo "cycle 1 was not saved"; exit 1; }
echo "$out" | grep -q 'sample 51 of cycle 2: the DIO device could not be read.*the card is gone' ||
  { echo "no notice of the card gone at sample 51 of cycle 2"; exit 1; }
[ "$(ls ./*_dat.csv | wc -l)" -eq 1 ] || { echo "not exactly one measurement saved"; exit 1; }
