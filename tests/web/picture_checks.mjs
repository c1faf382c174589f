// The browser checks of what the page draws and says from the source model:
// the store's picture against the object file of the same run (a coloured
// cell for every word, each in its kind's colour, the aligned tables
// outlined), the hover on a statement or line against the object file's
// word and the field layout, choosing a cell selects its statement or line,
// the cursor's statement ringed in the picture, and Ctrl+click (Cmd+click,
// F12) on a label going to its definition, also while the text has changed
// since the run; and the same for wordforge's main memory.
import { assembleInPage, check, openPage, runCount, setState, waitForRun } from "./page_driver.mjs";

// The words of a ctrlforge object file (a "CM" line, then "AAA  WWWWWWWWWW"
// per word) or a wordforge one ("MM" line, then "AAAA  WWWW"): address ->
// the word's hexadecimal digits.
function objectWords(bytes) {
  const lines = bytes.toString("latin1").split("\r\n").filter((line) => line !== "");
  const words = new Map();
  for (const line of lines.slice(1)) {
    const match = /^([0-9A-F]{3,4})  ([0-9A-F]{4}|[0-9A-F]{10})$/.exec(line);
    if (!match) throw new Error(`not an object line: ${JSON.stringify(line)}`);
    words.set(parseInt(match[1], 16), match[2]);
  }
  return words;
}

function download(shown, name) {
  const file = shown.files.find((f) => f.name === name);
  if (!file) throw new Error(`the page offers no ${name}`);
  return file.bytes;
}

// Every statement class once, worked out by hand from the placement rules:
// ENTRY is branched to by GOTO (branch target) at 000; the two unlabelled
// words follow the given 0D; SPARE is labelled and named by no clause, at
// 00F. IRTAB, target of IRA, goes to the next 16-word block keeping the low
// two bits of the next free address 010: 020. OPTAB, target of IOP, to the
// next multiple of 16 after 021: 030. ABTAB, target of IAB, to the next
// multiple of 64 after 031: 040. IRHIGH, an IRA target, at its given 843
// ((843 div 4) mod 4 = 0).
export const kindsSource = [
  ".TITLE KINDS", "* ENTRY:", "IOP OPTAB", "R0 := R1", "* 0D", "IRA IRTAB", "*", "IAB ABTAB", "WRITE",
  "* SPARE:", "R2 := R3", "* IRTAB:", "R2 := R3", "* OPTAB:", "READ", "* ABTAB:", "IRA IRHIGH",
  "* IRHIGH: 843", "GOTO ENTRY", ".END", "",
].join("\n");
const kindsExpected = new Map([
  [0x000, "branch"], [0x00d, "plain"], [0x00e, "plain"], [0x00f, "labelled"], [0x020, "ira"], [0x030, "iop"],
  [0x040, "iab"], [0x843, "ira"],
]);
// The tables of the aligned targets: the 16-word blocks at 020 (IRA), 030
// (IOP) and 840 (IRA), and the 64-word block at 040 (IAB); in them the
// words the branches pick: every word of the IOP block, and for IRA and IAB
// the target and the three words 4, 8 and 12 after it (bits 3-2).
const blocksExpected = [[0x020, "ira"], [0x030, "iop"], [0x040, "iab"], [0x840, "ira"]];
const entriesExpected = [[0x020, "ira"], [0x024, "ira"], [0x028, "ira"], [0x02c, "ira"], [0x030, "iop"],
  [0x037, "iop"], [0x03f, "iop"], [0x040, "iab"], [0x04c, "iab"], [0x843, "ira"], [0x84f, "ira"]];
const notEntries = [0x021, 0x025, 0x041, 0x050, 0x840];

// The ten fields of a control word, bits high..low, from the object format.
const fieldBits = [["LB", 39, 36], ["RB", 35, 32], ["AL", 31, 29], ["SH", 28, 26], ["SB", 25, 22],
  ["MM", 21, 20], ["SQ", 19, 16], ["TS", 15, 13], ["EX", 12, 9], ["LT", 8, 0]];

function bitsOf(wordHex, high, low) {
  const word = BigInt(`0x${wordHex}`);
  const value = (word >> BigInt(low)) & ((1n << BigInt(high - low + 1)) - 1n);
  return value.toString(2).padStart(high - low + 1, "0");
}

