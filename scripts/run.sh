#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velquor on the simulated rig.
# Extra arguments go to the program (for example --daq sim:7).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
Run it headless instead, for example:
  ./build/app/velquor-cli measure --cycles 3          # three measurement cycles on the simulated rig
  ./build/app/velquor-cli reanalyse RUN0000001_dat.csv  # re-analyse a saved measurement
or start it on a virtual display:
  xvfb-run -a ./build/app/velquor
MSG
  exit 0
fi
exec ./build/app/velquor "$@"
