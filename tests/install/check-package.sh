#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it with dpkg-deb and lintian:
#   check-package.sh BUILD_DIR VERSION
# its name, its control fields, the runtime dependencies computed from the binaries, that it
# holds exactly the installed files, under /usr, owned by root, and that lintian finds no
# error in it (its warnings are listed).
set -euo pipefail
build=$1
version=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$work/cpack.log")"
deb="$work/kobaltmandrexis_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kobaltmandrexis ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"

# dpkg-shlibdeps names each library package with the version the binaries need.
depends=$(field Depends)
IFS=, read -ra entries <<<"$depends"
for package in libc6 libstdc++6 libgcc-s1 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo; do
    found=no
    for entry in "${entries[@]}"; do
        [[ ${entry# } == "$package (>= "*")" ]] && found=yes
    done
    [ "$found" = yes ] || fail "Depends lacks $package with its version: $depends"
done

# The same files as an install under /usr, all root's, the programs executable.
dpkg-deb -c "$deb" >"$work/contents"
awk '$1 !~ /^d/ { sub("^\\./usr/", "", $6); print $6 }' "$work/contents" | LC_ALL=C sort >"$work/files"
diff -u "$here/expected-files.txt" "$work/files" || fail "the package's files differ from expected-files.txt"
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' "$work/contents" || fail "files not owned by root"
grep -Eq '^-rwxr-xr-x .* \./usr/bin/kobaltmandrexis$' "$work/contents" || fail "kobaltmandrexis is not executable"

# lintian ends with 1 when it finds errors, with more when it could not check.
command -v lintian >/dev/null || fail "lintian is missing (scripts/install-deps.sh)"
status=0
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || status=$?
grep -v '^running with root privileges' "$work/lintian.log" | sed 's/^/check-package: lintian: /'
[ "$status" -le 1 ] || fail "lintian did not run ($status)"
if grep -q '^E: ' "$work/lintian.log"; then fail "lintian finds errors"; fi
echo "check-package: $(basename "$deb") depends on $depends"
