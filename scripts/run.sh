#!/usr/bin/env bash
# Sets up what building and running needs, builds and starts the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
echo "Starting build/tarvo"
exec ./build/tarvo
