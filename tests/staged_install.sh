#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks what a desktop needs:
# both programs start from there, the editor finds its help there, and the
# desktop entry, metainfo and man pages pass their validators.
# Usage: staged_install.sh BUILD_DIR gui|nogui SAMPLE_DIR
set -euo pipefail
# grep reads every line: with -q it could stop early and fail the writer under pipefail.
build=$1
with_gui=$2
samples=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"${CMAKE:-cmake}" --install "$build" --prefix "$prefix" >/dev/null

"$prefix/bin/quenlo-inpaint" --version | grep '^quenlo-inpaint [0-9]' >/dev/null || fail "quenlo-inpaint --version"
"$prefix/bin/quenlo-inpaint" --help | grep '^Usage: quenlo-inpaint' >/dev/null || fail "quenlo-inpaint --help"
# A real run: the installed tool decodes through its installed helper.
"$prefix/bin/quenlo-inpaint" --quiet "$samples/coffee.png" "$prefix/result.png" \
  --overlay "$samples/coffee_overlay.png" || fail "quenlo-inpaint on the sample"
[[ -s $prefix/result.png ]] || fail "no result from the installed quenlo-inpaint"
man_pages=("$prefix/share/man/man1/quenlo-inpaint.1")

if [[ $with_gui == gui ]]; then
  id=com.varnholt.quenlo
  QT_QPA_PLATFORM=offscreen "$prefix/bin/quenlo" --version | grep '^quenlo [0-9]' >/dev/null || fail "quenlo --version"
  guide=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/quenlo" --help | sed -n 's/^User guide: //p')
  [[ $guide == "$prefix/share/quenlo/help/help.htm" ]] || fail "the editor looks for its help at '$guide'"
  [[ -f $guide && -f $prefix/share/quenlo/help/images/program_icon.png ]] || fail "help pages not installed"
  for size in 16 22 24 32 48 64 128 256; do
    [[ -f $prefix/share/icons/hicolor/${size}x$size/apps/$id.png ]] || fail "no $size-pixel icon"
  done
  [[ -f $prefix/share/icons/hicolor/scalable/apps/$id.svg ]] || fail "no scalable icon"
  desktop=$prefix/share/applications/$id.desktop
  metainfo=$prefix/share/metainfo/$id.metainfo.xml
  [[ -f $desktop && -f $metainfo ]] || fail "desktop entry or metainfo missing"
  grep -q '^Exec=quenlo %f$' "$desktop" || fail "desktop entry does not start quenlo"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
  else
    echo "desktop-file-validate not installed: desktop entry not validated"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli validate"
  else
    echo "appstreamcli not installed: metainfo not validated"
  fi
  man_pages+=("$prefix/share/man/man1/quenlo.1")
fi

for page in "${man_pages[@]}"; do
  if command -v man >/dev/null; then
    MANWIDTH=80 man -l "$page" 2>&1 | grep '^NAME' >/dev/null || fail "man -l $page"
  fi
  if command -v groff >/dev/null; then
    warnings=$(groff -man -ww -z "$page" 2>&1)
    [[ -z $warnings ]] || fail "groff warns about $page: $warnings"
  fi
done
echo "staged install in $prefix passed"
