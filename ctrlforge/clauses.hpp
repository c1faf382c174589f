#pragma once
#include "ctrlforge/run_state.hpp"

namespace ctrlforge {

// Each clause parser is entered with the clause's first token current, reads
// its clause line up to and including the terminators behind it, and returns
// true when it reported an error; the caller then returns at once.

// sequencing = "IF" cond "=" number "THEN" label [ "ELSE" "FETCH" ]
//            | ( "GOTO" | "CALL" | "IOP" | "IRA" | "IAB" ) label | "GOTO" "FETCH"
//            | "RETURN" | "NSQ"
[[nodiscard]] bool ParseSequencingClause(CtrlRun& run);

// memory = "READ" | "WRITE"
[[nodiscard]] bool ParseMemoryClause(CtrlRun& run);

// exception = counter | load | "FLAG" "SAVE" | "WITH" ( "CRY" | "ONE" )
//           | "EXECUTE" "IO" | "T" ":=" number | ( "IRA" | "IRB" ) "+" 1
//           | "IRB" "-" 1 | [ "SET" ] ( "HLT" | "OV" ) | "NEX"
// Also entered with the token after a SET that the statement consumed.
[[nodiscard]] bool ParseExceptionClause(CtrlRun& run);

}  // namespace ctrlforge
