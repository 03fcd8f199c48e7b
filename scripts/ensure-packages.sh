#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. As root it installs them
# with apt-get; otherwise it names them and stops.
# Usage: scripts/ensure-packages.sh [--evaluation] [extra package ...]
# --evaluation adds what bench/trackability/trackability.py needs (not the build, nor CI).
set -euo pipefail

evaluation=()
if [ "${1:-}" = "--evaluation" ]; then
  evaluation=(python3-opencv python3-numpy)
  shift
fi
packages=(cmake ninja-build g++ lld libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libxml2-utils libcli11-dev libtomlplusplus-dev nlohmann-json3-dev pkgconf libstb-dev libvlfeat-dev git help2man man-db jq nodejs npm chromium python3-yaml python3-jsonschema "${evaluation[@]}" "$@")

# One query for all of them: CI runs this before each of its four builds.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  # NodeSource's nodejs carries npm itself and conflicts with Debian's npm package.
  [ "$p" = npm ] && command -v npm >/dev/null && continue
  grep -qxF "$p install ok installed" <<<"$installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
