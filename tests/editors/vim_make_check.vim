" Runs :make through the compiler plugin that the filetype plugin chose, for
" each run of $ZORVELT_RUNS (the format of the VS Code matcher check: the
" last argument is the file opened, the others are given to :make), and
" checks every quickfix entry: file, line, column, error or warning, text;
" a line expected {unmatched: TEXT} must give an entry without a location.
" Then :make must have put the cursor on the first located entry, :cnext
" on each following one, and :cfirst back on the first. Run by
" vim_make_test.sh; writes its findings to $ZORVELT_LOG and leaves vim with
" an error status when one check fails.

let s:failures = []
let s:checked = 0

function! s:Fail(run, message) abort
  call add(s:failures, join(a:run.args) . ': ' . a:message)
endfunction

" The quickfix entry of an expected diagnostic.
function! s:Wanted(want) abort
  if has_key(a:want, 'unmatched')
    return {'valid': 0, 'text': a:want.unmatched}
  endif
  let code = get(a:want, 'code', v:null)
  return {'valid': 1, 'file': fnamemodify(a:want.file, ':p'),
        \ 'line': a:want.line, 'column': a:want.column, 'type': a:want.severity[0],
        \ 'text': a:want.message . (code is v:null ? '' : ' [' . code . ']')}
endfunction

function! s:Found(entry) abort
  if !a:entry.valid
    return {'valid': 0, 'text': a:entry.text}
  endif
  return {'valid': 1, 'file': fnamemodify(bufname(a:entry.bufnr), ':p'),
        \ 'line': a:entry.lnum, 'column': a:entry.col, 'type': a:entry.type,
        \ 'text': a:entry.text}
endfunction

" The cursor must stand on the entry: vim's columns count bytes, as the
" diagnostics do. An error found at a line end names the column after the
" last byte, where Normal mode cannot put the cursor; it stands on the last
" byte instead.
function! s:ExpectCursor(run, command, wanted) abort
  let s:checked += 1
  let column = min([a:wanted.column, max([1, strlen(getline(a:wanted.line))])])
  let found = [fnamemodify(bufname('%'), ':p'), line('.'), col('.')]
  if found !=# [a:wanted.file, a:wanted.line, column]
    call s:Fail(a:run, printf('after :%s the cursor is at %s, expected %s',
          \ a:command, string(found), string([a:wanted.file, a:wanted.line, column])))
  endif
endfunction

function! s:Check(run) abort
  execute 'edit! ' . fnameescape(a:run.args[-1])
  if get(b:, 'current_compiler', '') !=# $ZORVELT_COMPILER
    call s:Fail(a:run, printf('filetype %s chose the compiler %s', string(&filetype),
          \ string(get(b:, 'current_compiler', ''))))
    return
  endif
  execute 'silent make ' . join(a:run.args[: -2])
  let entries = getqflist()
  if len(entries) != len(a:run.lines)
    call s:Fail(a:run, printf('%d quickfix entries, expected %d: %s', len(entries), len(a:run.lines), string(entries)))
  endif
  let located = []
  for i in range(min([len(entries), len(a:run.lines)]))
    let s:checked += 1
    let wanted = s:Wanted(a:run.lines[i])
    let found = s:Found(entries[i])
    if found !=# wanted
      call s:Fail(a:run, printf('entry %d is %s, expected %s', i + 1, string(found), string(wanted)))
    elseif wanted.valid
      call add(located, wanted)
    endif
  endfor
  if empty(located)
    return
  endif
  call s:ExpectCursor(a:run, 'make', located[0])
  for wanted in located[1 :]
    silent cnext
    call s:ExpectCursor(a:run, 'cnext', wanted)
  endfor
  silent cfirst
  call s:ExpectCursor(a:run, 'cfirst', located[0])
endfunction

try
  let s:runs = json_decode(join(readfile($ZORVELT_RUNS), "\n"))
  call mkdir(s:runs.folder, 'p')
  for s:source in glob($ZORVELT_BROKEN . '/*', 0, 1)
    call writefile(readfile(s:source, 'b'), s:runs.folder . '/' . fnamemodify(s:source, ':t'), 'b')
  endfor
  for s:run in s:runs.runs
    call s:Check(s:run)
  endfor
catch
  call add(s:failures, 'aborted: ' . v:exception . ' at ' . v:throwpoint)
endtry

call writefile(s:failures + [printf('%d quickfix entries and cursor positions checked, %d failures', s:checked, len(s:failures))], $ZORVELT_LOG)
if empty(s:failures) && s:checked > 0
  qall!
endif
cquit!
