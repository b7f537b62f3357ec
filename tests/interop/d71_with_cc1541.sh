# 1571 images both ways. cc1541's D71 with files on both sides: d64tool lists and exports
# them byte for byte. cc1541 4.0 keeps side two's free counts on 53/0 from byte $DD and
# leaves track 53 free; the 1571 keeps them in 18/0 from byte $DD, 53/0 past the bitmaps
# empty and track 53 whole. d64tool's validate says so in one finding and its repair makes
# cc1541's new D71 d64tool's byte for byte. d64tool's D71 filled past side one: cc1541
# lists the same files and free blocks, cbmconvert extracts them unchanged.
source "$(dirname "$0")/common.sh"
need cc1541

sizes=(1 254 20000 200000)
names=(one c254 Large Huge)
theirs=$WORK/theirs.d71
cc1541 -q -n "from cc1541" -i "ab 2a" -S 6 "$theirs" >/dev/null
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

# cc1541's layout of side two is one finding; repaired, nothing is left and both tools
# count the same free blocks.
found=$("$D64TOOL" validate "$theirs" || true)
[[ $found == "side-two-counts 53/0: "*"cc1541's layout"* ]] || fail "validate of cc1541's D71: $found"
"$D64TOOL" validate "$theirs" --repair >/dev/null || fail "repair of cc1541's D71 failed"
found=$("$D64TOOL" validate "$theirs") || fail "repaired D71 still has findings: $found"
free_ours=$("$D64TOOL" list "$theirs" | tail -n1 | sed -n 's/^\([0-9]*\) BLOCKS FREE.*/\1/p')
free_theirs=$(cc1541 "$theirs" | sed -n 's/^\([0-9]*\) blocks free.*/\1/p')
((free_ours == 1328 - 1 - 1 - 79 - 788)) || fail "repaired: d64tool counts $free_ours blocks free"
[[ $free_theirs == "$free_ours" ]] || fail "repaired: free blocks cc1541 '$free_theirs', d64tool '$free_ours'"

# New images: they differ only in side two's BAM, as described above, and the repair
# makes cc1541's d64tool's byte for byte.
"$D64TOOL" format "$WORK/ours.d71" --kind d71 --name "new" --id "ab 2a"
cc1541 -q -n "new" -i "ab 2a" "$WORK/cc.d71" >/dev/null
header=91392
side2=$((174848 + header))
while read -r offset _; do
    o=$((offset - 1))
    ((o >= header + 0xDD && o < header + 256)) || ((o >= side2 + 51 && o < side2 + 54)) ||
        ((o >= side2 + 0xDD && o < side2 + 256)) || fail "new image differs from cc1541's at byte $o"
done < <(cmp -l "$WORK/ours.d71" "$WORK/cc.d71" || true)
[[ $(stat -c %s "$WORK/ours.d71") == 349696 ]] || fail "new image size"
"$D64TOOL" validate "$WORK/cc.d71" --repair >/dev/null
cmp -s "$WORK/ours.d71" "$WORK/cc.d71" || fail "cc1541's new D71 repaired differs from d64tool's"

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
