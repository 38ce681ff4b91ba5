#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR and checks what a desktop and a package manager see:
# the desktop entry and the AppStream metadata pass their validators, the icons have their sizes,
# every manual page renders cleanly and names every option its program's --help lists, and the
# installed programs answer --help and --version.
# Usage: install_check.sh BUILD_DIR SOURCE_DIR VERSION APP_ID
set -uo pipefail

build=$1 src=$2 version=$3 id=$4
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (tools/deps.sh installs it)"
done
[ "$failures" -eq 0 ] || exit 1

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
if ! DESTDIR=$dest cmake --install "$build" --prefix /usr >"$dest/install.log" 2>&1; then
    cat "$dest/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi
root=$dest/usr

for prog in vrako vrako-server vrako-lzrw1; do
    [ -x "$root/bin/$prog" ] || fail "bin/$prog is not installed"
done

# Desktop entry: valid, starting an installed program, naming an installed icon.
desktop=$root/share/applications/$id.desktop
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate reports: $out"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$root/bin/${exec_line%% *}" ] || fail "Exec=$exec_line does not start an installed program"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "Icon= is not $id"

# Icons: the SVG and each PNG at the size its folder names (width and height from the header).
icons=$root/share/icons/hicolor
grep -q '<svg' "$icons/scalable/apps/$id.svg" 2>/dev/null || fail "scalable/apps/$id.svg missing"
for n in 48 64 128 256; do
    png=$icons/${n}x${n}/apps/$id.png
    if [ ! -f "$png" ]; then
        fail "${n}x${n}/apps/$id.png missing"
        continue
    fi
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$size" = "${n}x${n}" ] || fail "${n}x${n}/apps/$id.png is $size"
done

# AppStream: valid, the release is this version, and what it provides and shows exists.
meta=$root/share/metainfo/$id.metainfo.xml
out=$(appstreamcli validate --no-net "$meta" 2>&1) || fail "appstreamcli validate: $out"
grep -q "<release version=\"$version\"" "$meta" || fail "metainfo has no release $version"
for bin in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$meta"); do
    [ -x "$root/bin/$bin" ] || fail "metainfo provides $bin, which is not installed"
done
shots=$(sed -n 's:.*<image>.*/v[0-9.]*/\(.*\)</image>.*:\1:p' "$meta")
[ "$(echo "$shots" | grep -c .)" -ge 2 ] || fail "metainfo has fewer than two screenshots"
for shot in $shots; do
    [ -f "$src/$shot" ] || fail "screenshot $shot is not in the repository"
done

# Manual pages: each renders without warnings and mentions every option of its program's help.
export LC_ALL=C.UTF-8 MANWIDTH=100
check_page() { # PROGRAM PAGE
    local prog=$1 page=$2 help text warnings opt
    if [ ! -f "$page" ]; then
        fail "manual page ${page#"$root"/} missing"
        return
    fi
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "${page##*/}: $warnings"
    text=$(man -l "$page" 2>/dev/null)
    grep -qF "$version" <<<"$text" || fail "${page##*/} does not name version $version"
    help=$("$root/bin/$prog" --help) || fail "$prog --help exits with $?"
    # Options are the dashed words at the start of the help's indented lines.
    local opts
    opts=$(grep -E '^ +-' <<<"$help" | grep -oE '(^|[ ,])--?[a-z][a-z0-9-]*' | tr -d ' ,' | sort -u)
    [ -n "$opts" ] || fail "$prog --help lists no options"
    for opt in $opts; do
        grep -qE -- "(^|[^a-z-])$opt([^a-z-]|$)" <<<"$text" ||
            fail "${page##*/} does not mention $opt of $prog --help"
    done
}
man=$root/share/man
check_page vrako "$man/man6/vrako.6.gz"
check_page vrako-server "$man/man6/vrako-server.6.gz"
check_page vrako-lzrw1 "$man/man1/vrako-lzrw1.1.gz"

# The installed programs start and print their version, without a display.
for prog in vrako vrako-server vrako-lzrw1; do
    out=$("$root/bin/$prog" --version 2>&1)
    rc=$?
    [ "$rc" -eq 0 ] || fail "$prog --version exits with $rc: $out"
    grep -qF "$version" <<<"$out" || fail "$prog --version prints \"$out\", not $version"
done
out=$("$root/bin/vrako-lzrw1" --help 2>&1) || fail "vrako-lzrw1 --help exits with $?"
grep -q "compress IN OUT" <<<"$out" || fail "vrako-lzrw1 --help does not show its commands"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed files: $(find "$dest" -type f | grep -vc install.log); all checks passed"
