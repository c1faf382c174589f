// The source editor: a plain textarea with a line-number gutter that marks
// lines holding errors, and moving the cursor to a line and column.
"use strict";
window.Playground = window.Playground || {};

window.Playground.createEditor = function createEditor(textarea, gutter) {
  let errorLines = new Set();
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
      parts.push(errorLines.has(n) ? `<span class="error">${n}</span>` : String(n));
    }
    gutter.innerHTML = parts.join("\n") + "\n";
    shownLines = count;
    gutter.scrollTop = textarea.scrollTop;
  }

  // Column counts bytes of the line's UTF-8 form, as the assemblers do.
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
    const bytes = new TextEncoder().encode(text.slice(start, end));
    const before = new TextDecoder().decode(bytes.subarray(0, Math.max(0, column - 1)));
    return start + Math.min(before.length, end - start);
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
    // Lines (from 1) that hold errors get a mark in the gutter.
    markErrors(lines) {
      errorLines = new Set(lines);
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
