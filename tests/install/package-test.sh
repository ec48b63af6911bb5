#!/usr/bin/env bash
# The Debian package made by CPack from this build tree (scripts/package.sh
# makes the real one from a Release build of its own; building one here
# would take too long): its control fields and contents, then unpacked into
# a temporary folder, the programs in it run. Status 77 (skipped) without
# dpkg-shlibdeps (dpkg-dev), which works out the library dependencies.
# Arguments: BUILD SOURCE VERSION APP_ID CPACK
set -uo pipefail
build=$1 source=$2 version=$3 app_id=$4 cpack=$5
. "$(dirname "$0")/lib.sh"

for tool in dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed" >&2; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
deb=$(make_deb "$cpack" "$build" "$version" "$tmp/out") || exit 1
arch=$(dpkg --print-architecture)

field() { dpkg-deb --field "$deb" "$1"; }
[[ "$(field Package)" == lumetra ]] || fail "Package is '$(field Package)'"
[[ "$(field Version)" == "$version" ]] || fail "Version is '$(field Version)'"
[[ "$(field Architecture)" == "$arch" ]] || fail "Architecture is '$(field Architecture)'"
[[ "$(field Section)" == education ]] || fail "Section is '$(field Section)'"
# A project address that mail reaches, not one of this machine's.
maintainer=$(field Maintainer)
[[ "$maintainer" == *Lumetra*'<'*@*.*'>' && "$maintainer" != *@localhost* && "$maintainer" != *.invalid'>' ]] \
  || fail "Maintainer is '$maintainer'"
# What the LibreOffice engine needs, offered but not required.
for package in libreoffice-writer libreoffice-gtk3; do
  [[ ", $(field Suggests)," == *", $package,"* ]] || fail "Suggests lacks $package: $(field Suggests)"
done
depends=$(field Depends)
# From the libraries the programs link (dpkg-shlibdeps), and named by hand.
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libgsf-1-114 \
               qt6-qpa-plugins qt6-translations-l10n fonts-noto-cjk; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done
# (Read whole first: grep -q stops at the first match, and under pipefail
# the writer's broken pipe would count as a failure.)
grep -q '^ Description: .' <<< "$(dpkg-deb --info "$deb")" || fail "no description"

contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
while read -r file; do
  grep -qx "./usr/$file" <<< "$contents" || fail "the package lacks /usr/$file"
done < <(installed_files "$app_id")
grep -v -e '^\./usr/' -e '^\./$' <<< "$contents" && fail "files outside /usr"

dpkg -x "$deb" "$tmp/root" || fail "dpkg -x failed"
for program in bin/lumetra bin/lumetra-doctool libexec/lumetra/lumetra-timetables; do
  grep -qE '\.(debug_info|comment) ' <<< "$(readelf -S "$tmp/root/usr/$program")" && fail "$program is not stripped"
done
check_tree "$tmp/root/usr" "$source" "$app_id"
# The changelog's newest entry is this version (a new version needs an entry).
gzip -dc "$tmp/root/usr/share/doc/lumetra/changelog.gz" > "$tmp/changelog" || fail "changelog.gz is not gzipped"
[[ "$(dpkg-parsechangelog -l "$tmp/changelog" -S Version 2>&1)" == "$version" ]] \
  || fail "the changelog's newest entry is not $version: $(dpkg-parsechangelog -l "$tmp/changelog" -S Version 2>&1)"
check_programs "$tmp/root/usr" "$version" "$build"

(( failures == 0 )) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "Debian package: all checks passed"
