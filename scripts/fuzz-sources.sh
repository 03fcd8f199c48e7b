#!/usr/bin/env bash
# Fetches the library sources the `fuzz` preset compiles with the sanitizers and coverage, which
# the repository does not keep: pugixml's Debian source package, at the version of the installed
# libpugixml-dev, so that its headers match the system's. `apt-get source` needs dpkg-dev and a
# deb-src entry in the apt sources. (stb_image needs no fetching: the fuzz build compiles it from
# libstb-dev's header.)
# Usage: scripts/fuzz-sources.sh [DIR]   pugixml lands in DIR/pugixml (default build/sources),
# which is where the fuzz preset's AR_PUGIXML_SOURCE_DIR points.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mkdir -p "${1:-$root/build/sources}" && cd "${1:-$root/build/sources}" && pwd)
if [ -f "$dir/pugixml/src/pugixml.cpp" ]; then
  echo "pugixml's sources are in $dir/pugixml"
  exit 0
fi
command -v dpkg-source >/dev/null || { echo "apt-get source needs dpkg-dev" >&2; exit 1; }
version=$(dpkg-query -W -f='${Version}' libpugixml-dev)

work=$(mktemp -d "$dir/.fetch-XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! (cd "$work" && apt-get source -qq "pugixml=$version"); then
  echo "apt-get source pugixml=$version failed. It needs a deb-src entry in the apt sources," >&2
  echo "e.g. in /etc/apt/sources.list.d/debian.sources (then apt-get update):" >&2
  echo "  Types: deb-src / URIs: http://deb.debian.org/debian / Suites: bookworm / Components: main" >&2
  exit 1
fi
mv "$work"/pugixml-*/ "$dir/pugixml"
echo "pugixml $version sources are in $dir/pugixml"
