" Vim syntax file
" Language:    ZORVELT assembly (wordforge)
"
" Each line is a statement (an optional label with a colon, a mnemonic and
" its operand), a comment line, or an error line. The source is upper-cased
" as it is read, so case is ignored. What the assembler drops without a word
" (text after a complete operand, anything after RET, NOP, HLT or END, every
" line after END) is highlighted as ignored. Items defined later win over
" earlier ones that start at the same column.

if exists("b:current_syntax")
  finish
endif

let s:cpo_save = &cpo
set cpo&vim

syn case ignore
syn sync fromstart

" A line that begins with neither a letter nor ';' is an error line, and so
" is a blank line.
syn match zorveltAsmError /^\s*[^;A-Za-z \t].*/
syn match zorveltAsmError /^\s\+$/

" The parts of an operand, used inside the operands below.
syn match zorveltAsmLabelRef /\a[A-Za-z0-9]*/ contained
syn match zorveltAsmDecimal /\d\+/ contained
syn match zorveltAsmRegister /\d\+\ze\s*,/ contained
syn match zorveltAsmRegister /\%((\s*\)\@<=\d\+/ contained
syn match zorveltAsmBinary /B\s*"\s*[01]*/ contained
syn match zorveltAsmOctal /O\s*"\s*\o*/ contained
syn match zorveltAsmHex /X\s*"\s*\x*/ contained
syn match zorveltAsmHex /\%(ORG\s*\)\@<=\x\+/ contained
syn match zorveltAsmDelimiter /[,()]/ contained
syn match zorveltAsmOperator /[+-]/ contained
syn match zorveltAsmLocation /\*/ contained
syn match zorveltAsmCharacter /'.\{0,2}/ contained
syn match zorveltAsmDevice /\%(CR\|LPT\)[A-Za-z0-9]\@!/ contained
syn match zorveltAsmTitle /[A-Za-z0-9]\+/ contained

" Text the assembler skips on its way to the comment or the line end, and an
" operand it cannot read.
syn match zorveltAsmIgnored /[^; \t]\%([^;]*[^; \t]\)\=/ contained
syn match zorveltAsmError /[^; \t]\%([^;]*[^; \t]\)\=/ contained

" An unknown mnemonic: the line is an error and its operand is not read.
syn match zorveltAsmError /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=[A-Za-z0-9]\+[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmIgnored skipwhite

" r,n  r,(x)  r,n(x) with n unsigned
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(ADD\|SUB\|AND\|OR\|XOR\|MULT\|DIV\|CMP\|EX\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand1,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand1 /\%(0*[0-3]\d\@!\)\=\s*,\s*\%((\s*\%(0*[0-3]\d\@!\)\=\s*)\|\%(\d\+\|B"\s*[01]*\|O"\s*\o*\|X"\s*\x*\)\%(\s*(\s*\%(0*[0-3]\d\@!\)\=\s*)\)\=\)/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" r,n with n unsigned
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(LC\|PUSH\|POP\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand2,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand2 /\%(0*[0-3]\d\@!\)\=\s*,\s*\%(\d\+\|B"\s*[01]*\|O"\s*\o*\|X"\s*\x*\)/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" r,n with n signed
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(SL\|SA\|SC\|BIX\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand3,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand3 /\%(0*[0-3]\d\@!\)\=\s*,\s*\%([+-]\s*\)\=\%(\d\+\|B"\s*[01]*\|O"\s*\o*\|X"\s*\x*\)/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" r,(x)  r,n(x) with n signed
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(LEA\|LX\|STX\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand4,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand4 /\%(0*[0-3]\d\@!\)\=\s*,\s*\%(\%([+-]\s*\)\=\%(\d\+\|B"\s*[01]*\|O"\s*\o*\|X"\s*\x*\)\s*\)\=(\s*\%(0*[0-3]\d\@!\)\=\s*)/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" r,address
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(L\|ST\|LA\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand5,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand5 /\%(0*[0-3]\d\@!\)\=\s*,\s*\%(\*\|\a[A-Za-z0-9]*\)\%(\s*[+-]\s*\d*\)\=/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" address
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(BDIS\|BP\|BZ\|BM\|BC\|BNP\|BNZ\|BNM\|BNC\|BSR\|BI\|B\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand6,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand6 /\%(\*\|\a[A-Za-z0-9]*\)\%(\s*[+-]\s*\d*\)\=/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" device: CR, LPT or 0..255; nothing reads as device 0
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(RIO\|WIO\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperand7,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperand7 /\%(\%(CR\|LPT\)[A-Za-z0-9]\@!\|0*\%(25[0-5]\|2[0-4]\d\|1\d\d\|[1-9]\=\d\)\d\@!\)/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" no operand: the rest of the line is ignored
syn match zorveltAsmMnemonic /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(RET\|NOP\|HLT\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmIgnored skipwhite

" a constant: character, number or label, with an optional sign
syn match zorveltAsmDirective /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(DC\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperandDc,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperandDc /\%([+-]\s*\)\=\%('.\{0,2}\|\d\+\|B\s*"\s*[01]*\|O\s*"\s*\o*\|X\s*"\s*\x*\|\a[A-Za-z0-9]*\)/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" a decimal count
syn match zorveltAsmDirective /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(DS\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmError,zorveltAsmOperandDs,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperandDs /\d\+/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" hexadecimal digits without a prefix; without any the value is 0
syn match zorveltAsmDirective /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(ORG\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmOperandOrg,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperandOrg /\x\+/ contained contains=zorveltAsmRegister,zorveltAsmDecimal,zorveltAsmHex,zorveltAsmOctal,zorveltAsmBinary,zorveltAsmDelimiter,zorveltAsmOperator,zorveltAsmLabelRef,zorveltAsmLocation,zorveltAsmCharacter,zorveltAsmDevice nextgroup=zorveltAsmIgnored skipwhite

" the program name: letters and digits
syn match zorveltAsmDirective /\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(TITLE\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ nextgroup=zorveltAsmOperandTitle,zorveltAsmIgnored skipwhite
syn match zorveltAsmOperandTitle /[A-Za-z0-9]\+/ contained contains=zorveltAsmTitle nextgroup=zorveltAsmIgnored skipwhite

" A word before ':' at the start of a line is a label.
syn match zorveltAsmLabelDef /^\s*\zs\a[A-Za-z0-9]*\ze\s*:/
syn match zorveltAsmDelimiter /\%(^\s*\a[A-Za-z0-9]*\s*\)\@<=:/

syn match zorveltAsmComment /;.*/

" END ends the source: the lines after it are never read.
syn region zorveltAsmAfterEnd matchgroup=zorveltAsmDirective start=/\%(^\s*\%(\a[A-Za-z0-9]*\s*:\s*\)\=\)\@<=\%(END\)[A-Za-z0-9]\@!\%(\s*:\)\@!/ end=/\%$/ contains=zorveltAsmComment,zorveltAsmIgnored,zorveltAsmUnread
syn match zorveltAsmUnread /^.\+/ contained

hi def link zorveltAsmComment   Comment
hi def link zorveltAsmIgnored   Comment
hi def link zorveltAsmUnread    Comment
hi def link zorveltAsmLabelDef  Label
hi def link zorveltAsmLabelRef  Identifier
hi def link zorveltAsmTitle     Title
hi def link zorveltAsmDirective PreProc
hi def link zorveltAsmMnemonic  Statement
hi def link zorveltAsmRegister  Type
hi def link zorveltAsmDevice    Constant
hi def link zorveltAsmLocation  Special
hi def link zorveltAsmHex       Number
hi def link zorveltAsmDecimal   Number
hi def link zorveltAsmOctal     Number
hi def link zorveltAsmBinary    Number
hi def link zorveltAsmCharacter Character
hi def link zorveltAsmOperator  Operator
hi def link zorveltAsmDelimiter Delimiter
hi def link zorveltAsmError     Error

let b:current_syntax = "zorvelt-asm"

let &cpo = s:cpo_save
unlet s:cpo_save
