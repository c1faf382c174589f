" Vim filetype plugin
" Language:    ZORVELT microprogram (ctrlforge)

if exists("b:did_ftplugin")
  finish
endif
let b:did_ftplugin = 1

" ';' starts a comment that runs to the end of the line.
setlocal comments=:; commentstring=;\ %s
compiler ctrlforge

let b:undo_ftplugin = "setlocal comments< commentstring< makeprg< errorformat< | unlet! b:current_compiler"
