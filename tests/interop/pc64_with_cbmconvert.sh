# PC64 files both ways: those d64tool exports are read by cbmconvert into an image
# holding the same files, and those cbmconvert writes from an image are imported by
# d64tool as the same files (name, type, record length and bytes).
source "$(dirname "$0")/common.sh"
need cbmconvert

img=$WORK/image.d64
"$D64TOOL" format "$img"
names=(one Two b254 notes rec)
types=(prg prg usr seq rel)
sizes=(1 3000 254 700 2540)
for i in "${!names[@]}"; do
    random_file "$WORK/f$i" "${sizes[$i]}"
    extra=()
    [[ ${types[$i]} == rel ]] && extra=(--record-length 64)
    "$D64TOOL" import "$img" "$WORK/f$i" --name "${names[$i]}" --type "${types[$i]}" "${extra[@]}"
done

# Every file of an image as PC64 files, compared with the original's.
same_files() {
    rm -rf "$WORK/check" && mkdir "$WORK/check"
    "$D64TOOL" export "$1" "$WORK/check" --pc64 || fail "export of $1 failed"
    diff -r "$WORK/pc64" "$WORK/check" >/dev/null || fail "$2: $(ls "$WORK/pc64") / $(ls "$WORK/check")"
}

mkdir "$WORK/pc64"
"$D64TOOL" export "$img" "$WORK/pc64" --pc64
(cd "$WORK" && cbmconvert -v1 -D4 "$WORK/by-cbmconvert.d64" -p pc64/*) >"$WORK/log" 2>&1 ||
    fail "cbmconvert could not read the PC64 files: $(cat "$WORK/log")"
same_files "$WORK/by-cbmconvert.d64" "cbmconvert's image of d64tool's PC64 files"

mkdir "$WORK/from-cbmconvert"
(cd "$WORK/from-cbmconvert" && cbmconvert -P -d "$img") >"$WORK/log" 2>&1 ||
    fail "cbmconvert could not write PC64 files: $(cat "$WORK/log")"
"$D64TOOL" format "$WORK/imported.d64"
"$D64TOOL" import "$WORK/imported.d64" "$WORK"/from-cbmconvert/* || fail "d64tool could not import cbmconvert's files"
same_files "$WORK/imported.d64" "d64tool's import of cbmconvert's PC64 files"
finish
