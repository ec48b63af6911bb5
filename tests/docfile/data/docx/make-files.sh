#!/usr/bin/env bash
# Makes the .docx files the tests read, with other programs than ours:
#   libreoffice/NAME.docx  LibreOffice's conversion of each corpus .doc
#   python-docx.docx       written by python-docx (make-python-docx.py)
#   pandoc.docx            written by pandoc from pandoc.md
# Run from this folder; the results are committed, so the tests need none
# of these programs to read them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
corpus="${1:-$here/../../../../../shared/corpus/doc}"
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT
HOME="$profile" soffice -env:UserInstallation="file://$profile/lo" --headless --convert-to docx \
    --outdir "$here/libreoffice" "$corpus"/*.doc > /dev/null
/usr/bin/python3 "$here/make-python-docx.py" "$here/python-docx.docx"
pandoc -f markdown -t docx -o "$here/pandoc.docx" "$here/pandoc.md"
