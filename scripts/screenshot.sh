#!/usr/bin/env bash
# Starts Velquor on a virtual display with the simulated rig (seed 1), runs one measurement
# of 6 s, saves it automatically and puts a picture of the main window and of every screen
# in docs/screenshots/. The run happens in a scratch directory with its own Velquor.ini
# (20 ms, 300 samples, Auto Save into its data directory) and a Velquor.clb that fits the
# rig's gauges (20 Nm per volt).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${BUILD_DIR:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset default >/dev/null
fi
cmake --build "$build" --target velquor -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
stored=${work//\//\\}\\data  # directories are kept with "\" between the parts
# Labels are read by position only, so plain ASCII labels serve; lines end in CR LF.
{
  printf 'Directory(Manual),\r\nHeader(Manual),\r\nFile(Manual),\r\n'
  printf 'Directory(Auto),%s\r\nHeader(Auto),RUN\r\nFile(Auto),1\r\n' "$stored"
  printf 'Interval(msec),20\r\nSamples,300\r\nTime(sec),6\r\n'
  printf 'Start(sec),1\r\nEnd(sec),4\r\nLimit(Nm),2\r\n'
  printf 'ch0 Color (RGB), 255, 0, 0\r\nch1 Color (RGB), 0, 0, 255\r\n'
  printf 'Other Color (RGB), 255, 0, 255\r\n'
} >"$work/Velquor.ini"
{
  for ch in "ch0 (Left)" "ch1 (Right)"; do
    printf '%s, Torque(Nm)-Volt(V)\r\n' "$ch"
    for t in -30 -25 -20 -15 -10 -5 0 5 10 15 20 25 30; do printf '%s,\r\n' "$t"; done
  done
  printf 'Caribrated Results (Tq(Nm)=Ka1 x Volt(V) + Ka0)\r\n'
  printf 'ch0 Ka1,20\r\nch0 Ka0,0\r\nch1 Ka1,20\r\nch1 Ka0,0\r\n'
} >"$work/Velquor.clb"

(cd "$work" && xvfb-run -a -s "-screen 0 1024x768x24" \
  "$repo/$build/app/velquor" --daq sim:1 --screenshot "$work/shots")
mkdir -p docs/screenshots
for shot in "$work"/shots/*.png; do
  cp "$shot" docs/screenshots/
  echo "docs/screenshots/$(basename "$shot")"
done
