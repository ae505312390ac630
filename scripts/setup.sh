#!/usr/bin/env bash
# Installs what building, running and testing Pointex needs on a Debian machine (as root): the
# Build-Depends of debian/control (with build-essential, which apt adds), and beside them what
# only the tests and the scripts use. Once everything is there, any user may run it.
set -euo pipefail
cd "$(dirname "$0")/.."

# Only for the tests and scripts (build-deb.sh copies what git knows); what builds the package
# is in debian/control alone.
test_packages=(
    clang libclang-rt-14-dev
    wine wine32:i386 wine64 xvfb xauth x11-utils icoutils zenity libnotify-bin appstream
    desktop-file-utils
    hyperfine ripgrep time valgrind strace python3 unzip fortune-mod
    dpkg-dev fakeroot lintian bash-completion file man-db groff-base git
)

missing=()
for package in "${test_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
build_deps_missing=false
if ! command -v dpkg-checkbuilddeps >/dev/null 2>&1 || ! dpkg-checkbuilddeps 2>/dev/null; then
    build_deps_missing=true
fi
if [ ${#missing[@]} -eq 0 ] && [ "$build_deps_missing" = false ]; then
    exit 0
fi

what="${missing[*]}"
[ "$build_deps_missing" = false ] || what="the Build-Depends of debian/control${what:+, $what}"
if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing, and installing it needs root: $what" >&2
    exit 1
fi
echo "setup: installing $what"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# apt reads the Build-Depends from the source folder itself: no deb-src entry is needed.
apt-get build-dep -y -qq --no-install-recommends ./ >/dev/null
if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
