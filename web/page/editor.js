// The source editor: a plain textarea with a line-number gutter that marks
// lines holding errors or warnings, and moving the cursor to a line and a
// byte column.
"use strict";
window.Playground = window.Playground || {};

window.Playground.createEditor = function createEditor(textarea, gutter) {
  let errorLines = new Set();
  let warningLines = new Set();
  let shownLines = 0;

  function lineCount() {
    let count = 1;
    const text = textarea.value;
    for (let i = text.indexOf("\n"); i !== -1; i = text.indexOf("\n", i + 1)) count++;
    return count;
  }

  function renderGutter() {
    const count = lineCount();
    const parts = [];
    for (let n = 1; n <= count; n++) {
      if (errorLines.has(n)) parts.push(`<span class="error">${n}</span>`);
      else if (warningLines.has(n)) parts.push(`<span class="warning">${n}</span>`);
      else parts.push(String(n));
    }
    gutter.innerHTML = parts.join("\n") + "\n";
    shownLines = count;
    gutter.scrollTop = textarea.scrollTop;
  }

  // A column counts bytes of its line's UTF-8 form, which is what the page
  // hands the assemblers. The cursor goes after the characters whose bytes
  // fill at most column - 1 bytes: a column inside a character's bytes lands
  // before that character, one past the line's end at its end. The text
  // holds only LF line ends (a textarea turns CR LF and CR into LF), so its
  // lines are the assemblers' lines.
  function utf8Size(codePoint) {
    if (codePoint < 0x80) return 1;
    if (codePoint < 0x800) return 2;
    // A lone surrogate is encoded as U+FFFD, three bytes as well.
    return codePoint < 0x10000 ? 3 : 4;
  }

  function offsetOf(line, column) {
    const text = textarea.value;
    let start = 0;
    for (let n = 1; n < line; n++) {
      const end = text.indexOf("\n", start);
      if (end === -1) return text.length;
      start = end + 1;
    }
    let end = text.indexOf("\n", start);
    if (end === -1) end = text.length;
    let bytes = column - 1;
    let at = start;
    while (at < end) {
      const codePoint = text.codePointAt(at);
      const size = utf8Size(codePoint);
      if (size > bytes) break;
      bytes -= size;
      at += codePoint > 0xffff ? 2 : 1;
    }
    return at;
  }

  function lineHeight() {
    return parseFloat(getComputedStyle(textarea).lineHeight) || 20;
  }

  textarea.addEventListener("input", () => {
    if (lineCount() !== shownLines) renderGutter();
  });
  textarea.addEventListener("scroll", () => {
    gutter.scrollTop = textarea.scrollTop;
  });

  renderGutter();

  return {
    get text() { return textarea.value; },
    set text(value) {
      textarea.value = value;
      textarea.scrollTop = 0;
      renderGutter();
    },
    // Lines (from 1) that hold errors get a mark in the gutter; lines with
    // warnings but no error get a mark of their own.
    markLines(errors, warnings = []) {
      errorLines = new Set(errors);
      warningLines = new Set(warnings);
      renderGutter();
    },
    goTo(line, column) {
      const offset = offsetOf(line, column);
      textarea.focus();
      textarea.setSelectionRange(offset, offset);
      const wanted = (line - 1) * lineHeight() - textarea.clientHeight / 2;
      textarea.scrollTop = Math.max(0, wanted);
      gutter.scrollTop = textarea.scrollTop;
    },
  };
};
