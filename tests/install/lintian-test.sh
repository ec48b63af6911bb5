#!/usr/bin/env bash
# lintian, Debian's package checker, on the package CPack makes from this
# build tree: no error and no warning, except those that
# packaging/debian/lintian-overrides overrides with its reason. lintian's
# whole report is printed, informational, pedantic and overridden tags too.
# Status 77 (skipped) without lintian, or without dpkg-shlibdeps (dpkg-dev)
# to make the package.
# Arguments: BUILD SOURCE VERSION APP_ID CPACK
set -uo pipefail
build=$1 source=$2 version=$3 app_id=$4 cpack=$5
. "$(dirname "$0")/lib.sh"

for tool in lintian dpkg-shlibdeps; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed: lintian is not run (apt-get install $tool)" >&2; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
deb=$(make_deb "$cpack" "$build" "$version" "$tmp/out") || exit 1

# Overridden tags are shown (as O:) but count against the package in
# lintian's own exit status when they are; so the verdict is read from the
# report: a line E: or W: is an error or warning that is not overridden.
report=$(lintian --allow-root --fail-on none --display-info --pedantic --display-experimental --show-overrides \
  "$deb" 2>&1) || { echo "$report"; echo "lintian itself failed" >&2; exit 1; }
echo "$report"
found=$(grep -E '^[EW]: ' <<< "$report")
[[ -z "$found" ]] || { echo "lintian: errors or warnings that are not overridden:" >&2; echo "$found" >&2; exit 1; }
echo "lintian: no errors or warnings"
