#!/usr/bin/env bash
# Installs what is missing, builds, and starts Velquor on the simulated rig in a working folder
# of its own (Velquor.ini, Velquor.clb and the measurements are kept there), made the first
# time as a copy of examples/. VELQUOR_WORK names another folder.
# Extra arguments go to the program (for example --daq sim:7).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
bash scripts/build.sh

# Under the home folder; where that cannot be written, in the repository's git-ignored work/.
work=${VELQUOR_WORK:-${HOME:-}/velquor-work}
if ! mkdir -p "$work" 2>/dev/null || [ ! -w "$work" ]; then
  work=$repo/work
  mkdir -p "$work"
fi
# A folder in use keeps its own files: only what is missing is copied.
for f in "$repo"/examples/*; do
  [ -e "$work/$(basename "$f")" ] || cp "$f" "$work/"
done
cd "$work"
echo "Working folder: $work (settings, calibration and measurements are kept here)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat <<MSG
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
Start it on a virtual display instead, from the working folder:
  cd $work && xvfb-run -a $repo/build/app/velquor
or work headless with velquor-cli, which reads Velquor.ini and Velquor.clb from the current
directory and saves with the Auto Save names of Velquor.ini (line 4 is its directory):
  cd $work
  $repo/build/app/velquor-cli measure --cycles 3 --daq sim:1   # three cycles on the simulated rig
  $repo/build/app/velquor-cli reanalyse RUN0000001_dat.csv      # re-analyse a saved measurement
  $repo/build/app/velquor-cli --help
MSG
  exit 0
fi
exec "$repo/build/app/velquor" "$@"
