#!/usr/bin/env bash
# Builds every target and runs every test: natively (with AddressSanitizer and
# UndefinedBehaviorSanitizer, and in Release), and the Windows builds under Wine
# on a private X server. Installs what is missing first. Exit status 0 only when
# everything passed.
#   ./test.sh            everything
#   FUZZ_SECONDS=N       how long the scene-file fuzzer runs (default 60; 0 skips it)
set -uo pipefail
cd "$(dirname "$0")"
top="$PWD"
jobs="$(nproc 2>/dev/null || echo 2)"

scripts/setup.sh || { echo "test.sh: setup failed" >&2; exit 1; }
source scripts/wine-env.sh

failures=()
step() {  # step NAME COMMAND...: run, remember failures, keep going
    local name="$1"; shift
    echo
    echo "=== $name"
    if "$@"; then echo "--- $name: ok"; else echo "--- $name: FAILED"; failures+=("$name"); fi
}

configure_build() {  # configure_build DIR CMAKE-ARGS...
    local dir="$1"; shift
    cmake -S "$top" -B "$dir" "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j "$jobs" 2>&1 | tee "$dir.build.log" | grep -E 'warning|error|Error' ; local rc=${PIPESTATUS[0]}
    [ "$rc" -eq 0 ] || return 1
    # Zero warnings in our own code.
    ! grep -E "^$top/.*warning:" "$dir.build.log"
}

mkdir -p build
step "build native debug (ASan+UBSan)" configure_build build/native-debug -DCMAKE_BUILD_TYPE=Debug -DSCENE_SANITIZE=ON
step "build native release" configure_build build/native-release -DCMAKE_BUILD_TYPE=Release
step "build Windows i686" configure_build build/win32 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake"
step "build Windows x86_64" configure_build build/win64 -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-x86_64.cmake"

# The release: both programs carry the version and the manifest; the zips and the installers.
step "version and manifest of the i686 and x86_64 programs" tests/package/check_resources.sh build/win32 build/win64
step "package (zip and installer, win32 and win64)" scripts/package.sh build/dist

step "tests native debug" ctest --test-dir build/native-debug --output-on-failure -j "$jobs"
step "tests native release" ctest --test-dir build/native-release --output-on-failure -j "$jobs"

xvfb_start || failures+=("Xvfb")
wine_setup "$top/build/wineprefix"
trap 'xvfb_stop; wine_stop' EXIT

if [ -n "$WINE64" ]; then
    step "tests Windows x86_64 under Wine" ctest --test-dir build/win64 --output-on-failure
else
    echo "test.sh: no 64-bit Wine found" >&2; failures+=("wine64 missing")
fi
if [ -n "$WINE32" ]; then
    step "tests Windows i686 under Wine" ctest --test-dir build/win32 --output-on-failure
else
    echo
    echo "=== tests Windows i686 under Wine: SKIPPED - this kernel cannot run 32-bit programs,"
    echo "    so Wine cannot start 32-bit Windows programs here; the i686 build was built and linked,"
    echo "    and the same tests ran on the x86_64 Windows build."
fi

# The Windows programs must draw exactly what the native one draws.
native_render="$top/build/native-release/tools/scenerender"
if [ -n "$WINE64" ]; then
    step "scenerender: native and Windows x86_64 pictures identical" \
        sh tests/tools/compare_renders.sh "$native_render" "$WINE64 $top/build/win64/tools/scenerender.exe" build/compare-win64
fi
if [ -n "$WINE32" ]; then
    step "scenerender: native and Windows i686 pictures identical" \
        sh tests/tools/compare_renders.sh "$native_render" "$WINE32 $top/build/win32/tools/scenerender.exe" build/compare-win32
fi

# The real program under Wine, driven with real input, against scenerender.
if [ -n "$WINE32" ]; then
    step "end-to-end: the i686 program under Wine" tests/ui/e2e_smoke.sh build/win32 build/native-release "$WINE32" "$DISPLAY"
elif [ -n "$WINE64" ]; then
    step "end-to-end: the x86_64 program under Wine" tests/ui/e2e_smoke.sh build/win64 build/native-release "$WINE64" "$DISPLAY"
fi

# The installers, silently, each in a fresh prefix: files, association, uninstall.
version="$(scripts/version.sh)"
if [ -n "$WINE64" ]; then
    step "installer win64: install, open a scene through the association, uninstall" \
        tests/package/installer_test.sh "build/dist/scene3d-$version-win64-setup.exe" build/native-release "$WINE64" "$DISPLAY"
fi
if [ -n "$WINE32" ]; then
    step "installer win32: install, open a scene through the association, uninstall" \
        tests/package/installer_test.sh "build/dist/scene3d-$version-win32-setup.exe" build/native-release "$WINE32" "$DISPLAY"
fi

fuzz_seconds="${FUZZ_SECONDS:-60}"
if [ "$fuzz_seconds" -gt 0 ]; then
    step "scene-file fuzzer (${fuzz_seconds} s)" tests/scenefile/run_fuzzer.sh "$fuzz_seconds"
fi

echo
if [ ${#failures[@]} -eq 0 ]; then
    echo "test.sh: all passed"
    exit 0
fi
echo "test.sh: FAILED: ${failures[*]}"
exit 1