// The pixel at a word's centre on the picture's canvas (with `gap`, in the
// gap just left of it; with `bottom`, in its lowest row but one) and the
// colour its kind is drawn in, both as [r, g, b, a].
function pixels(page, address, kind, { grid = "store", gap = false, bottom = false } = {}) {
  return page.evaluate((a, k, g, leftGap, lowest) => {
    const picture = window.Playground.page.picture;
    const canvas = document.getElementById(g === "store" ? "picture" : "picture-detail");
    const box = canvas.getBoundingClientRect();
    const cell = picture.cellRect(a, g);
    const ratio = canvas.width / box.width;
    const x = leftGap ? Math.floor((cell.left - box.left - 1) * ratio) : Math.floor((cell.left - box.left + cell.size / 2) * ratio);
    const y = Math.floor((cell.top - box.top + (lowest ? cell.size - 2 : cell.size / 2)) * ratio);
    const seen = Array.from(canvas.getContext("2d").getImageData(x, y, 1, 1).data);
    const probe = document.createElement("canvas").getContext("2d");
    probe.fillStyle = picture.colourOf(k);
    probe.fillRect(0, 0, 1, 1);
    return { seen, wanted: Array.from(probe.getImageData(0, 0, 1, 1).data) };
  }, address, kind, grid, gap, bottom);
}

// What the picture shows: each word's kind, and the addresses not free.
async function pictureKinds(page) {
  const kinds = await page.evaluate(() => window.Playground.page.picture.kinds());
  const used = new Map();
  kinds.forEach((kind, address) => {
    if (kind !== "free" && kind !== "empty") used.set(address, kind);
  });
  return { kinds, used };
}

// The editor's hover at offset `at` of the text.
async function editorHover(page, at) {
  await page.mouse.move(1, 1);
  await page.waitForFunction(() => !document.querySelector(".cm-tooltip-hover .model-hover"), { timeout: 3000 });
  const point = await page.evaluate((offset) => {
    const box = window.Playground.page.editor.view.coordsAtPos(offset, 1);
    return { x: box.left + 3, y: (box.top + box.bottom) / 2 };
  }, at);
  await page.mouse.move(point.x, point.y);
  await page.waitForSelector(".cm-tooltip-hover .model-hover", { timeout: 5000 });
  return page.$eval(".cm-tooltip-hover .model-hover", (tip) => ({
    head: tip.querySelector(".hover-head").textContent,
    word: tip.querySelector(".hover-word")?.textContent ?? "",
    fields: [...tip.querySelectorAll(".hover-fields tr")].map((tr) => [...tr.children].map((td) => td.textContent)),
    branch: tip.querySelector(".hover-branch")?.textContent ?? "",
    text: tip.textContent,
  }));
}

// Puts the editor's cursor at `at`, scrolled into view.
function cursorTo(page, at) {
  return page.evaluate((offset) => {
    const view = window.Playground.page.editor.view;
    view.dispatch({ selection: { anchor: offset }, scrollIntoView: true });
  }, at);
}

function selectionText(page) {
  return page.evaluate(() => {
    const { from, to } = window.Playground.page.editor.selection;
    return { from, to, text: window.Playground.page.editor.text.slice(from, to) };
  });
}

