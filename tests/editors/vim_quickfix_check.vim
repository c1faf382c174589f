" Reads a file of diagnostics lines into the quickfix list through the
" 'errorformat' of a compiler plugin (:compiler was run before this file),
" and checks every entry. Run by vim_quickfix_test.sh; writes its findings to
" $ZORVELT_LOG and leaves vim with an error status when one check fails.
" With $ZORVELT_EXPECTED, a JSON list holds per line the entry expected
" ({file, line, column, severity, message, code}) or null for a line that
" must give no location. Without it, every line must give a located error
" or warning.

let s:failures = []
execute 'cgetfile ' . fnameescape($ZORVELT_DIAGNOSTICS)
let s:entries = getqflist()
let s:expected = $ZORVELT_EXPECTED ==# '' ? [] : json_decode(join(readfile($ZORVELT_EXPECTED), "\n"))

if empty(s:entries)
  call add(s:failures, 'the quickfix list is empty')
endif
if $ZORVELT_EXPECTED !=# '' && len(s:expected) != len(s:entries)
  call add(s:failures, printf('%d entries but %d expectations', len(s:entries), len(s:expected)))
endif

for s:i in range(len(s:entries))
  let s:entry = s:entries[s:i]
  let s:where = printf('entry %d (%s)', s:i + 1, s:entry.text)
  if $ZORVELT_EXPECTED ==# ''
    if !s:entry.valid || s:entry.lnum < 1 || s:entry.col < 1 || index(['e', 'w'], s:entry.type) < 0
      call add(s:failures, s:where . ': not a located error or warning: ' . string(s:entry))
    endif
    continue
  endif
  if s:i >= len(s:expected)
    break
  endif
  let s:want = s:expected[s:i]
  if s:want is v:null
    if s:entry.valid
      call add(s:failures, s:where . ': should give no location')
    endif
    continue
  endif
  let s:found = {'valid': s:entry.valid,
        \ 'file': fnamemodify(bufname(s:entry.bufnr), ':p'),
        \ 'line': s:entry.lnum, 'column': s:entry.col, 'type': s:entry.type,
        \ 'text': s:entry.text}
  let s:wanted = {'valid': 1,
        \ 'file': fnamemodify(s:want.file, ':p'),
        \ 'line': s:want.line, 'column': s:want.column, 'type': s:want.severity[0],
        \ 'text': s:want.message . ' [' . s:want.code . ']'}
  if s:found !=# s:wanted
    call add(s:failures, s:where . ': expected ' . string(s:wanted) . ', found ' . string(s:found))
  endif
endfor

call writefile(s:failures + [printf('%d quickfix entries checked, %d failures', len(s:entries), len(s:failures))], $ZORVELT_LOG)
if empty(s:failures)
  qall!
endif
cquit!
