#!/bin/sh
# Installs the build folder BUILD into a temporary prefix and checks what
# arrives: exactly the files an installation holds (EDITOR: ON or OFF); with
# the editor, that the desktop's validators accept its entry and its
# description, and that the desktop then takes a .dlg file for our type.
# usage: installed_files.sh BUILD EDITOR
set -eu
build=$1
editor=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/dlgtool
share/doc/talkwright/changelog.gz
share/doc/talkwright/copyright
share/man/man1/dlgtool.1.gz"
if [ "$editor" = ON ]; then
    expected="$expected
bin/talkwright
share/man/man1/talkwright.1.gz
share/applications/talkwright.desktop
share/icons/hicolor/scalable/apps/talkwright.svg
share/icons/hicolor/scalable/mimetypes/application-x-quorvel-dialog.svg
share/metainfo/org.example.talkwright.metainfo.xml
share/mime/packages/talkwright.xml"
    for size in 16 32 48 64 128 256; do
        expected="$expected
share/icons/hicolor/${size}x$size/apps/talkwright.png
share/icons/hicolor/${size}x$size/mimetypes/application-x-quorvel-dialog.png"
    done
fi
echo "$expected" | LC_ALL=C sort >"$work/expected"
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed"
if ! diff -u "$work/expected" "$work/installed"; then
    echo "installed files differ from the expected ones (+ unexpected, - missing)"
    exit 1
fi
# The changelog's latest entry is the version the programs say they are.
version=$("$prefix/bin/dlgtool" --version | cut -d' ' -f2)
if ! gzip -dc "$prefix/share/doc/talkwright/changelog.gz" | head -n 1 | grep -qF "talkwright ($version)"; then
    echo "the changelog's latest entry is not version $version"
    exit 1
fi
[ "$editor" = ON ] || exit 0

desktop-file-validate "$prefix/share/applications/talkwright.desktop"
# The description, and that the entry and the icons it names are there.
appstreamcli validate-tree --no-net "$prefix"

# A desktop finds the file type through XDG_DATA_DIRS, once the type's cache is built.
update-mime-database "$prefix/share/mime"
printf '{1}{Hi}{Hi}{}{}{}{}\r\n' >"$work/x.dlg"
type=$(cd "$work" && env -i PATH="$PATH" HOME="$work" XDG_DATA_HOME="$work/home" \
    XDG_DATA_DIRS="$prefix/share:/usr/share" xdg-mime query filetype x.dlg)
if [ "$type" != application/x-quorvel-dialog ]; then
    echo "xdg-mime takes x.dlg for \"$type\""
    exit 1
fi
