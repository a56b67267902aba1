#!/usr/bin/env bash
# Installs the Debian packages Velquor builds and runs with, where they are missing.
# Runs as root, or through sudo when it is there.
set -euo pipefail

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
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
  else
    echo "setup: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
fi
echo "setup: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
