#!/usr/bin/env bash
# Builds and runs every test of ruter2mif from a fresh checkout.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== release build and test suite"
cmake --workflow --preset release
