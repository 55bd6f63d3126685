#!/usr/bin/env bash
# suite.sh TOP - the end-to-end smoke test, as test.sh runs it: on test.sh's
# X server and Wine prefix, with the Windows build that Wine can run here.
set -uo pipefail
top="$1"
if [ -n "${WINE32:-}" ]; then
    exec "$top/tests/ui/e2e_smoke.sh" "$top/build/win32" "$top/build/native-release" "$WINE32" "$DISPLAY"
fi
exec "$top/tests/ui/e2e_smoke.sh" "$top/build/win64" "$top/build/native-release" "$WINE64" "$DISPLAY"
