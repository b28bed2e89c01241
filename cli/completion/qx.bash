# bash completion for qx: its options, the renderings after --field, the widths after --width.
_qx() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} i
    # --field=hex: bash splits at the = unless COMP_WORDBREAKS leaves it out.
    if [[ $cur == = ]]; then cur=""; elif [[ $prev == = ]]; then prev=${COMP_WORDS[COMP_CWORD-2]}; fi
    local fields="dec hex text ip bin color" widths="1 2 4"
    local options="--dec --hex --text --ip --bin --width --char --word --long --signed --unsigned
                   --json --field --help --version"
    for ((i = 1; i < COMP_CWORD; i++)); do
        [[ ${COMP_WORDS[i]} == -- ]] && return  # values only after --
    done
    case $prev in
        --field) COMPREPLY=($(compgen -W "$fields" -- "$cur")); return ;;
        --width) COMPREPLY=($(compgen -W "$widths" -- "$cur")); return ;;
    esac
    case $cur in
        --field=*) COMPREPLY=($(compgen -P --field= -W "$fields" -- "${cur#*=}")) ;;
        --width=*) COMPREPLY=($(compgen -P --width= -W "$widths" -- "${cur#*=}")) ;;
        -*) COMPREPLY=($(compgen -W "$options" -- "$cur")) ;;
    esac
}
complete -F _qx qx
