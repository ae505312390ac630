# Sourced by the scripts that run Windows programs. It decides which Wine this machine runs
# (pointex_wine_arch: 32 for the shipped Pointex.exe under Wine's 32-bit loader, 64 for the
# 64-bit twin under wine64, on machines that cannot execute 32-bit programs), says so in one line,
# starts a private Xvfb unless a display is wanted and present, and enters a Wine prefix of the
# project's own for that build. POINTEX_WINE_ARCH=32 or 64 overrides the decision.
# After sourcing: WINEPREFIX, DISPLAY, pointex_wine_arch, pointex_wine_reason, pointex_build (the
# folder of that way's Pointex.exe and witz/witz.exe), pointex_tests_build (the folder of its
# tests), and the functions wine_env_use (32 or 64: enter that way's Wine and prefix),
# wine_env_build, wine_env_folder_check and wine_env_stop are set.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8

pointex_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
pointex_wine_loader32=/usr/lib/wine/wine
pointex_xvfb_pid=""
pointex_wine_prefixes=()
# The PATH without the 64-bit wrappers, which a calling script may have put first.
pointex_wine_path=$(printf '%s' "$PATH" | tr ':' '\n' | grep -vxF "$pointex_repo/scripts/wine64-bin" |
    paste -sd:)

# Whether this machine executes 32-bit programs, found by starting Wine's 32-bit loader.
wine_env_probe() {
    local answer
    case "${POINTEX_WINE_ARCH:-}" in
    32 | 64)
        pointex_wine_arch=$POINTEX_WINE_ARCH
        pointex_wine_reason="chosen by POINTEX_WINE_ARCH=$POINTEX_WINE_ARCH"
        return 0
        ;;
    "") ;;
    *)
        echo "wine-env: POINTEX_WINE_ARCH must be 32 or 64, not '$POINTEX_WINE_ARCH'" >&2
        return 1
        ;;
    esac
    if answer=$("$pointex_wine_loader32" --version 2>&1); then
        pointex_wine_arch=32
        pointex_wine_reason="this machine executes 32-bit programs ($answer)"
    else
        pointex_wine_arch=64
        answer=$(printf '%s' "$answer" | sed -n 's/.*: //p' | tail -n 1)
        pointex_wine_reason="this machine cannot execute 32-bit programs (Wine's 32-bit loader: ${answer:-it does not start})"
    fi
}

wine_env_start_xvfb() {
    local number=91
    while [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ]; do
        number=$((number + 1))
    done
    Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pointex_xvfb_pid=$!
    export DISPLAY=":${number}"
    for _ in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "wine-env: Xvfb on $DISPLAY did not start" >&2
    return 1
}

# Enters the Wine of one build (32 or 64) with its own prefix, creating the prefix on first use.
wine_env_use() {
    local base=${POINTEX_WINEPREFIX:-${HOME:-/tmp}/.cache/pointex-wine}
    if [ "$1" = 64 ]; then
        # Debian's wine wrapper picks the 32-bit loader while wine32 is installed; these
        # wrappers start the 64-bit one for wine, and for wineboot and winepath through it.
        export PATH="$pointex_repo/scripts/wine64-bin:$pointex_wine_path"
        export WINELOADER=/usr/lib/wine/wine64
        export WINEPREFIX=${base}64
    else
        export PATH=$pointex_wine_path
        unset WINELOADER
        export WINEPREFIX=$base
    fi
    case " ${pointex_wine_prefixes[*]} " in
    *" $WINEPREFIX "*) ;;
    *) pointex_wine_prefixes+=("$WINEPREFIX") ;;
    esac
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        if ! wineboot -i >/dev/null 2>&1 </dev/null; then
            echo "wine-env: creating the Wine prefix $WINEPREFIX failed" >&2
            return 1
        fi
        wineserver -w
    fi
    # A persistent server makes each later start of a Windows program take a fraction of a
    # second. Wine's own background processes start here, away from any test's output pipe.
    wineserver -p
    # Without a window manager Wine waits 2 s whenever a window is hidden unless it draws the
    # frames itself; and a crash must print, not open a dialog that blocks an unattended run.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null &&
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1 </dev/null
}

# Builds Pointex.exe and witz.exe of the way this machine goes, then the given targets of its
# tests, each build with its CMake preset: the 32-bit programs and their tests are two builds
# (windows, windows-tests), the 64-bit twin one (windows64).
wine_env_build() { # test targets...
    local preset
    for preset in "${pointex_presets[@]}"; do
        (cd "$pointex_repo" && cmake --preset "$preset" >/dev/null) || return 1
    done
    cmake --build "$pointex_repo/$pointex_build" -j "$(nproc)" --target Pointex witz || return 1
    [ $# -eq 0 ] || cmake --build "$pointex_repo/$pointex_tests_build" -j "$(nproc)" --target "$@"
}

# Starts the program exe in folder and checks with the end-to-end test FolderCheck that it shows
# every category with the count its file holds, the totals and the About dialog's three texts.
wine_env_folder_check() { # exe, folder
    local log status=0
    log=$(mktemp)
    POINTEX_EXE=$1 POINTEX_E2E_FOLDER=$2 \
        wine "$pointex_repo/$pointex_tests_build/tests/e2e/pointex_e2e.exe" \
        --gtest_filter='FolderCheck.*' >"$log" 2>&1 || status=$?
    # A test that did not see the folder skips, which is no check at all.
    if [ $status -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$log" || grep -q 'SKIPPED' "$log"; then
        cat "$log"
        rm -f "$log"
        echo "FAIL: $1 does not show $2 as its files say" >&2
        return 1
    fi
    grep -F '[ folder  ]' "$log"
    rm -f "$log"
}

wine_env_stop() {
    local prefix
    for prefix in "${pointex_wine_prefixes[@]}"; do
        WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    done
    if [ -n "$pointex_xvfb_pid" ]; then
        kill "$pointex_xvfb_pid" 2>/dev/null || true
        wait "$pointex_xvfb_pid" 2>/dev/null || true
        pointex_xvfb_pid=""
    fi
}

wine_env_probe || return 1
if [ "$pointex_wine_arch" = 64 ]; then
    pointex_presets=(windows64) pointex_build=build/windows64 pointex_tests_build=build/windows64
else
    pointex_presets=(windows windows-tests)
    pointex_build=build/windows pointex_tests_build=build/windows-tests
fi
if [ "$pointex_wine_arch" = 32 ]; then
    echo "wine: the 32-bit Pointex.exe under Wine: $pointex_wine_reason"
else
    echo "wine: the 64-bit twin under wine64, not the shipped 32-bit Pointex.exe: $pointex_wine_reason"
fi
if [ "${POINTEX_USE_DISPLAY:-0}" != 1 ] || [ -z "${DISPLAY:-}" ]; then
    wine_env_start_xvfb || return 1
fi
wine_env_use "$pointex_wine_arch" || return 1
