#!/usr/bin/env bash
# Neovim's built-in LSP client against the tavric tool's server (tests/tools/nvim_lsp.lua).
# Usage: nvim_lsp.sh TAVRIC_TOOL SOURCE_DIR
set -euo pipefail
tool=$1
source=$2
command -v nvim >/dev/null || { echo "nvim_lsp: nvim is missing (tools/setup.sh installs neovim)" >&2; exit 1; }
scratch=$(mktemp -d /tmp/velmora-nvim-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
printf '[player\n  name = "Ana"\n]\nshown = player.name\nlives = 3 +\n' >"$scratch/doc.tvr"
(cd "$scratch" && OUT="$scratch/out.txt" TAVRIC="$tool" PLUGIN="$source/tools/editors/nvim/tavric.lua" \
  DOC="$scratch/doc.tvr" HOME="$scratch" timeout 60 nvim --headless --clean -u NONE -i NONE -n \
  -c "luafile $source/tests/tools/nvim_lsp.lua" >"$scratch/nvim.log" 2>&1) || { cat "$scratch/nvim.log"; exit 1; }
expected='filetype tavric, commentstring // %s
diagnostic 4:11 severity 1: Expected value.
diagnostic 4:11 severity 1: Expected operand after an operator. '"''"' encountered instead.
hover: ```tavric | shown | ``` | `[].shown`: reference   | rights: public (15: read, write, execute, create)   | refers to: `player.name`   | value: `"Ana"` | 
definition: doc.tvr 1:2
folds: 0-2'
if [ "$(cat "$scratch/out.txt")" != "$expected" ]; then
  echo "nvim_lsp: Neovim got:" >&2
  cat "$scratch/out.txt" >&2
  echo "expected:" >&2
  echo "$expected" >&2
  exit 1
fi
echo "nvim_lsp: filetype, comments, diagnostic, hover, definition and folds reached Neovim"
