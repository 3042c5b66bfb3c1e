-- Tavric in Neovim (0.7 and later, Debian's included), in one file: *.tvr files get the filetype
-- `tavric` (the colours of tools/editors/vim/syntax/tavric.vim when it is on the runtime path), line
-- comments for `gc` and the like, and `tavric lsp` with Neovim's own client: one server for the
-- session, started in Neovim's working directory (a document's includes are read relative to it,
-- as the game reads them relative to its own).
-- Install: copy this file into ~/.config/nvim/plugin/. The tool is found on PATH, or set
-- vim.g.tavric_command to its path first.
local client_id = nil

local function attach(buffer)
  if client_id == nil or vim.lsp.get_client_by_id(client_id) == nil then
    local root = vim.fn.getcwd()
    client_id = vim.lsp.start_client({
      name = 'tavric',
      cmd = { vim.g.tavric_command or 'tavric', 'lsp' },
      cmd_cwd = root,
      root_dir = root,
    })
  end
  if client_id ~= nil then
    vim.lsp.buf_attach_client(buffer, client_id)
  end
end

local group = vim.api.nvim_create_augroup('tavric', { clear = true })
-- The user data (data.vrk) is stored scrambled: not a text to edit, so not recognised.
vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, {
  group = group,
  pattern = '*.tvr',
  callback = function(event) vim.bo[event.buf].filetype = 'tavric' end,
})
vim.api.nvim_create_autocmd('FileType', {
  group = group,
  pattern = 'tavric',
  callback = function(event)
    vim.bo[event.buf].commentstring = '// %s'
    attach(event.buf)
  end,
})