// The control store's picture against the object file: one coloured cell
// per object line, none elsewhere; each in the colour of its statement's
// class, as worked out above; the tables' blocks outlined in their colour.
async function storePicture(page, label) {
  const shown = await assembleInPage(page, { program: "ctrlforge", name: "KINDS.MIC", letters: "SOM", text: kindsSource });
  const words = objectWords(download(shown, "KINDS.MIC.o"));
  const { kinds, used } = await pictureKinds(page);
  check(kinds.length === 4096, `${label} store picture: ${kinds.length} cells`);
  check(used.size === words.size && [...words.keys()].every((address) => used.has(address)),
        `${label} store picture: coloured cells ${JSON.stringify([...used.keys()])}, object words ${JSON.stringify([...words.keys()])}`);
  check(JSON.stringify([...used]) === JSON.stringify([...kindsExpected]),
        `${label} store picture: kinds ${JSON.stringify([...used])}`);
  for (const [address, kind] of [...kindsExpected, [0x100, "free"], [0xfff, "free"]]) {
    const { seen, wanted } = await pixels(page, address, kind);
    check(JSON.stringify(seen) === JSON.stringify(wanted),
          `${label} store picture: the cell at ${address.toString(16)} is drawn ${seen}, ${kind} is ${wanted}`);
  }
  // A block's outline runs in the gap just left of its first word.
  for (const [address, kind] of blocksExpected) {
    const { seen, wanted } = await pixels(page, address, kind, { gap: true });
    check(JSON.stringify(seen) === JSON.stringify(wanted),
          `${label} store picture: the ${kind} block at ${address.toString(16)} is outlined ${seen}, not ${wanted}`);
  }
  // The words a branch picks are underlined in its table's colour; the
  // others keep their own.
  for (const [address, kind] of entriesExpected) {
    const { seen, wanted } = await pixels(page, address, kind, { bottom: true });
    check(JSON.stringify(seen) === JSON.stringify(wanted),
          `${label} store picture: the ${kind} entry ${address.toString(16)} is underlined ${seen}, not ${wanted}`);
  }
  for (const address of notEntries) {
    const kind = used.get(address) ?? "free";
    const { seen, wanted } = await pixels(page, address, kind, { bottom: true });
    check(JSON.stringify(seen) === JSON.stringify(wanted),
          `${label} store picture: ${address.toString(16)}, no entry, has ${seen} in its lowest rows, not ${kind} ${wanted}`);
  }
  const summary = await page.evaluate(() => ({
    label: document.getElementById("picture").getAttribute("aria-label"),
    used: document.getElementById("picture").dataset.used,
  }));
  check(summary.used === "8" && summary.label.startsWith("Control store: 8 of 4,096 words used: 2 plain, 1 labelled, " +
        "1 branch target, 2 IRA target, 1 IOP target, 1 IAB target"),
        `${label} store picture: it is described as ${JSON.stringify(summary)}`);
  return words;
}

// The hover of each statement: its address and word as the object file
// holds them, each field's bits as they stand in that word.
async function statementHovers(page, words, label) {
  const text = kindsSource;
  let hovered = 0;
  for (let at = text.indexOf("*"); at !== -1; at = text.indexOf("\n*", at + 1)) {
    const star = text[at] === "*" ? at : at + 1;
    const hover = await editorHover(page, star);
    const address = parseInt(hover.head.slice(0, 3), 16);
    const word = hover.word.replace(/^word /, "").replace(/ /g, "");
    check(words.get(address) === word, `${label} hover at ${star}: ${hover.head} word ${word}, the object file ${words.get(address)}`);
    const fields = hover.fields.map(([name, bits, value]) => [name, bits, value]);
    const expected = fieldBits.map(([name, high, low]) => [name, `${high}-${low}`, bitsOf(words.get(address) ?? "0", high, low)]);
    check(JSON.stringify(fields) === JSON.stringify(expected), `${label} hover at ${star}: fields ${JSON.stringify(fields)}`);
    hovered++;
  }
  check(hovered === 8, `${label} hover: ${hovered} statements hovered`);
  // The IOP statement: SQ IOP, LT the target 030 divided by 16 (format);
  // it branches to OPTAB at 030.
  const iop = await editorHover(page, text.indexOf("IOP"));
  check(iop.fields[6]?.[3] === "IOP" && iop.fields[9]?.[3] === "003" && iop.branch === "IOP OPTAB at 030" &&
        iop.head.startsWith("000 ENTRY branch target"),
        `${label} hover of IOP OPTAB: ${JSON.stringify(iop)}`);
  // On the label it names, the hover says where that label is.
  const onLabel = await editorHover(page, text.indexOf("IRHIGH"));
  check(onLabel.text.includes("label IRHIGH at 843"), `${label} hover on IRHIGH: ${JSON.stringify(onLabel.text)}`);
  await page.mouse.move(1, 1);
}

