#include "ctrlforge/decode_clauses.hpp"

namespace ctrlforge {

namespace {

constexpr std::size_t kSQ = 6, kTS = 7;  // field indices
constexpr std::string_view kCondition[6] = {"ZER", "NEG", "CRY", "OV", "T", "CZ"};

}  // namespace

void AddSequencingClause(ShortText& out, const DecodedWord& d, std::string_view target) {
    const unsigned ts = d.bits[kTS];
    auto test = [&](std::string_view value) {
        out.Add("IF ");
        if (ts < 6) {
            out.Add(kCondition[ts]);
        } else {
            out.Add('#');
            out.AddHex(ts, 1);
        }
        out.Add(value);
        out.Add(target);
    };
    switch (d.sequencing) {
        case Sequencing::Next: break;
        case Sequencing::Return: out.Add("RETURN"); break;
        case Sequencing::Goto: out.Add("GOTO "); out.Add(target); break;
        case Sequencing::Call: out.Add("CALL "); out.Add(target); break;
        case Sequencing::IfTrue: test(" = 1 THEN "); break;
        case Sequencing::IfFalse: test(" = 0 THEN "); break;
        case Sequencing::IfFalseOrFetch: test(" = 0 THEN "); out.Add(" ELSE FETCH"); break;
        case Sequencing::GotoFetch: out.Add("GOTO FETCH"); break;
        case Sequencing::Iop: out.Add("IOP "); out.Add(target); break;
        case Sequencing::Ira: out.Add("IRA "); out.Add(target); break;
        case Sequencing::Iab: out.Add("IAB "); out.Add(target); break;
        case Sequencing::Unnamed: out.Add('#'); out.AddHex(d.bits[kSQ], 1); break;
    }
}

}  // namespace ctrlforge
