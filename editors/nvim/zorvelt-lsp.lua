-- zorvelt-lsp in Neovim's built-in language client (Neovim 0.7 or later):
-- live diagnostics, hover (the word of the statement under the cursor),
-- go to definition, references, rename, the outline and completion for
-- ctrlforge microprograms and wordforge assembly.
--
-- In init.lua:
--
--   dofile('/usr/local/share/zorvelt/editors/nvim/zorvelt-lsp.lua').setup()
--
-- or with options (each may be left out):
--
--   dofile('.../zorvelt-lsp.lua').setup({
--     cmd = { '/opt/zorvelt/bin/zorvelt-lsp' },   -- default: zorvelt-lsp on PATH
--     settings = {                                 -- what the server reads
--       ctrlforgeWarnings = { '-Wall' },           -- -W options as on the command line
--       wordforgeWarnings = { '-Wno-org' },
--       inlayHints = false,
--     },
--   })
--
-- .mic files become filetype zorvelt-micro and .zasm files zorvelt-asm;
-- add 'asm = "zorvelt-asm"' to `extensions` below to claim .asm too.
local M = {}

local extensions = { mic = 'zorvelt-micro', zasm = 'zorvelt-asm' }
local filetypes = { 'zorvelt-micro', 'zorvelt-asm' }

function M.setup(options)
  options = options or {}
  local cmd = options.cmd or { 'zorvelt-lsp' }
  local settings = options.settings or {}
  local client_id = nil
  local warned = false
  local group = vim.api.nvim_create_augroup('zorvelt_lsp', { clear = true })
  -- As editors/vim/ftdetect does; an autocommand works whether or not
  -- Neovim 0.7's filetype.lua is turned on.
  for extension, filetype in pairs(extensions) do
    vim.api.nvim_create_autocmd({ 'BufNewFile', 'BufRead' }, {
      group = group,
      pattern = '*.' .. extension,
      command = 'setfiletype ' .. filetype,
    })
  end
  vim.api.nvim_create_autocmd('FileType', {
    group = group,
    pattern = filetypes,
    callback = function(args)
      if vim.fn.executable(cmd[1]) == 0 then
        -- Once: highlighting and :make work without the server.
        if not warned then
          warned = true
          vim.notify('zorvelt-lsp: ' .. cmd[1] .. ' not found; no live diagnostics', vim.log.levels.WARN)
        end
        return
      end
      -- One server for every buffer of both languages; started again when
      -- it has gone.
      if client_id == nil or vim.lsp.get_client_by_id(client_id) == nil then
        client_id = vim.lsp.start_client({
          name = 'zorvelt-lsp',
          cmd = cmd,
          root_dir = vim.fn.getcwd(),
          init_options = settings,
          settings = { zorvelt = settings },
        })
      end
      if client_id ~= nil then
        vim.lsp.buf_attach_client(args.buf, client_id)
      end
    end,
  })
end

return M
