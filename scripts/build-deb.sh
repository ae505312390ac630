#!/usr/bin/env bash
# Builds the Debian package as Debian builds packages (dpkg-buildpackage -us -uc -b) from a copy
# of the sources in build/deb, and copies pointex_<version>-1_amd64.deb into dist/. The version
# in debian/changelog must be the one in resources/version.h. The same SOURCE_DATE_EPOCH gives the
# same package; without it dpkg takes the date of the changelog's last entry.
set -euo pipefail
cd "$(dirname "$0")/.."

version_number() { # MAJOR, MINOR or PATCH
    sed -n "s/^#define POINTEX_VERSION_$1 \([0-9]\{1,\}\)\$/\1/p" resources/version.h
}
version="$(version_number MAJOR).$(version_number MINOR).$(version_number PATCH)"
debian_version=$(dpkg-parsechangelog -S Version)
if [ "${debian_version%-*}" != "$version" ]; then
    echo "build-deb: debian/changelog names $debian_version, resources/version.h $version" >&2
    exit 1
fi

# A copy of what git knows (tracked, or new and not ignored): no earlier build gets in, and
# dpkg-buildpackage writes its results beside the copy, in build/deb.
out=build/deb
source=$out/pointex-$version
rm -rf "$out"
mkdir -p "$source"
git ls-files -z -c -o --exclude-standard | while IFS= read -r -d '' file; do
    [ -e "$file" ] && printf '%s\0' "$file"
done | tar --null -T - -cf - | tar -xf - -C "$source"

echo "== dpkg-buildpackage -us -uc -b in $source"
DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)"
export DEB_BUILD_OPTIONS
(cd "$source" && dpkg-buildpackage -us -uc -b) >"$out/build.log" 2>&1 || {
    tail -n 40 "$out/build.log" >&2
    echo "build-deb: dpkg-buildpackage failed; the whole log is $out/build.log" >&2
    exit 1
}
deb=pointex_${debian_version}_$(dpkg-architecture -qDEB_HOST_ARCH).deb
mkdir -p dist
cp "$out/$deb" dist/
echo "dist/$deb: $(stat -c %s "dist/$deb") bytes, SHA-256 $(sha256sum "dist/$deb" | cut -d' ' -f1)"
