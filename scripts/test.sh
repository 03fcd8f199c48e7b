#!/usr/bin/env bash
# Builds and runs the test suite. Installs missing Debian packages first when run as root.
# Usage: scripts/test.sh [preset]   (dev by default; asan and tsan run it under sanitizers)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
scripts/ensure-packages.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
