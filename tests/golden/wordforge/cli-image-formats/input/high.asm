        TITLE HIGH
START:  NOP
        HLT
        ORG   7FFE
        DC    X"7FFE
        DC    X"7FFF
        DC    X"8000
        DC    X"8001
        ORG   8010
        DC    'AB
        DC    -2
        ORG   1
        DC    X"2222
        END
