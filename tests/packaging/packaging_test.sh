#!/usr/bin/env bash
# What `make install` and `make package` deliver, checked on a built tree without touching the
# machine: the installation goes to a temporary prefix, the package to a temporary folder.
#
#   packaging_test.sh install|desktop-file|metainfo|manual|package|lintian BUILD_DIR VERSION
set -euo pipefail

check=$1
build=$2
version=$3
work=$(mktemp -d)
failures=0

# cmake --install and cpack rewrite the build's install_manifest.txt, the list of what the user's
# own `make install` put where: it is kept as it was (the checks hold one lock in CTest).
manifest="$build/install_manifest.txt"
if [ -f "$manifest" ]; then
    cp "$manifest" "$work/manifest"
fi
finish() {
    if [ -f "$work/manifest" ]; then
        cp "$work/manifest" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$work"
}
trap finish EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# The files of every installation, relative to the prefix, sorted.
expected_files() {
    {
        echo bin/tarvex
        echo bin/chronosim
        echo share/applications/tarvex.desktop
        echo share/doc/tarvex/changelog.gz
        echo share/doc/tarvex/copyright
        echo share/man/man1/tarvex.1.gz
        echo share/man/man1/chronosim.1.gz
        echo share/metainfo/io.github.tarvex.tarvex.metainfo.xml
        echo share/icons/hicolor/scalable/apps/tarvex.svg
        for size in 16 32 48 64 128 256; do
            echo "share/icons/hicolor/${size}x${size}/apps/tarvex.png"
        done
    } | LC_ALL=C sort
}

# A prefix with a space catches an unquoted path anywhere in the install rules.
install_prefix() {
    local prefix="$work/my prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    echo "$prefix"
}

# Width x height of a PNG, read from its IHDR chunk (bytes 16 to 23, big-endian).
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ print ($1 * 16777216 + $2 * 65536 + $3 * 256 + $4) "x" \
                     ($5 * 16777216 + $6 * 65536 + $7 * 256 + $8) }'
}

check_icons() {
    local prefix=$1 size file
    for size in 16 32 48 64 128 256; do
        file="$prefix/share/icons/hicolor/${size}x${size}/apps/tarvex.png"
        [ -f "$file" ] || continue # the list of installed files tells that it is missing
        [ "$(od -An -c -j1 -N3 "$file" | tr -d ' ')" = PNG ] || fail "$file is not a PNG"
        [ "$(png_size "$file")" = "${size}x${size}" ] ||
            fail "$file is $(png_size "$file"), not ${size}x${size}"
    done
    grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/tarvex.svg" ||
        fail "the scalable icon is not an SVG picture"
}

# The program runs and tells the version it was built as (--version needs no display).
check_runs() {
    local said
    said=$("$1" --version 2>&1) || fail "$1 --version failed: $said"
    [ "$said" = "TARVEX $version" ] || fail "$1 --version says '$said', not 'TARVEX $version'"
}

check_install() {
    local prefix
    prefix=$(install_prefix)
    diff <(expected_files) <(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) ||
        fail "the installed files differ from the expected ones (< expected, > installed)"
    [ -x "$prefix/bin/tarvex" ] || fail "bin/tarvex is not executable"
    if ldd "$prefix/bin/tarvex" | grep 'not found'; then
        fail "the installed program misses libraries"
    fi
    check_runs "$prefix/bin/tarvex"
    check_icons "$prefix"
}

desktop_key() {
    sed -n "s/^$1=//p" "$2"
}

check_desktop_file() {
    local prefix file output
    prefix=$(install_prefix)
    file="$prefix/share/applications/tarvex.desktop"
    if ! output=$(desktop-file-validate "$file" 2>&1); then
        fail "desktop-file-validate rejects it: $output"
    elif [ -n "$output" ]; then
        fail "desktop-file-validate remarks: $output"
    fi
    [ -x "$prefix/bin/$(desktop_key Exec "$file")" ] ||
        fail "Exec=$(desktop_key Exec "$file") names no installed program"
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$(desktop_key Icon "$file").svg" ] ||
        fail "Icon=$(desktop_key Icon "$file") names no installed icon"
    [ "$(desktop_key Name "$file")" = TARVEX ] || fail "the menu entry is not called TARVEX"
}

