#!/usr/bin/env bash
# Builds the installable Debian package: a Release build of its own in
# build-package/ (prefix /usr, Debian's hardening flags), then cpack. Prints
# the package's path; `lintian` on it reports no error or warning.
# Run scripts/setup.sh (or scripts/run.sh) once first for the build tools;
# dpkg-shlibdeps (dpkg-dev) works out the package's library dependencies.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build-package"

command -v dpkg-shlibdeps > /dev/null || {
  echo "dpkg-shlibdeps is missing: apt-get install dpkg-dev" >&2
  exit 1
}
# Debian's hardening flags (stack protector, fortified functions, format
# checks, relocations read-only and bound at start, source paths made
# relative to here); the optimisation is the Release build's own, without
# -g -O2.
cd "$here"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
buildflags() {
  local flag kept=()
  for flag in $(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get "$1"); do
    [[ "$flag" == -g || "$flag" == -O? ]] || kept+=("$flag")
  done
  echo "${kept[*]}"
}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$(buildflags CFLAGS)" -DCMAKE_CXX_FLAGS="$(buildflags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" > /dev/null
cmake --build "$build" --target lumetra doctool
rm -f "$build"/lumetra_*.deb
(cd "$build" && cpack -G DEB > cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
ls "$build"/lumetra_*.deb
