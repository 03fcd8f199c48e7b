#!/usr/bin/env bash
# Builds the Debian package (an optimised build installed under /usr, packed by CPack), has
# lintian examine it, and, when run as root, installs it with dpkg, runs the tool from the
# PATH and purges the package again, checking that nothing of it is left.
# Usage: scripts/package-check.sh   (the package lands in build/deb/)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh lintian
cmake -S . -B build/deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DAR_BUILD_TESTS=OFF -DAR_BUILD_BENCHMARKS=OFF -DAR_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build/deb
(cd build/deb && cpack -G DEB >/dev/null)
package=$(ls build/deb/artargets_*.deb)
lintian --fail-on error --suppress-tags binary-without-manpage "$package"
echo "package-check: lintian finds no error in $package"

[ "$(id -u)" -eq 0 ] || { echo "package-check: not root, so not installed"; exit 0; }
dpkg -i "$package" >/dev/null
(cd / && artargets --version)
files=$(dpkg -L artargets | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)
dpkg --purge artargets >/dev/null
left=$(for f in $files; do if [ -e "$f" ]; then echo "$f"; fi; done)
if [ -n "$left" ] || dpkg-query -W artargets >/dev/null 2>&1; then
  echo "package-check: the package left behind: $left"
  exit 1
fi
echo "package-check: the package installs, runs and removes cleanly"
