; TABLE.ASM -- adds up a table of words and counts its negative entries.
;
; A line holds an optional label with a colon, a mnemonic and its operand;
; everything after ";" is a comment.  Registers are 0 to 3.  Numbers are
; decimal; X" starts a hexadecimal, O" an octal and B" a binary number, and
; 'AB is the two characters A and B.  "*" is the address of the line itself.
        TITLE SUMTAB
        ORG   10            ; the program starts at address 0010
START:  LA    0,TABLE       ; register 0 points at the first entry
        L     1,ZERO        ; register 1 collects the sum
        L     2,COUNT       ; register 2 counts the entries left
LOOP:   BSR   ADDONE        ; add the entry register 0 points at
        LEA   0,1(0)        ; step to the next entry
        SUB   2,1           ; one entry less
        BNZ   LOOP          ; until none is left
        ST    1,SUM         ; keep the result
        WIO   LPT           ; and print it
        HLT
;
; ADDONE adds the word at (0) to register 1, and counts
; the word in NEGS when it is negative.
ADDONE: ADD   1,(0)
        BNM   DONE
        L     3,NEGS
        ADD   3,1
        ST    3,NEGS
DONE:   RET
;
; The data: constants of every form, and reserved words.
COUNT:  DC    6
ZERO:   DC    0
TABLE:  DC    120
        DC    -45
        DC    X"7FFF
        DC    O"777
        DC    B"1010
        DC    'OK
SUM:    DS    1             ; the result
NEGS:   DC    0
BUFFER: DS    4             ; a scratch area
        END
