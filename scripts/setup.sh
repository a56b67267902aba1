#!/usr/bin/env bash
# Installs the Debian packages Velquor builds and runs with, where they are missing.
# Runs as root, or through sudo when it is there. With --test-tools it also installs what only
# the tests use: the dataset validator from npm, pinned by tools/bids-validator's lock file.
set -euo pipefail
cd "$(dirname "$0")/.."
test_tools=0
if [ "${1:-}" = "--test-tools" ]; then
  test_tools=1
fi

packages=(
  build-essential cmake pkg-config ccache
  qt6-base-dev libgl-dev qt6-multimedia-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcomedi-dev libcli11-dev libsqlite3-dev nlohmann-json3-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-ipafont-gothic fonts-dejavu-core
  poppler-utils
  help2man dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ $test_tools -eq 1 ] && ! command -v npm >/dev/null 2>&1; then
  missing+=(nodejs npm)
fi

as_root=()
if [ ${#missing[@]} -gt 0 ] && [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The validator goes into tools/bids-validator/node_modules exactly as locked, its packages'
# install scripts not run (it needs none of them); once there it is kept.
if [ $test_tools -eq 1 ]; then
  validator=tools/bids-validator/node_modules/.bin/bids-validator
  if [ ! -x "$validator" ] || [ "$("$validator" --version 2>/dev/null)" != "1.15.0" ]; then
    echo "setup: installing the dataset validator into tools/bids-validator (npm ci)"
    (cd tools/bids-validator && npm ci --omit=dev --ignore-scripts --no-audit --no-fund --loglevel=error)
  fi
fi
