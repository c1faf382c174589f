// How an output file shows in its tab: text as text (line ends shown as line
// breaks), the ctrlforge map as a table with a column per field, a raw
// binary image as one word per row with its address. Downloads always hand
// out the file's own bytes; these views only read them.
"use strict";
window.Playground = window.Playground || {};

(function () {
  // A long text is shown a part at a time: the next part is added as the
  // view is scrolled near its end, up to lineLimit lines; the download
  // holds the rest.
  const partLines = 5000;
  const lineLimit = 100000;

  const hex = (value, digits) => value.toString(16).toUpperCase().padStart(digits, "0");

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // The offset after the `count`-th line end from `from`, or the text's end.
  function afterLines(text, from, count) {
    let at = from;
    for (let n = 0; n < count; n++) {
      const end = text.indexOf("\n", at);
      if (end === -1) return text.length;
      at = end + 1;
    }
    return at;
  }

  function linesIn(text, from) {
    let count = from < text.length && !text.endsWith("\n") ? 1 : 0;
    for (let at = text.indexOf("\n", from); at !== -1; at = text.indexOf("\n", at + 1)) count++;
    return count;
  }

  function textView(text, className = "text-view") {
    const pre = element("pre", className);
    let shownTo = afterLines(text, 0, partLines);
    let shownLines = partLines;
    pre.textContent = text.slice(0, shownTo);
    if (shownTo >= text.length) return pre;
    const box = element("div");
    // The note under the part shown: a button that shows the next part, as
    // scrolling near it does; at the limit, a note that the download has it all.
    const more = element("button", "view-note view-more");
    more.type = "button";
    box.append(pre, more);
    const observer = new IntersectionObserver((entries) => {
      if (entries.some((entry) => entry.isIntersecting)) showMore();
    }, { rootMargin: "400px" });
    const describe = () => {
      const rest = linesIn(text, shownTo).toLocaleString("en");
      if (shownLines < lineLimit) {
        more.textContent = `… ${rest} more lines`;
        return;
      }
      observer.disconnect();
      more.replaceWith(element("p", "view-note", `… and ${rest} more lines; the download holds the whole file.`));
    };
    function showMore() {
      const next = afterLines(text, shownTo, partLines);
      pre.append(text.slice(shownTo, next));
      shownTo = next;
      shownLines += partLines;
      if (shownTo < text.length) {
        describe();
        return;
      }
      observer.disconnect();
      more.remove();
    }
    more.addEventListener("click", showMore);
    describe();
    observer.observe(more);
    return box;
  }

  // The map's columns (1-based, inclusive), from its file format: the label,
  // the address, nine field cells and LT of four characters, and the label
  // the word branches to. Its second line names all but the last.
  const mapColumns = [
    { name: "LABEL", from: 1, to: 8, className: "label" },
    { name: "ADRS", from: 10, to: 13, className: "address" },
    ...["LB", "RB", "AL", "SH", "SB", "MM", "SQ", "TS", "EX", "LT"].map((name, i) => ({
      name, from: 14 + 4 * i, to: 17 + 4 * i, className: `field field-${name.toLowerCase()}`,
    })),
    { name: "TARGET", from: 54, to: 61, className: "label" },
  ];
  const mapLineLength = 61;

  // Cells of one map line, blanks trimmed; null when the line is not a word's line.
  function mapCells(line) {
    if (line.length !== mapLineLength) return null;
    return mapColumns.map((column) => line.slice(column.from - 1, column.to).trim());
  }

  // The map file's lines as a table: the title line above it, one row per
  // word. A line of another length (none is expected) spans the row whole.
  function mapView(bytes) {
    const text = new TextDecoder().decode(bytes);
    const lines = text.split("\r\n");
    if (lines[lines.length - 1] === "") lines.pop();
    const box = element("div", "map-view");
    box.append(element("p", "map-title", lines[0] ?? ""));
    const table = element("table", "map-table");
    const head = element("tr");
    for (const column of mapColumns) head.append(element("th", column.className, column.name));
    const thead = element("thead");
    thead.append(head);
    table.append(thead);
    const body = element("tbody");
    for (const line of lines.slice(2, 2 + lineLimit)) {
      const row = element("tr");
      const cells = mapCells(line);
      if (cells) {
        cells.forEach((cell, i) => row.append(element("td", mapColumns[i].className, cell)));
      } else {
        const cell = element("td", "odd-line", line);
        cell.colSpan = mapColumns.length;
        row.append(cell);
      }
      body.append(row);
    }
    table.append(body);
    box.append(table);
    return box;
  }

  // A raw binary image, a word of `wordBytes` bytes per row after its
  // address (a short last word shows what there is).
  function binView(bytes, wordBytes) {
    const words = Math.ceil(bytes.length / wordBytes);
    const digits = Math.max(3, hex(Math.max(0, words - 1), 1).length);
    const rows = [];
    for (let word = 0; word < words; word++) {
      const at = word * wordBytes;
      const row = Array.from(bytes.subarray(at, at + wordBytes), (byte) => hex(byte, 2));
      rows.push(`${hex(word, digits)}  ${row.join(" ")}`);
    }
    return textView(rows.join("\n"), "text-view bin-view");
  }

  // file: {kind, bytes, format?, wordBytes}
  function render(file) {
    if (file.format === "bin") return binView(file.bytes, file.wordBytes);
    if (file.kind === "map") return mapView(file.bytes);
    return textView(new TextDecoder().decode(file.bytes).replace(/\r\n/g, "\n"));
  }

  window.Playground.fileViews = { render, partLines, lineLimit, mapColumns };
})();
