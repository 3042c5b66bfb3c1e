-- Tavric in Neovim (0.7 and later, Debian's included): starts `tavric lsp` for *.tvr files with
-- Neovim's own client, one server for the session, started in Neovim's working directory (a
-- document's includes are read relative to it, as the game reads them relative to its own).
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

vim.api.nvim_create_autocmd({ 'BufReadPost', 'BufNewFile' }, {
  pattern = '*.tvr',
  callback = function(event) attach(event.buf) end,
})
