# Bash completion for velquor-cli: its commands and each command's options, as the tool itself
# lists them from its option table (velquor-cli --complete [COMMAND]), so that they are always
# those of the installed version.

_velquor_cli() {
  local cur prev words cword
  _init_completion || return

  local command="" i
  for ((i = 1; i < cword; i++)); do
    if [[ ${words[i]} != -* ]]; then
      command=${words[i]}
      break
    fi
  done

  if [[ -z $command ]]; then
    COMPREPLY=($(compgen -W "$("${words[0]}" --complete 2>/dev/null)" -- "$cur"))
    return
  fi

  case $prev in
    --daq)
      if [[ $cur == replay:* ]]; then
        local files
        files=$(compgen -f -- "${cur#replay:}")
        COMPREPLY=($(compgen -P replay: -W "$files" -- "${cur#replay:}"))
      else
        COMPREPLY=($(compgen -W "sim sim: comedi comedi: replay:" -- "$cur"))
      fi
      compopt -o nospace
      return
      ;;
    --channel)
      COMPREPLY=($(compgen -W "ch0 ch1 auto" -- "$cur"))
      return
      ;;
  esac

  # One line per option: its name, and the name of its value when it takes one.
  local options value
  options=$("${words[0]}" --complete "$command" 2>/dev/null)
  value=$(awk -v option="$prev" '$1 == option { print $2 }' <<<"$options")
  case $value in
    "") ;;
    DIR)
      _filedir -d
      return
      ;;
    *.pdf)
      _filedir pdf
      return
      ;;
    *) return ;; # a number
  esac

  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$(awk '{ print $1 }' <<<"$options")" -- "$cur"))
    return
  fi
  _filedir csv
}
complete -F _velquor_cli velquor-cli
