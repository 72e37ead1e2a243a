#!/usr/bin/env bash
# The reliability stages after the normal tests (whose ctest run already holds the fault, kill,
# concurrent-run and bad-input tests of tests/reliability/): the whole test suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then every fuzz target for a bounded time.
#   scripts/reliability.sh         (FUZZ_SECONDS: seconds per fuzz target, default 30)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/sanitize.sh"
"$here/fuzz/run.sh" "${FUZZ_SECONDS:-30}"