// Resting on a cell shows its address, label, word and fields in the tip
// and the caption; choosing it selects its statement in the editor; the
// cursor's statement is ringed. The keyboard moves from word to word.
async function cellChoice(page, words, label) {
  const point = await page.evaluate(() => window.Playground.page.picture.cellPoint(0x030));
  await page.mouse.move(point.x, point.y);
  await page.waitForFunction(() => !document.getElementById("picture-tip").hidden, { timeout: 3000 });
  const tip = await page.evaluate(() => ({
    tip: document.getElementById("picture-tip").textContent,
    caption: document.getElementById("picture-caption").textContent,
  }));
  const word = words.get(0x030);
  const grouped = `${word.slice(0, 2)} ${word.slice(2, 6)} ${word.slice(6)}`;
  check(tip.tip.startsWith("030 OPTAB IOP target") && tip.tip.includes(`word ${grouped}`) && tip.tip.includes("SQ19-161111NSQ") &&
        tip.caption.startsWith(`030, OPTAB, IOP target, word ${grouped}, LB=NLB`),
        `${label} cell tip: ${JSON.stringify(tip)}`);
  await page.mouse.click(point.x, point.y);
  const chosen = await selectionText(page);
  check(chosen.text === "* OPTAB:\nREAD", `${label} cell click: the editor chose ${JSON.stringify(chosen)}`);
  const ringed = await page.evaluate(() => window.Playground.page.picture.cursorUnit);
  check(ringed === 5, `${label} cell click: the picture rings statement ${ringed}, not 5`);
  // The cursor moved by hand into the IAB statement: that statement is ringed.
  await cursorTo(page, kindsSource.indexOf("IAB ABTAB"));
  const moved = await page.evaluate(() => window.Playground.page.picture.cursorUnit);
  check(moved === 2, `${label} cursor: the picture rings statement ${moved}, not 2`);
  // Keyboard: the picture focused on the word chosen last (030); a row
  // down is 070, free; up past the top stays; 33 words left is SPARE at 00F.
  await page.focus("#picture");
  const caption = () => page.$eval("#picture-caption", (p) => p.textContent);
  let read = await caption();
  check(read.startsWith("030, OPTAB"), `${label} keys: the focused picture's caption reads ${JSON.stringify(read)}`);
  await page.keyboard.press("ArrowDown");
  read = await caption();
  check(read === "070 free", `${label} keys: one row down the caption reads ${JSON.stringify(read)}`);
  await page.keyboard.press("ArrowUp");
  await page.keyboard.press("ArrowUp");
  read = await caption();
  check(read.startsWith("030, OPTAB"), `${label} keys: up past the top the caption reads ${JSON.stringify(read)}`);
  for (let i = 0; i < 33; i++) await page.keyboard.press("ArrowLeft");
  read = await caption();
  check(read.startsWith("00F, SPARE, labelled"), `${label} keys: 33 words left the caption reads ${JSON.stringify(read)}`);
  await page.keyboard.press("Enter");
  const entered = await selectionText(page);
  check(entered.text === "* SPARE:\nR2 := R3", `${label} keys: Enter chose ${JSON.stringify(entered)}`);
  await page.mouse.move(1, 1);
}

// Ctrl+click, Cmd+click and F12 on a label's use put the cursor on its
// definition; also after an edit whose run has not landed yet, through the
// edit's changes.
async function definitions(page, label) {
  const text = kindsSource;
  const clickWith = async (key, at) => {
    const point = await page.evaluate((offset) => {
      const view = window.Playground.page.editor.view;
      const box = view.coordsAtPos(offset, 1);
      return { x: box.left + 2, y: (box.top + box.bottom) / 2 };
    }, at);
    if (key) await page.keyboard.down(key);
    await page.mouse.click(point.x, point.y);
    if (key) await page.keyboard.up(key);
    return selectionText(page);
  };
  const optab = await clickWith("Control", text.indexOf("OPTAB") + 2);
  const definition = text.indexOf("* OPTAB:") + 2;
  check(optab.from === definition && optab.text === "OPTAB", `${label} Ctrl+click OPTAB: ${JSON.stringify(optab)}`);
  const entry = await clickWith("Meta", text.indexOf("GOTO ENTRY") + 6);
  check(entry.from === text.indexOf("ENTRY") && entry.text === "ENTRY", `${label} Cmd+click ENTRY: ${JSON.stringify(entry)}`);
  await cursorTo(page, text.indexOf("IRA IRTAB") + 5);
  await page.keyboard.press("F12");
  const f12 = await selectionText(page);
  check(f12.from === text.indexOf("* IRTAB:") + 2 && f12.text === "IRTAB", `${label} F12 on IRTAB: ${JSON.stringify(f12)}`);
  // A click without Ctrl only puts the cursor there.
  const at = text.indexOf("ABTAB") + 1;
  const plain = await clickWith(null, at);
  check(plain.text === "" && Math.abs(plain.from - at) <= 1, `${label} a click on ABTAB went to ${JSON.stringify(plain)}`);

  // A line put in before the run of the new text lands: the use and the
  // definition have both moved by its length.
  const runs = await runCount(page);
  const moved = await page.evaluate(() => {
    const view = window.Playground.page.editor.view;
    const inserted = "; moved\n";
    view.dispatch({ changes: { from: 0, insert: inserted } });
    const now = view.state.doc.toString();
    const at = now.indexOf("IAB ABTAB") + 5;
    const box = view.coordsAtPos(at, 1);
    const state = document.body.dataset.state;
    view.contentDOM.dispatchEvent(new MouseEvent("mousedown", {
      bubbles: true, cancelable: true, ctrlKey: true, button: 0, clientX: box.left + 2, clientY: (box.top + box.bottom) / 2,
    }));
    const { from, to } = view.state.selection.main;
    return { state, from, to, text: now.slice(from, to), definition: now.indexOf("* ABTAB:") + 2 };
  });
  check(moved.state === "stale" && moved.from === moved.definition && moved.text === "ABTAB",
        `${label} Ctrl+click after an edit: ${JSON.stringify(moved)}`);
  await waitForRun(page, runs);
}

