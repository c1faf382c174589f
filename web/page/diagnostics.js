// The errors and warnings of a run, one entry each in the command line's
// form (NAME:LINE:COLUMN: SEVERITY: MESSAGE [TAG]), in the assembler's
// order. Choosing one puts the editor's cursor on its line and column. A
// run may report any number of them; the list shows the first ones only
// (the worker hands back no more than P.diagnosticLimit) and says how many
// more there are.
//   show(name, diagnostics, counts)
//     diagnostics: [{line, column, severity: "error" | "warning" | "note", tag, message}]
//     counts: {errors, warnings, notes}, all of the run's; a note adds to
//       the diagnostic before it, and the heading counts it with neither
"use strict";
window.Playground = window.Playground || {};

// At most this many diagnostics are listed and marked in the editor.
window.Playground.diagnosticLimit = 2000;

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
    return `${n.toLocaleString("en")} ${word}${n === 1 ? "" : "s"}`;
  }

  function show(name, diagnostics, counts) {
    const shown = diagnostics.slice(0, window.Playground.diagnosticLimit);
    const total = counts.errors + counts.warnings + counts.notes;
    const items = document.createDocumentFragment();
    for (const d of shown) {
      const item = document.createElement("li");
      item.append(entry(name, d));
      items.append(item);
    }
    if (total > shown.length) {
      const more = document.createElement("li");
      more.className = "more";
      more.textContent = `… and ${(total - shown.length).toLocaleString("en")} more`;
      items.append(more);
    }
    list.replaceChildren(items);
    emptyNote.hidden = total > 0;
    count.textContent = total > 0 ? `${plural(counts.errors, "error")}, ${plural(counts.warnings, "warning")}` : "";
    editor.showDiagnostics(shown);
  }

  return { show };
};
