#!/usr/bin/env bash
# Builds the three Debian packages (an optimised build installed under /usr, packed by CPack):
# libartargets0 (the two shared libraries), libartargets-dev (what building a host needs) and
# artargets (the tool). Has lintian examine them (its report lands beside them, lintian.txt),
# checks that the development package pulls in no image library, and, when run as root,
# installs the three, builds examples/host against libartargets-dev, runs it and the tool (its
# manual page and completion included), purges them and checks that nothing of them is left.
# Usage: scripts/package-check.sh [BUILD]   (the packages land in BUILD, build/deb by default)
# BUILD may be an optimised build already made (CI passes build/release): the install prefix is
# only read when installing, so setting it to /usr recompiles nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/deb}"
only_packaged=()
[ -n "${1:-}" ] || only_packaged=(-DAR_BUILD_TESTS=OFF -DAR_BUILD_BENCHMARKS=OFF)
scripts/ensure-packages.sh lintian
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DAR_WARNINGS_AS_ERRORS=ON "${only_packaged[@]}" >/dev/null
cmake --build "$build"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
names=(libartargets0 libartargets-dev artargets)
packages=()
for name in "${names[@]}"; do packages+=("$(ls "$build/${name}"_*.deb)"); done
lintian --fail-on error --show-overrides "${packages[@]}" | tee "$build/lintian.txt"
echo "package-check: lintian finds no error in ${packages[*]}"

# A host application installs libartargets-dev without the tool's image libraries.
for package in "${packages[@]:0:2}"; do
  depends=$(dpkg-deb -f "$package" Depends)
  if grep -qE 'libstb|libvlfeat|libtomlplusplus|artargets \(' <<<"$depends"; then
    echo "package-check: $package depends on the tool's libraries: $depends"
    exit 1
  fi
done

[ "$(id -u)" -eq 0 ] || { echo "package-check: not root, so not installed"; exit 0; }
dpkg -i "${packages[@]}" >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -S examples/host -B "$scratch/example" -G Ninja >/dev/null
cmake --build "$scratch/example" >/dev/null
"$scratch/example/example_host" >/dev/null
(cd / && artargets --version)
MANWIDTH=80 man artargets | grep -q 'import --update' || { echo "package-check: no man page"; exit 1; }
bash -c 'source /usr/share/bash-completion/completions/artargets && complete -p artargets' \
  >/dev/null
files=$(dpkg -L "${names[@]}" | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)
dpkg --purge "${names[@]}" >/dev/null
left=$(for f in $files; do if [ -e "$f" ]; then echo "$f"; fi; done)
for name in "${names[@]}"; do
  if dpkg-query -W "$name" >/dev/null 2>&1; then left="$left $name (still known to dpkg)"; fi
done
if [ -n "$left" ]; then
  echo "package-check: the packages left behind: $left"
  exit 1
fi
echo "package-check: the three packages install, build a host, run and remove cleanly"