// A source whose run stops before placement: no word is drawn, and the
// hover says why there is none.
async function failedRun(page, label) {
  const text = ".TITLE BROKEN\n* A:\nGOTO NOWHERE\n.END\n";
  await setState(page, { program: "ctrlforge", name: "BROKEN.MIC", letters: "SOM", text });
  const runs = await runCount(page);
  await page.click("#assemble");
  await waitForRun(page, runs);
  const { used } = await pictureKinds(page);
  check(used.size === 0, `${label} failed run: ${used.size} cells coloured`);
  const hover = await editorHover(page, text.indexOf("*"));
  check(hover.head.startsWith("not placed A labelled") && hover.text.includes("no address: the run stopped before placement") &&
        hover.branch === "GOTO NOWHERE (never defined)",
        `${label} failed run: the hover shows ${JSON.stringify(hover)}`);
  await page.mouse.move(1, 1);
}

// Main memory: code, constants and reserved words near 0010 and at FF00,
// worked out from the pseudo-instructions: ORG 10 puts START at 0010; four
// instructions (0010-0013), the constant at 0014, three reserved words
// 0015-0017; ORG FF00, a constant at FF00, two reserved words FF01-FF02
// and an instruction at FF03.
export const memorySource = [
  "        TITLE MEMPIC", "        ORG   10", "START:  LC    1,5", "        L     1,COUNT", "        BNZ   START",
  "        HLT", "COUNT:  DC    X\"ABCD", "BUF:    DS    3", "        ORG   FF00", "FAR:    DC    7", "        DS    2",
  "        NOP", "        END", "",
].join("\n");
const memoryExpected = new Map([
  [0x0010, "code"], [0x0011, "code"], [0x0012, "code"], [0x0013, "code"], [0x0014, "data"], [0x0015, "reserved"],
  [0x0016, "reserved"], [0x0017, "reserved"], [0xff00, "data"], [0xff01, "reserved"], [0xff02, "reserved"],
  [0xff03, "code"],
]);
const instructionBits = [["operation", 15, 12], ["modifier", 11, 10], ["register", 9, 8], ["operand", 7, 0]];

