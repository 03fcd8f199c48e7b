#!/usr/bin/env bash
# Installs a built preset into a scratch prefix and uses it as someone else would: the example
# host of examples/host built with find_package(ARTargets) and run; the same program built with
# pkg-config; every installed header compiled on its own, none of them needing pugixml;
# `artargets --version` run.
# Usage: scripts/install-check.sh [preset]   (release by default; build it first)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-release}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/prefix"

cmake --install "build/$preset" --prefix "$prefix" >/dev/null
includes="$prefix/include/artargets"
# Two at a time, one per core.
compiles_alone() {
  echo "#include \"$2\"" | c++ -std=c++20 -fsyntax-only -I"$1" -x c++ - ||
    { echo "install-check: $2 does not compile on its own"; return 1; }
}
export -f compiles_alone
(cd "$includes" && find . -name '*.h' -printf '%P\n' | sort) |
  xargs -P 2 -I{} bash -c 'compiles_alone "$0" "$1"' "$includes" {}
# The host's headers keep pugixml to themselves: a host or a plug-in needs only our package.
if grep -rlE '#include [<"]pugixml' --include='*.h' "$includes"; then
  echo "install-check: the installed headers above include pugixml"; exit 1
fi

cmake -S examples/host -B "$scratch/example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/example" >/dev/null
"$scratch/example/example_host"

libdir=$(dirname "$(find "$prefix" -name artargets.pc)")/..
plugin=$(find "$prefix" -name 'libaugmentedreality.so' | head -n 1)
PKG_CONFIG_PATH="$libdir/pkgconfig" c++ -std=c++20 -DPLUGIN_PATH="\"$plugin\"" \
  examples/host/main.cpp -o "$scratch/by-pkg-config" \
  $(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs artargets) \
  -Wl,-rpath,"$(PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --variable=libdir artargets)"
"$scratch/by-pkg-config" >/dev/null

"$prefix/bin/artargets" --version
echo "install-check: the installed package builds and runs a host of its own"
