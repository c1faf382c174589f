" Checks the vim syntax files against the same expectations as the VS Code
" grammars: the scope assertions of the grammar test files and the chosen
" positions in the bundled examples, each scope mapped to its vim group by
" scope-groups.tsv. Run by vim_syntax_test.sh; writes its findings to
" $ZORVELT_LOG and leaves vim with an error status when one check fails.

let s:root = $ZORVELT_SOURCE
let s:failures = []
let s:checked = 0

let s:groups = {}
for s:row in readfile(s:root . '/tests/editors/scope-groups.tsv')
  if s:row !~# '^#' && s:row =~# '\t'
    let [s:scope, s:group] = split(s:row, '\t')
    let s:groups[s:scope] = s:group
  endif
endfor

function! s:Fail(message) abort
  call add(s:failures, expand('%:t') . ': ' . a:message)
endfunction

" The vim group that stands for a TextMate scope of the current language.
function! s:GroupOf(scope) abort
  let suffix = '.' . &filetype
  let bare = a:scope[: -len(suffix) - 1]
  if a:scope[-len(suffix) :] !=# suffix || !has_key(s:groups, bare)
    throw 'no vim group for scope ' . a:scope
  endif
  return (&filetype ==# 'zorvelt-micro' ? 'zorveltMicro' : 'zorveltAsm') . s:groups[bare]
endfunction

function! s:GroupAt(line, col) abort
  return synIDattr(synID(a:line, a:col, 1), 'name')
endfunction

function! s:Expect(line, col, length, group, excluded) abort
  for col in range(a:col, a:col + a:length - 1)
    let s:checked += 1
    let actual = s:GroupAt(a:line, col)
    if actual !=# a:group
      call s:Fail(printf('%d:%d: expected %s, found %s', a:line, col, a:group, actual ==# '' ? 'no group' : actual))
    elseif index(a:excluded, actual) >= 0
      call s:Fail(printf('%d:%d: %s is excluded here', a:line, col, actual))
    endif
  endfor
endfunction

" The assertion lines of a grammar test file: ';' then carets, or ';<-',
" below the source line they describe, then the scopes required there and,
" after ' - ', the scopes that must not be there. The most specific
" required scope, the last one, names the group.
function! s:CheckAssertions() abort
  let source = 0
  for lnum in range(2, line('$'))
    let text = getline(lnum)
    let carets = matchlist(text, '^;\(\s*\^[\^ ]*\)\(.*\)$')
    let arrow = matchlist(text, '^;\s*<\(\~*\)\(-\+\)\(.*\)$')
    if empty(carets) && empty(arrow)
      let source = lnum
      continue
    endif
    let assertion = empty(carets) ? arrow[3] : carets[2]
    let [required; rest] = split(assertion, '\s-\s', 1) + ['']
    let wanted = split(required)
    let group = s:GroupOf(wanted[-1])
    let excluded = []
    for scope in split(rest[0])
      let other = s:GroupOf(scope)
      if other !=# group
        call add(excluded, other)
      endif
    endfor
    if empty(carets)
      call s:Expect(source, len(arrow[1]) + 1, len(arrow[2]), group, excluded)
    else
      let start = 0
      while 1
        let start = match(text, '\^\+', start)
        if start < 0
          break
        endif
        let width = len(matchstr(text, '\^\+', start))
        call s:Expect(source, start + 1, width, group, excluded)
        let start += width
      endwhile
    endif
  endfor
endfunction

" Every character of a bundled example that is not blank is highlighted,
" and none as an error or as text the assembler ignores.
function! s:CheckExampleCovered() abort
  let bad = ['Error', 'Ignored', 'Unread']
  for lnum in range(1, line('$'))
    let text = getline(lnum)
    for col in range(1, len(text))
      if text[col - 1] =~# '\s'
        continue
      endif
      let s:checked += 1
      let group = s:GroupAt(lnum, col)
      if group ==# '' || index(bad, substitute(group, '^zorvelt\(Micro\|Asm\)', '', '')) >= 0
        call s:Fail(printf('%d:%d: %s is highlighted as %s', lnum, col, string(text[col - 1]), group ==# '' ? 'nothing' : group))
      endif
    endfor
  endfor
endfunction

function! s:CheckPoints(file) abort
  for row in readfile(s:root . '/tests/editors/example-points.tsv')
    if row =~# '^#' || row !~# '\t'
      continue
    endif
    let [file, lnum, col, text, scope] = split(row, '\t')
    if file !=# a:file
      continue
    endif
    if strpart(getline(lnum), col - 1, len(text)) !=# text
      call s:Fail(printf('%s:%s: the example no longer holds %s', file, lnum, string(text)))
      continue
    endif
    call s:Expect(str2nr(lnum), str2nr(col), len(text), s:GroupOf(scope . '.' . &filetype), [])
  endfor
endfunction

function! s:Open(file, filetype) abort
  execute 'edit! ' . fnameescape(s:root . '/' . a:file)
  if a:filetype !=# '' && &filetype !=# a:filetype
    " .asm is claimed by other assemblers; the README tells how to choose ours.
    execute 'setfiletype ' . a:filetype
    execute 'set filetype=' . a:filetype
  endif
  if &filetype !~# '^zorvelt-\(micro\|asm\)$' || get(b:, 'current_syntax', '') !=# &filetype
    call s:Fail('filetype ' . string(&filetype) . ', syntax ' . string(get(b:, 'current_syntax', '')))
    return 0
  endif
  return 1
endfunction

try
  for s:file in glob(s:root . '/editors/vscode/test/*.test.*', 0, 1)
    if s:Open(fnamemodify(s:file, ':s?^' . s:root . '/??'), '')
      call s:CheckAssertions()
    endif
  endfor
  " The sources among the examples (a Makefile and scripts sit there too);
  " both languages must have one.
  let s:languages = {}
  for s:file in glob(s:root . '/examples/*.mic', 0, 1) + glob(s:root . '/examples/*.asm', 0, 1)
        \ + glob(s:root . '/examples/*.zasm', 0, 1)
    let s:name = fnamemodify(s:file, ':s?^' . s:root . '/??')
    if s:Open(s:name, s:file =~# '\.asm$' ? 'zorvelt-asm' : '')
      let s:languages[&filetype] = 1
      " The "find the mistakes" examples are wrong on purpose: their
      " errors are highlighted as errors.
      if s:file !~# '/mistakes\.'
        call s:CheckExampleCovered()
      endif
      call s:CheckPoints(s:name)
    endif
  endfor
  for s:language in ['zorvelt-micro', 'zorvelt-asm']
    if !has_key(s:languages, s:language)
      call add(s:failures, 'no ' . s:language . ' example in examples/')
    endif
  endfor
catch
  call add(s:failures, 'aborted: ' . v:exception . ' at ' . v:throwpoint)
endtry

call writefile(s:failures + [printf('%d positions checked, %d failures', s:checked, len(s:failures))], $ZORVELT_LOG)
if empty(s:failures) && s:checked > 0
  qall!
endif
cquit!
