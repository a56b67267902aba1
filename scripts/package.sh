#!/usr/bin/env bash
# Builds the Debian package from a clean Release build of its own in build-release/, with
# Debian's hardening flags, and checks it with lintian:
# build-release/velquor_VERSION_amd64.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

dir=build-release
rm -rf "$dir"
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVELQUOR_BUILD_TESTS=OFF \
  -DVELQUOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j 2
(cd "$dir" && cpack -G DEB >/dev/null)

debs=("$dir"/velquor_*_amd64.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package: cpack made no single velquor_*_amd64.deb in $dir" >&2
  exit 1
fi
# Errors fail the package; warnings are printed.
lintian --fail-on error "${debs[0]}"
echo "package: ${debs[0]}"
