# bash completion for corvane(1): options, the values they take, attribute labels after --set and
# --remove (asked of corvane itself, so they are always its own), and files everywhere else.

_corvane_labels()
{
    local IFS=$'\n' label
    local -a labels
    mapfile -t labels < <("${COMP_WORDS[0]}" --labels 2>/dev/null)
    COMPREPLY=()
    for label in "${labels[@]}"; do
        [[ $label == "$1"* ]] && COMPREPLY+=("$(printf '%q' "$label")")
    done
}

_corvane()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local before=
    ((COMP_CWORD >= 2)) && before=${COMP_WORDS[COMP_CWORD - 2]}
    case $prev in
        --set | --remove)
            _corvane_labels "$cur"
            return
            ;;
        --kind)
            mapfile -t COMPREPLY < <(compgen -W 'list tags date text plain' -- "$cur")
            return
            ;;
        --tag)
            mapfile -t COMPREPLY < <(compgen -W 'add remove set' -- "$cur")
            return
            ;;
        --to)
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return
            ;;
        --match | --find)
            COMPREPLY=()
            return
            ;;
    esac
    # The value after --set NAME, and the tags after --tag add|remove|set, are the user's own.
    if [[ $before == --set || $before == --tag ]]; then
        COMPREPLY=()
        return
    fi
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W '--list --json --set --kind --remove --tag --clear --dump
            --restore --to --find --bridge --to-desktop --to-mac --bridge-status --undo-last --labels --recursive --no-dereference --match --dry-run --yes
            --scratchpad --help --version' -- "$cur")
        return
    fi
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    compopt -o filenames 2>/dev/null
}

complete -F _corvane corvane