# The software centres' description: valid without warnings, for the installed menu entry, with
# this version among its releases.
check_metainfo() {
    local prefix file output launchable
    prefix=$(install_prefix)
    file="$prefix/share/metainfo/io.github.tarvex.tarvex.metainfo.xml"
    output=$(appstreamcli validate --no-net "$file" 2>&1) ||
        fail "appstreamcli rejects the metainfo: $output"
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$file")
    [ -f "$prefix/share/applications/$launchable" ] ||
        fail "the metainfo's launchable '$launchable' names no installed menu entry"
    grep -q "<release version=\"$version\"" "$file" || fail "the metainfo has no release $version"
}

# The options a program's --help lists, one a line.
listed_options() {
    "$1" --help | grep -oE -- '(^| )--?[a-z][a-z-]*' | tr -d ' ' | sort -u
}

# Each man page, as man shows it, has a paragraph in OPTIONS for every option that its program's
# --help lists.
check_manual() {
    local prefix program page options option
    prefix=$(install_prefix)
    for program in tarvex chronosim; do
        page=$(MANWIDTH=200 man -l "$prefix/share/man/man1/$program.1.gz" 2>&1) ||
            { fail "man cannot show $program.1.gz: $page" && continue; }
        page=$(awk '/^OPTIONS/ { on = 1; next } /^[A-Z]/ { on = 0 } on' <<<"$page")
        options=$(listed_options "$prefix/bin/$program") && [ -n "$options" ] ||
            { fail "$program --help lists no options" && continue; }
        for option in $options; do
            grep -qE -- "^ +$option([ ,]|\$)" <<<"$page" ||
                fail "the man page of $program does not describe $option"
        done
    done
}

# The package's dependencies, one name a line, without version constraints.
dependency_names() {
    dpkg-deb -f "$1" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g'
}

check_package_fields() {
    local deb=$1 dependency
    [ "$(dpkg-deb -f "$deb" Package)" = tarvex ] || fail "the package is not called tarvex"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package version is not $version"
    [ "$(dpkg-deb -f "$deb" Section)" = utils ] || fail "the package is not in section utils"
    for dependency in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6 fonts-liberation; do
        dependency_names "$deb" | grep -qx -- "$dependency" ||
            fail "the package does not depend on $dependency: $(dpkg-deb -f "$deb" Depends)"
    done
}

# Makes the package and prints its path; fails the check if it cannot.
build_package() {
    local deb="$work/package/tarvex_${version}_$(dpkg --print-architecture).deb"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2 && echo "cpack failed" >&2 && return 1; }
    [ -f "$deb" ] || { echo "cpack made no $(basename "$deb")" >&2 && return 1; }
    echo "$deb"
}

check_package() {
    local deb listing
    deb=$(build_package) || { fail "no package" && return; }
    check_package_fields "$deb"
    listing=$(dpkg-deb -c "$deb")
    diff <(expected_files | sed 's|^|usr/|') \
        <(awk '$1 ~ /^-/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | LC_ALL=C sort) ||
        fail "the package's files differ from the expected ones (< expected, > packaged)"
    grep -Eq '^-rwxr-xr-x root/root .* \./usr/bin/tarvex$' <<<"$listing" ||
        fail "usr/bin/tarvex is not an executable owned by root"
    dpkg-deb -x "$deb" "$work/unpacked"
    check_runs "$work/unpacked/usr/bin/tarvex"
    [ "$(dpkg-parsechangelog -l "$work/unpacked/usr/share/doc/tarvex/changelog.gz" -S Version)" = \
        "$version" ] || fail "the changelog's latest entry is not version $version"
}

# Debian's checker has nothing to say: no error, no warning (it complains as root on stderr).
check_lintian() {
    local deb output
    deb=$(build_package) || { fail "no package" && return; }
    if ! output=$(lintian --fail-on error,warning "$deb" 2>"$work/lintian.err") ||
        [ -n "$output" ]; then
        fail "lintian: $output $(cat "$work/lintian.err")"
    fi
}

case $check in
install) check_install ;;
desktop-file) check_desktop_file ;;
metainfo) check_metainfo ;;
manual) check_manual ;;
package) check_package ;;
lintian) check_lintian ;;
*)
    echo "unknown check $check" >&2
    exit 2
    ;;
esac
[ "$failures" -eq 0 ]
