// The errors and warnings of a run, one line each in the command line's
// form (NAME:LINE:COLUMN: SEVERITY: MESSAGE [CODE]). Choosing one puts the
// editor's cursor on its line and column; the gutter marks error lines.
//   diagnostics: [{line, column, severity, code, message}]
"use strict";
window.Playground = window.Playground || {};

window.Playground.createDiagnostics = function createDiagnostics(list, emptyNote, editor) {
  function describe(name, d) {
    const code = d.code ? ` [${d.code}]` : "";
    return `${name}:${d.line}:${d.column}: ${d.severity}: ${d.message}${code}`;
  }

  function show(name, diagnostics) {
    list.replaceChildren();
    diagnostics.forEach((d) => {
      const item = document.createElement("li");
      const button = document.createElement("button");
      button.type = "button";
      button.className = d.severity === "warning" ? "warning" : "error";
      button.dataset.line = d.line;
      button.dataset.column = d.column;
      button.textContent = describe(name, d);
      button.addEventListener("click", () => editor.goTo(d.line, d.column));
      item.append(button);
      list.append(item);
    });
    emptyNote.hidden = diagnostics.length > 0;
    editor.markErrors(diagnostics.filter((d) => d.severity !== "warning").map((d) => d.line));
  }

  return { show };
};
