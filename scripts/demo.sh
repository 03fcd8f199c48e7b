#!/usr/bin/env bash
# The main job: builds the project and runs the tool's demo, a host session narrated on the
# terminal. Installs missing Debian packages first when run as root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh
cmake --preset dev >/dev/null
cmake --build --preset dev --target artargets
exec build/dev/bin/artargets demo