// The memory's picture and its large words against the object file; the
// hover of an instruction and of reserved words; a word chosen in either
// picture selects its line; Ctrl+click on a label.
async function memoryPicture(page, label) {
  const text = memorySource;
  const shown = await assembleInPage(page, { program: "wordforge", name: "MEM.ASM", letters: "", text });
  const words = objectWords(download(shown, "MEM.ASM.b"));
  const { kinds, used } = await pictureKinds(page);
  check(kinds.length === 65536, `${label} memory picture: ${kinds.length} cells`);
  check(used.size === words.size && [...words.keys()].every((address) => used.has(address)),
        `${label} memory picture: coloured cells ${JSON.stringify([...used.keys()])}, object words ${JSON.stringify([...words.keys()])}`);
  check(JSON.stringify([...used]) === JSON.stringify([...memoryExpected]), `${label} memory picture: kinds ${JSON.stringify([...used])}`);
  for (const [address, kind] of [[0xff00, "data"], [0xff01, "reserved"], [0xff03, "code"], [0x8000, "empty"]]) {
    const { seen, wanted } = await pixels(page, address, kind);
    check(JSON.stringify(seen) === JSON.stringify(wanted),
          `${label} memory picture: the word at ${address.toString(16)} is drawn ${seen}, ${kind} is ${wanted}`);
  }
  // The large words show the 1,024 from 0000.
  for (const [address, kind] of [[0x0010, "code"], [0x0014, "data"], [0x0015, "reserved"], [0x0018, "empty"]]) {
    const { seen, wanted } = await pixels(page, address, kind, { grid: "detail" });
    check(JSON.stringify(seen) === JSON.stringify(wanted),
          `${label} memory detail: the word at ${address.toString(16)} is drawn ${seen}, ${kind} is ${wanted}`);
  }

  // The hover of L 1,COUNT: its address, its word as the object file has
  // it, the fields' bits as they stand in that word, and its operand.
  const load = await editorHover(page, text.indexOf("L     1"));
  const loadWord = words.get(0x0011);
  check(load.head.startsWith("0011 instruction L") && load.word === `word ${loadWord}` && load.branch === "operand COUNT at 0014",
        `${label} hover of L: ${JSON.stringify(load)}`);
  const fields = load.fields.map(([name, bits, value]) => [name, bits, value]);
  const expected = instructionBits.map(([name, high, low]) => [name, `${high}-${low}`, bitsOf(loadWord, high, low)]);
  check(JSON.stringify(fields) === JSON.stringify(expected), `${label} hover of L: fields ${JSON.stringify(fields)}`);
  const reserved = await editorHover(page, text.indexOf("DS    3"));
  check(reserved.head.startsWith("0015 BUF DS") && reserved.word === "3 words 0015-0017", `${label} hover of DS 3: ${JSON.stringify(reserved)}`);
  await page.mouse.move(1, 1);

  // A reserved word of the large ones: its tip; choosing it selects DS 3.
  const inside = await page.evaluate(() => window.Playground.page.picture.cellPoint(0x0016, "detail"));
  await page.mouse.move(inside.x, inside.y);
  await page.waitForFunction(() => !document.getElementById("picture-tip").hidden, { timeout: 3000 });
  const tip = await page.$eval("#picture-tip", (t) => t.textContent);
  check(tip.includes("3 words 0015-0017") && tip.includes("word 0000 at 0016"), `${label} memory tip: ${JSON.stringify(tip)}`);
  await page.mouse.click(inside.x, inside.y);
  let chosen = await selectionText(page);
  check(chosen.text === "BUF:    DS    3", `${label} memory click: the editor chose ${JSON.stringify(chosen)}`);
  // Resting on FF01 in the whole picture brings the words from FC00 below;
  // choosing it selects its line, and the cursor's line is ringed.
  await page.mouse.move(1, 1);
  const far = await page.evaluate(() => window.Playground.page.picture.cellPoint(0xff01));
  await page.mouse.move(far.x, far.y);
  const rested = await page.waitForFunction(() => document.getElementById("picture-caption").textContent.startsWith("FF01"),
    { timeout: 3000 }).then(() => "", async () => page.$eval("#picture-caption", (p) => p.textContent));
  check(rested === "", `${label} memory: resting on FF01 the caption reads ${JSON.stringify(rested)}`);
  await page.mouse.click(far.x, far.y);
  chosen = await selectionText(page);
  const seen = await page.evaluate(() => {
    const picture = window.Playground.page.picture;
    const model = window.Playground.page.lastRun.model;
    return { window: picture.windowStart, ringed: picture.cursorUnit >= 0 ? model.unit(picture.cursorUnit).mnemonic : "" };
  });
  check(chosen.text === "        DS    2" && seen.window === 0xfc00 && seen.ringed === "DS",
        `${label} memory far click: chose ${JSON.stringify(chosen)}, ${JSON.stringify(seen)}`);
  // Ctrl+click on START in BNZ START: its definition.
  const point = await page.evaluate((offset) => {
    const box = window.Playground.page.editor.view.coordsAtPos(offset, 1);
    return { x: box.left + 2, y: (box.top + box.bottom) / 2 };
  }, text.indexOf("BNZ   START") + 7);
  await page.keyboard.down("Control");
  await page.mouse.click(point.x, point.y);
  await page.keyboard.up("Control");
  const start = await selectionText(page);
  check(start.from === text.indexOf("START") && start.text === "START", `${label} Ctrl+click START: ${JSON.stringify(start)}`);
  await page.mouse.move(1, 1);
}

export async function picturesSuite(browser, urls) {
  for (const [label, url] of Object.entries(urls)) {
    const { page, problems } = await openPage(browser, url, { viewport: { width: 1280, height: 900 } });
    const words = await storePicture(page, label);
    await statementHovers(page, words, label);
    await cellChoice(page, words, label);
    await definitions(page, label);
    await failedRun(page, label);
    await memoryPicture(page, label);
    check(problems.length === 0, `${label} pictures: page problems: ${problems.join("; ")}`);
    await page.close();
  }
}
