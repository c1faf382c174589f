" Vim compiler file
" Compiler:    ctrlforge, the ZORVELT microprogram assembler
"
" :make assembles the current file; each diagnostic line
"   FILE:LINE:COLUMN: error: MESSAGE, ... warning: MESSAGE or ... note: MESSAGE
" becomes a quickfix entry of type error, warning or note.

if exists("current_compiler")
  finish
endif
let current_compiler = "ctrlforge"

if exists(":CompilerSet") != 2
  command -nargs=* CompilerSet setlocal <args>
endif

let s:cpo_save = &cpo
set cpo&vim

CompilerSet makeprg=ctrlforge\ %:S
CompilerSet errorformat=%f:%l:%c:\ %trror:\ %m,%f:%l:%c:\ %tarning:\ %m,%f:%l:%c:\ %tote:\ %m

let &cpo = s:cpo_save
unlet s:cpo_save
