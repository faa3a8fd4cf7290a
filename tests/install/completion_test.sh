#!/usr/bin/env bash
# The bash completion of harmovia-cli, driven as bash drives it: an interactive bash loads
# the script, fills COMP_WORDS and COMP_CWORD and calls the function "complete" names.
#   completion_test.sh HARMOVIA_CLI COMPLETION_SCRIPT
set -uo pipefail
cli=$(realpath "$1") script=$(realpath "$2")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/music/Albums" "$tmp/music/Alps"
touch "$tmp/music/Album notes.txt" "$tmp/music/song.mp3"
cd "$tmp/music" || exit 1
status=0

# Offers the completions of the words (the last one is completed), one a line, sorted.
complete_words() {
  HOME=$tmp PATH="$(dirname "$cli"):$PATH" bash --norc --noprofile -i -c '
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    $(complete -p harmovia-cli | sed "s/.*-F \([^ ]*\) .*/\1/")
    printf "%s\n" "${COMPREPLY[@]}"' bash "$script" harmovia-cli "$@" 2>/dev/null | sort
}

# words typed (the last one is being completed) | the completions offered, space-separated
while IFS='|' read -r words expected; do
  eval "set -- $words"
  got=$(complete_words "$@" | tr '\n' ' ' | sed 's/ $//')
  if [ "$got" != "$expected" ]; then
    echo "FAILED: harmovia-cli $words<Tab>: expected [$expected], got [$got]"; status=1
  fi
done <<'TABLE'
pl|play playlist
''|add explain export-moods help inspect list moods play playlist send set-mood
add --|--music-folder --quiet --workers
add Al|Albums Alps
inspect Al|Album notes.txt Albums Alps
list --format ''|json tsv
playlist --format ''|json m3u tsv
playlist --mood ''|1 2 3 4 5 6 7 8 9
send --all --d|--dry-run
play --v|--volume
play --journey ''|1: 2: 3: 4: 5: 6: 7: 8: 9:
playlist --journey 3:|3:1 3:2 3:3 3:4 3:5 3:6 3:7 3:8 3:9
play --journey 1:9 --e|--endless
play --mood 3 --category Ja|Jazz
play --mood 3 --category Da|Dance\ \&\ DJ
play --mood 3 --category '"Rap'|Rap & HipHop
play --mood 3 --category R|R\&B Rap\ \&\ HipHop Reggae Rock
moods --|
set-mood --|--title
set-mood 3 ''|1 2 3 4 5 6 7 8 9 measured
set-mood --title Song m|measured
set-mood --title ''|
explain --t|--title
export-moods Al|Albums Alps
ex|explain export-moods
TABLE

# Every option the help names is offered for some command, and none it does not name.
offered=$(for command in add list playlist send play set-mood explain; do complete_words "$command" --; done |
  sort -u)
named=$("$cli" help | grep -o -- '--[a-z][a-z-]*' | sort -u)
if [ "$offered" != "$named" ]; then
  echo "FAILED: the options completed and those of the help differ:"
  diff <(echo "$named") <(echo "$offered"); status=1
fi
[ $status -eq 0 ] && echo "bash completion: commands, options, moods, categories and paths complete"
exit $status
