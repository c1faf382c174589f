// The errors and warnings of a run, one entry each in the command line's
// form (NAME:LINE:COLUMN: SEVERITY: MESSAGE [TAG]), in the assembler's
// order. Choosing one puts the editor's cursor on its line and column; the
// gutter marks the lines that hold errors, and those holding only warnings
// in their own colour.
//   diagnostics: [{line, column, severity: "error" | "warning" | "note", tag, message}]
// A note adds to the diagnostic before it and is counted with neither.
"use strict";
window.Playground = window.Playground || {};

window.Playground.createDiagnostics = function createDiagnostics(list, emptyNote, count, editor) {
  function span(className, text) {
    const element = document.createElement("span");
    element.className = className;
    element.textContent = text;
    return element;
  }

  // The entry's text reads exactly as the command line's line does.
  function entry(name, d) {
    const button = document.createElement("button");
    button.type = "button";
    button.className = d.severity;
    button.dataset.line = d.line;
    button.dataset.column = d.column;
    button.append(span("where", `${name}:${d.line}:${d.column}:`), " ",
                  span("severity", `${d.severity}:`), ` ${d.message}`);
    if (d.tag) button.append(" ", span("tag", `[${d.tag}]`));
    button.addEventListener("click", () => editor.goTo(d.line, d.column));
    return button;
  }

  function plural(n, word) {
    return `${n} ${word}${n === 1 ? "" : "s"}`;
  }

  function show(name, diagnostics) {
    list.replaceChildren(...diagnostics.map((d) => {
      const item = document.createElement("li");
      item.append(entry(name, d));
      return item;
    }));
    const errors = diagnostics.filter((d) => d.severity === "error");
    const warnings = diagnostics.filter((d) => d.severity === "warning");
    emptyNote.hidden = diagnostics.length > 0;
    count.textContent = diagnostics.length > 0
      ? `${plural(errors.length, "error")}, ${plural(warnings.length, "warning")}`
      : "";
    editor.markLines(errors.map((d) => d.line), warnings.map((d) => d.line));
  }

  return { show };
};
