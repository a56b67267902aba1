#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velquor on the simulated rig.
# Extra arguments go to the program (for example --daq sim:7).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
Start it on a virtual display instead:
  xvfb-run -a ./build/app/velquor
or work headless with velquor-cli, which reads Velquor.ini and Velquor.clb from the current
directory and saves with the Auto Save names of Velquor.ini (set its directory, line 4, first):
  ./build/app/velquor-cli measure --cycles 3 --daq sim:1   # three cycles on the simulated rig
  ./build/app/velquor-cli reanalyse DIR/RUN0000001_dat.csv  # re-analyse a saved measurement
  ./build/app/velquor-cli --help
MSG
  exit 0
fi
exec ./build/app/velquor "$@"
