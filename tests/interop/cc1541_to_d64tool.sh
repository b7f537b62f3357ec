# Images built by cc1541 (35 tracks, 40 tracks SpeedDOS and DolphinDOS): d64tool lists
# their files with the right names, block counts and free blocks, and exports them
# byte for byte; validate finds them consistent and repairs a damaged BAM to their bytes.
source "$(dirname "$0")/common.sh"
need cc1541

sizes=(1 253 254 255 508 509 20000)
names=(one a253 a254 a255 a508 a509 Large)

for variant in 35 speed dolphin; do
    dir=$WORK/$variant
    mkdir -p "$dir/files" "$dir/out"
    flags=()
    dos=()
    var_sizes=("${sizes[@]}")
    var_names=("${names[@]}")
    if [[ $variant != 35 ]]; then
        [[ $variant == speed ]] && flags=(-4) || flags=(-5)
        dos=(--dos "$variant")
        # Enough to run past track 35.
        var_sizes+=(160000)
        var_names+=(huge)
    fi
    args=()
    for i in "${!var_sizes[@]}"; do
        random_file "$dir/files/$i" "${var_sizes[$i]}"
        args+=(-f "${var_names[$i]}" -w "$dir/files/$i")
    done
    img=$dir/image.d64
    cc1541 -q -n "interop $variant" -i "ab 2a" "${flags[@]}" "${args[@]}" "$img" >/dev/null

    listing=$("$D64TOOL" list "$img" "${dos[@]}")
    head -n1 <<<"$listing" | grep -qF "0 \"interop $variant" || fail "$variant: header line: $(head -n1 <<<"$listing")"
    for i in "${!var_sizes[@]}"; do
        list_line_matches "$listing" "$(blocks "${var_sizes[$i]}")" "${var_names[$i]}" PRG ||
            fail "$variant: no row for ${var_names[$i]} with $(blocks "${var_sizes[$i]}") blocks"
    done
    files=$(($(wc -l <<<"$listing") - 2))
    ((files == ${#var_sizes[@]})) || fail "$variant: $files rows listed"

    # Free blocks as cc1541 counts them in the same DOS layout.
    theirs=$(cc1541 "${flags[@]}" "$img" | sed -n 's/^\([0-9]*\) blocks free.*/\1/p')
    ours=$(tail -n1 <<<"$listing" | sed -n 's/^\([0-9]*\) BLOCKS FREE.*/\1/p')
    [[ -n $theirs && $theirs == "$ours" ]] || fail "$variant: free blocks cc1541 '$theirs', d64tool '$ours'"

    # Validate finds cc1541's image consistent; with the BAM of track 1 (and of track 36
    # where the DOS keeps it) called all free, it finds the damage, and the repair gives
    # back cc1541's image byte for byte.
    "$D64TOOL" validate "$img" "${dos[@]}" >"$dir/validate" || fail "$variant: validate: $(cat "$dir/validate")"
    cp "$img" "$dir/made.d64"
    printf '\x15\xff\xff\x1f' | dd of="$img" bs=1 seek=$((91392 + 4)) conv=notrunc status=none
    [[ $variant == speed ]] && extended=$((91392 + 192)) || extended=$((91392 + 172))
    [[ $variant == 35 ]] || printf '\x11\xff\xff\x01' | dd of="$img" bs=1 seek=$extended conv=notrunc status=none
    "$D64TOOL" validate "$img" "${dos[@]}" >/dev/null && fail "$variant: damaged BAM not found"
    "$D64TOOL" validate "$img" --repair "${dos[@]}" >/dev/null || fail "$variant: repair failed"
    cmp -s "$img" "$dir/made.d64" || fail "$variant: the repaired image differs from cc1541's"

    "$D64TOOL" export "$img" "$dir/out" "${dos[@]}"
    for i in "${!var_sizes[@]}"; do
        # Named as the listing and the command line spell the name.
        out="$dir/out/${var_names[$i]}.prg"
        cmp -s "$dir/files/$i" "$out" || fail "$variant: exported ${var_names[$i]} differs"
    done
    # And one file by name, as the listing prints it.
    rm -f "$dir/out"/*
    "$D64TOOL" export "$img" "$dir/out" Large "${dos[@]}"
    [[ $(ls "$dir/out" | wc -l) == 1 ]] || fail "$variant: export by name wrote $(ls "$dir/out")"
done

# The JSON listing parses, and carries names that need escaping.
if command -v python3 >/dev/null; then
    random_file "$WORK/q" 600
    cc1541 -q -n "json" -f 'say "hi"' -w "$WORK/q" -f 'Back' -w "$WORK/q" "$WORK/json.d64" >/dev/null
    "$D64TOOL" list --json "$WORK/json.d64" | python3 -c '
import json, sys
d = json.load(sys.stdin)
files = [(f["name"], f["name_hex"], f["blocks"], f["type"], f["closed"]) for f in d["files"]]
want = [("say \"hi\"", b"SAY \"HI\"".hex(), 3, "PRG", True), ("Back", "c241434b", 3, "PRG", True)]
assert files == want, files
assert d["disk_name"] == "json" and d["tracks"] == 35 and d["free_blocks"] == 658, d
' || fail "JSON listing"
fi
finish
