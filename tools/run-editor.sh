#!/usr/bin/env bash
# Builds the editor and starts it with the bundled template, fonts, hints and
# help laid out beside it in build/program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
exec build/program/zqwcce "$@"
