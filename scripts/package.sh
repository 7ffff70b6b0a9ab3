#!/usr/bin/env bash
# Builds the Debian package into build-package/ (or $MORVALEN_PACKAGE_BUILD_DIR): a Release
# build for the prefix /usr, installed and packed by CPack, with the dependencies that
# dpkg-shlibdeps reads from the binaries. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh

build_dir=${MORVALEN_PACKAGE_BUILD_DIR:-build-package}
# Compiled as the test suite's build is (scripts/test.sh), so the package holds the code the
# tests ran and shares its compiled objects through ccache; linked with Debian's hardening
# (read-only relocations, immediate binding). Debian's compiler makes position-independent
# programs by itself.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DMORVALEN_BUILD_TESTS=OFF -DMORVALEN_BUILD_BENCH=OFF -DMORVALEN_WERROR=ON "$@"
cmake --build "$build_dir" --parallel "$(nproc)"
(cd "$build_dir" && cpack -G DEB >/dev/null)

package=$(ls -t "$build_dir"/morvalen-desktop_*.deb | head -n 1)
if command -v lintian >/dev/null; then
  # Debian's checks; errors fail the script, warnings are shown.
  lintian --fail-on error "$package"
fi
realpath "$package"
