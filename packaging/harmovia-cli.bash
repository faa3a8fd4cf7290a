# Bash completion for harmovia-cli: commands, their options, mood numbers, the genre
# category names and paths where a path goes. Installed as
# /usr/share/bash-completion/completions/harmovia-cli, where bash-completion loads it on
# the first Tab; needs nothing of bash-completion's own helpers.

_harmovia_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()

    if [ "$COMP_CWORD" -eq 1 ]; then
        mapfile -t COMPREPLY < <(compgen -W "add inspect list moods playlist send play set-mood explain export-moods help" -- "$cur")
        return 0
    fi

    local command=${COMP_WORDS[1]}
    local views="--all --last-added --mood --category --like --artist --album --genre --search --journey --minutes --seed"
    local options
    case $command in
        add) options="--music-folder --workers --quiet" ;;
        list) options="--mood --format" ;;
        playlist) options="$views --count --format" ;;
        send) options="$views --name --count --dry-run --open" ;;
        play) options="$views --count --volume --endless" ;;
        inspect) options="" ;;
        set-mood | explain) options="--title" ;;
        export-moods) options="" ;;
        *) return 0 ;;
    esac

    # set-mood's mood follows the tune: a slot, or --title and its text.
    if [ "$command" = set-mood ] && [[ $cur != -* ]] &&
        { [ "$COMP_CWORD" -eq 3 ] && [ "$prev" != --title ] || [ "$COMP_CWORD" -eq 4 ]; }; then
        mapfile -t COMPREPLY < <(compgen -W "1 2 3 4 5 6 7 8 9 measured" -- "$cur")
        return 0
    fi

    # The value of the option before the cursor.
    case $prev in
        --mood)
            mapfile -t COMPREPLY < <(compgen -W "1 2 3 4 5 6 7 8 9" -- "$cur")
            return 0
            ;;
        --journey)
            # A:B, two moods: the first one is offered as it is typed, then its colon.
            if [[ $cur == [1-9]:* ]]; then
                mapfile -t COMPREPLY < <(compgen -W "${cur:0:2}1 ${cur:0:2}2 ${cur:0:2}3 ${cur:0:2}4 ${cur:0:2}5 ${cur:0:2}6 ${cur:0:2}7 ${cur:0:2}8 ${cur:0:2}9" -- "$cur")
            else
                mapfile -t COMPREPLY < <(compgen -W "1: 2: 3: 4: 5: 6: 7: 8: 9:" -- "$cur")
                compopt -o nospace 2>/dev/null
            fi
            return 0
            ;;
        --format)
            local formats="tsv json m3u"
            [ "$command" = list ] && formats="tsv json"
            mapfile -t COMPREPLY < <(compgen -W "$formats" -- "$cur")
            return 0
            ;;
        --category)
            _harmovia_cli_categories "$cur"
            return 0
            ;;
        --workers | --like | --artist | --album | --genre | --search | --seed | --name | \
            --count | --minutes | --volume | --title)
            return 0
            ;;
    esac

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return 0
    fi
    # add and export-moods take a folder, inspect a file.
    case $command in
        add | export-moods)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            ;;
        inspect)
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            ;;
    esac
    return 0
}

# The genre category names, as "harmovia-cli help" lists them, that begin with $1. They hold
# spaces and "&": unquoted, they are offered escaped; after an opening quote, as they are.
_harmovia_cli_categories() {
    local cur=$1 quote="" name
    case $cur in
        \"* | \'*)
            quote=${cur:0:1}
            cur=${cur:1}
            ;;
        *) cur=$(sed 's/\\\(.\)/\1/g' <<<"$cur") ;;
    esac
    while IFS= read -r name; do
        [[ $name == "$cur"* ]] || continue
        if [ -n "$quote" ]; then
            COMPREPLY+=("$name")
        else
            COMPREPLY+=("$(printf '%q' "$name")")
        fi
    done < <(_harmovia_cli_help | sed -n '/^genre categories/,$ s/^  //p')
}

_harmovia_cli_help() {
    local cli=${COMP_WORDS[0]}
    command -v -- "$cli" >/dev/null 2>&1 || cli=harmovia-cli
    "$cli" help 2>/dev/null
}

complete -F _harmovia_cli harmovia-cli
