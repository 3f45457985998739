#!/usr/bin/env bash
# Checks each manual page against its program: the page renders with man at 80 columns
# without a single groff warning and without a line wider than the page, and every option
# the program's --help shows (each --long option, and the option that starts an indented
# line, such as asm11's -WRN or hc11dis's -o) appears in the rendered page.
#   man_pages_test.sh PAGE PROGRAM [PAGE PROGRAM]...
set -uo pipefail
if [ "$#" -eq 0 ] || [ $(($# % 2)) -ne 0 ]; then
  echo "usage: $0 PAGE PROGRAM [PAGE PROGRAM]..." >&2
  exit 2
fi
if ! command -v man >/dev/null; then
  echo "man is missing: install man-db and groff-base (scripts/deps.sh does)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
fail() {
  echo "$page: $*" >&2
  failed=1
}

while [ "$#" -gt 0 ]; do
  page=$1
  program=$2
  shift 2
  # Plain ASCII text, no hyphenation and no user settings, so that an option is one word.
  if ! env -u MANOPT -u MANROFFOPT -u MAN_KEEP_FORMATTING LC_ALL=C MANWIDTH=80 \
    man --warnings=w --nh --nj -l "$page" >"$work/text" 2>"$work/warnings"; then
    fail "man failed"
  fi
  if [ -s "$work/warnings" ]; then
    fail "warnings:"
    cat "$work/warnings" >&2
  fi
  [ -s "$work/text" ] || fail "renders empty"
  awk -v page="$page" 'length > 80 { print page ": wider than 80 columns: " $0; bad = 1 }
    END { exit bad }' "$work/text" >&2 || fail "lines wider than the page"

  if ! "$program" --help >"$work/help" 2>&1; then
    fail "$program --help failed"
    continue
  fi
  options=$( (grep -oE -- '--[A-Za-z][A-Za-z0-9-]*' "$work/help"
    sed -nE 's/^[[:space:]]+(-[A-Za-z][A-Za-z]*).*/\1/p' "$work/help") | sort -u)
  [ -n "$options" ] || fail "no options found in $program --help"
  while IFS= read -r option; do
    grep -qFw -- "$option" "$work/text" || fail "$option of $program --help is not in the page"
  done <<<"$options"
done
exit $failed
