# cc1541 lists images of every kind made and filled by d64tool (35 and 40 tracks,
# SpeedDOS and DolphinDOS, with and without error bytes) with the same files, block
# counts and free blocks, and finds nothing to change in their sectors.
source "$(dirname "$0")/common.sh"
need cc1541

sizes=(1 254 255 509 20000)
names=(one c254 c255 c509 Large)
types=(prg seq usr prg prg)

for variant in 35 35e speed dolphin speede dolphine; do
    img=$WORK/$variant.d64
    format=()
    dos=()
    flags=()
    case $variant in
    35e) format=(--error-bytes) ;;
    speed* | dolphin*)
        d=${variant%e}
        format=(--tracks 40 --dos "$d")
        dos=(--dos "$d")
        [[ $d == speed ]] && flags=(-4) || flags=(-5)
        ;;
    esac
    [[ $variant == *e && $variant != 35e ]] && format+=(--error-bytes)
    "$D64TOOL" format "$img" "${format[@]}" --name "kind $variant"

    var_sizes=("${sizes[@]}")
    var_names=("${names[@]}")
    var_types=("${types[@]}")
    if ((${#flags[@]})); then
        # Past track 35 into the extended BAM.
        var_sizes+=(160000)
        var_names+=(huge)
        var_types+=(prg)
    fi
    for i in "${!var_sizes[@]}"; do
        random_file "$WORK/$variant-$i" "${var_sizes[$i]}"
        "$D64TOOL" import "$img" "$WORK/$variant-$i" --name "${var_names[$i]}" --type "${var_types[$i]}" "${dos[@]}"
    done

    # cc1541 rewrites the image it lists (dropping the error bytes of 40-track
    # images), so it gets a copy; its sectors must come back unchanged.
    cp "$img" "$img.cc1541"
    theirs=$(cc1541 "${flags[@]}" "$img.cc1541" | sed 's/\x1b\[[0-9]*m//g')
    ((${#flags[@]})) && sector_bytes=196608 || sector_bytes=174848
    cmp -s -n "$sector_bytes" "$img" "$img.cc1541" || fail "$variant: cc1541 found something to change"
    grep -qF "0 \"kind $variant" <<<"$theirs" || fail "$variant: cc1541 header: $(grep '^0 ' <<<"$theirs")"
    for i in "${!var_sizes[@]}"; do
        list_line_matches "$theirs" "$(blocks "${var_sizes[$i]}")" "${var_names[$i]}" "${var_types[$i]}" ||
            fail "$variant: cc1541 lists no ${var_names[$i]} ${var_types[$i]} of $(blocks "${var_sizes[$i]}") blocks"
    done
    free_theirs=$(sed -n 's/^\([0-9]*\) blocks free.*/\1/p' <<<"$theirs")
    free_ours=$("$D64TOOL" list "$img" "${dos[@]}" | tail -n1 | sed -n 's/^\([0-9]*\) BLOCKS FREE.*/\1/p')
    [[ -n $free_theirs && $free_theirs == "$free_ours" ]] ||
        fail "$variant: free blocks cc1541 '$free_theirs', d64tool '$free_ours'"
done
finish
