// Highlighting of both languages, line by line as the assemblers read them.
// Both upper-case the source as they read it, so case is ignored. The words
// come from keywords.js; what surrounds them follows the editors' grammars
// (editors/): what an assembler skips without a word shows as a comment,
// what it refuses as invalid.
import { StreamLanguage } from "@codemirror/language";
import { tags } from "@lezer/highlight";

import * as words from "./keywords.js";

// Token names (the tokenizers' return values) and the highlight tags they stand for.
const tokenTable = {
  comment: tags.comment,
  ignored: tags.comment,
  error: tags.invalid,
  directive: tags.processingInstruction,
  title: tags.heading,
  heading: tags.special(tags.punctuation),
  control: tags.controlKeyword,
  instruction: tags.keyword,
  action: tags.keyword,
  register: tags.typeName,
  counter: tags.typeName,
  condition: tags.atom,
  device: tags.atom,
  operator: tags.operatorKeyword,
  sign: tags.operator,
  punctuation: tags.punctuation,
  number: tags.number,
  character: tags.string,
  location: tags.special(tags.variableName),
  labelDefinition: tags.definition(tags.labelName),
  label: tags.labelName,
};

// Word -> token name, from the lists of one program.
function classify(lists) {
  const map = new Map();
  for (const [name, list] of Object.entries(lists)) for (const word of list) map.set(word, name);
  return map;
}

const microWords = classify(words.ctrlforge);
const asmWords = classify(words.wordforge);

// ctrlforge ------------------------------------------------------------
// After these words any word but a keyword is a label, hexadecimal words
// included; elsewhere a word of hexadecimal digits is a number.
const takesLabel = new Set(["GOTO", "CALL", "THEN", "IOP", "IRA", "IAB", ".TITLE"]);
const hexWord = /^[A-F][0-9A-F]*$/;

