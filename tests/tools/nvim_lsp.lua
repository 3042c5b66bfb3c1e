-- Neovim's own LSP client against `tavric lsp`, headless: opens a document with an error, checks
-- the filetype and comment string the plugin set, waits for the diagnostic, asks for a hover, a
-- definition and the folds, and writes what it got to $OUT, one line each. Run by nvim_lsp.sh.
local out = assert(io.open(os.getenv('OUT'), 'w'))
vim.g.tavric_command = os.getenv('TAVRIC')
dofile(os.getenv('PLUGIN'))
vim.cmd('edit ' .. vim.fn.fnameescape(os.getenv('DOC')))
local buffer = vim.api.nvim_get_current_buf()
out:write(string.format('filetype %s, commentstring %s\n', vim.bo[buffer].filetype, vim.bo[buffer].commentstring))

local got = vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 10)
if not got then
  out:write('no diagnostic\n')
end
for _, d in ipairs(vim.diagnostic.get(buffer)) do
  out:write(string.format('diagnostic %d:%d severity %d: %s\n', d.lnum, d.col, d.severity, d.message))
end

local client = vim.lsp.get_active_clients()[1]
local function ask(method, line, character)
  local params = { textDocument = vim.lsp.util.make_text_document_params(), position = { line = line, character = character } }
  local answer = client and client.request_sync(method, params, 5000, buffer)
  return answer and answer.result
end

local hover = ask('textDocument/hover', 3, 9)
out:write('hover: ' .. (hover and hover.contents.value:gsub('\n', ' | ') or 'none') .. '\n')
local definition = ask('textDocument/definition', 3, 17)
if definition and definition.range then
  out:write(string.format('definition: %s %d:%d\n', vim.fn.fnamemodify(vim.uri_to_fname(definition.uri), ':t'),
    definition.range.start.line, definition.range.start.character))
else
  out:write('definition: none\n')
end
local folds = client and client.request_sync('textDocument/foldingRange',
  { textDocument = vim.lsp.util.make_text_document_params() }, 5000, buffer)
local lines = {}
for _, fold in ipairs(folds and folds.result or {}) do
  table.insert(lines, string.format('%d-%d', fold.startLine, fold.endLine))
end
out:write('folds: ' .. (#lines > 0 and table.concat(lines, ' ') or 'none') .. '\n')
out:close()
if client then
  client.stop()
  vim.wait(2000, function() return client.is_stopped() end, 10)
end
vim.cmd('qa!')
