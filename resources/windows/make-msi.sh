#!/bin/sh
# Makes the Windows installer with wixl from an installed Scrivo folder, whose programs
# and DLLs it strips of their debugging symbols first.
#   make-msi.sh <installed folder> <version> <icon.ico> <output.msi>
set -eu
stage=$1 version=$2 icon=$3 output=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# wixl takes sources relative to where it runs.
ln -s "$(cd "$stage" && pwd)" "$work/stage"
cp "$icon" "$work/scrivo.ico"
find "$stage" -type f \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cd "$work"
find stage/ -type f | LC_ALL=C sort |
    wixl-heat -p stage/ --component-group ScrivoFiles --var var.SourceDir --directory-ref INSTALLDIR --win64 > files.wxs
wixl -a x64 -D SourceDir=stage -D Win64=yes -D Version="$version" -D Icon=scrivo.ico \
    -o scrivo.msi "$here/scrivo.wxs" files.wxs
mv scrivo.msi "$output"
