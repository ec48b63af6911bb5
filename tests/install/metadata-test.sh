#!/usr/bin/env bash
# The desktop entry and the AppStream metadata as installed, checked by the
# desktop's own tools: desktop-file-validate (desktop-file-utils) and
# appstreamcli (appstream). Status 77 (skipped) when they are missing.
# Arguments: BUILD SOURCE VERSION APP_ID
set -uo pipefail
build=$1 source=$2 version=$3 app_id=$4
. "$(dirname "$0")/lib.sh"

for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" > /dev/null || { echo "$tool is not installed" >&2; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr > "$tmp/install.log" 2>&1 || { cat "$tmp/install.log" >&2; exit 1; }
usr="$tmp/root/usr"
desktop="$usr/share/applications/lumetra.desktop"
metainfo="$usr/share/metainfo/$app_id.metainfo.xml"

out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[[ -z "$out" ]] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
# The metadata with the desktop entry and the icons it names, as installed.
out=$(appstreamcli validate-tree --no-net "$tmp/root" 2>&1) || fail "appstreamcli validate-tree: $out"

# What a desktop reads from the entry: the program it starts, with the file
# chosen in "Open with", and the documents it offers to open.
value() { sed -n "s/^$1=//p" "$desktop"; }
[[ "$(value Exec)" == "lumetra %f" ]] || fail "Exec is '$(value Exec)'"
[[ -x "$usr/bin/$(value Exec | cut -d' ' -f1)" ]] || fail "Exec names no installed program"
[[ "$(value MimeType)" == *application/msword* ]] || fail "MimeType does not offer Word 97-2003 documents"
[[ "$(value MimeType)" == *application/vnd.openxmlformats-officedocument.wordprocessingml.document* ]] \
  || fail "MimeType does not offer Word documents (.docx)"
grep -q '<mediatype>application/vnd.openxmlformats-officedocument.wordprocessingml.document</mediatype>' "$metainfo" \
  || fail "the metadata does not name .docx documents"
[[ "$(value Categories)" == *Education* ]] || fail "Categories lacks Education"
[[ -f "$usr/share/icons/hicolor/scalable/apps/$(value Icon).svg" ]] || fail "Icon names no installed icon"
[[ "$(value 'Name\[zh_CN\]')" == *课程表* && -n "$(value 'Comment\[zh_CN\]')" && -n "$(value Comment)" ]] \
  || fail "the entry lacks the Chinese name or a Chinese and an English comment"

# The metadata: a Chinese and an English summary, a screenshot, the entry.
grep -q '<summary>[^<]' "$metainfo" || fail "no English summary"
grep -q '<summary xml:lang="zh-CN">[^<]' "$metainfo" || fail "no Chinese summary"
grep -q '<screenshot type="default">' "$metainfo" || fail "no screenshot"
grep -q "<launchable type=\"desktop-id\">lumetra.desktop</launchable>" "$metainfo" || fail "the desktop entry is not named"

(( failures == 0 )) || { echo "$failures check(s) failed" >&2; exit 1; }
echo "desktop entry and AppStream metadata: all checks passed"
