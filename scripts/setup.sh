#!/usr/bin/env bash
# Installs what is missing from the package lists given as arguments and
# configures and builds the program with CMake and Ninja in build/. A line
# "a|b" is satisfied by either package; the first is installed when neither
# is (LibreOffice with windows and without them cannot be installed together).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

wanted=()
for list in "$@"; do
  while read -r line; do
    [[ -z "$line" || "$line" == \#* ]] && continue
    have=""
    IFS='|' read -ra choices <<< "$line"
    for pkg in "${choices[@]}"; do
      if [[ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" == *'install ok installed'* ]]; then
        have=yes
      fi
    done
    [[ -z "$have" ]] && wanted+=("${choices[0]}")
  done < "$list"
done

if (( ${#wanted[@]} )); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  echo "Installing: ${wanted[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${wanted[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build
