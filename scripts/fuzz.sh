#!/usr/bin/env bash
# Builds the libFuzzer targets of the six file readers (data files, settings, calibration,
# replay, trials and trial documents) and runs them side by side for $1 seconds each (default
# 30). Fails on any crash or sanitizer report; the input that caused it is left in
# build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=(data_files_fuzz settings_fuzz calibration_fuzz replay_fuzz trial_csv_fuzz trial_json_fuzz)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

work=build-fuzz/corpus
mkdir -p build-fuzz/artifacts
pids=()
for t in "${targets[@]}"; do
  seeds="fuzz/corpus/${t%_fuzz}"
  mkdir -p "$work/$t"
  ./build-fuzz/fuzz/"$t" "$work/$t" "$seeds" -max_total_time="$seconds" -max_len=16384 \
    -rss_limit_mb=1024 -artifact_prefix=build-fuzz/artifacts/"$t"- \
    >"build-fuzz/$t.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!targets[@]}"; do
  if wait "${pids[$i]}"; then
    echo "fuzz: ${targets[$i]}: $(grep -Eo 'Done [0-9]+ runs' "build-fuzz/${targets[$i]}.log" || echo done)"
  else
    echo "fuzz: ${targets[$i]} FAILED; the end of build-fuzz/${targets[$i]}.log:" >&2
    tail -n 40 "build-fuzz/${targets[$i]}.log" >&2
    status=1
  fi
done
exit $status
