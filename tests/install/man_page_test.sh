#!/usr/bin/env bash
# harmovia-cli.1 against "harmovia-cli help": the same commands, the same options and the
# same genre categories, and both manual pages render without a groff warning.
#   man_page_test.sh HARMOVIA_CLI MAN_FOLDER
set -uo pipefail
cli=$1 pages=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0

for page in harmovia.1 harmovia-cli.1; do
  # -ww: every warning; a long line length keeps options whole.
  LC_ALL=C.UTF-8 groff -ww -man -Tascii -rLL=200n -P-cbou "$pages/$page" \
    > "$tmp/$page.txt" 2> "$tmp/$page.warnings"
  if [ -s "$tmp/$page.warnings" ]; then
    echo "FAILED: groff warns about $page:"; cat "$tmp/$page.warnings"; status=1
  fi
done
"$cli" help > "$tmp/help.txt" || { echo "FAILED: harmovia-cli help"; exit 1; }

# Each list: how to read it from the help, how to read it from the rendered page.
help_commands() { sed -n '/^commands:/,/^$/ s/^  \([a-z][a-z-]*\).*/\1/p'; echo help; }
man_commands() { sed -n '/^COMMANDS/,/^[A-Z]/ s/^   \([a-z][a-z-]*\).*/\1/p'; }
options() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
help_categories() { sed -n '/^genre categories/,$ s/^  //p'; }
man_categories() { sed -n '/^GENRE CATEGORIES/,/^[A-Z]/ s/^        *//p' | tail -n +2; }

while read -r what from_help from_man; do
  "$from_help" < "$tmp/help.txt" > "$tmp/help.list"
  "$from_man" < "$tmp/harmovia-cli.1.txt" > "$tmp/man.list"
  if [ ! -s "$tmp/help.list" ] || ! diff -u --label help "$tmp/help.list" \
       --label harmovia-cli.1 "$tmp/man.list" > "$tmp/diff"; then
    echo "FAILED: the $what of the manual page and of the help differ:"; cat "$tmp/diff"
    status=1
  fi
done <<'TABLE'
commands   help_commands   man_commands
options    options         options
categories help_categories man_categories
TABLE
[ $status -eq 0 ] && echo "manual pages: render cleanly; commands, options and categories match the help"
exit $status
