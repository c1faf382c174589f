// The store as a picture, drawn from the run's source model on a canvas:
// ctrlforge's control store as 64 rows of 64 words, each word coloured by
// its placement class (free, plain, labelled, branch target, IRA, IOP and
// IAB target), the aligned blocks of IRA, IOP and IAB targets outlined and
// the words their branches pick underlined;
// wordforge's main memory as 256 rows of 256 words at one or two pixels a
// word (code, data, reserved, empty), with the 1,024 words around the
// pointer or the cursor drawn large below it. Resting on a word shows what
// the model knows of it (describe.js), in a tip and in the caption under
// the picture, which assistive technology reads; choosing a word (click,
// or Enter on the focused picture, whose arrow keys move from word to word)
// selects its statement or line in the editor; the cursor's statement or
// line is ringed.
//   P.createPicture(parts, {onPick}) -> picture
//     parts: {title, note, legend, frame, store, detail, tip, caption}
//     onPick(unitIndex) a word of a statement or line was chosen
//     picture.show(reader)        the run's model (source_model.js); null clears
//     picture.highlight(unit)     the cursor's statement or line, -1 for none
//     picture.cellPoint(address, grid?)  where a word is drawn: {x, y} in the
//                                 page's client coordinates ("store" the
//                                 main picture, "detail" the large words);
//     picture.cellRect(address, grid?)   its square: {left, top, size}
//     picture.kinds()             each word's kind, as names (tests)
//     picture.colourOf(kind)      the colour a kind is drawn in
"use strict";
window.Playground = window.Playground || {};

