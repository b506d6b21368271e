#!/usr/bin/env bash
# The desktop files pass their validators, install where the desktop looks for them, and the
# installed MIME types recognise the editor's files by their content alone.
# Arguments: the build folder, the source folder, a work folder.
set -euo pipefail
build=$1
source=$2
work=$3
rm -rf "$work"
mkdir -p "$work"

desktop-file-validate "$source/data/desktop/de.zobl.GraphicsEditor.desktop"
appstreamcli validate --no-net "$build/data/desktop/de.zobl.GraphicsEditor.metainfo.xml"
xmllint --noout "$source/data/desktop/zobl-ge-mime.xml"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
for installed in share/applications/de.zobl.GraphicsEditor.desktop share/metainfo/de.zobl.GraphicsEditor.metainfo.xml \
                 share/mime/packages/zobl-ge.xml share/icons/hicolor/scalable/apps/de.zobl.GraphicsEditor.svg \
                 share/icons/hicolor/256x256/apps/de.zobl.GraphicsEditor.png \
                 share/icons/hicolor/48x48/mimetypes/application-x-zobl-scenery.png \
                 share/icons/hicolor/16x16/mimetypes/application-x-zobl-vehicles.png \
                 share/thumbnailers/zobl-ge.thumbnailer; do
    [ -f "$prefix/$installed" ] || { echo "not installed: $installed"; exit 1; }
done
update-mime-database "$prefix/share/mime"

# Files under names that say nothing: the content decides.
cp "$source/data/sample.gs" "$work/landschaft.bin"
printf 'TRAK User Graphics File (rolling stock file)\032\106\307\123rest' > "$work/zug.bin"
printf 'Nur ein Text\n' > "$work/text.bin"
type_of() {
    XDG_DATA_HOME="$prefix/share" XDG_DATA_DIRS="$prefix/share:/usr/share" \
        gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
expect() {
    local got
    got=$(type_of "$1")
    if [ "$got" != "$2" ]; then
        echo "$1: expected $2, got $got"
        exit 1
    fi
}
expect "$work/landschaft.bin" application/x-zobl-scenery
expect "$work/zug.bin" application/x-zobl-vehicles
[ "$(type_of "$work/text.bin")" != application/x-zobl-scenery ]
echo "desktop integration: all checks passed"
