#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop gets from it:
#   check-install.sh BUILD_DIR VERSION
# the installed files against expected-files.txt; the desktop entry and the AppStream
# metainfo through their validators; the MIME type of .d64 files and the editor as its
# handler, as GIO (file managers, gio open, xdg-open) sees them, and the icon of .d64 files;
# the icon sizes; the manual pages against the programs' --help; the copyright file; the
# bash completion of d64tool; and that the installed program, started from there, finds
# its fonts.
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
# GIO offers only programs it finds on the PATH.
gio_env=(env PATH="$root/bin:$PATH" XDG_DATA_DIRS="$data" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
    XDG_CONFIG_DIRS="$work/home/etc" GIO_USE_VFS=local)
# Each image kind is of its own type (1571 and 1581 images with the 1541 image's icon), and
# the editor handles all three.
for kind in d64 d71 d81; do
    "$root/bin/d64tool" format "$work/disk.$kind" --kind "$kind" --name games >/dev/null
    type=$("${gio_env[@]}" gio info -a standard::content-type "$work/disk.$kind" | sed -n 's/^ *standard::content-type: //p')
    [ "$type" = "application/x-$kind" ] || fail "a .$kind file is of type '$type', not application/x-$kind"
    "${gio_env[@]}" gio mime "application/x-$kind" >"$work/handler"
    grep -q "Default application for .application/x-$kind.: $app_id.desktop" "$work/handler" ||
        fail "the editor does not handle application/x-$kind: $(cat "$work/handler")"
done
icons=$("${gio_env[@]}" gio info -a standard::icon "$work/disk.d64" | sed -n 's/^ *standard::icon: //p')
# The first icon a file manager looks up for a .d64 file is installed, drawn and in every size.
icon=${icons%%,*}
[ -f "$root/share/icons/hicolor/scalable/mimetypes/$icon.svg" ] || fail "no icon $icon for .d64 files ($icons)"
[ "$(ls "$root"/share/icons/hicolor/*/mimetypes/"$icon".png | wc -l)" = 6 ] || fail "the icon $icon lacks sizes"

# Each PNG icon has the size its folder names.
python3 - "$root/share/icons/hicolor" <<'EOF' || fail "icon sizes"
import pathlib, struct, sys
pngs = sorted(pathlib.Path(sys.argv[1]).glob("*/*/*.png"))
assert len(pngs) == 12, pngs
for png in pngs:
    data = png.read_bytes()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", png
    width, height = struct.unpack(">II", data[16:24])
    assert f"{width}x{height}" == png.parent.parent.name, (png, width, height)
EOF

# The manual pages render without a warning, and each shows every line of its program's
# --help: the usage lines of d64tool, the options of kobaltmandrexis.
for program in d64tool kobaltmandrexis; do
    page="$root/share/man/man1/$program.1.gz"
    warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$program.1: $warnings"
    LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$page" 2>/dev/null | col -b | tr -s ' ' >"$work/$program.page"
    # A usage line whole; an option and what it does each (the page sets them apart).
    "$root/bin/$program" --help | sed -n 's/^ *\(\(d64tool\|-\).*\)$/\1/p' | sed 's/   */\n/g' | while read -r line; do
        grep -qF -- "$line" "$work/$program.page" || fail "$program.1 lacks '$line' of --help"
    done
done

# The copyright file in Debian's machine-readable form, under the licence of LICENSE.
copyright="$root/share/doc/kobaltmandrexis/copyright"
head -n1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -qx 'License: Expat' "$copyright" && grep -q '^ SOFTWARE\.$' "$copyright" || fail "the copyright file lacks the licence"
zcat "$root/share/doc/kobaltmandrexis/changelog.gz" | head -n1 | grep -q "^kobaltmandrexis ($version)" ||
    fail "the changelog does not begin with $version"

# Bash completion of d64tool: commands, an option's choices, images, files and folders.
mkdir -p "$work/complete/out"
touch "$work/complete/a.d64" "$work/complete/b.prg"
complete_d64tool() {
    (cd "$work/complete" && PATH="$root/bin:$PATH" bash -c '. /usr/share/bash-completion/bash_completion
        . "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _d64tool; printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort | tr "\n" " "' \
        "$root/share/bash-completion/completions/d64tool" d64tool "$@")
}
[ "$(complete_d64tool "")" = "--help --version bam cat copy delete export format import list move rename scratch sort unscratch validate " ] ||
    fail "d64tool completes the commands as '$(complete_d64tool "")'"
[ "$(complete_d64tool format x.d64 --tracks "")" = "35 40 " ] || fail "no choices of --tracks"
[[ $(complete_d64tool format x.d64 --e) == "--error-bytes " ]] || fail "no options of format"
[ "$(complete_d64tool list "")" = "a.d64 out " ] || fail "list completes '$(complete_d64tool list "")'"
[ "$(complete_d64tool import a.d64 "")" = "a.d64 b.prg out " ] || fail "import completes no files"
[ "$(complete_d64tool export a.d64 "")" = "out " ] || fail "export completes no folder"

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
