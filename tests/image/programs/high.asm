        TITLE HIGH
; Words on both sides of address 8000, where byte
; addresses pass FFFF, and a word written over.
        ORG   0
START:  NOP
        HLT
        ORG   7FFE
        DC    X"7FFE
        DC    X"7FFF
        DC    X"8000
        DC    X"8001
        ORG   C000
        DC    'AB
        DC    -2
        ORG   FFFF
        DC    X"FFFF
        ORG   1
        DC    X"2222      ; takes the place of the HLT
        END
