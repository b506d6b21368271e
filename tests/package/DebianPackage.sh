#!/usr/bin/env bash
# Packs the build under test with cpack, has lintian judge the package, unpacks it into a
# scratch root and runs the unpacked zobl-tool from there: --version, a thumbnail of the packaged
# sample, and a message that must come from the packaged language file.
# A sanitizer build gives a package fit for this test only.
# Arguments: the build folder, a work folder, the project's version, the cpack command.
set -euo pipefail
build=$1
work=$2
version=$3
cpack=${4:-cpack}
rm -rf "$work"
mkdir -p "$work"

fail() {
    echo "$*" >&2
    exit 1
}

# gzip rather than xz: the package is thrown away, and xz over sanitizer binaries takes long.
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip > "$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/zobl-ge_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$work/out")"

lintian --fail-on error "$deb" ||
    fail "lintian found errors in $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zobl-ge ] || fail "package name: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "package version $(field Version), project version $version"
[ "$(field Section)" = graphics ] || fail "section: $(field Section)"
[[ $(field Depends) == *libqt6widgets6* ]] || fail "dpkg-shlibdeps found no Qt dependency: $(field Depends)"

root=$work/root
dpkg -x "$deb" "$root"
for packaged in usr/bin/zobl_ge usr/bin/zobl-tool usr/share/zobl_ge/zobl_ge.rtx usr/share/zobl_ge/help/index.html \
                usr/share/zobl_ge/zobl_ge.en.rtx usr/share/zobl_ge/help/en/index.html usr/share/zobl_ge/help/manual.css \
                usr/share/man/man1/zobl_ge.1.gz usr/share/man/man1/zobl-tool.1.gz \
                usr/share/doc/zobl-ge/copyright usr/share/doc/zobl-ge/changelog.gz \
                usr/share/applications/de.zobl.GraphicsEditor.desktop usr/share/mime/packages/zobl-ge.xml \
                usr/share/metainfo/de.zobl.GraphicsEditor.metainfo.xml usr/share/thumbnailers/zobl-ge.thumbnailer \
                usr/share/icons/hicolor/scalable/apps/de.zobl.GraphicsEditor.svg \
                usr/share/bash-completion/completions/zobl-tool; do
    [ -f "$root/$packaged" ] || fail "not packaged: $packaged"
done
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/de.zobl.GraphicsEditor.metainfo.xml" ||
    fail "the AppStream release is not $version"
[[ $(zcat "$root/usr/share/man/man1/zobl-tool.1.gz") == *"zobl_ge $version"* ]] ||
    fail "the man page does not name version $version"

# From / so that nothing of the build tree is found by a relative path.
tool=$root/usr/bin/zobl-tool
said=$(cd / && "$tool" --version)
[ "$said" = "zobl-tool $version" ] || fail "zobl-tool --version said: $said"
(cd / && "$tool" thumbnail -s 64 "$root/usr/share/zobl_ge/samples/sample.gs" "$work/thumbnail.png") ||
    fail "zobl-tool thumbnail failed"
[ "$(head -c 8 "$work/thumbnail.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the thumbnail is no PNG"
# The same message from each packaged language file, chosen by the environment.
for language in de en; do
    if err=$(cd / && LANGUAGE=$language "$tool" info "$work/missing.gs" 2>&1); then
        fail "info on a missing file succeeded"
    fi
    case $err in
        *__RTX__* | "") fail "the packaged tool did not find its language file ($language): $err" ;;
    esac
    printf '%s\n' "$err" > "$work/message.$language"
done
cmp -s "$work/message.de" "$work/message.en" &&
    fail "German and English gave the same message: $(cat "$work/message.en")"
echo "package $(basename "$deb"): lintian without errors, the unpacked tool runs"
