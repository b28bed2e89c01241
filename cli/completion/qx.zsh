#compdef qx
# zsh completion for qx: its options, the renderings after --field, the widths after --width.
local fields='(dec hex text ip bin color)'
_arguments -S \
  '*'{-d,--dec}'[read the values after it as Dec]' \
  '*'{-x,--hex}'[read the values after it as Hex]' \
  '*'{-t,--text}'[read the values after it as Text]' \
  '*'{-i,--ip}'[read the values after it as IP]' \
  '*'{-b,--bin}'[read the values after it as Bin]' \
  '*--width=[bytes shown]:width:(1 2 4)' \
  '*--char[1 byte wide]' '*--word[2 bytes wide]' '*--long[4 bytes wide]' \
  '*--signed[Dec with a sign]' '*--unsigned[Dec without a sign]' \
  '(--field)--json[one JSON object per value]' \
  "(--json)--field=[only one rendering]:rendering:$fields" \
  '(- *)--help[show a summary of the options]' \
  '(- *)--version[show the version]' \
  '*:value:'
