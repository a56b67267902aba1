# Bash completion for velquor-cli: its commands and each command's options, read from the
# tool's own --help so that they are always those of the installed version.

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
    local commands
    commands=$("${words[0]}" --help 2>/dev/null |
      sed -n 's/^\(usage:\)\{0,1\} *velquor-cli \([a-z][a-z-]*\).*/\2/p')
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
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
    --out | --png)
      _filedir -d
      return
      ;;
  esac

  if [[ $cur == -* ]]; then
    local options
    options=$("${words[0]}" "$command" --help 2>/dev/null | grep -o -- '--[a-z][a-z-]*' | sort -u)
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi
  _filedir csv
}
complete -F _velquor_cli velquor-cli
