" Vim syntax file
" Language:    ZORVELT microprogram (ctrlforge)
"
" The source is upper-cased as it is read, so case is ignored. A word is a
" letter followed by letters, digits and '_'. A word made only of
" hexadecimal digits is a number, a label or the counter C depending on its
" neighbours. Items defined later win over earlier ones that start at the
" same column, so the general rules come first.

if exists("b:current_syntax")
  finish
endif

let s:cpo_save = &cpo
set cpo&vim

syn case ignore
syn sync fromstart

" A character that cannot start a token drops the rest of its line.
syn match zorveltMicroError /[^ \t$*+\-.0-9:;=@A-Za-z].*/

syn match zorveltMicroDelimiter /:/
syn match zorveltMicroHeading /\*/
syn match zorveltMicroOperator /[-+=$@]/
syn match zorveltMicroOperator /:=/

" Any other word: a label where one is used.
syn match zorveltMicroLabelRef /\a\w*/

" Numbers: hexadecimal from a leading digit; a hexadecimal word with a
" leading letter has four digits at most.
syn match zorveltMicroHex /\d\x*/
syn match zorveltMicroHex /[A-F]\x\{0,3}\w\@!/
syn match zorveltMicroError /[A-F]\x\{4,7}\w\@!/
syn match zorveltMicroError /[A-F]\x\{7}\w\+/

syn match zorveltMicroControl /\%(IF\|THEN\|ELSE\|GOTO\|CALL\|RETURN\|FETCH\|IOP\|IRA\|IAB\|NSQ\)\w\@!/
syn match zorveltMicroRegister /\%(R[0-7]\|RAP\|RA\|RBP\|RBUS\|RB\|PC\|IRB\|IR\|IO\|MM\|FSR\|ZERO\|LBUS\)\w\@!/
syn match zorveltMicroCondition /\%(ZER\|NEG\|CRY\|OV\|CZ\|T\)\w\@!/
syn match zorveltMicroKeyword /\%(READ\|WRITE\|SET\|BY\|FLAG\|SAVE\|WITH\|ONE\|EXECUTE\|HLT\|NEX\)\w\@!/
syn match zorveltMicroOperator /\%(AND\|XOR\|OR\|SLL\|SRL\|SLA\|SRA\|SNX\|SWP\|NSH\)\w\@!/

" IRA + 1 steps the IRA register.
syn match zorveltMicroRegister /IRA\ze\s*+/

" A word that is no keyword, before ':', names a statement.
syn match zorveltMicroLabelDef /\%(\%(GOTO\|HLT\|IF\|IAB\|IO\|IOP\|IR\|IRA\|IRB\|LBUS\|MM\|NEG\|NEX\|NSH\|NSQ\|ONE\|OR\|OV\|PC\|R[0-7]\|RA\|RAP\|RB\|RBP\|RBUS\|READ\|RETURN\|SAVE\|SET\|SLA\|SLL\|SNX\|SRA\|SRL\|SWP\|T\|THEN\|WITH\|WRITE\|XOR\|ZER\|ZERO\|AND\|BY\|CALL\|CRY\|CZ\|ELSE\|EXECUTE\|FETCH\|FLAG\|FSR\)\w\@!\)\@!\%([A-F]"\)\@!\a\w*\ze\s*:=\@!/

" After these words any word but a keyword is a label.
syn match zorveltMicroLabelRef /\%(\<\%(GOTO\|CALL\|THEN\|IOP\|IRA\|IAB\)\s\+\)\@<=\%(\%(GOTO\|HLT\|IF\|IAB\|IO\|IOP\|IR\|IRA\|IRB\|LBUS\|MM\|NEG\|NEX\|NSH\|NSQ\|ONE\|OR\|OV\|PC\|R[0-7]\|RA\|RAP\|RB\|RBP\|RBUS\|READ\|RETURN\|SAVE\|SET\|SLA\|SLL\|SNX\|SRA\|SRL\|SWP\|T\|THEN\|WITH\|WRITE\|XOR\|ZER\|ZERO\|AND\|BY\|CALL\|CRY\|CZ\|ELSE\|EXECUTE\|FETCH\|FLAG\|FSR\)\w\@!\)\@!\%([A-F]"\)\@!\a\w*/

" C is the counter only as the first word of a line.
syn match zorveltMicroCounter /^\s*\zsC\%(\w\|"\)\@!/

" B" binary and D" decimal numbers; A, C, E or F before a double quote drop
" the rest of the line.
syn match zorveltMicroBinary /B"[01]*/
syn match zorveltMicroDecimal /D"\d*/
syn match zorveltMicroError /[ACEF]".*/

" .TITLE name, .END; a dot before any other word makes a comment line.
syn match zorveltMicroIgnored /\.\%(TITLE\|END\a\@!\)\@!.*/
syn match zorveltMicroDirective /\.TITLE/
syn match zorveltMicroDirective /\.END\a\@!/
syn match zorveltMicroTitle /\%(\.TITLE\s*\)\@<=\%(\%(GOTO\|HLT\|IF\|IAB\|IO\|IOP\|IR\|IRA\|IRB\|LBUS\|MM\|NEG\|NEX\|NSH\|NSQ\|ONE\|OR\|OV\|PC\|R[0-7]\|RA\|RAP\|RB\|RBP\|RBUS\|READ\|RETURN\|SAVE\|SET\|SLA\|SLL\|SNX\|SRA\|SRL\|SWP\|T\|THEN\|WITH\|WRITE\|XOR\|ZER\|ZERO\|AND\|BY\|CALL\|CRY\|CZ\|ELSE\|EXECUTE\|FETCH\|FLAG\|FSR\)\w\@!\)\@!\%([A-F]"\)\@!\a\w*/

syn match zorveltMicroComment /;.*/

hi def link zorveltMicroComment   Comment
hi def link zorveltMicroIgnored   Comment
hi def link zorveltMicroLabelDef  Label
hi def link zorveltMicroLabelRef  Identifier
hi def link zorveltMicroTitle     Title
hi def link zorveltMicroDirective PreProc
hi def link zorveltMicroControl   Statement
hi def link zorveltMicroKeyword   Keyword
hi def link zorveltMicroHeading   Special
hi def link zorveltMicroRegister  Type
hi def link zorveltMicroCounter   Type
hi def link zorveltMicroCondition Constant
hi def link zorveltMicroHex       Number
hi def link zorveltMicroDecimal   Number
hi def link zorveltMicroBinary    Number
hi def link zorveltMicroOperator  Operator
hi def link zorveltMicroDelimiter Delimiter
hi def link zorveltMicroError     Error

let b:current_syntax = "zorvelt-micro"

let &cpo = s:cpo_save
unlet s:cpo_save
