# 35-track images made and filled by d64tool are read back byte for byte by
# cbmconvert, also after files were scratched and deleted; so are an empty file, REL
# files with one and with several side sectors, an empty one, and REL files that fill a
# nearly full disk to its last block; and an image whose damaged BAM validate repaired.
source "$(dirname "$0")/common.sh"
need cbmconvert

sizes=(1 253 254 255 508 509 20000 3000)
names=(one b253 b254 b255 b508 b509 Large.data notes)
types=(prg prg seq usr prg seq prg seq)

img=$WORK/image.d64
"$D64TOOL" format "$img" --name "interop" --id "zz 2a"
mkdir -p "$WORK/files"
for i in "${!sizes[@]}"; do
    random_file "$WORK/files/$i" "${sizes[$i]}"
    "$D64TOOL" import "$img" "$WORK/files/$i" --name "${names[$i]}" --type "${types[$i]}"
done

# cbmconvert writes each file under its C64 name plus the type.
extract() {
    rm -rf "$WORK/out"
    mkdir "$WORK/out"
    (cd "$WORK/out" && cbmconvert -N -d "$img") >"$WORK/cbmconvert.log" 2>&1 || fail "cbmconvert failed: $(cat "$WORK/cbmconvert.log")"
    grep -qi "invalid\|error\|warning" "$WORK/cbmconvert.log" && fail "cbmconvert complained: $(cat "$WORK/cbmconvert.log")"
    return 0
}

extract
for i in "${!sizes[@]}"; do
    cmp -s "$WORK/files/$i" "$WORK/out/${names[$i]}.${types[$i]}" || fail "${names[$i]} differs after import"
done
[[ $(ls "$WORK/out" | wc -l) == "${#sizes[@]}" ]] || fail "cbmconvert extracted: $(ls "$WORK/out")"

# REL files: cbmconvert names them after their record length (l40 for 64 bytes).
rel=$WORK/rel.d64
"$D64TOOL" format "$rel"
rel_sizes=(2540 40000 0)
rel_lengths=(64 100 10)
for i in "${!rel_sizes[@]}"; do
    random_file "$WORK/files/rel$i" "${rel_sizes[$i]}"
    "$D64TOOL" import "$rel" "$WORK/files/rel$i" --type rel --record-length "${rel_lengths[$i]}"
done
img_saved=$img
img=$rel
extract
for i in "${!rel_sizes[@]}"; do
    out="$WORK/out/rel$i.l$(printf %02X "${rel_lengths[$i]}")"
    cmp -s "$WORK/files/rel$i" "$out" || fail "rel$i differs: $(ls -l "$WORK/out")"
done

# An empty file is one block without data: cbmconvert extracts nothing (not the BAM and
# directory). It notes the empty file and, as it counts no block for no data, the count.
empty=$WORK/empty.d64
"$D64TOOL" format "$empty"
: >"$WORK/files/nothing"
"$D64TOOL" import "$empty" "$WORK/files/nothing"
rm -rf "$WORK/out" && mkdir "$WORK/out"
(cd "$WORK/out" && cbmconvert -N -d "$empty") >"$WORK/cbmconvert.log" 2>&1
[[ -f $WORK/out/nothing.prg && ! -s $WORK/out/nothing.prg ]] || fail "empty file: $(ls -l "$WORK/out")"
[[ $(grep -vc "empty.d64\|nothing,prg\|Zero length file\|invalid block count" "$WORK/cbmconvert.log") == 0 ]] ||
    fail "cbmconvert complained: $(cat "$WORK/cbmconvert.log")"

# REL files that fill a nearly full disk to its last block keep all their side
# sectors: 10 data sectors and 1 side sector, then 160 data sectors and 2.
for case in "2540 11" "40640 162"; do
    read -r size free <<<"$case"
    img=$WORK/full.d64
    "$D64TOOL" format "$img" --force
    random_file "$WORK/files/fill" $(((664 - free) * 254))
    random_file "$WORK/files/r" "$size"
    "$D64TOOL" import "$img" "$WORK/files/fill"
    "$D64TOOL" import "$img" "$WORK/files/r" --type rel --record-length 127 || fail "r of $size bytes refused"
    extract
    cmp -s "$WORK/files/r" "$WORK/out/r.l7F" || fail "REL file of $size bytes differs: $(ls "$WORK/out")"
done
img=$img_saved

# Scratch one file and delete another; the others stay readable.
"$D64TOOL" scratch "$img" b254
"$D64TOOL" delete "$img" Large.data
extract
for i in "${!sizes[@]}"; do
    out="$WORK/out/${names[$i]}.${types[$i]}"
    if [[ ${names[$i]} == b254 || ${names[$i]} == Large.data ]]; then
        [[ ! -e $out ]] || fail "${names[$i]} still extracted after removal"
    else
        cmp -s "$WORK/files/$i" "$out" || fail "${names[$i]} differs after removals"
    fi
done

# A file imported into the room freed by the removals reads back as well.
random_file "$WORK/files/new" 7000
"$D64TOOL" import "$img" "$WORK/files/new" --name refill
extract
cmp -s "$WORK/files/new" "$WORK/out/refill.prg" || fail "refill differs"

# A BAM that calls track 17 all free, repaired by validate: cbmconvert reads every file,
# and one more imported after the repair, back byte for byte.
printf '\x15\xff\xff\x1f' | dd of="$img" bs=1 seek=$((91392 + 4 * 17)) conv=notrunc status=none
"$D64TOOL" validate "$img" >/dev/null && fail "validate missed the damaged BAM"
"$D64TOOL" validate "$img" --repair >/dev/null || fail "validate --repair failed"
random_file "$WORK/files/after" 5000
"$D64TOOL" import "$img" "$WORK/files/after" || fail "import after the repair refused"
extract
for i in 0 1 3 4 5 7; do
    cmp -s "$WORK/files/$i" "$WORK/out/${names[$i]}.${types[$i]}" || fail "${names[$i]} differs after the repair"
done
cmp -s "$WORK/files/new" "$WORK/out/refill.prg" || fail "refill differs after the repair"
cmp -s "$WORK/files/after" "$WORK/out/after.prg" || fail "a file imported after the repair differs"
finish
