# bash completion for zobl-tool: commands, options, and file names of the kinds each command reads
# or writes. Needs nothing of the bash-completion package, so it also works when sourced alone.

# Files ending in one of the extensions (either case), and folders to descend into.
_zobl_tool_files() {
    local cur=$1 ext
    shift
    local IFS=$'\n'
    compopt -o filenames 2>/dev/null
    COMPREPLY=()
    for ext in "$@"; do
        COMPREPLY+=($(compgen -f -X "!*.${ext}" -- "$cur"))
        COMPREPLY+=($(compgen -f -X "!*.${ext^^}" -- "$cur"))
    done
    COMPREPLY+=($(compgen -d -- "$cur"))
}

_zobl_tool() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD - 1]}
    local commands="info convert export to-png from-png thumbnail sim-list sim-import palette"

    # Values of options first: they may come before or after the command.
    case $prev in
    --format)
        COMPREPLY=($(compgen -W "gpl pal hex png" -- "$cur"))
        return
        ;;
    --lang)
        _zobl_tool_files "$cur" rtx
        return
        ;;
    --sim)
        compopt -o filenames 2>/dev/null
        local IFS=$'\n'
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --into)
        _zobl_tool_files "$cur" fgs
        return
        ;;
    --set | --categories | -s | --train | --zoom)
        COMPREPLY=()
        return
        ;;
    --night)
        COMPREPLY=($(compgen -W "1 2 3" -- "$cur"))
        return
        ;;
    esac

    # The command and how many of its file names come before the word being completed.
    local i command="" position=0 into="" train=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --lang | --sim | --into | --set | --categories | --night | -s | --train | --zoom)
            [[ ${COMP_WORDS[i]} == --into ]] && into=1
            [[ ${COMP_WORDS[i]} == --train ]] && train=1
            ((i++))
            ;;
        --format)
            ((i++))
            ;;
        -?*) ;;
        *)
            if [[ -z $command ]]; then
                command=${COMP_WORDS[i]}
            else
                ((position++))
            fi
            ;;
        esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--lang --help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    case $command in
    info)
        ((position == 0)) && _zobl_tool_files "$cur" gs fgs
        ;;
    convert)
        ((position < 2)) && _zobl_tool_files "$cur" gs fgs
        ;;
    export)
        # The second name is a .uzg file, or the base of a vehicle export's pair of files.
        if ((position == 0)); then
            _zobl_tool_files "$cur" gs fgs
        elif ((position == 1)); then
            _zobl_tool_files "$cur" uzg
        fi
        ;;
    to-png)
        # The train picture of a set is made from vehicle files only.
        if [[ $cur == -* ]]; then
            local options="--night --zoom"
            [[ -z $train ]] && options+=" --train"
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
        elif ((position == 0)) && [[ -n $train ]]; then
            _zobl_tool_files "$cur" fgs
        elif ((position == 0)); then
            _zobl_tool_files "$cur" gs fgs
        elif ((position == 1)); then
            _zobl_tool_files "$cur" png
        fi
        ;;
    from-png)
        if [[ $cur == -* ]]; then
            local options="--nearest"
            [[ -z $into ]] && options+=" --into"
            COMPREPLY=($(compgen -W "$options" -- "$cur"))
        elif ((position == 0)); then
            _zobl_tool_files "$cur" png
        elif ((position == 1)) && [[ -z $into ]]; then
            _zobl_tool_files "$cur" gs
        fi
        ;;
    thumbnail)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "-s" -- "$cur"))
        elif ((position == 0)); then
            _zobl_tool_files "$cur" gs fgs
        elif ((position == 1)); then
            _zobl_tool_files "$cur" png
        fi
        ;;
    sim-list)
        COMPREPLY=($(compgen -W "--sim --categories" -- "$cur"))
        ;;
    sim-import)
        [[ $cur == -* ]] && COMPREPLY=($(compgen -W "--sim --into --set" -- "$cur"))
        ;;
    palette)
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--format --night" -- "$cur"))
        elif ((position == 0)); then
            _zobl_tool_files "$cur" gpl pal hex png
        fi
        ;;
    esac
}

complete -F _zobl_tool zobl-tool
