# 1581 images both ways: d64tool formats a D81 byte for byte as cc1541 does with the
# 1581's header; what cc1541 writes, d64tool lists, validates and exports byte for byte;
# what d64tool writes, cc1541 lists unchanged and cbmconvert extracts byte for byte; a
# file goes from a D81 onto a D64 and back unchanged.
source "$(dirname "$0")/common.sh"
need cc1541

"$D64TOOL" format "$WORK/ours.d81" --kind d81 --name "kind d81" --id "12 3d"
cc1541 -q -n "kind d81" -i "12#a03d" "$WORK/theirs.d81" >/dev/null
cmp -s "$WORK/ours.d81" "$WORK/theirs.d81" || fail "format: the new D81 differs from cc1541's"
"$D64TOOL" format "$WORK/errors.d81" --kind d81 --error-bytes
[[ $(stat -c %s "$WORK/errors.d81") == 822400 ]] || fail "format: D81 with error bytes has the wrong size"

sizes=(1 254 255 509 20000 160000)
names=(one c254 c255 c509 large huge)
args=()
for i in "${!sizes[@]}"; do
    random_file "$WORK/f$i" "${sizes[$i]}"
    args+=(-f "${names[$i]}" -w "$WORK/f$i")
done

# cc1541 writes, d64tool reads.
img=$WORK/cc.d81
cc1541 -q -n "from cc1541" -i "ab#a03d" "${args[@]}" "$img" >/dev/null
listing=$("$D64TOOL" list "$img")
for i in "${!sizes[@]}"; do
    list_line_matches "$listing" "$(blocks "${sizes[$i]}")" "${names[$i]}" PRG ||
        fail "cc1541 image: no row for ${names[$i]} with $(blocks "${sizes[$i]}") blocks"
done
theirs=$(cc1541 "$img" | sed -n 's/^\([0-9]*\) blocks free.*/\1/p')
ours=$(tail -n1 <<<"$listing" | sed -n 's/^\([0-9]*\) BLOCKS FREE.*/\1/p')
[[ -n $theirs && $theirs == "$ours" ]] || fail "cc1541 image: free blocks cc1541 '$theirs', d64tool '$ours'"
"$D64TOOL" validate "$img" >/dev/null || fail "cc1541 image: validate found damage"
mkdir "$WORK/out"
"$D64TOOL" export "$img" "$WORK/out"
for i in "${!sizes[@]}"; do
    cmp -s "$WORK/f$i" "$WORK/out/${names[$i]}.prg" || fail "cc1541 image: exported ${names[$i]} differs"
done

# d64tool writes, cc1541 lists and cbmconvert extracts.
img=$WORK/ours.d81
for i in "${!sizes[@]}"; do
    "$D64TOOL" import "$img" "$WORK/f$i" --name "${names[$i]}" --type prg
done
"$D64TOOL" scratch "$img" c254
cp "$img" "$WORK/copy.d81"
theirs=$(cc1541 "$WORK/copy.d81" | sed 's/\x1b\[[0-9]*m//g')
cmp -s "$img" "$WORK/copy.d81" || fail "d64tool image: cc1541 found something to change"
for i in "${!sizes[@]}"; do
    [[ ${names[$i]} == c254 ]] && continue
    list_line_matches "$theirs" "$(blocks "${sizes[$i]}")" "${names[$i]}" prg ||
        fail "d64tool image: cc1541 lists no ${names[$i]} of $(blocks "${sizes[$i]}") blocks"
done
grep -q '"c254"' <<<"$theirs" && fail "d64tool image: cc1541 still lists the scratched file"
free_theirs=$(sed -n 's/^\([0-9]*\) blocks free.*/\1/p' <<<"$theirs")
free_ours=$("$D64TOOL" list "$img" | tail -n1 | sed -n 's/^\([0-9]*\) BLOCKS FREE.*/\1/p')
[[ -n $free_theirs && $free_theirs == "$free_ours" ]] ||
    fail "d64tool image: free blocks cc1541 '$free_theirs', d64tool '$free_ours'"
if command -v cbmconvert >/dev/null; then
    mkdir "$WORK/cbm"
    (cd "$WORK/cbm" && cbmconvert -N -d "$img" >/dev/null 2>&1)
    for i in "${!sizes[@]}"; do
        [[ ${names[$i]} == c254 ]] && continue
        cmp -s "$WORK/f$i" "$WORK/cbm/${names[$i]}.prg" || fail "d64tool image: cbmconvert's ${names[$i]} differs"
    done
fi

# A file from a D81 onto a D64 and back.
"$D64TOOL" format "$WORK/mid.d64"
"$D64TOOL" format "$WORK/back.d81" --kind d81
"$D64TOOL" copy "$WORK/cc.d81" "$WORK/mid.d64" large
"$D64TOOL" copy "$WORK/mid.d64" "$WORK/back.d81" large
mkdir "$WORK/back"
"$D64TOOL" export "$WORK/back.d81" "$WORK/back" large
cmp -s "$WORK/f4" "$WORK/back/large.prg" || fail "copy: large came back from the D64 changed"
"$D64TOOL" validate "$WORK/back.d81" >/dev/null || fail "copy: validate found damage on the D81"
finish
