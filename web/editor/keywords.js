// The words the highlighters know, by the colour they get. Each program's
// lists together hold exactly the words of its own tables, each word once
// (ctrlforge: both keyword tables and the counter C; wordforge: the 44
// mnemonics and the device words of RIO and WIO); a unit test reads this
// file and compares it with those tables.

export const ctrlforge = {
  control: ["IF", "THEN", "ELSE", "GOTO", "CALL", "RETURN", "FETCH", "IOP", "IRA", "IAB", "NSQ"],
  register: ["R0", "R1", "R2", "R3", "R4", "R5", "R6", "R7", "RA", "RAP", "RB", "RBP", "RBUS", "PC", "IR",
             "IRB", "IO", "MM", "FSR", "ZERO", "LBUS"],
  condition: ["ZER", "NEG", "CRY", "OV", "CZ", "T"],
  action: ["READ", "WRITE", "SET", "BY", "FLAG", "SAVE", "WITH", "ONE", "EXECUTE", "HLT", "NEX"],
  operator: ["AND", "OR", "XOR", "SLL", "SRL", "SLA", "SRA", "SNX", "SWP", "NSH"],
  counter: ["C"],
};

export const wordforge = {
  instruction: ["ADD", "SUB", "AND", "OR", "XOR", "MULT", "DIV", "CMP", "EX", "LC", "PUSH", "POP", "SL", "SA",
                "SC", "BIX", "LEA", "LX", "STX", "L", "ST", "LA", "BDIS", "BP", "BZ", "BM", "BC", "BNP", "BNZ",
                "BNM", "BNC", "B", "BI", "BSR", "RIO", "WIO", "RET", "NOP", "HLT"],
  directive: ["DC", "DS", "ORG", "TITLE", "END"],
  device: ["CR", "LPT"],
};
