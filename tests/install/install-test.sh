#!/usr/bin/env bash
# cmake --install of the build tree into a temporary prefix: the files are
# where a desktop looks for them, and the installed programs run from there.
# Arguments: BUILD SOURCE VERSION APP_ID
set -uo pipefail
build=$1 source=$2 version=$3 app_id=$4
. "$(dirname "$0")/lib.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/课程表 prefix"   # spaces and Chinese in the path, as in a home folder
cmake --install "$build" --prefix "$prefix" > "$tmp/install.log" 2>&1 || { cat "$tmp/install.log" >&2; exit 1; }

check_tree "$prefix" "$source" "$app_id"
check_programs "$prefix" "$version" "$build"

(( failures == 0 )) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "installed tree in a temporary prefix: all checks passed"