window.Playground.createPicture = function createPicture(parts, { onPick = () => {} } = {}) {
  const P = window.Playground;
  const store = parts.store;
  const detail = parts.detail;
  let reader = null;
  let cursorUnit = -1;
  let hovered = null;   // {grid, address}
  let focused = -1;     // the address the keyboard is on
  let windowStart = 0;  // wordforge: the first of the large words
  let colours = null;
  const grids = { store: null, detail: null };
  const bases = { store: document.createElement("canvas"), detail: document.createElement("canvas") };

  const kindTitles = {
    free: "free", plain: "plain", labelled: "labelled", branch: "branch target", ira: "IRA target",
    iop: "IOP target", iab: "IAB target", empty: "empty", code: "code", data: "data (DC)", reserved: "reserved (DS)",
  };
  const blockTitles = { iop: "IOP table: 16 words", ira: "IRA table: 4 words in 16", iab: "IAB table: 4 words in 64" };

  // The page's colours for the kinds, read from the style sheet (light or dark).
  function readColours() {
    const style = getComputedStyle(parts.frame);
    const get = (name) => style.getPropertyValue(name).trim();
    const probe = document.createElement("canvas").getContext("2d", { willReadFrequently: true });
    const rgba = (colour) => {
      probe.clearRect(0, 0, 1, 1);
      probe.fillStyle = colour;
      probe.fillRect(0, 0, 1, 1);
      return probe.getImageData(0, 0, 1, 1).data;
    };
    const kinds = {};
    for (const name of Object.keys(kindTitles)) kinds[name] = get(`--pic-${name}`);
    const packed = {};
    for (const [name, colour] of Object.entries(kinds)) {
      const [r, g, b, a] = rgba(colour);
      packed[name] = (a << 24) | (b << 16) | (g << 8) | r;
    }
    return { kinds, packed, background: get("--panel"), text: get("--muted"), cursor: get("--pic-cursor"),
             hover: get("--pic-hover") };
  }

  // Where a grid's words go: `columns` words a row from `first`, cells of
  // `cell` CSS pixels after a gutter of row addresses.
  function layout(canvas, { first, columns, rows, cell, left, top, labelEvery, digits }) {
    const ratio = window.devicePixelRatio || 1;
    const width = left + columns * cell;
    const height = top + rows * cell;
    // Setting a canvas's size clears it and costs a new bitmap, even at the
    // same size: done only when the size changes.
    if (canvas.width !== Math.round(width * ratio) || canvas.height !== Math.round(height * ratio)) {
      canvas.style.width = `${width}px`;
      canvas.style.height = `${height}px`;
      canvas.width = Math.round(width * ratio);
      canvas.height = Math.round(height * ratio);
    }
    return { canvas, first, columns, rows, cell, left, top, labelEvery, digits, ratio, width, height };
  }

  function cellBox(grid, address) {
    const at = address - grid.first;
    return { x: grid.left + (at % grid.columns) * grid.cell, y: grid.top + Math.floor(at / grid.columns) * grid.cell };
  }

  function addressAt(grid, x, y) {
    const column = Math.floor((x - grid.left) / grid.cell);
    const line = Math.floor((y - grid.top) / grid.cell);
    if (column < 0 || line < 0 || column >= grid.columns || line >= grid.rows) return -1;
    return grid.first + line * grid.columns + column;
  }

  function drawLabels(context, grid) {
    context.fillStyle = colours.text;
    context.font = "10px ui-monospace, 'DejaVu Sans Mono', monospace";
    context.textBaseline = "middle";
    context.textAlign = "right";
    for (let line = 0; line < grid.rows; line += grid.labelEvery) {
      const address = grid.first + line * grid.columns;
      context.fillText(P.hex(address, grid.digits), grid.left - 4, grid.top + line * grid.cell + grid.cell / 2);
    }
    context.textAlign = "left";
    context.textBaseline = "alphabetic";
    const step = grid.columns / 4;
    for (let column = 0; column < grid.columns; column += step) {
      context.fillText(`+${P.hex(column, column > 255 ? 3 : 2)}`, grid.left + column * grid.cell, grid.top - 3);
    }
  }

  // Each word a square, with a one-pixel gap where the cells are large
  // enough; or, at one or two pixels a word, the words as an image.
  function drawWords(context, grid) {
    const names = reader.kindNames;
    if (grid.cell >= 4) {
      const gap = grid.cell >= 5 ? 1 : 0;
      const last = grid.first + grid.columns * grid.rows;
      // A kind at a time: setting a colour costs more than a square.
      names.forEach((name, kind) => {
        context.fillStyle = colours.kinds[name];
        for (let at = grid.first; at < last; at++) {
          if (reader.kinds[at] !== kind) continue;
          const { x, y } = cellBox(grid, at);
          context.fillRect(x, y, grid.cell - gap, grid.cell - gap);
        }
      });
      return;
    }
    const image = new ImageData(grid.columns, grid.rows);
    const pixels = new Uint32Array(image.data.buffer);
    const packed = names.map((name) => colours.packed[name]);
    for (let i = 0; i < pixels.length; i++) pixels[i] = packed[reader.kinds[grid.first + i]];
    const words = document.createElement("canvas");
    words.width = grid.columns;
    words.height = grid.rows;
    words.getContext("2d").putImageData(image, 0, 0);
    context.imageSmoothingEnabled = false;
    context.drawImage(words, grid.left, grid.top, grid.columns * grid.cell, grid.rows * grid.cell);
  }

  // Each table's block outlined, and the words its branch picks underlined,
  // in the colour of its target.
  function drawBlocks(context, grid) {
    // The outline runs in the gaps around the block's words (one pixel), so
    // that it hides no word's colour nor the underlines of the row above.
    context.lineWidth = 1;
    const last = grid.first + grid.columns * grid.rows;
    const gap = grid.cell >= 5 ? 1 : 0;
    for (const block of reader.blocks) {
      if (block.start + block.length <= grid.first || block.start >= last) continue;
      const { x, y } = cellBox(grid, block.start);
      context.strokeStyle = colours.kinds[block.kind];
      context.strokeRect(x - 0.5, y - 0.5, block.length * grid.cell, grid.cell);
      context.fillStyle = colours.kinds[block.kind];
      for (const entry of block.entries) {
        const at = cellBox(grid, entry);
        context.fillRect(at.x, at.y + grid.cell - gap - 2, grid.cell - gap, 2);
      }
    }
  }

  function drawBase(name) {
    const grid = grids[name];
    const base = bases[name];
    if (base.width !== grid.canvas.width || base.height !== grid.canvas.height) {
      base.width = grid.canvas.width;
      base.height = grid.canvas.height;
    }
    const context = base.getContext("2d");
    context.setTransform(grid.ratio, 0, 0, grid.ratio, 0, 0);
    context.fillStyle = colours.background;
    context.fillRect(0, 0, grid.width, grid.height);
    drawLabels(context, grid);
    drawWords(context, grid);
    drawBlocks(context, grid);
  }

  function ring(context, grid, address, colour, width) {
    if (address < grid.first || address >= grid.first + grid.columns * grid.rows) return;
    const { x, y } = cellBox(grid, address);
    const size = Math.max(grid.cell, 3);
    context.strokeStyle = colour;
    context.lineWidth = width;
    context.strokeRect(x - width / 2 - 0.5, y - width / 2 - 0.5, size + width, size + width);
  }

  // The words of the cursor's statement or line (at most a picture's worth).
  function cursorWords() {
    if (!reader || cursorUnit < 0) return [];
    const unit = reader.unit(cursorUnit);
    if (reader.program === "ctrlforge") return unit.address >= 0 ? [unit.address] : [];
    return unit.wordList.slice(0, 4096).map((word) => word.address);
  }

  function drawOver(name) {
    const grid = grids[name];
    if (!grid) return;
    const context = grid.canvas.getContext("2d");
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.drawImage(bases[name], 0, 0);
    context.setTransform(grid.ratio, 0, 0, grid.ratio, 0, 0);
    for (const address of cursorWords()) ring(context, grid, address, colours.cursor, 2);
    if (name === "store" && reader.program === "wordforge") {
      // Where the large words below are.
      const { x, y } = cellBox(grid, windowStart);
      context.strokeStyle = colours.hover;
      context.lineWidth = 1;
      context.strokeRect(x - 0.5, y - 0.5, grid.columns * grid.cell + 1, (1024 / grid.columns) * grid.cell + 1);
    }
    if (hovered && hovered.grid === name) ring(context, grid, hovered.address, colours.hover, 2);
    if (focused >= 0 && document.activeElement === grid.canvas) ring(context, grid, focused, colours.hover, 2);
  }

  function redraw() {
    drawOver("store");
    if (grids.detail) drawOver("detail");
  }

  // The frame's width, as the resize observer last saw it: reading it from
  // the page at each run would make the browser lay the page out anew
  // there and then, after the run's other views changed it.
  let frameWidth = 0;
  function availableWidth() {
    if (frameWidth === 0) frameWidth = parts.frame.clientWidth;
    return Math.max(260, frameWidth || 260);
  }

  function build() {
    const width = availableWidth();
    colours = colours || readColours();
    if (reader.program === "ctrlforge") {
      const left = 30;
      const cell = Math.max(4, Math.min(8, Math.floor((width - left) / 64)));
      grids.store = layout(store, { first: 0, columns: 64, rows: 64, cell, left, top: 14, labelEvery: 8, digits: 3 });
      grids.detail = null;
      detail.hidden = true;
    } else {
      const left = 36;
      const cell = width - left >= 512 ? 2 : 1;
      grids.store = layout(store, { first: 0, columns: 256, rows: 256, cell, left, top: 14, labelEvery: 32, digits: 4 });
      const large = Math.max(4, Math.min(8, Math.floor((width - left) / 64)));
      grids.detail = layout(detail, { first: windowStart, columns: 64, rows: 16, cell: large, left, top: 14,
                                      labelEvery: 4, digits: 4 });
      detail.hidden = false;
      drawBase("detail");
    }
    drawBase("store");
    redraw();
  }

  function plural(n, word) {
    return `${n.toLocaleString("en")} ${word}`;
  }

  function summary() {
    const names = reader.kindNames;
    const used = reader.size - reader.counts[0];
    const parts = names.slice(1).map((name, i) => plural(reader.counts[i + 1], kindTitles[name]));
    const blocks = reader.blocks.length > 0 ? `; ${plural(reader.blocks.length, "aligned tables")}` : "";
    return `${used.toLocaleString("en")} of ${reader.size.toLocaleString("en")} words used: ${parts.join(", ")}${blocks}.`;
  }

  function showLegend() {
    const items = reader.kindNames.map((name, i) => {
      const item = document.createElement("span");
      item.className = "legend-item";
      item.dataset.kind = name;
      const swatch = document.createElement("span");
      swatch.className = "swatch";
      swatch.style.background = `var(--pic-${name})`;
      item.append(swatch, ` ${kindTitles[name]} ${reader.counts[i].toLocaleString("en")}`);
      return item;
    });
    if (reader.program === "ctrlforge") {
      for (const [kind, title] of Object.entries(blockTitles)) {
        const item = document.createElement("span");
        item.className = "legend-item";
        const swatch = document.createElement("span");
        swatch.className = "swatch outline";
        swatch.style.borderColor = `var(--pic-${kind})`;
        swatch.style.borderBottomWidth = "4px";
        item.append(swatch, ` ${title}`);
        items.push(item);
      }
    }
    parts.legend.replaceChildren(...items);
  }

  function describeAddress(address) {
    const unit = reader.cells[address];
    const digits = reader.program === "ctrlforge" ? 3 : 4;
    if (unit < 0) {
      const text = `${P.hex(address, digits)} ${reader.kindNames[0]}`;
      const node = document.createElement("div");
      node.className = "model-hover";
      node.textContent = text;
      return { node, text };
    }
    return P.describe(reader, unit, { address });
  }

  function showTip(address, x, y) {
    const shown = describeAddress(address);
    parts.caption.textContent = shown.text;
    parts.tip.replaceChildren(shown.node);
    parts.tip.hidden = false;
    // Beside the pointer, inside the frame where there is room.
    const frame = parts.frame.getBoundingClientRect();
    const tip = parts.tip.getBoundingClientRect();
    let left = x - frame.left + 14;
    if (left + tip.width > frame.width) left = Math.max(0, x - frame.left - tip.width - 14);
    parts.tip.style.left = `${left}px`;
    parts.tip.style.top = `${Math.max(0, y - frame.top + 14)}px`;
  }

  function hideTip() {
    parts.tip.hidden = true;
    if (reader) parts.caption.textContent = summary();
  }

  function setWindow(address) {
    const start = address - (address % 1024);
    if (start === windowStart || !grids.detail) return;
    windowStart = start;
    grids.detail.first = start;
    parts.note.textContent = note();
    drawBase("detail");
    drawOver("detail");
  }

  function note() {
    if (reader.program === "ctrlforge") return "64 words a row; rest on a word for its fields, choose it to find its statement.";
    return `256 words a row at ${grids.store ? grids.store.cell : 1} px a word; below, the 1,024 words from ` +
      `${P.hex(windowStart, 4)}, drawn large. Rest on a word for its fields, choose it to find its line.`;
  }

  function pointed(name, event) {
    const grid = grids[name];
    if (!reader || !grid) return -1;
    const box = grid.canvas.getBoundingClientRect();
    return addressAt(grid, event.clientX - box.left, event.clientY - box.top);
  }

  function listen(name, canvas) {
    canvas.addEventListener("mousemove", (event) => {
      const address = pointed(name, event);
      if (address < 0) {
        hovered = null;
        hideTip();
        redraw();
        return;
      }
      if (!hovered || hovered.address !== address || hovered.grid !== name) {
        hovered = { grid: name, address };
        if (name === "store" && reader.program === "wordforge") setWindow(address);
        redraw();
      }
      showTip(address, event.clientX, event.clientY);
    });
    canvas.addEventListener("mouseleave", () => {
      hovered = null;
      hideTip();
      redraw();
    });
    canvas.addEventListener("click", (event) => {
      const address = pointed(name, event);
      if (address < 0) return;
      focused = address;
      pick(address);
    });
    canvas.addEventListener("focus", () => {
      if (!reader) return;
      if (focused < 0) focused = grids[name].first;
      parts.caption.textContent = describeAddress(focused).text;
      redraw();
    });
    canvas.addEventListener("blur", () => redraw());
    canvas.addEventListener("keydown", (event) => {
      const grid = grids[name];
      if (!reader || !grid) return;
      const step = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -grid.columns, ArrowDown: grid.columns }[event.key];
      if (step !== undefined) {
        event.preventDefault();
        // A move off the grid's edge stays on the word.
        const from = focused < grid.first || focused >= grid.first + grid.columns * grid.rows ? grid.first : focused;
        const to = from + step;
        const sameRow = Math.abs(step) !== 1 || Math.floor((to - grid.first) / grid.columns) === Math.floor((from - grid.first) / grid.columns);
        focused = to >= grid.first && to < grid.first + grid.columns * grid.rows && sameRow ? to : from;
        parts.caption.textContent = describeAddress(focused).text;
        redraw();
      } else if ((event.key === "Enter" || event.key === " ") && focused >= 0) {
        event.preventDefault();
        pick(focused);
      } else if (event.key === "Escape") {
        hideTip();
      }
    });
  }

  function pick(address) {
    const unit = reader ? reader.cells[address] : -1;
    parts.caption.textContent = describeAddress(address).text;
    if (unit >= 0) onPick(unit, address);
  }

  listen("store", store);
  listen("detail", detail);

  function show(next) {
    reader = next;
    hovered = null;
    parts.tip.hidden = true;
    if (!reader) {
      clear();
      return;
    }
    if (reader.program === "ctrlforge") windowStart = 0;
    cursorUnit = Math.min(cursorUnit, reader.count - 1);
    focused = Math.min(focused, reader.size - 1);
    parts.title.textContent = reader.program === "ctrlforge" ? "Control store" : "Main memory";
    parts.frame.hidden = false;
    build();
    parts.note.textContent = note();
    showLegend();
    const text = summary();
    parts.caption.textContent = text;
    store.setAttribute("aria-label", `${parts.title.textContent}: ${text}`);
    store.dataset.used = String(reader.size - reader.counts[0]);
    store.dataset.program = reader.program;
  }

  function clear() {
    reader = null;
    parts.frame.hidden = true;
    parts.legend.replaceChildren();
    parts.caption.textContent = "";
    parts.note.textContent = "";
  }

  function highlight(unit) {
    if (unit === cursorUnit) return;
    cursorUnit = unit;
    if (!reader) return;
    const words = cursorWords();
    if (reader.program === "wordforge" && words.length > 0 &&
        (words[0] < windowStart || words[0] >= windowStart + 1024)) setWindow(words[0]);
    redraw();
  }

  // The picture follows the window's width and the system's colours.
  new ResizeObserver((entries) => {
    const width = Math.round(entries[entries.length - 1].contentRect.width);
    if (width === 0 || width === frameWidth) return;
    frameWidth = width;
    if (!reader) return;
    build();
    parts.note.textContent = note();
  }).observe(parts.frame);
  window.matchMedia("(prefers-color-scheme: dark)").addEventListener("change", () => {
    colours = null;
    if (reader) build();
  });

  function cellRect(address, name = "store") {
    const grid = grids[name];
    const { x, y } = cellBox(grid, address);
    const box = grid.canvas.getBoundingClientRect();
    return { left: box.left + x, top: box.top + y, size: grid.cell };
  }

  // A whole pixel inside the word's square (pointer events count whole
  // pixels, and a square may be one pixel wide at a fractional place).
  function cellPoint(address, name = "store") {
    const { left, top, size } = cellRect(address, name);
    return { x: Math.ceil(left + size / 2 - 0.5), y: Math.ceil(top + size / 2 - 0.5) };
  }

  return {
    show,
    clear,
    highlight,
    cellPoint,
    cellRect,
    kinds: () => (reader ? Array.from(reader.kinds, (kind) => reader.kindNames[kind]) : []),
    colourOf: (kind) => (colours ? colours.kinds[kind] : ""),
    get cursorUnit() { return cursorUnit; },
    get windowStart() { return windowStart; },
  };
};
