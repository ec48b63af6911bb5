# Checks shared by install-test.sh and package-test.sh: what an installed
# tree holds, and the installed programs run from it.

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The width and height of a PNG file, from its header.
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" $5*16777216 + $6*65536 + $7*256 + $8 }'
}

# The files every install has, relative to the prefix.
installed_files() {
  local app_id=$1
  cat <<LIST
bin/lumetra
bin/lumetra-doctool
libexec/lumetra/lumetra-timetables
share/lumetra/zvn.list
share/lumetra/fonts.conf
share/lumetra/help/index.html
share/applications/lumetra.desktop
share/icons/hicolor/scalable/apps/lumetra.svg
share/metainfo/$app_id.metainfo.xml
share/man/man1/lumetra.1.gz
share/man/man1/lumetra-doctool.1.gz
share/doc/lumetra/copyright
share/doc/lumetra/changelog.gz
share/lintian/overrides/lumetra
LIST
  for size in 16 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x${size}/apps/lumetra.png"
  done
}

# make_deb CPACK BUILD VERSION FOLDER: packs BUILD's install with CPack into
# FOLDER and prints the package's path.
make_deb() {
  local cpack=$1 build=$2 version=$3 folder=$4 deb
  "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$folder" > "$folder.log" 2>&1 \
    || { cat "$folder.log" >&2; return 1; }
  deb="$folder/lumetra_${version}_$(dpkg --print-architecture).deb"
  [[ -f "$deb" ]] || { echo "no $deb; cpack made: $(ls "$folder")" >&2; return 1; }
  echo "$deb"
}

# check_tree PREFIX SOURCE APP_ID
check_tree() {
  local prefix=$1 source=$2 app_id=$3 file
  while read -r file; do
    [[ -f "$prefix/$file" ]] || fail "$file is not installed"
  done < <(installed_files "$app_id")
  [[ -x "$prefix/bin/lumetra" && -x "$prefix/bin/lumetra-doctool" ]] || fail "the programs are not executable"
  # dist/ whole and unchanged in share/lumetra, nothing of it beside the program.
  diff -r "$source/dist" "$prefix/share/lumetra" >&2 || fail "share/lumetra differs from dist/"
  [[ ! -e "$prefix/bin/zvn.list" && ! -e "$prefix/bin/help" ]] || fail "data files installed into bin/"
  for size in 16 32 48 64 128 256; do
    file="$prefix/share/icons/hicolor/${size}x${size}/apps/lumetra.png"
    [[ -f "$file" ]] || continue
    [[ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" == 89504e470d0a1a0a ]] || fail "$file is not a PNG"
    [[ "$(png_size "$file")" == "${size}x${size}" ]] || fail "$file is $(png_size "$file"), not ${size}x${size}"
  done
  for page in lumetra lumetra-doctool; do
    file="$prefix/share/man/man1/$page.1.gz"
    [[ -f "$file" ]] || continue
    grep -q '^\.TH LUMETRA' <<< "$(gzip -dc "$file")" || fail "$file is not a gzipped manual page"
  done
}

# Starts PROGRAM offscreen with ARGS and checks that it is still running a
# few seconds later (then ends it): it started and found what it needs.
check_starts() {
  local program=$1
  shift
  local log pid status
  log=$(mktemp)
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$program" "$@" > "$log" 2>&1 &
  pid=$!
  sleep 4
  if kill -0 "$pid" 2> /dev/null; then
    kill "$pid"
    wait "$pid" 2> /dev/null || true
  else
    wait "$pid" && status=0 || status=$?
    fail "$program $* ended by itself (status $status) instead of showing its window:"
    cat "$log" >&2
  fi
  rm -f "$log"
}

# check_programs PREFIX VERSION BUILD: the installed programs as a user runs them.
check_programs() {
  local prefix=$1 version=$2 build=$3 out status work
  local lumetra="$prefix/bin/lumetra" doctool="$prefix/bin/lumetra-doctool"
  # --version and --help need no display at all.
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$lumetra" --version 2>&1) && status=0 || status=$?
  [[ $status == 0 && "$out" == "lumetra $version" ]] || fail "lumetra --version: status $status, printed: $out"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$lumetra" --help 2>&1) && status=0 || status=$?
  [[ $status == 0 && "$(head -n 1 <<< "$out")" == "用法：lumetra [选项] [文件.doc]" ]] \
    || fail "lumetra --help: status $status, printed: $out"
  grep -q LUMETRA_PRINT_PDF <<< "$out" || fail "lumetra --help does not name LUMETRA_PRINT_PDF"
  # A mistake on the line: named, status 2, no window.
  out=$(env -u DISPLAY QT_QPA_PLATFORM=offscreen "$lumetra" --no-such-option 2>&1) && status=0 || status=$?
  [[ $status == 2 && "$out" == *no-such-option* ]] || fail "lumetra --no-such-option: status $status, printed: $out"

  check_starts "$lumetra"
  # Qt's own options are Qt's: taken off the line, not refused as unknown.
  check_starts "$lumetra" -reverse -style fusion

  # The document tool under its installed name; a document it makes opens
  # at start when named on the line.
  work=$(mktemp -d)
  "$doctool" > /dev/null 2>&1 && status=0 || status=$?
  [[ $status == 2 ]] || fail "lumetra-doctool without a command: status $status, not 2"
  cat > "$work/t.json" <<'JSON'
{"blocks": [{"paragraph": {"runs": [{"text": "课程表"}]}},
            {"table": {"rows": [{"cells": [{"width": 1200, "paragraphs": [{"runs": [{"text": "星期一"}]}]}]}]}}]}
JSON
  if "$doctool" make "$work/t.json" "$work/课程表.doc"; then
    grep -q 星期一 <<< "$("$doctool" dump "$work/课程表.doc")" || fail "lumetra-doctool dump does not show what make wrote"
    (cd "$work" && check_starts "$lumetra" 课程表.doc)
  else
    fail "lumetra-doctool make failed"
  fi
  # A school's timetables through the tool's timetables verb, which starts
  # the installed helper; the files it makes are read back.
  printf '班级,星期,节次,科目\n高一（1）班,星期一,第一节,语文\n' > "$work/classes.csv"
  mkdir "$work/out"
  out=$(env -u DISPLAY "$doctool" timetables --from "$work/classes.csv" --out "$work/out" 2>&1) && status=0 || status=$?
  [[ $status == 0 ]] || fail "lumetra-doctool timetables: status $status, printed: $out"
  grep -q 语文 <<< "$("$doctool" dump "$work/out/高一（1）班.doc")" || fail "lumetra-doctool timetables did not fill the timetable"
  rm -rf "$work"

  # The rule that finds the data folder, run from the installed bin/ by a
  # test program of this build.
  cp "$build/bin/test_install" "$prefix/bin/"
  env -u FONTCONFIG_FILE -u DISPLAY QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/test_install" --gtest_filter='InstalledProgram.*' --gtest_brief=1 >&2 \
    || fail "the installed tree's data folder (test_install InstalledProgram.*)"
  rm -f "$prefix/bin/test_install"
}
