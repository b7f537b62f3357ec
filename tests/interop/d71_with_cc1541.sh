# 1571 images both ways. cc1541's D71 with files on both sides: d64tool lists and exports
# them byte for byte. d64tool's new D71 is cc1541's byte for byte but for the BAM of side
# two, which cc1541 4.0 keeps elsewhere than the 1571 (its free counts on track 53, not
# in the header, and track 53 not reserved). d64tool's D71 filled past side one: cc1541
# lists the same files and free blocks, cbmconvert extracts them unchanged.
source "$(dirname "$0")/common.sh"
need cc1541

sizes=(1 254 20000 200000)
names=(one c254 Large Huge)
theirs=$WORK/theirs.d71
cc1541 -q -n "from cc1541" -i "ab 2a" "$theirs" >/dev/null
for i in "${!sizes[@]}"; do
    random_file "$WORK/$i" "${sizes[$i]}"
    cc1541 -q -f "${names[$i]}" -w "$WORK/$i" "$theirs" >/dev/null
done
listing=$("$D64TOOL" list "$theirs")
head -n1 <<<"$listing" | grep -qF '0 "from cc1541' || fail "header line: $(head -n1 <<<"$listing")"
for i in "${!sizes[@]}"; do
    list_line_matches "$listing" "$(blocks "${sizes[$i]}")" "${names[$i]}" PRG ||
        fail "no row for ${names[$i]} with $(blocks "${sizes[$i]}") blocks"
done
mkdir "$WORK/out"
"$D64TOOL" export "$theirs" "$WORK/out" --all
for i in "${!sizes[@]}"; do
    cmp -s "$WORK/$i" "$WORK/out/${names[$i]}.prg" || fail "exported ${names[$i]} differs"
done

# New images: only side two's BAM may differ (18/0 bytes $DD-$FF, sector 53/0).
"$D64TOOL" format "$WORK/ours.d71" --kind d71 --name "new" --id "ab 2a"
cc1541 -q -n "new" -i "ab 2a" "$WORK/cc.d71" >/dev/null
header=91392
side2=$((174848 + header))
while read -r offset _; do
    o=$((offset - 1))
    ((o >= header + 0xDD && o < header + 256)) || ((o >= side2 && o < side2 + 256)) ||
        fail "new image differs from cc1541's at byte $o"
done < <(cmp -l "$WORK/ours.d71" "$WORK/cc.d71" || true)
[[ $(stat -c %s "$WORK/ours.d71") == 349696 ]] || fail "new image size"

ours=$WORK/ours.d71
"$D64TOOL" import "$ours" "${WORK}/3" "${WORK}/2" >/dev/null
listing=$("$D64TOOL" list "$ours")
their_listing=$(cc1541 "$ours")
for i in 3 2; do
    grep -qE "^$(blocks "${sizes[$i]}") +\"$i\" +prg" <<<"$their_listing" || fail "cc1541 lists no $i"
done
free_ours=$(tail -n1 <<<"$listing" | sed -n 's/^\([0-9]*\) BLOCKS FREE.*/\1/p')
free_theirs=$(sed -n 's/^\([0-9]*\) blocks free.*/\1/p' <<<"$their_listing")
((free_ours == 1328 - 788 - 79)) || fail "d64tool counts $free_ours blocks free"
[[ $free_theirs == "$free_ours" ]] || fail "free blocks cc1541 '$free_theirs', d64tool '$free_ours'"
if command -v cbmconvert >/dev/null; then
    mkdir "$WORK/cbm"
    (cd "$WORK/cbm" && cbmconvert -N -d "$ours" >/dev/null 2>&1)
    for i in 3 2; do
        cmp -s "$WORK/$i" "$WORK/cbm/$i.prg" || fail "cbmconvert extracts $i changed"
    done
fi
finish
