// The assemblers count a diagnostic's column in bytes of its line's UTF-8
// form (from 1), which is what the page hands them; the editor counts
// positions in UTF-16 code units. A tab is one byte and one unit, a
// character of two, three or four bytes one unit or two.

export function utf8Size(codePoint) {
  if (codePoint < 0x80) return 1;
  if (codePoint < 0x800) return 2;
  // A lone surrogate is encoded as U+FFFD, three bytes as well.
  return codePoint < 0x10000 ? 3 : 4;
}

// The offset in `text` (one line) that byte column `column` points at: after
// the characters whose bytes fill at most column - 1 bytes. A column inside
// a character's bytes lands before that character, one past the line's end
// at its end.
export function offsetInLine(text, column) {
  let bytes = column - 1;
  let at = 0;
  while (at < text.length) {
    const codePoint = text.codePointAt(at);
    const size = utf8Size(codePoint);
    if (size > bytes) break;
    bytes -= size;
    at += codePoint > 0xffff ? 2 : 1;
  }
  return at;
}

// The byte column (from 1) of offset `at` in `text`, the inverse of
// offsetInLine for offsets on a character's start.
export function columnInLine(text, at) {
  let column = 1;
  for (let i = 0; i < at && i < text.length;) {
    const codePoint = text.codePointAt(i);
    column += utf8Size(codePoint);
    i += codePoint > 0xffff ? 2 : 1;
  }
  return column;
}

const wordCharacter = /[A-Za-z0-9_]/;

// The end of the token that starts at `at` in `text`: a run of letters,
// digits and '_', else one character (both units of a surrogate pair). At
// the line's end the token is empty.
export function tokenEnd(text, at) {
  if (at >= text.length) return at;
  if (!wordCharacter.test(text[at])) return at + (text.codePointAt(at) > 0xffff ? 2 : 1);
  let end = at;
  while (end < text.length && wordCharacter.test(text[end])) end++;
  return end;
}

// The document range a diagnostic marks: {line, column, endColumn?} with
// byte columns, endColumn exclusive. `doc` is the editor's Text. A line past
// the document's end marks the end of its last line.
export function diagnosticRange(doc, diagnostic) {
  const line = doc.line(Math.min(Math.max(1, diagnostic.line), doc.lines));
  if (diagnostic.line > doc.lines) return { from: line.to, to: line.to };
  const start = offsetInLine(line.text, Math.max(1, diagnostic.column));
  let end;
  if (Number.isInteger(diagnostic.endColumn) && diagnostic.endColumn > diagnostic.column) {
    end = Math.max(start, offsetInLine(line.text, diagnostic.endColumn));
  } else {
    end = tokenEnd(line.text, start);
  }
  return { from: line.from + start, to: line.from + end };
}