const ctrlforge = StreamLanguage.define({
  name: "ctrlforge",
  startState: () => ({ previous: "eol" }),
  token(stream, state) {
    if (stream.sol()) state.previous = "eol";
    if (stream.eatSpace()) return null;
    const previous = state.previous;
    const next = stream.peek();
    if (next === ";") {
      stream.skipToEnd();
      return "comment";
    }
    if (next === ".") {
      // Only .TITLE and .END are read; a dot before anything else makes
      // the line a comment line.
      const directive = stream.match(/^\.(TITLE|END(?![A-Z]))/i);
      if (directive) {
        state.previous = "." + directive[1].toUpperCase();
        return "directive";
      }
      stream.skipToEnd();
      return "ignored";
    }
    if (/[0-9]/.test(next)) {
      stream.match(/^[0-9][0-9A-F]*/i);
      state.previous = "number";
      return "number";
    }
    if (/[A-Za-z]/.test(next)) {
      if (stream.match(/^B"[01]*/i) || stream.match(/^D"[0-9]*/i)) {
        state.previous = "number";
        return "number";
      }
      // A, C, E or F before a double quote drop the rest of the line.
      if (stream.match(/^[ACEF]"/i)) {
        stream.skipToEnd();
        return "error";
      }
      const word = stream.match(/^[A-Za-z][A-Za-z0-9_]*/)[0].toUpperCase();
      state.previous = word;
      if (previous === ".TITLE" && !microWords.has(word)) return "title";
      if (word === "C" && (previous === "eol" || previous === ";")) return "counter";
      const kind = word === "C" ? undefined : microWords.get(word);
      if (kind) return word === "IRA" && stream.match(/^\s*\+/, false) ? "register" : kind;
      const definition = stream.match(/^\s*:(?!=)/, false);
      if (hexWord.test(word) && !takesLabel.has(previous) && !definition) {
        state.previous = "number";
        // With a leading letter, a number has four digits at most.
        return word.length <= 4 ? "number" : "error";
      }
      return definition ? "labelDefinition" : "label";
    }
    state.previous = next;
    if (stream.match(":=") || stream.match(/^[-+=$@]/)) return "operator";
    if (stream.eat(":")) return "punctuation";
    if (stream.eat("*")) return "heading";
    // Any other character cannot start a token: the rest of its line is dropped.
    stream.skipToEnd();
    return "error";
  },
  languageData: { commentTokens: { line: ";" } },
  tokenTable,
});

// wordforge ------------------------------------------------------------
// A line: an optional label and ':', a mnemonic, its operand; or a comment
// line. Phases of a line: start, label (after label and ':'), operand,
// title, ignored (the rest of the line is skipped). After END nothing is
// read.
const noOperand = new Set(["RET", "NOP", "HLT"]);
const deviceMnemonics = new Set(["RIO", "WIO"]);

function mnemonic(word, state) {
  const kind = asmWords.get(word);
  if (kind !== "instruction" && kind !== "directive") {
    // An unknown mnemonic: the line is an error and its operand is not read.
    state.phase = "ignored";
    return "error";
  }
  state.mnemonic = word;
  if (word === "END") state.ended = true;
  state.phase = noOperand.has(word) ? "ignored" : word === "TITLE" ? "title" : "operand";
  return kind;
}

function operand(stream, state) {
  const next = stream.peek();
  if (next === ";") {
    stream.skipToEnd();
    return "comment";
  }
  if (stream.match(/^[BOX]\s*"\s*[0-9A-F]*/i)) return "number";
  if (/[0-9]/.test(next)) {
    stream.match(/^[0-9]+/);
    // A register: the number before the comma, or in parentheses.
    if (state.mnemonic !== "DC" && (stream.match(/^\s*,/, false) || state.inParens)) return "register";
    return "number";
  }
  if (next === "'") {
    // A quote and the next two characters, taken as typed.
    stream.next();
    for (let i = 0; i < 2 && !stream.eol(); i++) stream.next();
    return "character";
  }
  if (/[A-Za-z]/.test(next)) {
    const word = stream.match(/^[A-Za-z][A-Za-z0-9]*/)[0].toUpperCase();
    if (deviceMnemonics.has(state.mnemonic) && asmWords.get(word) === "device") return "device";
    return "label";
  }
  stream.next();
  if (next === "(") state.inParens = true;
  if (next === ")") state.inParens = false;
  if (next === "*") return "location";
  if (next === "+" || next === "-") return "sign";
  return next === "," || next === "(" || next === ")" ? "punctuation" : null;
}

const wordforge = StreamLanguage.define({
  name: "wordforge",
  startState: () => ({ ended: false, phase: "start", mnemonic: "", inParens: false }),
  token(stream, state) {
    if (state.ended) {
      stream.skipToEnd();
      return "ignored";
    }
    if (stream.sol()) {
      state.phase = "start";
      state.inParens = false;
    }
    // A line of blanks only is an error line too.
    const lineStart = stream.sol();
    if (stream.eatSpace()) return lineStart && stream.eol() ? "error" : null;
    switch (state.phase) {
      case "start":
      case "label": {
        if (stream.peek() === ";" && state.phase === "start") {
          stream.skipToEnd();
          return "comment";
        }
        if (state.phase === "label" && stream.eat(":")) return "punctuation";
        const word = stream.match(/^[A-Za-z][A-Za-z0-9]*/);
        if (!word) {
          // A line that begins with neither a letter nor ';'.
          stream.skipToEnd();
          return "error";
        }
        if (state.phase === "start" && stream.match(/^\s*:/, false)) {
          state.phase = "label";
          return "labelDefinition";
        }
        return mnemonic(word[0].toUpperCase(), state);
      }
      case "operand":
        return operand(stream, state);
      case "title":
        state.phase = "ignored";
        if (stream.match(/^[A-Za-z0-9]+/)) return "title";
        return null;
      default:
        if (stream.peek() === ";") {
          stream.skipToEnd();
          return "comment";
        }
        stream.skipTo(";") || stream.skipToEnd();
        return "ignored";
    }
  },
  languageData: { commentTokens: { line: ";" } },
  tokenTable,
});

export const languages = { ctrlforge, wordforge };
