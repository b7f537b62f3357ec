# 1581 images both ways: d64tool formats a D81 byte for byte as cc1541 does with the
# 1581's header; what cc1541 writes, d64tool lists, validates and exports byte for byte;
# what d64tool writes, cc1541 lists unchanged and cbmconvert extracts byte for byte; a
# file goes from a D81 onto a D64 and back unchanged. REL files with their super side
# sector: cc1541 lists them and their free blocks, cbmconvert extracts their bytes (it
# reads 1581 side sectors by 1541 rules, so its warnings about them are not checked), and
# one copied onto a D64 gets side sectors cbmconvert checks. A partition cc1541 writes is
# listed, exported, copied and scratched whole.
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
# REL files: one side sector, two groups of side sectors (788 data blocks), none of data.
img=$WORK/rel.d81
"$D64TOOL" format "$img" --kind d81
rel_sizes=(2540 200000 0)
rel_lengths=(64 100 10)
rel_blocks=(12 796 3)
for i in "${!rel_sizes[@]}"; do
    random_file "$WORK/rel$i" "${rel_sizes[$i]}"
    "$D64TOOL" import "$img" "$WORK/rel$i" --type rel --record-length "${rel_lengths[$i]}" ||
        fail "REL: rel$i refused"
done
"$D64TOOL" validate "$img" >/dev/null || fail "REL: validate found damage"
cp "$img" "$WORK/rel-copy.d81"
theirs=$(cc1541 "$WORK/rel-copy.d81" | sed 's/\x1b\[[0-9]*m//g')
cmp -s "$img" "$WORK/rel-copy.d81" || fail "REL: cc1541 found something to change"
for i in "${!rel_sizes[@]}"; do
    list_line_matches "$theirs" "${rel_blocks[$i]}" "rel$i" rel || fail "REL: cc1541 lists no rel$i of ${rel_blocks[$i]} blocks"
done
[[ $(sed -n 's/^\([0-9]*\) blocks free.*/\1/p' <<<"$theirs") == $((3160 - 12 - 796 - 3)) ]] ||
    fail "REL: cc1541 counts other free blocks: $theirs"
rm -rf "$WORK/cbm" && mkdir "$WORK/cbm"
(cd "$WORK/cbm" && cbmconvert -N -d "$img" >/dev/null 2>&1)
for i in 0 1; do
    cmp -s "$WORK/rel$i" "$WORK/cbm/rel$i.l$(printf %02X "${rel_lengths[$i]}")" || fail "REL: cbmconvert's rel$i differs"
done
"$D64TOOL" format "$WORK/rel.d64"
"$D64TOOL" copy "$img" "$WORK/rel.d64" rel0
"$D64TOOL" scratch "$img" rel0 rel1
[[ $("$D64TOOL" list "$img" | tail -n1) == "3157 BLOCKS FREE - 1 FILE(S) ON DISK" ]] ||
    fail "REL: scratch left blocks taken: $("$D64TOOL" list "$img" | tail -n1)"
"$D64TOOL" copy "$WORK/rel.d64" "$img" rel0
"$D64TOOL" validate "$img" >/dev/null || fail "REL: validate found damage after the way back"
rm -rf "$WORK/rel-out" && mkdir "$WORK/rel-out"
"$D64TOOL" export "$img" "$WORK/rel-out" rel0 --pc64
mkdir "$WORK/rel-out/d64"
"$D64TOOL" export "$WORK/rel.d64" "$WORK/rel-out/d64" rel0 --pc64
cmp -s "$WORK/rel-out/rel0.r00" "$WORK/rel-out/d64/rel0.r00" || fail "REL: rel0 changed on the way to the D64 and back"
rm -rf "$WORK/cbm" && mkdir "$WORK/cbm"
(cd "$WORK/cbm" && cbmconvert -N -d "$WORK/rel.d64") >"$WORK/cbm.log" 2>&1
grep -qi "error\|warning\|invalid" "$WORK/cbm.log" && fail "REL: cbmconvert complained about the D64: $(cat "$WORK/cbm.log")"
cmp -s "$WORK/rel0" "$WORK/cbm/rel0.l40" || fail "REL: cbmconvert's rel0 from the D64 differs"

# A partition: 80 sectors from 41/0, as cc1541 writes a file of type CBM.
img=$WORK/part.d81
random_file "$WORK/part" $((80 * 254))
cc1541 -q -T 133 -r 41 -f part -w "$WORK/part" "$img" >/dev/null
list_line_matches "$("$D64TOOL" list "$img")" 80 part CBM || fail "partition: not listed as CBM: $("$D64TOOL" list "$img")"
"$D64TOOL" validate "$img" >/dev/null || fail "partition: validate found damage"
rm -rf "$WORK/part-out" && mkdir "$WORK/part-out"
"$D64TOOL" export "$img" "$WORK/part-out" part
cmp -s "$WORK/part-out/part.cbm" <(tail -c +$((256 * 40 * 40 + 1)) "$img" | head -c $((80 * 256))) ||
    fail "partition: the export is not its 80 sectors: $(ls -l "$WORK/part-out")"
"$D64TOOL" format "$WORK/part-copy.d81" --kind d81
"$D64TOOL" copy "$img" "$WORK/part-copy.d81" part || fail "partition: copy refused"
"$D64TOOL" validate "$WORK/part-copy.d81" >/dev/null || fail "partition: validate found damage on the copy"
cmp -s <(tail -c +$((256 * 40 * 40 + 1)) "$img" | head -c $((80 * 256))) \
    <(tail -c +$((256 * 40 * 40 + 1)) "$WORK/part-copy.d81" | head -c $((80 * 256))) ||
    fail "partition: the copy's sectors differ"
"$D64TOOL" scratch "$WORK/part-copy.d81" part
free_theirs=$(cc1541 "$WORK/part-copy.d81" | sed -n 's/^\([0-9]*\) blocks free.*/\1/p')
[[ $free_theirs == 3160 ]] || fail "partition: cc1541 counts $free_theirs blocks free after the scratch"

finish
