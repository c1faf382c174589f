-- Neovim's built-in client on zorvelt-lsp, through the snippet that
-- editors/nvim ships: a copy of the golden source "fetch" with an error put
-- in (GOTO without its label) is opened and its one diagnostic, error 6,
-- awaited; the error is taken out in the buffer, and what stays is the
-- warning the command line gives the fixed source: the conditional branch
-- at 003 to DONE at 345, in another 512-word page. The hover on each
-- statement must hold the word the golden object file holds for it.
-- The environment names the files; the result goes to ZORVELT_LOG, and a
-- failure ends Neovim with a non-zero status.
local log = {}
local function say(text) table.insert(log, text) end
local function finish(ok)
  say(ok and 'PASSED' or 'FAILED')
  vim.fn.writefile(log, vim.env.ZORVELT_LOG)
  vim.cmd(ok and 'qall!' or 'cquit 1')
end
local function check(condition, what)
  if not condition then
    say('failed: ' .. what)
    finish(false)
    error(what)
  end
end

local function read_lines(path)
  local lines = {}
  for line in io.lines(path) do table.insert(lines, (line:gsub('\r$', ''))) end
  return lines
end

local ok, problem = pcall(function()
  dofile(vim.env.ZORVELT_SNIPPET).setup({ cmd = { vim.env.ZORVELT_SERVER } })

  -- The object file: "CM   TITLE", then "AAA  WWWWWWWWWW" per statement.
  local object = read_lines(vim.env.ZORVELT_OBJECT)
  local words = {}
  for i = 2, #object do
    table.insert(words, { address = object[i]:sub(1, 3), word = object[i]:sub(6, 15) })
  end
  -- Error 6 names the clause that lacks its label.
  local e6 = "'GOTO' needs the label to branch to"

  vim.cmd('edit ' .. vim.fn.fnameescape(vim.env.ZORVELT_SOURCE))
  check(vim.bo.filetype == 'zorvelt-micro', 'filetype is ' .. vim.bo.filetype)
  local lines = vim.api.nvim_buf_get_lines(0, 0, -1, false)
  local broken
  for i, line in ipairs(lines) do
    if line == 'GOTO' then broken = i - 1 end
  end
  check(broken ~= nil, 'the source has no broken GOTO line')

  local diagnostics = {}
  check(vim.wait(15000, function()
    diagnostics = vim.diagnostic.get(0)
    return #diagnostics > 0
  end, 50), 'no diagnostic arrived')
  check(#diagnostics == 1, #diagnostics .. ' diagnostics')
  local d = diagnostics[1]
  say(string.format('diagnostic %d:%d %s', d.lnum + 1, d.col + 1, d.message))
  check(d.lnum == broken and d.col == 4, 'diagnostic at ' .. d.lnum .. ':' .. d.col)
  check(d.message == e6, 'message ' .. d.message)
  check(d.severity == vim.diagnostic.severity.ERROR, 'severity ' .. tostring(d.severity))
  check(d.source == 'ctrlforge', 'source ' .. tostring(d.source))

  -- The error taken out: the diagnostics clear.
  vim.api.nvim_buf_set_lines(0, broken, broken + 1, false, { 'GOTO FETCH' })
  check(vim.wait(15000, function()
    diagnostics = vim.diagnostic.get(0)
    return #diagnostics == 1 and diagnostics[1].severity == vim.diagnostic.severity.WARN
  end, 50), 'the error stayed, or no warning came')
  d = diagnostics[1]
  say(string.format('warning %d:%d %s', d.lnum + 1, d.col + 1, d.message))
  check(d.lnum == 10 and d.col == 16, 'warning at ' .. d.lnum .. ':' .. d.col)
  check(d.code == '-Wbranch-page', 'code ' .. tostring(d.code))

  -- Hover on each statement's "*": the object file's word.
  local statement = 0
  local uri = vim.uri_from_bufnr(0)
  for i, line in ipairs(vim.api.nvim_buf_get_lines(0, 0, -1, false)) do
    if line:sub(1, 1) == '*' then
      statement = statement + 1
      local answers = vim.lsp.buf_request_sync(0, 'textDocument/hover',
        { textDocument = { uri = uri }, position = { line = i - 1, character = 0 } }, 10000)
      check(answers ~= nil, 'no hover answer on line ' .. i)
      local value = ''
      for _, answer in pairs(answers) do
        if answer.result and answer.result.contents then value = answer.result.contents.value end
      end
      local expected = words[statement]
      check(expected ~= nil, 'more statements than words')
      local shown = 'statement at ' .. expected.address .. '** — word `' .. expected.word .. '`'
      check(value:find(shown, 1, true) ~= nil, 'hover on line ' .. i .. ': ' .. value)
      say('hover on line ' .. i .. ': ' .. expected.address .. ' ' .. expected.word)
    end
  end
  check(statement == #words, statement .. ' statements, ' .. #words .. ' words')
end)
if ok then finish(true) else
  say('error: ' .. tostring(problem))
  finish(false)
end
