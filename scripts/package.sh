#!/usr/bin/env bash
# Builds the Debian package: a Release build of the game alone (no tests, no benchmarks) for the
# prefix /usr with Debian's hardening flags, packed by CPack (stripped, dependencies from
# dpkg-shlibdeps), then checked by lintian, which shows every tag and fails on an error.
#
#   scripts/package.sh BUILD_FOLDER [JOBS]
#
# Leaves BUILD_FOLDER/zorbalin_<version>_<arch>.deb.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "$1")
jobs=${2:-$(nproc)}

# The flags Debian builds its own packages with, all hardening included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cd "$here"
cppflags=$(dpkg-buildflags --get CPPFLAGS)
cflags="$(dpkg-buildflags --get CFLAGS) $cppflags"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $cppflags"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DZORBALIN_TESTS=OFF -DZORBALIN_BENCH=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_STRIP="$here/scripts/package-strip.sh"
cmake --build "$build" -j "$jobs"
rm -f "$build"/*.deb
(cd "$build" && cpack)
package=$(ls "$build"/*.deb)
echo "lintian $package:"
lintian --fail-on error --display-info --display-experimental --pedantic "$package"
echo "package: $package"
