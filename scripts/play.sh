#!/bin/bash
# Sets everything up and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
exec build/horokata/horokata
