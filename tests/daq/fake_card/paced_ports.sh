#!/bin/sh
# Card-paced runs of velquor-cli against the simulated card, one row each: how the card hands
# its scans over and how long a port read takes. Channel 0 of each streamed scan holds its
# number and encoder 0 the count of scans made when the ports were read, so the saved
# per-sample file says how many scans behind its voltages each port read was. For every cycle
# paced by the card, each sample whose ports came a scan or more late must be among the late
# ones `--timing` counts, and the ports' lag is reported as its own figure; when bunches keep
# the ports from their scans the run says so and reads sample by sample from the next cycle.
# $1 is the fake card library, $2 velquor-cli.
lib=$(realpath "$1")
cli=$(realpath "$2")
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "$row: $*"
  failed=1
}

# row NAME INTERVAL BUNCH PORT_DELAY_US LAG_LOW LAG_HIGH FALLBACK
#   LAG_LOW..LAG_HIGH: ms the ports' median lag must lie in on every paced cycle;
#   FALLBACK: 1 when the first cycle must end the card's pacing.
row() {
  row=$1
  dir="$work/$1"
  mkdir -p "$dir"
  out=$(cd "$dir" && env LD_PRELOAD="$lib" ASAN_OPTIONS=verify_asan_link_order=0 \
    VELQUOR_FAKE_CARD_COUNT_SCANS=1 VELQUOR_FAKE_CARD_BUNCH="$3" \
    VELQUOR_FAKE_CARD_PORT_DELAY_US="$4" \
    "$cli" measure --daq comedi --interval "$2" --samples 200 --cycles 3 --timing 2>&1) ||
    fail "exit status $?"
  echo "$out" | grep '^timing\|notice: cycle' | sed "s/^/$row: /"
  notice="the card delivered $3 scans at a time; the ports could not be read with their scans; reading sample by sample"
  if [ "$7" -eq 1 ]; then
    echo "$out" | grep -qF "cycle 1: $notice" || fail "no notice \"cycle 1: $notice\""
  elif echo "$out" | grep -q 'reading sample by sample'; then
    fail "the card's pacing ended"
  fi
  cycle=0
  for file in $(cd "$dir" && ls ./*_csv.csv); do
    cycle=$((cycle + 1))
    timing=$(echo "$out" | grep '^timing' | sed -n "${cycle}p")
    paced=1
    [ "$7" -eq 1 ] && [ "$cycle" -gt 1 ] && paced=0
    if [ "$paced" -eq 0 ]; then
      echo "$timing" | grep -q 'port lag' && fail "cycle $cycle was read sample by sample yet has a port lag"
      continue
    fi
    echo "$timing" | grep -q 'port lag p50 [0-9.-]* ms p99 [0-9.-]* ms max [0-9.-]* ms$' ||
      fail "cycle $cycle: no port lag in \"$timing\""
    late=$(echo "$timing" | sed 's/.*, late \([0-9]*\),.*/\1/')
    p50=$(echo "$timing" | sed 's/.*port lag p50 \([0-9.-]*\) ms.*/\1/')
    # Scans behind: encoder 0 (scans made at the port read) less the scan's number (channel 0).
    behind=$(awk -F, 'NR > 2 && NF > 5 {
        scan = int(($5 + 10) * 4096 / 20 + 0.5); d = ($3 - scan + 8192) % 4096
        if (d > 0) n++; if (d > most) most = d
      } END { printf "%d %d", n, most }' "$dir/$file")
    lagged=${behind% *}
    most=${behind#* }
    echo "$row: cycle $cycle: $lagged port reads a scan or more behind (at most $most)"
    [ "$lagged" -le "$late" ] || fail "cycle $cycle: $lagged ports a scan late, but $late counted late"
    awk -v p="$p50" -v lo="$5" -v hi="$6" 'BEGIN { exit !(p >= lo && p <= hi) }' ||
      fail "cycle $cycle: port lag p50 $p50 ms, not within $5..$6 ms"
  done
  [ "$cycle" -eq 3 ] || fail "$cycle cycles saved, not 3"
}

# The upper ends leave room for a machine busy with other work.
#   name                 interval bunch delay_us lag_ms    fallback
row one-scan-at-a-time   10       1     0        0    5    0
row slow-port-read       10       1     2000     2.0  7    0
row eight-at-a-time      5        8     0        0    100  1
exit $failed
