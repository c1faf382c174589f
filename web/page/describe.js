// What the page says about a statement or line of the source model: its
// address, word and fields, and for a branch the target and its address;
// the same for the editor's hover and for a cell of the store's picture.
//   P.describe(reader, unitIndex, {label, address}) -> {node, text}
//     label    the label under the mouse, when it rests on one
//     address  the picture's cell, when that is not the unit's first word
//     node  the hover's content (an element); text the same in one line, for
//           the picture's caption and for assistive technology
//   P.hex(value, digits)
"use strict";
window.Playground = window.Playground || {};

(function () {
  const hex = (value, digits) => (value >>> 0).toString(16).toUpperCase().padStart(digits, "0");
  const binary = (value, digits) => value.toString(2).padStart(digits, "0");

  const classNames = ["plain", "labelled", "branch target", "IRA target", "IOP target", "IAB target"];
  const alignment = { 3: "address bits 3-2 zero", 4: "a multiple of 16", 5: "0 to 3 within 64 words" };

  function element(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // The 40-bit word as the guide groups it: LB RB, then AL to SQ, then TS EX LT.
  function controlWord(high, low) {
    const digits = hex(high & 0xff, 2) + hex(low, 8);
    return `${digits.slice(0, 2)} ${digits.slice(2, 6)} ${digits.slice(6)}`;
  }

  function head(parts) {
    const line = element("div", "hover-head");
    for (const [className, text] of parts) {
      if (text === undefined || text === "") continue;
      if (line.childNodes.length > 0) line.append(" ");
      line.append(element("span", className, text));
    }
    return line;
  }

  function fieldTable(rows) {
    const table = element("table", "hover-fields");
    const body = element("tbody");
    for (const cells of rows) {
      const tr = element("tr");
      cells.forEach((text, i) => tr.append(element(i === 0 ? "th" : "td", null, text)));
      body.append(tr);
    }
    table.append(body);
    return table;
  }

  function labelLine(reader, labelIndex) {
    const l = reader.label(labelIndex);
    if (!l.defined) return `label ${l.name}: never defined`;
    return l.address >= 0 ? `label ${l.name} at ${hex(l.address, reader.program === "ctrlforge" ? 3 : 4)}`
      : `label ${l.name}`;
  }

  function describeStatement(reader, s, { label: labelIndex }) {
    const node = element("div", "model-hover");
    const text = [];
    const name = s.label >= 0 ? reader.label(s.label).name : "";
    const where = s.address >= 0 ? hex(s.address, 3) : "not placed";
    node.append(head([["hover-address", where], ["hover-label", name], ["hover-kind", classNames[s.placementClass]]]));
    text.push(where, name, classNames[s.placementClass]);
    if (labelIndex !== undefined && labelIndex !== s.label) {
      node.append(element("div", "hover-note", labelLine(reader, labelIndex)));
    }
    if (alignment[s.placementClass]) {
      node.append(element("div", "hover-note", `address ${alignment[s.placementClass]}`));
    }
    if (s.packed) {
      const word = controlWord(s.wordHigh, s.wordLow);
      node.append(element("div", "hover-word", `word ${word}`));
      text.push(`word ${word}`);
      node.append(fieldTable(s.fields.map((f) => [f.name, `${f.high}-${f.low}`,
        binary(f.bits, f.high - f.low + 1), f.cell])));
      text.push(s.fields.map((f) => `${f.name}=${f.cell}`).join(" "));
    } else {
      const why = s.inError ? "an error stopped the reading of this statement"
        : s.address >= 0 ? "no word: the run stopped before its words were packed"
          : "no address: the run stopped before placement";
      node.append(element("div", "hover-note", why));
      text.push(why);
    }
    // The labels its clauses name: the branch's target, with its address.
    for (const use of reader.usesBy(s.index)) {
      const target = reader.label(use.label);
      const address = use.label === s.target && s.targetAddress >= 0 ? s.targetAddress : target.address;
      const at = !target.defined ? " (never defined)" : address >= 0 ? ` at ${hex(address, 3)}` : "";
      const branch = `${reader.clauses[use.clause]} ${target.name}${at}`;
      node.append(element("div", "hover-branch", branch));
      text.push(branch);
    }
    return { node, text: text.filter((part) => part !== "").join(", ") };
  }

  // An instruction's fields as the model holds them, with their bits in the
  // word; operation E words use modifier and register as one sub-code.
  function instructionFields(line) {
    const fields = [["operation", 15, 12, line.operation]];
    if (line.operation === 0xe) fields.push(["sub-code", 11, 8, line.modifier * 4 + line.register]);
    else fields.push(["modifier", 11, 10, line.modifier], ["register", 9, 8, line.register]);
    fields.push(["operand", 7, 0, line.operand]);
    return fields;
  }

  function describeLine(reader, line, { label: labelIndex, address }) {
    const node = element("div", "model-hover");
    const text = [];
    const name = line.label >= 0 ? reader.label(line.label).name : "";
    const where = line.address >= 0 ? hex(line.address, 4) : "";
    const what = line.kind === 0 ? `instruction ${line.mnemonic.toUpperCase()}`
      : line.kind === 1 ? line.mnemonic.toUpperCase()
        : line.kind === 3 ? `error line (${line.flags.trim()})` : "comment";
    node.append(head([["hover-address", where], ["hover-label", name], ["hover-kind", what]]));
    text.push(where, name, what);
    if (labelIndex !== undefined && labelIndex !== line.label) {
      node.append(element("div", "hover-note", labelLine(reader, labelIndex)));
    }
    const words = line.wordList;
    if (words.length === 1) {
      const word = `word ${hex(words[0].value, 4)}`;
      node.append(element("div", "hover-word", word));
      text.push(word);
    } else if (words.length > 1) {
      const span = `${words.length} words ${hex(words[0].address, 4)}-${hex(words[words.length - 1].address, 4)}`;
      node.append(element("div", "hover-word", span));
      text.push(span);
      const cell = words.find((word) => word.address === address);
      if (cell && address !== words[0].address) {
        const one = `word ${hex(cell.value, 4)} at ${hex(address, 4)}`;
        node.append(element("div", "hover-word", one));
        text.push(one);
      }
    }
    if (line.kind === 0 && words.length === 1) {
      const fields = instructionFields(line);
      node.append(fieldTable(fields.map(([field, high, low, bits]) =>
        [field, `${high}-${low}`, binary(bits, high - low + 1), hex(bits, high - low + 1 > 4 ? 2 : 1)])));
      text.push(fields.map(([field, , , bits]) => `${field}=${hex(bits, 1)}`).join(" "));
    }
    // The label its operand names (an instruction's, DC's, DS's or ORG's).
    if (line.operandLabel >= 0) {
      const operand = `operand ${labelLine(reader, line.operandLabel).replace(/^label /, "")}`;
      node.append(element("div", "hover-branch", operand));
      text.push(operand);
    }
    return { node, text: text.filter((part) => part !== "").join(", ") };
  }

  function describe(reader, index, options = {}) {
    const unit = reader.unit(index);
    return reader.program === "ctrlforge" ? describeStatement(reader, unit, options)
      : describeLine(reader, unit, options);
  }

  window.Playground.describe = describe;
  window.Playground.hex = hex;
})();
