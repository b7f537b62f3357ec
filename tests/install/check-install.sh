#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop gets from it:
#   check-install.sh BUILD_DIR VERSION
# the installed files against expected-files.txt; the desktop entry and the AppStream
# metainfo through their validators; the MIME type of .d64 files and the editor as its
# handler, as GIO (file managers, gio open, xdg-open) sees them; the icon sizes; and that
# the installed program, started from there, finds its fonts.
set -euo pipefail
build=$1
version=$2
app_id=com.halvorsteen.kobaltmandrexis
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log"
root="$work/root/usr"
installed_files "$root" >"$work/files"
diff -u "$here/expected-files.txt" "$work/files" || fail "the installed files differ from expected-files.txt"

# Validators: no error, and for the desktop entry not even a hint.
desktop="$root/share/applications/$app_id.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
grep -qx 'Exec=kobaltmandrexis %F' "$desktop" || fail "the desktop entry does not pass the files on"
metainfo="$root/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream.log")"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

# The MIME type and its handler, once the databases are built as the package's triggers
# build them, in a data folder of their own.
data="$work/data"
cp -r "$root/share" "$data"
update-mime-database "$data/mime"
update-desktop-database "$data/applications" 2>/dev/null
"$root/bin/d64tool" format "$work/disk.d64" --name games >/dev/null
# GIO offers only programs it finds on the PATH.
gio_env=(env PATH="$root/bin:$PATH" XDG_DATA_DIRS="$data" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
    XDG_CONFIG_DIRS="$work/home/etc" GIO_USE_VFS=local)
type=$("${gio_env[@]}" gio info -a standard::content-type "$work/disk.d64" | sed -n 's/^ *standard::content-type: //p')
[ "$type" = application/x-d64 ] || fail "a .d64 file is of type '$type', not application/x-d64"
"${gio_env[@]}" gio mime application/x-d64 >"$work/handler"
grep -q "Default application for .application/x-d64.: $app_id.desktop" "$work/handler" ||
    fail "the editor does not handle application/x-d64: $(cat "$work/handler")"

# Each PNG icon has the size its folder names.
python3 - "$root/share/icons/hicolor" <<'EOF' || fail "icon sizes"
import pathlib, struct, sys
pngs = sorted(pathlib.Path(sys.argv[1]).glob("*/apps/*.png"))
assert len(pngs) == 6, pngs
for png in pngs:
    data = png.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", png
    width, height = struct.unpack(">II", data[16:24])
    assert f"{width}x{height}" == png.parent.parent.name, (png, width, height)
EOF

# The installed program finds its fonts beside it. It is given a missing image: once
# start-up is past the fonts and the window is up, the open fails with the dialog path's
# message, which the offscreen platform also writes to the error stream.
start_offscreen "$root/bin/kobaltmandrexis" "$work/run.log" "$work/no-such.d64"
grep -q "Can't find specified diskimage!" "$work/run.log" || fail "the installed program did not start: $(cat "$work/run.log")"
if grep -q "Can't load font:" "$work/run.log"; then fail "the installed program misses its fonts"; fi

# And the check would see it: the same install without its fonts does not start.
cp -r "$work/root" "$work/nofonts"
rm "$work/nofonts/usr/share/kobaltmandrexis/"*.fon
start_offscreen "$work/nofonts/usr/bin/kobaltmandrexis" "$work/nofonts.log" "$work/no-such.d64"
grep -q "Can't load font:CBM64_G.fon" "$work/nofonts.log" || fail "a missing font went unnoticed: $(cat "$work/nofonts.log")"
echo "check-install: the install is complete and works"
