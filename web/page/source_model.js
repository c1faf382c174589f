// The source model of a run (its tables as js_bindings.cpp describes them),
// read for the page's hover, its go-to-definition and its pictures of the
// store. Places are offsets into the text the run was given, in the
// editor's units.
//   P.readModel(model) -> reader, or null without a model
//     program, count      "ctrlforge" | "wordforge"; statements or lines
//     unit(i)             a statement (ctrlforge) or line (wordforge), decoded
//     unitAt(offset)      the unit whose text holds offset, or -1
//     label(i)            {index, name, defined, begin, end, address, uses}
//     labelAt(offset)     {label, begin, end} for a label's use or
//                         definition there, or null
//     usesBy(i)           the uses of labels by unit i, in source order
//     size, columns       the store's words and the picture's row width
//     cells               Int32Array(size): the unit at each address, or -1
//     kinds, kindNames    Uint8Array(size): each address's kind, as named
//     blocks              [{kind, start, length, target, entries}] the
//                         tables of IRA, IOP and IAB targets (ctrlforge):
//                         the aligned block and the words the branch picks
//     counts              words of each kind
"use strict";
window.Playground = window.Playground || {};

(function () {
  // A table's columns by name: index of column in a row.
  function columnsOf(table) {
    const at = {};
    table.columns.forEach((name, i) => { at[name] = i; });
    return { at, width: table.columns.length, rows: table.rows, count: table.rows.length / table.columns.length };
  }

  function row(table, i) {
    const out = {};
    const base = i * table.width;
    for (const [name, column] of Object.entries(table.at)) out[name] = table.rows[base + column];
    return out;
  }

  // The last row whose begin is at most `offset` (rows sorted by begin), or -1.
  function lastStartingBy(table, offset) {
    const begin = table.at.begin;
    let low = 0;
    let high = table.count - 1;
    let found = -1;
    while (low <= high) {
      const mid = (low + high) >> 1;
      if (table.rows[mid * table.width + begin] <= offset) {
        found = mid;
        low = mid + 1;
      } else {
        high = mid - 1;
      }
    }
    return found;
  }

  const ctrlKinds = ["free", "plain", "labelled", "branch", "ira", "iop", "iab"];
  const wordKinds = ["empty", "code", "data", "reserved"];
  // The tables of class 3 (IRA), 4 (IOP) and 5 (IAB) targets: the block
  // the alignment rule names, and in it the words the branch may pick. An
  // IOP word keeps bits 11-4 of its target: the 16 words from it. IRA and
  // IAB words keep bits 11-4 and 1-0: bits 3-2 pick one of four words, 4
  // apart, in the target's 16-word (IRA) or at the start of its 64-word
  // (IAB) block.
  const blockWords = { 3: 16, 4: 16, 5: 64 };
  const entryStep = { 3: 4, 4: 1, 5: 4 };

  function readModel(model) {
    if (!model) return null;
    const ctrl = model.program === "ctrlforge";
    const units = columnsOf(ctrl ? model.statements : model.lines);
    const labels = columnsOf(model.labels);
    const uses = columnsOf(model.uses);
    const names = model.labels.names.split("\n");
    const mnemonics = ctrl ? [] : model.mnemonics.split("\n");
    const size = ctrl ? 4096 : 65536;
    const cells = new Int32Array(size).fill(-1);
    const kinds = new Uint8Array(size);
    const counts = new Array(ctrl ? ctrlKinds.length : wordKinds.length).fill(0);
    const blocks = [];
    const address = units.at.address;

    if (ctrl) {
      const placement = units.at.placementClass;
      const seen = new Set();
      for (let i = 0; i < units.count; i++) {
        const at = units.rows[i * units.width + address];
        if (at < 0 || at >= size) continue;
        const kind = units.rows[i * units.width + placement] + 1;
        cells[at] = i;
        kinds[at] = kind;
        const length = blockWords[kind - 1];
        if (length && !seen.has(at)) {
          seen.add(at);
          const step = entryStep[kind - 1];
          const entries = [];
          for (let e = 0; e < (step === 1 ? 16 : 4); e++) entries.push(at + e * step);
          blocks.push({ kind: ctrlKinds[kind], start: at - (at % length), length, target: at, entries });
        }
      }
    } else {
      const kindColumn = units.at.kind;
      const first = units.at.firstWord;
      const wordCount = units.at.words;
      for (let i = 0; i < units.count; i++) {
        const base = i * units.width;
        const count = units.rows[base + wordCount];
        if (count === 0) continue;
        // Instructions are code; of the pseudo-instructions only DC and DS
        // give words: a constant, or reserved words.
        const lineKind = units.rows[base + kindColumn];
        const mnemonic = mnemonics[i].toUpperCase();
        const kind = lineKind === 0 ? 1 : mnemonic === "DS" ? 3 : 2;
        const from = units.rows[base + first];
        for (let w = from; w < from + count; w++) {
          const at = model.words[2 * w];
          cells[at] = i;
          kinds[at] = kind;
        }
      }
    }
    for (let at = 0; at < size; at++) counts[kinds[at]]++;

    // The spans that name a label, uses and definitions, sorted by begin;
    // made when first asked for.
    let spans = null;
    function labelSpans() {
      if (spans) return spans;
      const list = [];
      for (let i = 0; i < uses.count; i++) {
        const u = row(uses, i);
        list.push([u.begin, u.end, u.label]);
      }
      for (let i = 0; i < labels.count; i++) {
        const l = row(labels, i);
        if (l.defined) list.push([l.begin, l.end, i]);
      }
      list.sort((a, b) => a[0] - b[0]);
      spans = list;
      return spans;
    }

    function unit(i) {
      const u = row(units, i);
      u.index = i;
      if (ctrl) {
        u.inError = (u.flags & 1) !== 0;
        u.addressGiven = (u.flags & 2) !== 0;
        u.packed = (u.flags & 4) !== 0;
        u.fields = model.fields.map((field, f) => ({
          name: field.name,
          high: field.high,
          low: field.low,
          code: model.fieldCodes[i * 10 + f],
          bits: model.fieldBits[i * 10 + f],
          cell: model.cells.substr(i * 40 + f * 4, 4).trim(),
        }));
      } else {
        u.kindName = model.lineKinds[u.kind];
        u.mnemonic = mnemonics[i];
        u.flags = String.fromCharCode(u.flag1, u.flag2);
        u.wordList = [];
        for (let w = u.firstWord; w < u.firstWord + u.words; w++) {
          u.wordList.push({ address: model.words[2 * w], value: model.words[2 * w + 1] });
        }
      }
      return u;
    }

    function label(i) {
      const l = row(labels, i);
      l.index = i;
      l.name = names[i];
      l.defined = l.defined === 1;
      if (!ctrl) l.address = l.value;
      return l;
    }

    function unitAt(offset) {
      const i = lastStartingBy(units, offset);
      if (i === -1) return -1;
      return offset <= units.rows[i * units.width + units.at.end] ? i : -1;
    }

    function labelAt(offset) {
      const list = labelSpans();
      let low = 0;
      let high = list.length - 1;
      let found = -1;
      while (low <= high) {
        const mid = (low + high) >> 1;
        if (list[mid][0] <= offset) {
          found = mid;
          low = mid + 1;
        } else {
          high = mid - 1;
        }
      }
      if (found === -1 || offset > list[found][1]) return null;
      return { label: list[found][2], begin: list[found][0], end: list[found][1] };
    }

    // The labels each statement or line names, made when first asked for.
    let byUnit = null;
    function usesBy(index) {
      if (!byUnit) {
        byUnit = new Map();
        const unitColumn = ctrl ? "statement" : "line";
        for (let u = 0; u < uses.count; u++) {
          const use = row(uses, u);
          const at = use[unitColumn];
          if (!byUnit.has(at)) byUnit.set(at, []);
          byUnit.get(at).push(use);
        }
      }
      return byUnit.get(index) || [];
    }

    return {
      program: model.program,
      title: model.title,
      count: units.count,
      labelCount: labels.count,
      clauses: model.clauses || [],
      unit,
      unitAt,
      label,
      labelAt,
      usesBy,
      size,
      columns: ctrl ? 64 : 256,
      cells,
      kinds,
      kindNames: ctrl ? ctrlKinds : wordKinds,
      blocks,
      counts,
    };
  }

  window.Playground.readModel = readModel;
})();
