#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test; then runs
# the tests of the picture core, the picture files, the drawing player and the
# command line once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DTORVELINK_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$root/build" -j"$(nproc)"
(cd "$root/build" && ctest --output-on-failure -j"$(nproc)")

sanitized="$root/build-sanitize"
cmake -S "$root" -B "$sanitized" -DCMAKE_BUILD_TYPE=Debug -DTORVELINK_SANITIZE=ON \
    -DTORVELINK_BENCH=OFF >/dev/null
cmake --build "$sanitized" -j"$(nproc)" --target engine_tests render_tests message_tests drawing_tests platform_tests picture_tests \
    player_tests png_tests output_tests plan_tests cli_tests
export ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
for t in engine/engine_tests render/render_tests messages/message_tests drawing/drawing_tests \
    platform/platform_tests pictures/picture_tests player/player_tests png/png_tests \
    output/output_tests plan/plan_tests cli/cli_tests; do
    "$sanitized/tests/$t" --gtest_brief=1
done
echo "sanitized tests: all passed"
