#!/bin/sh
# Faults of real cards planted in the simulated card, each run through the real comedilib and
# velquor-cli measure: one row per fault with the environment that plants it, the exit status
# expected and the texts the output must hold. $1 is the fake card library, $2 velquor-cli.
lib=$1
cli=$2
failed=0
top=$(mktemp -d)
trap 'rm -rf "$top"' EXIT

# measure NAME ENV... -- ARGS...: runs velquor-cli in a directory of its own, named NAME;
# leaves its output in $top/NAME.out and its exit status in $top/NAME.rc.
measure() {
  name=$1
  shift
  mkdir "$top/$name"
  envs=""
  while [ "$1" != "--" ]; do envs="$envs $1"; shift; done
  shift
  (cd "$top/$name" && env LD_PRELOAD="$lib" ASAN_OPTIONS=verify_asan_link_order=0 $envs \
    "$cli" measure --daq comedi "$@" >"$top/$name.out" 2>&1; echo $? >"$top/$name.rc")
}

# expect NAME STATUS TEXT...: the run's exit status and, each as a fixed string, its texts.
expect() {
  name=$1
  rc=$(cat "$top/$name.rc")
  [ "$rc" -eq "$2" ] || { echo "$name: exit status $rc, not $2"; failed=1; }
  shift 2
  for text in "$@"; do
    grep -qF -- "$text" "$top/$name.out" || { echo "$name: no \"$text\""; failed=1; }
  done
}

# The encoder columns (Encoder(0), Encoder(1)) of a run's per-sample file.
encoders() {
  tail -n +3 "$top/$1"/*_csv.csv | cut -d, -f3,4
}

# Paced runs at 50 ms: a scan may come up to 200 ms late before the read fails, so a loaded
# machine does not fail the table.
short="--interval 50 --samples 10 --cycles 1"

# An 8255 card, as the baseline for the encoder counts.
measure baseline -- $short
expect baseline 0 "cycle 1: wrote"

# Lines with a direction each, all left outputs: each is made an input, and the encoders
# read what an 8255 card reads.
measure per_line VELQUOR_FAKE_CARD_PER_LINE_DIO=1 -- $short
expect per_line 0 "cycle 1: wrote" \
  "DioOpen: lines 0-23 of digital subdevice 1 on /dev/comedi0 made inputs"
if [ "$(encoders per_line)" != "$(encoders baseline)" ] || [ -z "$(encoders baseline)" ]; then
  echo "per_line: the encoder counts differ from an 8255 card's:"
  encoders per_line | head -3
  failed=1
fi

# The driver detached during a paced run: 71Ah, both devices closed before the run reports.
measure detach VELQUOR_FAKE_CARD_DETACH_AFTER_SCANS=30 VELQUOR_FAKE_CARD_SAY_CLOSE=1 -- \
  --interval 50 --samples 20 --cycles 3
expect detach 1 "runs paced by the card's clock" "cycle 1: wrote" \
  "of cycle 2: the A/D device could not be read (AioInp failed with code 71Ah" \
  "the card is gone (unplugged, or its driver detached)"
closed=$(sed -n '/Sampling stopped/q;/closed (0 open)/p' "$top/detach.out")
[ -n "$closed" ] || { echo "detach: both devices were not closed before the run reported"; failed=1; }
if grep -qF "could not be cancelled" "$top/detach.out"; then
  echo "detach: a cancel refused by a card that is gone was reported as a fault of its own"
  failed=1
fi

# Inputs that offer only the common reference are measured against it, paced by the card
# and read sample by sample (100 ms is beyond the card's timer), and read right.
for pacing in 50 100; do
  measure "common_$pacing" VELQUOR_FAKE_CARD_COMMON_ONLY=1 -- --interval "$pacing" --samples 5 --cycles 1
  expect "common_$pacing" 0 "cycle 1: wrote" \
    "(COMMON, the only reference it offers, not GND as the A/D Reference box says)"
  # Read one by one, channel 0 reads its input, 2.5 V. A paced scan k carries its number in
  # channel 0 and reads channel 1 k codes above its input, -5 V.
  if [ "$pacing" -eq 100 ]; then
    volts=$(tail -n +3 "$top/common_$pacing"/*_csv.csv | cut -d, -f5 | sort -u)
    [ "$volts" = " 2.5" ] || { echo "common_$pacing: Volt(0) read \"$volts\", not 2.5"; failed=1; }
  else
    off=$(tail -n +3 "$top/common_$pacing"/*_csv.csv | cut -d, -f6 |
      awk '$1 < -5.0001 || $1 > -4.9 { print; exit }')
    [ -z "$off" ] || { echo "common_$pacing: Volt(1) read \"$off\", not -5 V and a few codes"; failed=1; }
  fi
done
expect common_50 0 "runs paced by the card's clock"
expect common_100 0 "samples are read one by one on the program's clock"

# Another program holds the card: at open, or running a command on the analog input (so the
# run's command and then its first read are refused).
measure busy_open VELQUOR_FAKE_CARD_BUSY=open -- $short
expect busy_open 1 "cannot open /dev/comedi0: Device or resource busy (another program is using /dev/comedi0; fuser /dev/comedi0 shows which)" \
  "could not be opened; nothing was measured"
measure busy_ai VELQUOR_FAKE_CARD_BUSY=ai -- $short
expect busy_ai 1 \
  "did not start its command (Device or resource busy; another program is using /dev/comedi0 (its subdevice 0); fuser /dev/comedi0 shows which)" \
  "Sampling stopped at sample 1 of cycle 1: the A/D device could not be read (AioInp failed with code 714h" \
  "Device or resource busy; another program is using /dev/comedi0 (its subdevice 0); fuser /dev/comedi0 shows which"

if [ "$failed" -ne 0 ]; then
  for f in "$top"/*.out; do echo "== $f"; cat "$f"; done
fi
exit "$failed"
