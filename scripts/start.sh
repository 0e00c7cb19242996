#!/usr/bin/env bash
# Installs what is missing, builds the program, and starts it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target torvelink torvelink-cli
exec "$root/build/bin/torvelink" "$@"
