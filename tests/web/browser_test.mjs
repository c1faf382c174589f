// Browser checks of the assembler page in headless Chromium, driven by
// puppeteer-core with the system browser (it downloads none).
//
//   node browser_test.mjs SUITE --page DIR --golden DIR --examples DIR
//        --modules DIR --artifacts DIR [--chromium PATH]
//
// SUITE is one of
//   golden-http, golden-file  every golden case whose source the page can
//                             take, replayed in the page (served from
//                             127.0.0.1, or opened from file://); each output
//                             file must equal the native run's bytes, and the
//                             page must list as many errors as the listing
//                             holds; every command-line case of one source
//                             and options the page has (file choice, memory
//                             images, output folder) must list exactly the
//                             lines the command line printed, show each file
//                             it left with the same bytes and exactly its
//                             images, and clicking each diagnostic puts the
//                             cursor on its line and column
//   interaction               share links with image options, downloads of
//                             files and images, refused image options,
//                             diagnostics, Ctrl+Enter, the Examples menu,
//                             the map table and the word rows of a binary
//                             image, first-assembly time
//   editor                    lint marks of typed errors (position, hover
//                             text, gutter), marks going when fixed, tabs and
//                             characters of several bytes, Tab, undo, redo,
//                             search, stale results, responsiveness during a
//                             long run and a newer edit superseding it
//   robustness                the watch on requests, 150,000 diagnostics, an
//                             over-limit share link, an error in the page's
//                             own code
//   pictures                  the store's picture, the hover and the
//                             definitions from the source model, against
//                             the object file of the same run
//                             (picture_checks.mjs)
//   screenshots               1280x800 and 390x844, light and dark, with
//                             lane images and the word rows of a binary
//                             image, lint marks with a hover, and the
//                             pictures of the control store and of main
//                             memory with a word's tip
// Every page opened is watched: it may load nothing from outside its
// folder (each request is intercepted and checked), and may show no page
// error.
// Exit status: 0 passed, 1 failed, 77 skipped (the reason is printed).
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";
import zlib from "node:zlib";

import { listingErrors, readCases, readCommandLineCases, sourceText } from "./golden_cases.mjs";
import {
  assembleInPage, check, checkBytes, collect, failures, noImages, openPage, runCount, setImages, setPageRoots,
  setState, settled, waitForRun,
} from "./page_driver.mjs";
import { picturesSuite } from "./picture_checks.mjs";
import { serve } from "./static_server.mjs";

const SKIP = 77;

function parseArgs(argv) {
  const args = { suite: argv[0] };
  for (let i = 1; i < argv.length; i += 2) args[argv[i].replace(/^--/, "")] = argv[i + 1];
  for (const needed of ["page", "golden", "examples", "modules", "artifacts"]) {
    if (!args[needed]) throw new Error(`--${needed} missing`);
  }
  args.chromium = args.chromium || "/usr/bin/chromium";
  return args;
}

// The bytes a binary image's view shows: a row per word of `wordBytes`
// bytes, the word's address (at least three hex digits, as many as the
// last address needs), two blanks, and the bytes in pairs of hex digits. Null
// when a row does not read so or an address is out of step.
function wordRowsBytes(text, wordBytes) {
  const bytes = [];
  const rows = text.split("\n");
  const digits = Math.max(3, (rows.length - 1).toString(16).length);
  for (const [index, line] of rows.entries()) {
    const match = /^([0-9A-F]+)  ((?:[0-9A-F]{2} )*[0-9A-F]{2})$/.exec(line);
    if (!match || match[1].length !== digits || parseInt(match[1], 16) !== index) return null;
    const row = match[2].split(" ").map((pair) => parseInt(pair, 16));
    if (row.length !== wordBytes && index !== rows.length - 1) return null;
    bytes.push(...row);
  }
  return Buffer.from(bytes);
}

// A map file's rows as its format lays them out: lines ended by CR LF; the
// title line, the column heading, then per word 61 characters: columns 1-8
// the label, 10-13 the address cell, 14-53 ten cells of four (LB RB AL SH
// SB MM SQ TS EX LT), 54-61 the label branched to. Blanks trimmed.
function mapRows(bytes) {
  const lines = bytes.toString("latin1").split("\r\n");
  if (lines[lines.length - 1] === "") lines.pop();
  const cells = [[0, 8], [9, 13], ...Array.from({ length: 10 }, (_, i) => [13 + 4 * i, 17 + 4 * i]), [53, 61]];
  return {
    title: lines[0] ?? "",
    rows: lines.slice(2).map((line) => (line.length === 61 ? cells.map(([a, b]) => line.slice(a, b).trim()) : [line])),
  };
}

const mapHead = ["LABEL", "ADRS", "LB", "RB", "AL", "SH", "SB", "MM", "SQ", "TS", "EX", "LT", "TARGET"];

// The page shows every file it hands out: a tab of the file's own, or its
// lane under its format's tab, with the file's text (line ends shown as line
// breaks), the map as a table of its columns, or for a raw binary image a
// word per row, `wordBytes` bytes (a lane's file one).
function checkShown(label, shown, program) {
  const names = shown.files.map((file) => file.name);
  const viewed = Object.keys(shown.views);
  check(JSON.stringify(viewed) === JSON.stringify(names),
        `${label}: the tabs show ${JSON.stringify(viewed)}, the downloads are ${JSON.stringify(names)}`);
  for (const file of shown.files) {
    const view = shown.views[file.name];
    if (!view) continue;
    if (file.format === "bin") {
      const wordBytes = /\.lane\d+\.bin$/.test(file.name) ? 1 : program === "ctrlforge" ? 5 : 2;
      const bytes = file.bytes.length === 0 ? Buffer.alloc(0) : wordRowsBytes(view.text, wordBytes);
      check(bytes !== null && Buffer.compare(bytes, file.bytes) === 0,
            `${label}: the word rows of ${file.name} do not show the file's bytes`);
      continue;
    }
    if (file.name.endsWith(".m") && program === "ctrlforge") {
      const expected = mapRows(file.bytes);
      check(view.rows !== undefined && view.title === expected.title &&
            JSON.stringify(view.head) === JSON.stringify(mapHead) &&
            JSON.stringify(view.rows) === JSON.stringify(expected.rows),
            `${label}: the table of ${file.name} is not the map's columns`);
      continue;
    }
    const text = new TextDecoder().decode(file.bytes).replace(/\r\n/g, "\n");
    check(view.text === text, `${label}: the tab of ${file.name} does not show the file's text`);
  }
}

const listingExtension = { ctrlforge: ".s", wordforge: ".a" };

async function goldenSuite(browser, url, args) {
  const cases = readCases(args.golden);
  const { page, problems } = await openPage(browser, url);
  const notTaken = [];
  let taken = 0;
  let files = 0;
  let counted = 0;
  for (const goldenCase of cases) {
    if (goldenCase.runs.length === 0) {
      notTaken.push(`${goldenCase.id} (its dialogue assembles nothing)`);
      continue;
    }
    const texts = goldenCase.runs.map((run) => sourceText(goldenCase.inputs.get(run.name)));
    if (texts.includes(null)) {
      notTaken.push(`${goldenCase.id} (its source is not text the editor can hold)`);
      continue;
    }
    taken++;
    // The files the dialogue leaves: later runs overwrite earlier files of
    // one name, and wordforge deletes the object file of a run with errors.
    // A ctrlforge run with errors leaves its object file and map in the
    // dialogue (heading lines at most); the page, like the command line,
    // offers only the listing of such a run, so those two files are not
    // compared while a failed run was the last to write them.
    const left = new Map();
    const notOffered = new Set();
    const consoles = [];
    for (const [index, run] of goldenCase.runs.entries()) {
      const shown = await assembleInPage(page, {
        program: goldenCase.program, name: run.name, letters: run.letters, text: texts[index],
      });
      checkShown(`${goldenCase.id} run ${index + 1}`, shown, goldenCase.program);
      consoles.push(shown.console);
      // The page lists as many errors as the listing reports; a note that
      // ends with a flag stands for a second count of one error.
      const listing = shown.files.find((file) => file.name === run.name + listingExtension[goldenCase.program]);
      if (listing) {
        const errors = shown.diagnostics.filter(
          (d) => d.severity === "error" || (d.severity === "note" && d.text.endsWith("]"))).length;
        const reported = listingErrors(goldenCase.program, listing.bytes);
        check(errors === reported,
              `${goldenCase.id} run ${index + 1}: the page lists ${errors} errors, the listing reports ${reported}`);
        counted++;
      }
      for (const file of shown.files) {
        left.set(file.name, file.bytes);
        notOffered.delete(file.name);
      }
      if (goldenCase.program === "ctrlforge" && shown.failed) {
        check(shown.files.every((file) => file.name === `${run.name}.s`) && shown.tabs.every((tab) => tab === `${run.name}.s`),
              `${goldenCase.id} run ${index + 1}: a failed run offers ${JSON.stringify(shown.files.map((f) => f.name))}`);
        for (const extension of [".o", ".m"]) {
          if (run.letters.includes(extension[1].toUpperCase())) {
            left.delete(run.name + extension);
            notOffered.add(run.name + extension);
          }
        }
      }
      const object = `${run.name}.b`;
      if (goldenCase.program === "wordforge" && !shown.files.some((file) => file.name === object)) {
        left.delete(object);
      }
    }
    const expectedNames = [...goldenCase.expected.keys()].filter((name) => !notOffered.has(name)).sort();
    const leftNames = [...left.keys()].sort();
    check(JSON.stringify(expectedNames) === JSON.stringify(leftNames),
          `${goldenCase.id}: page gives files ${JSON.stringify(leftNames)}, native ${JSON.stringify(expectedNames)}`);
    for (const [name, bytes] of goldenCase.expected) {
      if (left.has(name)) {
        checkBytes(`${goldenCase.id}: ${name}`, bytes, left.get(name));
        files++;
      }
    }
    // Each run's console text is what the native dialogue showed for it, in order.
    const nativeConsole = goldenCase.console.toString("latin1");
    let at = 0;
    for (const text of consoles) {
      const found = nativeConsole.indexOf(text, at);
      if (!check(text.length > 0 && found !== -1,
                 `${goldenCase.id}: console ${JSON.stringify(text)} not in the native console after offset ${at}`)) break;
      at = found + text.length;
    }
  }
  console.log(`${taken} of ${cases.length} golden cases replayed, ${files} files compared byte for byte, ` +
              `error counts of ${counted} listings compared`);
  for (const reason of notTaken) console.log(`  not replayed: ${reason}`);
  check(taken > 0 && files > 0 && counted > 0, "no golden case was replayed");
  await commandLineCases(page, args);
  check(problems.length === 0, `page problems: ${problems.join("; ")}`);
}

// Whether the cursor stands where a diagnostic points: on its line, after
// the characters whose UTF-8 bytes fill column - 1 bytes of the line, and
// before the next one (or at the line's end when the line is shorter).
function cursorAt(text, cursor, line, column) {
  const before = text.slice(0, cursor);
  if (before.split("\n").length !== line) return false;
  const used = Buffer.byteLength(before.slice(before.lastIndexOf("\n") + 1));
  if (used > column - 1) return false;
  if (cursor === text.length || text[cursor] === "\n") return true;
  return used + Buffer.byteLength(String.fromCodePoint(text.codePointAt(cursor))) > column - 1;
}

async function cursorAfterClicking(page, index) {
  await page.click(`#diagnostics li:nth-child(${index + 1}) button`);
  return page.evaluate(() => {
    const { from, to, focused } = window.Playground.page.editor.selection;
    return { focused, start: from, end: to };
  });
}

const ownExtensions = { ctrlforge: [".s", ".o", ".m"], wordforge: [".a", ".b"] };

// The command line's own cases of one source and options the page has: the
// page, given the source under the name the command line was given, lists
// the lines it printed on standard error, fails when it exited 1, shows each
// file it left with the same bytes, and makes exactly its images (none for a
// source with errors). Clicking each diagnostic puts the cursor on its line
// and column.
async function commandLineCases(page, args) {
  const { cases, notReplayed } = readCommandLineCases(args.golden);
  let taken = 0;
  let listed = 0;
  let imageCases = 0;
  let images = 0;
  for (const c of cases) {
    const text = sourceText(c.source);
    if (text === null) {
      console.log(`  not replayed: ${c.id} (its source is not text the editor can hold)`);
      continue;
    }
    taken++;
    const shown = await assembleInPage(page, { program: c.program, name: c.name, letters: c.letters, images: c.images, text });
    checkShown(c.id, shown, c.program);
    const printed = new TextDecoder().decode(c.stderr).split("\n").filter((line) => line !== "");
    const lines = shown.diagnostics.map((d) => d.text);
    check(JSON.stringify(lines) === JSON.stringify(printed),
          `${c.id}: the page lists\n    ${lines.join("\n    ")}\n  the command line printed\n    ${printed.join("\n    ")}`);
    check(shown.failed === (c.status === 1), `${c.id}: the page ${shown.failed ? "fails" : "succeeds"}, status ${c.status}`);
    check(shown.imageProblem === "", `${c.id}: the page refuses the image options: ${shown.imageProblem}`);
    // Files land under their base names, beside the source or in the output folder.
    const byBaseName = new Map(shown.files.map((file) => [path.posix.basename(file.name), file]));
    for (const [name, bytes] of c.expected) {
      const file = byBaseName.get(name);
      if (check(file !== undefined, `${c.id}: the page shows no ${name}`)) checkBytes(`${c.id}: ${name}`, bytes, file.bytes);
    }
    const base = path.posix.basename(c.name);
    const own = new Set(ownExtensions[c.program].map((extension) => base + extension));
    // The program's own files are exactly those the command line keeps: a
    // source with errors keeps its listing only. (From standard input the
    // command line writes no file at all; the page names the source.)
    const pageOwn = shown.files.filter((file) => file.format === "").map((file) => path.posix.basename(file.name)).sort();
    const keptOwn = [...c.expected.keys()].filter((name) => own.has(name)).sort();
    check(c.name === "<stdin>" || JSON.stringify(pageOwn) === JSON.stringify(keptOwn),
          `${c.id}: the page offers ${JSON.stringify(pageOwn)}, the command line keeps ${JSON.stringify(keptOwn)}`);
    const expectedImages = [...c.expected.keys()].filter((name) => !own.has(name)).sort();
    const pageImages = shown.files.filter((file) => file.format !== "").map((file) => path.posix.basename(file.name)).sort();
    check(JSON.stringify(pageImages) === JSON.stringify(expectedImages),
          `${c.id}: the page makes images ${JSON.stringify(pageImages)}, the command line ${JSON.stringify(expectedImages)}`);
    if (c.images.formats.length > 0) {
      imageCases++;
      images += expectedImages.length;
    }
    const editorText = await page.evaluate(() => window.Playground.page.editor.text);
    for (const [index, d] of shown.diagnostics.entries()) {
      const cursor = await cursorAfterClicking(page, index);
      check(cursor.focused && cursor.start === cursor.end && cursorAt(editorText, cursor.start, d.line, d.column),
            `${c.id}: clicking ${d.text} put the cursor at ${JSON.stringify(cursor)}`);
      listed++;
    }
  }
  console.log(`${taken} command-line cases replayed, ${listed} diagnostics clicked; ` +
              `${imageCases} of them ask for images, ${images} image files compared byte for byte`);
  for (const reason of notReplayed) console.log(`  not replayed: ${reason}`);
  check(taken >= 8 && listed > 0, `only ${taken} command-line cases replayed`);
  check(imageCases >= 6 && images > 0, `only ${imageCases} command-line cases with images replayed`);
}

function caseById(args, id) {
  const found = readCases(args.golden).find((goldenCase) => goldenCase.id === id);
  if (!found) throw new Error(`golden case ${id} not found`);
  return found;
}

function commandLineCase(args, id) {
  const found = readCommandLineCases(args.golden).cases.find((c) => c.id === id);
  if (!found) throw new Error(`command-line golden case ${id} not found or not replayable`);
  return found;
}

// What the page's image controls hold.
function shownImages(page) {
  return page.evaluate(() => ({
    formats: [...document.querySelectorAll("#image-formats input:checked")].map((box) => box.value),
    lanes: document.getElementById("image-lanes").checked,
    fill: document.getElementById("image-fill").value,
    hexWordAddresses: document.getElementById("image-word-addresses").checked,
  }));
}

// A share link restores program, name, options, image options and source,
// and assembles at once.
async function shareRoundTrip(browser, url, args, label) {
  const example = fs.readFileSync(path.join(args.examples, "fetch.mic"), "utf8").replace(/\r\n/g, "\n");
  const states = [
    { program: "ctrlforge", name: "Frühstück.mic", letters: "SM", text: `${example}; ÄÖÜ — ünïcödé\n`,
      images: { formats: ["intelhex", "bin"], lanes: true, fill: "0", hexWordAddresses: true },
      fragment: { i: "intelhex,bin", l: "8", f: "0", w: "1" } },
    { program: "wordforge", name: "table.zasm", letters: "",
      text: fs.readFileSync(path.join(args.examples, "table.zasm"), "utf8").replace(/\r\n/g, "\n"),
      images: { formats: ["readmemb", "mif"], lanes: false, fill: "BEEF", hexWordAddresses: false },
      fragment: { i: "readmemb,mif", l: null, f: "BEEF", w: null } },
    { program: "wordforge", name: "table.zasm", letters: "", images: noImages,
      text: fs.readFileSync(path.join(args.examples, "table.zasm"), "utf8").replace(/\r\n/g, "\n"),
      fragment: { i: null, l: null, f: null, w: null } },
  ];
  for (const state of states) {
    const tag = `${label} share ${state.program}`;
    const { page, problems } = await openPage(browser, url);
    const original = await assembleInPage(page, state);
    const imageFiles = original.files.filter((file) => file.format !== "").length;
    // Five lanes of two formats; two whole images; none.
    check(imageFiles === [10, 2, 0][states.indexOf(state)], `${tag}: the run made ${imageFiles} image files`);
    await page.click("#share");
    await page.waitForFunction(() => !document.getElementById("share-row").hidden);
    const link = await page.$eval("#share-link", (field) => field.value);
    const fragment = new URLSearchParams(new URL(link).hash.slice(1));
    check(link.startsWith(url), `${tag}: link ${link.slice(0, 80)} does not start with the page's address`);
    // The source travels as raw deflate data, shorter than the text itself.
    if (check(fragment.has("z"), `${tag}: the link holds no compressed source`)) {
      const packed = Buffer.from(fragment.get("z"), "base64url");
      check(zlib.inflateRawSync(packed).toString("utf8") === state.text, `${tag}: the link's data is not the source`);
      check(fragment.get("z").length < Buffer.byteLength(state.text),
            `${tag}: the link's source (${fragment.get("z").length} characters) is longer than the text`);
    }
    for (const [key, value] of Object.entries(state.fragment)) {
      check(fragment.get(key) === value, `${tag}: the link holds ${key}=${fragment.get(key)}, not ${value}`);
    }
    await page.close();

    const restored = await openPage(browser, link);
    await restored.page.waitForFunction(() => Number(document.body.dataset.runs || 0) === 1, { timeout: 10000 });
    const seen = await restored.page.evaluate(() => ({
      program: document.getElementById("program").value,
      name: document.getElementById("source-name").value,
      letters: ["s", "o", "m"].filter((l) => document.getElementById(`opt-${l}`).checked).join("").toUpperCase(),
      text: window.Playground.page.editor.text,
    }));
    check(seen.program === state.program, `${tag}: program ${seen.program}`);
    check(seen.name === state.name, `${tag}: name ${JSON.stringify(seen.name)}`);
    if (state.program === "ctrlforge") check(seen.letters === state.letters, `${tag}: options ${seen.letters}`);
    check(seen.text === state.text, `${tag}: the source text is not restored exactly`);
    const images = await shownImages(restored.page);
    check(JSON.stringify(images) === JSON.stringify(state.images),
          `${tag}: image options ${JSON.stringify(images)} after restoring`);
    const again = await collect(restored.page);
    check(JSON.stringify(again.tabs) === JSON.stringify(original.tabs), `${tag}: tabs ${again.tabs} after restoring`);
    const names = (shown) => JSON.stringify(shown.files.map((file) => file.name));
    check(names(again) === names(original), `${tag}: files ${names(again)} after restoring`);
    for (const [index, file] of original.files.entries()) {
      if (again.files[index]) checkBytes(`${tag}: ${file.name} after restoring`, file.bytes, again.files[index].bytes);
    }
    check(again.console === original.console, `${tag}: console differs after restoring`);
    check(problems.length + restored.problems.length === 0,
          `${tag}: page problems: ${[...problems, ...restored.problems].join("; ")}`);
    await restored.page.close();
  }
}

// Clicking a download link saves the file's exact bytes: the program's
// files, and images, lane images among them, as the command line writes them.
async function downloads(browser, url, args, label) {
  const folder = path.join(args.artifacts, `downloads-${label}`);
  fs.rmSync(folder, { recursive: true, force: true });
  fs.mkdirSync(folder, { recursive: true });
  const { page } = await openPage(browser, url);
  const devtools = await page.createCDPSession();
  await devtools.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: folder, eventsEnabled: true });
  const picks = [["ctrlforge/fetch", "PROG.s"], ["ctrlforge/fetch", "PROG.o"], ["wordforge/example-demo", "PROG.b"],
                 ["ctrlforge/cli-image-lanes", "dispatch.mic.lane2.bin"], ["wordforge/cli-image-formats", "high.asm.hex"],
                 ["wordforge/cli-image-lanes", "high.asm.lane1.mif"]];
  for (const [id, fileName] of picks) {
    let expected;
    if (id.includes("/cli-")) {
      const c = commandLineCase(args, id);
      await assembleInPage(page, { program: c.program, name: c.name, letters: c.letters, images: c.images,
                                   text: sourceText(c.source) });
      expected = c.expected.get(fileName);
    } else {
      const goldenCase = caseById(args, id);
      const run = goldenCase.runs[0];
      await assembleInPage(page, {
        program: goldenCase.program, name: run.name, letters: run.letters,
        text: sourceText(goldenCase.inputs.get(run.name)),
      });
      expected = goldenCase.expected.get(fileName);
    }
    let listener;
    const done = new Promise((resolve) => {
      listener = (event) => {
        if (event.state === "completed" || event.state === "canceled") resolve(event.state);
      };
      devtools.on("Browser.downloadProgress", listener);
    });
    await page.click(`#downloads a[data-file="${fileName}"]`);
    const state = await Promise.race([done, new Promise((resolve) => setTimeout(() => resolve("timed out"), 10000))]);
    devtools.off("Browser.downloadProgress", listener);
    const saved = path.join(folder, fileName);
    if (check(state === "completed" && fs.existsSync(saved), `${label} download ${fileName}: ${state}`)) {
      checkBytes(`${label} download ${id} ${fileName}`, expected, fs.readFileSync(saved));
    }
  }
  await page.close();
}

// The image controls: each program's default fill shows in the empty fill
// field, and its lanes beside the lanes box; options the command line would
// refuse are refused in its words, the run still shows its own files and
// makes no image, and the next run with good options clears the refusal.
async function imageOptionsView(browser, url, label) {
  const { page, problems } = await openPage(browser, url);
  const facts = {};
  for (const program of ["ctrlforge", "wordforge"]) {
    await page.select("#program", program);
    await page.waitForFunction((p) => document.getElementById("image-fill").placeholder !== "" &&
      document.getElementById("program").value === p, {}, program);
    facts[program] = await page.evaluate(() => [document.getElementById("image-fill").placeholder,
                                                document.getElementById("lane-count").textContent]);
  }
  // Unused control-store words hold FF FFFF FE00, five 8-bit lanes of 40
  // bits; main memory is filled with 0000, two lanes of 16 bits.
  check(JSON.stringify(facts) === JSON.stringify({
    ctrlforge: ["FFFFFFFE00", "(5 files per format)"], wordforge: ["0000", "(2 files per format)"] }),
        `${label} images: the fields describe ${JSON.stringify(facts)}`);

  const text = " HLT\n END\n";
  const refused = await assembleInPage(page, { program: "wordforge", name: "P.ASM", letters: "", text,
    images: { formats: ["mif"], lanes: false, fill: "10000", hexWordAddresses: false } });
  check(refused.imageProblem === "--fill needs a word of at most 16 bits in hexadecimal digits, not '10000'",
        `${label} images: the refusal reads ${JSON.stringify(refused.imageProblem)}`);
  check(JSON.stringify(refused.files.map((file) => file.name)) === '["P.ASM.a","P.ASM.b"]',
        `${label} images: a refused fill leaves ${JSON.stringify(refused.files.map((file) => file.name))}`);
  const status = await page.$eval("#status", (p) => p.textContent);
  check(status.endsWith("; no images"), `${label} images: the status reads ${JSON.stringify(status)}`);

  // HLT (EF00) at 0000, then the rest of the 65536 words holding the fill,
  // with the four address digits of the highest address.
  const accepted = await assembleInPage(page, { program: "wordforge", name: "P.ASM", letters: "", text,
    images: { formats: ["mif"], lanes: false, fill: "ffff", hexWordAddresses: false } });
  check(accepted.imageProblem === "", `${label} images: the refusal stays: ${accepted.imageProblem}`);
  const mif = accepted.files.find((file) => file.name === "P.ASM.mif");
  check(mif !== undefined &&
        mif.bytes.toString("latin1").endsWith("CONTENT BEGIN\r\n0000 : EF00;\r\n[0001..FFFF] : FFFF;\r\nEND;\r\n"),
        `${label} images: P.ASM.mif is ${mif ? JSON.stringify(mif.bytes.toString("latin1")) : "missing"}`);
  check(problems.length === 0, `${label} images: page problems: ${problems.join("; ")}`);
  await page.close();
}

// A run with errors and a warning: the list reads as the command line's lines,
// choosing an entry puts the cursor on its line and column, and the gutter
// marks error lines and warning lines apart. The lines before the errors hold
// characters of two and three UTF-8 bytes, so byte and character offsets part.
async function diagnosticsView(browser, url, label) {
  const { page, problems } = await openPage(browser, url);
  const text = "; Prüfung: ein Fehler\n LC 2,300 ; Größe\n FOO 1\nÄB HLT\n END\n";
  const shown = await assembleInPage(page, { program: "wordforge", name: "PRÜF.ASM", letters: "", text });
  // 300 is read at column 7 of line 2; FOO begins line 3 at column 2; line
  // 4 begins with the first byte of Ä, which the message quotes alone.
  const expected = [
    "PRÜF.ASM:2:7: warning: value 300 does not fit in 8 bits; 2C is used [-Wtruncation]",
    "PRÜF.ASM:3:2: error: unknown mnemonic FOO [F]",
    "PRÜF.ASM:4:1: error: a line must begin with a letter or ';', found '\uFFFD' [F]",
  ];
  const lines = shown.diagnostics.map((d) => d.text);
  check(JSON.stringify(lines) === JSON.stringify(expected), `${label} diagnostics: the page lists ${JSON.stringify(lines)}`);
  const count = await page.$eval("#diagnostics-count", (span) => span.textContent);
  check(count === "2 errors, 1 warning", `${label} diagnostics: the heading counts ${JSON.stringify(count)}`);
  // Line 1 holds 21 characters (22 bytes), line 2 17 characters, line 3 six.
  for (const [index, offset] of [[0, 22 + 6], [1, 40 + 1], [2, 47]]) {
    const cursor = await cursorAfterClicking(page, index);
    check(cursor.focused && cursor.start === offset && cursor.end === offset,
          `${label} diagnostics: entry ${index + 1} put the cursor at ${JSON.stringify(cursor)}, not ${offset}`);
  }
  // The lint marks: the warning on 300 (line 2 starts at 22, 300 at its
  // seventh byte), the error on FOO (line 3 starts at 40), and on the one
  // character Ä (line 4 starts at 47); the gutter marks the three lines.
  const marks = await page.evaluate(() => ({
    marks: window.Playground.page.editor.marks,
    gutter: { errors: document.querySelectorAll(".cm-lint-marker-error").length,
              warnings: document.querySelectorAll(".cm-lint-marker-warning").length },
  }));
  const expectedMarks = [
    { from: 28, to: 31, severity: "warning", message: "value 300 does not fit in 8 bits; 2C is used [-Wtruncation]" },
    { from: 41, to: 44, severity: "error", message: "unknown mnemonic FOO [F]" },
    { from: 47, to: 48, severity: "error", message: "a line must begin with a letter or ';', found '\uFFFD' [F]" },
  ];
  check(JSON.stringify(marks.marks) === JSON.stringify(expectedMarks),
        `${label} diagnostics: lint marks ${JSON.stringify(marks.marks)}`);
  check(JSON.stringify(marks.gutter) === '{"errors":2,"warnings":1}',
        `${label} diagnostics: gutter marks ${JSON.stringify(marks.gutter)}`);

  // A column counts bytes. In "Ä𝄞 AB", Ä takes bytes 1-2 (one character), 𝄞
  // bytes 3-6 (two UTF-16 units), the blank byte 7, A byte 8. A column inside
  // a character's bytes puts the cursor before it; past the line, at its end.
  await setState(page, { program: "wordforge", name: "PRÜF.ASM", letters: "", text: "Ä𝄞 AB\nx\n" });
  const table = [[1, 1, 0], [1, 2, 0], [1, 3, 1], [1, 5, 1], [1, 7, 3], [1, 8, 4], [1, 10, 6], [1, 40, 6], [2, 1, 7]];
  for (const [line, column, offset] of table) {
    const at = await page.evaluate((l, c) => {
      window.Playground.page.editor.goTo(l, c);
      return window.Playground.page.editor.selection.from;
    }, line, column);
    check(at === offset, `${label} editor: line ${line} column ${column} put the cursor at ${at}, not ${offset}`);
  }

  // A diagnostic with an end column marks exactly its bytes: in "Ä𝄞 AB",
  // bytes 3 to 6 are 𝄞 (offsets 1 to 3); in "\tAB", bytes 2 and 3 are AB
  // (offsets 1 to 3 of line 2). Without one, the word at the column: AB at
  // byte 8 of line 1, and a single character (Ä, then 𝄞's two units).
  const spans = await page.evaluate(() => {
    const editor = window.Playground.page.editor;
    editor.text = "Ä𝄞 AB\n\tAB\n";
    const d = (line, column, endColumn) => ({ line, column, endColumn, severity: "error", tag: "", message: "m" });
    editor.showDiagnostics([d(1, 3, 7), d(2, 2, 4), d(1, 8), d(1, 1), d(1, 3)]);
    return editor.marks.map((m) => [m.from, m.to]);
  });
  check(JSON.stringify(spans) === "[[0,1],[1,3],[1,3],[4,6],[8,10]]",
        `${label} editor: marks of byte spans ${JSON.stringify(spans)}`);

  // A real run with errors fills the same list from the assembler's answer.
  await setState(page, { program: "ctrlforge", name: "PROG.MIC", letters: "S", text: "BROKEN\n" });
  const before = await runCount(page);
  await page.focus(".cm-content");
  await page.keyboard.down("Control");
  await page.keyboard.press("Enter");
  await page.keyboard.up("Control");
  await waitForRun(page, before);
  const afterRun = await page.evaluate(() => ({
    text: window.Playground.page.editor.text,
    console: document.getElementById("console").textContent,
    listed: document.querySelectorAll("#diagnostics li").length,
    marks: window.Playground.page.editor.marks.length,
  }));
  check(afterRun.console.includes("ERROR OCCURRED IN ASSEMBLE-TIME!"),
        `${label} Ctrl+Enter: console ${JSON.stringify(afterRun.console)}`);
  check(afterRun.text === "BROKEN\n", `${label} Ctrl+Enter: changed the source to ${JSON.stringify(afterRun.text)}`);
  check(afterRun.listed > 0 && afterRun.marks > 0,
        `${label} Ctrl+Enter: ${afterRun.listed} diagnostics, ${afterRun.marks} lint marks`);
  check(problems.length === 0, `${label} diagnostics: page problems: ${problems.join("; ")}`);
  await page.close();
}

// The Examples menu offers every example in examples/ (.mic for
// ctrlforge, .asm and .zasm for wordforge) and loads each as it is there;
// loading one assembles it.
async function examplesMenu(browser, url, args, label) {
  const { page, problems } = await openPage(browser, url);
  const offered = await page.$$eval("#examples option", (options) => options.slice(1).map((o) => o.textContent));
  const files = fs.readdirSync(args.examples).filter((name) => /\.(mic|asm|zasm)$/.test(name)).sort();
  const programOf = (name) => (name.endsWith(".mic") ? "ctrlforge" : "wordforge");
  check(JSON.stringify(offered) === JSON.stringify(files.map((name) => `${name} (${programOf(name)})`)),
        `${label} examples: menu offers ${JSON.stringify(offered)}, examples/ holds ${JSON.stringify(files)}`);
  const messages = { ctrlforge: "\nNORMAL TERMINATION!\n\n", wordforge: " NORMAL TERMINATION !\n\n" };
  // The "find the mistakes" examples fail, on purpose.
  const failures = { ctrlforge: "\nERROR OCCURRED IN ASSEMBLE-TIME!\n\n", wordforge: "ERROR OCCURED IN ASSEMBLE TIME !\n\n" };
  for (const file of files) {
    const value = await page.$$eval("#examples option", (options, name) =>
      options.find((o) => o.textContent.startsWith(`${name} `)).value, file);
    const before = await runCount(page);
    await page.select("#examples", value);
    await waitForRun(page, before);
    const seen = await page.evaluate(() => ({
      program: document.getElementById("program").value,
      name: document.getElementById("source-name").value,
      text: window.Playground.page.editor.text,
      console: document.getElementById("console").textContent,
    }));
    const text = fs.readFileSync(path.join(args.examples, file), "utf8").replace(/\r\n?/g, "\n");
    check(seen.program === programOf(file) && seen.name === file, `${label} examples: ${file} chose ${seen.program} ${seen.name}`);
    check(seen.text === text, `${label} examples: ${file} is not the text of examples/${file}`);
    const expected = (file.startsWith("mistakes.") ? failures : messages)[seen.program];
    check(seen.console === expected, `${label} examples: ${file} console ${JSON.stringify(seen.console)}`);
  }
  check(problems.length === 0, `${label} examples: page problems: ${problems.join("; ")}`);
  await page.close();
}

// The map as a table and a binary image as word rows, for the worked word
// of the map's format: START at 010 adds R2 to R1 and branches to LOOP at
// 105, which branches back. Worked out from the format: START's cells are
// R1L R2R ADD, SH, SB R1S, MM not named (NSH NMM), SQ B, TS the branch
// address div 512 (000), EX NEX, LT 105 mod 512; LOOP names nothing but its
// branch, so every field but SQ shows its no-operation cell, and LT 010.
// The bin image holds the words of 40 bits up to the highest address used,
// the unused ones FFFFFFFE00.
async function outputViews(browser, url, label) {
  const { page, problems } = await openPage(browser, url);
  const text = ".TITLE WORKED\n\n* START: 10\nGOTO LOOP\nR1 := R1 + R2\n* LOOP: 105\nGOTO START\n.END\n";
  const shown = await assembleInPage(page, { program: "ctrlforge", name: "W.MIC", letters: "SOM", text,
    images: { formats: ["bin"], lanes: false, fill: "", hexWordAddresses: false } });
  const map = shown.views["W.MIC.m"];
  check(map && map.title === ".TITLE     WORKED  " && JSON.stringify(map.rows) === JSON.stringify([
    ["START", "010", "R1L", "R2R", "ADD", "NSH", "R1S", "NMM", "B", "000", "NEX", "105", "LOOP"],
    ["LOOP", "105", "NLB", "NRB", "NAL", "NSH", "NSB", "NMM", "B", "000", "NEX", "010", "START"],
  ]), `${label} map table: ${JSON.stringify(map)}`);
  const coloured = await page.evaluate(() => {
    document.querySelector('#tabs [data-file="W.MIC.m"]').click();
    const cells = [...document.querySelectorAll("#file-view tbody tr:first-child td")];
    return new Set(cells.slice(2, 12).map((td) => getComputedStyle(td).backgroundColor)).size;
  });
  check(coloured >= 3, `${label} map table: the field columns show ${coloured} colours`);
  const rows = (shown.views["W.MIC.bin"]?.text ?? "").split("\n");
  // START's object word: 12 1C70 1F05 (the format's worked example).
  check(rows.length === 0x106 && rows[0] === "000  FF FF FF FE 00" && rows[16] === "010  12 1C 70 1F 05" &&
        rows[17] === "011  FF FF FF FE 00" && rows[0x105] === "105  FF FF F0 1E 10",
        `${label} bin rows: ${rows.length} rows, ${JSON.stringify(rows.slice(15, 17))}`);
  check(problems.length === 0, `${label} output views: page problems: ${problems.join("; ")}`);
  await page.close();
}

// The bundled example a fresh page opens with is assembled at once: from
// navigation to its result, and then from a click on Assemble to the
// result of the same source. Reported, not judged.
async function firstAssembly(browser, url, args, label) {
  const { page } = await openPage(browser, url, { settle: false });
  await page.waitForFunction(() => document.body.dataset.runs === "1", { timeout: 30000 });
  const first = await page.evaluate(() => ({ name: document.getElementById("source-name").value, at: performance.now() }));
  await settled(page);
  const click = await page.evaluate(() => new Promise((resolve) => {
    const start = performance.now();
    const observer = new MutationObserver(() => {
      if (document.body.dataset.runs !== "2" || document.body.dataset.state !== "done") return;
      observer.disconnect();
      const result = performance.now() - start;
      requestAnimationFrame(() => resolve({ result, painted: performance.now() - start }));
    });
    observer.observe(document.body, { attributes: true });
    document.getElementById("assemble").click();
  }));
  const line = `${first.name}: first result ${first.at.toFixed(0)} ms after navigation; ` +
    `Assemble to result ${click.result.toFixed(1)} ms, ${click.painted.toFixed(1)} ms to the next frame`;
  console.log(`first assembly (${label}) of ${line}`);
  fs.writeFileSync(path.join(args.artifacts, `first-assembly-${label}.txt`), `${line}\n`);
  await page.close();
}

async function interactionSuite(browser, urls, args) {
  for (const [label, url] of Object.entries(urls)) {
    await shareRoundTrip(browser, url, args, label);
    await downloads(browser, url, args, label);
    await imageOptionsView(browser, url, label);
    await diagnosticsView(browser, url, label);
    await examplesMenu(browser, url, args, label);
    await outputViews(browser, url, label);
    await firstAssembly(browser, url, args, label);
  }
}

// Keys into the editor as a user presses them.
async function clearEditor(page) {
  await page.focus(".cm-content");
  await page.keyboard.down("Control");
  await page.keyboard.press("KeyA");
  await page.keyboard.up("Control");
  await page.keyboard.press("Backspace");
}

async function withControl(page, key, shift = false) {
  await page.keyboard.down("Control");
  if (shift) await page.keyboard.down("Shift");
  await page.keyboard.press(key);
  if (shift) await page.keyboard.up("Shift");
  await page.keyboard.up("Control");
}

function editorState(page) {
  return page.evaluate(() => ({
    text: window.Playground.page.editor.text,
    marks: window.Playground.page.editor.marks,
    underlined: [...document.querySelectorAll(".cm-lintRange")].map((span) => span.textContent),
    gutter: document.querySelectorAll(".cm-lint-marker").length,
    state: document.body.dataset.state,
    stale: document.querySelector(".cm-editor").classList.contains("stale") &&
           document.getElementById("results").classList.contains("stale"),
  }));
}

// The text shown when the mouse rests on the first underlined token.
async function hoverText(page, leave = true) {
  const box = await (await page.$(".cm-lintRange")).boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForSelector(".cm-tooltip-lint", { timeout: 5000 });
  const text = await page.$eval(".cm-tooltip-lint", (tip) => tip.textContent);
  if (leave) await page.mouse.move(1, 1);
  return text;
}

// Typing: the run follows each pause by itself. A typed wordforge source
// with an unknown mnemonic after a tab and a comment of two-byte
// characters; the mark covers exactly the word, whatever bytes precede it,
// the hover shows the message and its tag, the gutter marks the line.
// Fixing the word removes the mark; undo brings the word and its mark back,
// redo the fix. The results are marked stale from a change until its run
// lands.
async function typedErrors(browser, url, label) {
  const { page, problems } = await openPage(browser, url);
  await page.select("#program", "wordforge");
  await settled(page);
  await clearEditor(page);
  let before = await runCount(page);
  // Tab puts a tab character; Enter keeps the line's indentation.
  await page.keyboard.type("; Größe ÄÖ\n\tFOO 1\nEND\n");
  let seen = await editorState(page);
  check(seen.state === "stale" && seen.stale, `${label} typing: right after the keys the page is ${seen.state}, stale ${seen.stale}`);
  await waitForRun(page, before);
  seen = await editorState(page);
  // Line 1 holds ten characters (fourteen bytes); line 2 starts at 11, its
  // tab is byte 1, FOO bytes 2-4: offsets 12 to 15.
  check(seen.text === "; Größe ÄÖ\n\tFOO 1\n\tEND\n\t", `${label} typing: the text is ${JSON.stringify(seen.text)}`);
  check(!seen.stale, `${label} typing: the results stay marked stale after the run`);
  check(JSON.stringify(seen.marks) === JSON.stringify([{ from: 12, to: 15, severity: "error", message: "unknown mnemonic FOO [F]" }]) &&
        JSON.stringify(seen.underlined) === '["FOO"]' && seen.gutter === 1,
        `${label} typing: marks ${JSON.stringify(seen.marks)}, underlined ${JSON.stringify(seen.underlined)}, ${seen.gutter} gutter marks`);
  const hover = await hoverText(page);
  check(hover === "unknown mnemonic FOO [F]", `${label} typing: the hover shows ${JSON.stringify(hover)}`);

  // The fix: FOO chosen with the keyboard and typed over.
  before = await runCount(page);
  await page.evaluate(() => window.Playground.page.editor.goTo(2, 2));
  await page.keyboard.down("Shift");
  for (let i = 0; i < 3; i++) await page.keyboard.press("ArrowRight");
  await page.keyboard.up("Shift");
  await page.keyboard.type("NOP");
  await waitForRun(page, before);
  seen = await editorState(page);
  const none = await page.$eval("#no-diagnostics", (p) => !p.hidden);
  check(seen.text === "; Größe ÄÖ\n\tNOP 1\n\tEND\n\t" && seen.marks.length === 0 && seen.underlined.length === 0 &&
        seen.gutter === 0 && none,
        `${label} fix: text ${JSON.stringify(seen.text)}, ${seen.marks.length} marks, ${seen.gutter} gutter marks`);

  before = await runCount(page);
  await withControl(page, "KeyZ");
  await waitForRun(page, before);
  seen = await editorState(page);
  check(seen.text.includes("\tFOO 1\n") && seen.marks.length === 1, `${label} undo: ${JSON.stringify(seen.text)}, ${seen.marks.length} marks`);
  before = await runCount(page);
  await withControl(page, "KeyZ", true);
  await waitForRun(page, before);
  seen = await editorState(page);
  check(seen.text.includes("\tNOP 1\n") && seen.marks.length === 0, `${label} redo: ${JSON.stringify(seen.text)}, ${seen.marks.length} marks`);

  // Search: Ctrl+F opens the search field; Enter finds the next match.
  await page.evaluate(() => window.Playground.page.editor.goTo(1, 1));
  await withControl(page, "KeyF");
  await page.waitForSelector(".cm-search input[name=search]", { timeout: 3000 });
  await page.keyboard.type("END");
  await page.keyboard.press("Enter");
  const found = await page.evaluate(() => window.Playground.page.editor.selection);
  check(found.from === 19 && found.to === 22, `${label} search: END found at ${JSON.stringify(found)}, not 19 to 22`);
  await page.keyboard.press("Escape");

  // A ctrlforge error: the hover shows the message and its number.
  await page.select("#program", "ctrlforge");
  await settled(page);
  await clearEditor(page);
  before = await runCount(page);
  await page.keyboard.type(".TITLE ERRS\n* L1: 20 R1 := R2\nGOTO L1\n.END\n");
  await waitForRun(page, before);
  seen = await editorState(page);
  // R1 after the heading's address ends the statement too early: line 2
  // starts at 12, R1 at its tenth byte.
  const first = seen.marks[0] || {};
  check(first.from === 21 && first.to === 23 && first.severity === "error" &&
        first.message === "a heading line holds only '*', a label with its ':' and an address; 'R1' begins another clause, which goes on a line of its own [E3]",
        `${label} ctrlforge typing: first mark ${JSON.stringify(first)}`);
  const microHover = await hoverText(page);
  check(microHover.includes("a heading line holds only '*', a label with its ':' and an address; 'R1' begins another clause, which goes on a line of its own [E3]"),
        `${label} ctrlforge typing: the hover shows ${JSON.stringify(microHover)}`);
  check(problems.length === 0, `${label} typing: page problems: ${problems.join("; ")}`);
  await page.close();
}

// Highlighting: each kind of word in its own colour, from the page's style
// sheet, in both languages.
async function highlighting(browser, url, label) {
  const { page, problems } = await openPage(browser, url);
  const colours = async (words) => page.evaluate((list) => {
    const spans = [...document.querySelectorAll(".cm-line span")];
    return list.map((word) => {
      const span = spans.find((s) => s.textContent === word);
      return span ? getComputedStyle(span).color : null;
    });
  }, words);
  const variable = (name) => page.evaluate((n) => {
    const probe = document.createElement("span");
    probe.style.color = `var(${n})`;
    document.body.append(probe);
    const colour = getComputedStyle(probe).color;
    probe.remove();
    return colour;
  }, name);
  await setState(page, { program: "ctrlforge", name: "H.MIC", letters: "S",
    text: ".TITLE HIGH\n* LOOP: 10\nIF ZER = 0 THEN LOOP\nR1 := R2 + 1F ; sum\n.END\n" });
  const micro = await colours(["IF", "ZER", "R1", "LOOP", "1F", "; sum"]);
  const microWanted = [];
  for (const name of ["--hl-keyword", "--hl-atom", "--hl-register", "--hl-label", "--hl-number", "--hl-comment"]) {
    microWanted.push(await variable(name));
  }
  check(JSON.stringify(micro) === JSON.stringify(microWanted),
        `${label} highlighting ctrlforge: ${JSON.stringify(micro)}, wanted ${JSON.stringify(microWanted)}`);
  await setState(page, { program: "wordforge", name: "H.ASM", letters: "",
    text: "START: RIO LPT\n        B START\n        QQQ 1\n        END\n" });
  const asm = await colours(["RIO", "LPT", "START", "QQQ", "END"]);
  const asmWanted = [];
  for (const name of ["--hl-keyword", "--hl-atom", "--hl-label", "--hl-invalid", "--hl-keyword"]) {
    asmWanted.push(await variable(name));
  }
  check(JSON.stringify(asm) === JSON.stringify(asmWanted),
        `${label} highlighting wordforge: ${JSON.stringify(asm)}, wanted ${JSON.stringify(asmWanted)}`);
  check(problems.length === 0, `${label} highlighting: page problems: ${problems.join("; ")}`);
  await page.close();
}

// A long run: the page keeps drawing frames and handles a key at once; the
// key cancels the run, whose result never lands, and the run of the new
// text does (one more run in all, showing the new text's error).
async function longRun(browser, url, args, label) {
  const { page, problems } = await openPage(browser, url);
  const lines = 400000;
  const text = "        LC 1,5\n".repeat(lines) + "        END\n";
  await setState(page, { program: "wordforge", name: "LONG.ASM", letters: "", text });
  const before = await runCount(page);
  await page.click("#assemble");
  await page.waitForFunction(() => document.body.dataset.state === "running", { timeout: 5000 });
  const frames = await page.evaluate(() => new Promise((resolve) => {
    let last = performance.now();
    let worst = 0;
    let count = 0;
    const step = (now) => {
      worst = Math.max(worst, now - last);
      last = now;
      if (++count < 20) requestAnimationFrame(step);
      else resolve({ worst, state: document.body.dataset.state });
    };
    requestAnimationFrame(step);
  }));
  // The run takes seconds; were it on the page's own thread, a frame would
  // wait that long. A loaded machine may delay a frame a little, never that.
  check(frames.state === "running" && frames.worst < 1000,
        `${label} long run: 20 frames during the run, the longest gap ${frames.worst.toFixed(0)} ms, the page is ${frames.state}`);
  await page.evaluate(() => {
    window.Playground.page.editor.goTo(1, 1);
    // When the key went down, and when the editor's text first changed after it.
    window.keyTimes = {};
    document.addEventListener("keydown", () => { window.keyTimes.down = performance.now(); }, { capture: true, once: true });
    const observer = new MutationObserver(() => {
      window.keyTimes.shown = performance.now();
      observer.disconnect();
    });
    observer.observe(document.querySelector(".cm-content"), { childList: true, subtree: true, characterData: true });
  });
  await page.keyboard.type("X");
  await page.waitForFunction(() => window.keyTimes.shown !== undefined, { timeout: 5000 });
  const handled = await page.evaluate(() => ({
    first: window.Playground.page.editor.text.slice(0, 10),
    state: document.body.dataset.state,
    runs: Number(document.body.dataset.runs || 0),
    took: window.keyTimes.shown - window.keyTimes.down,
  }));
  const took = handled.took.toFixed(1);
  check(handled.first === "X        L" && handled.state === "stale" && handled.runs === before && handled.took < 1000,
        `${label} long run: the key gave ${JSON.stringify(handled)}`);
  await waitForRun(page, before, 120000);
  const after = await page.evaluate(() => ({
    runs: Number(document.body.dataset.runs),
    first: document.querySelector("#diagnostics li button")?.textContent,
    count: document.getElementById("diagnostics-count").textContent,
  }));
  // (The words past the 65,536th write over addresses again: warnings.)
  check(after.runs === before + 1 && after.first === "LONG.ASM:1:1: error: unknown mnemonic X [F]" &&
        after.count.startsWith("1 error, "),
        `${label} long run: after the newer run ${JSON.stringify(after)} (runs before ${before})`);
  console.log(`long run (${label}): ${lines} lines; longest frame gap during it ${frames.worst.toFixed(0)} ms, ` +
              `a key shown ${took} ms after it went down`);
  check(problems.length === 0, `${label} long run: page problems: ${problems.join("; ")}`);
  await page.close();
}

async function editorSuite(browser, urls, args) {
  for (const [label, url] of Object.entries(urls)) {
    await typedErrors(browser, url, label);
    await highlighting(browser, url, label);
    await longRun(browser, url, args, label);
  }
}

// 150,000 diagnostics: the list and the marks stop at the page's bound and
// say how many more there are; the heading counts all; the run ends.
async function manyDiagnostics(browser, url, label) {
  const { page, problems } = await openPage(browser, url);
  const count = 150000;
  const text = "        XYZ\n".repeat(count) + "        END\n";
  await setState(page, { program: "wordforge", name: "MANY.ASM", letters: "", text });
  const before = await runCount(page);
  const started = Date.now();
  await page.click("#assemble");
  await waitForRun(page, before, 120000);
  const took = Date.now() - started;
  const seen = await page.evaluate(() => {
    const buttons = [...document.querySelectorAll("#diagnostics li button")];
    return {
      limit: window.Playground.diagnosticLimit,
      items: document.querySelectorAll("#diagnostics li").length,
      buttons: buttons.length,
      first: buttons[0]?.textContent,
      last: buttons[buttons.length - 1]?.textContent,
      more: document.querySelector("#diagnostics li.more")?.textContent,
      count: document.getElementById("diagnostics-count").textContent,
      marks: window.Playground.page.editor.marks.length,
      status: document.getElementById("status").textContent,
      note: document.querySelector("#file-view .view-note")?.textContent,
      shownLines: document.querySelector("#file-view pre").textContent.split("\n").length - 1,
      part: window.Playground.fileViews.partLines,
    };
  });
  // The listing's view shows its first part; more comes as it is scrolled.
  check(/^… [0-9,]+ more lines$/.test(seen.note ?? "") && seen.shownLines === seen.part,
        `${label} many diagnostics: the listing's view shows ${seen.shownLines} lines, then ${JSON.stringify(seen.note)}`);
  await page.$eval("#file-view .view-more", (note) => note.scrollIntoView());
  const grown = await page.waitForFunction((part) =>
    document.querySelector("#file-view pre").textContent.split("\n").length - 1 === 2 * part, { timeout: 5000 }, seen.part)
    .then(() => true, () => false);
  check(grown, `${label} many diagnostics: scrolling to the view's end does not show the next part`);
  // The scroll may have shown a further part by now; the button adds one.
  const shownBefore = await page.evaluate(() => document.querySelector("#file-view pre").textContent.split("\n").length - 1);
  await page.click("#file-view .view-more");
  const clicked = await page.evaluate(() => document.querySelector("#file-view pre").textContent.split("\n").length - 1);
  check(clicked === shownBefore + seen.part,
        `${label} many diagnostics: the button for more shows ${clicked} lines in all, after ${shownBefore}`);
  check(seen.limit >= 1000 && seen.limit <= 5000, `${label} many diagnostics: the bound is ${seen.limit}`);
  check(seen.buttons === seen.limit && seen.items === seen.limit + 1 && seen.marks === seen.limit &&
        seen.more === `… and ${(count - seen.limit).toLocaleString("en")} more` &&
        seen.count === "150,000 errors, 0 warnings" &&
        seen.first === "MANY.ASM:1:9: error: unknown mnemonic XYZ [F]" &&
        seen.last === `MANY.ASM:${seen.limit}:9: error: unknown mnemonic XYZ [F]` &&
        seen.status.startsWith("wordforge: errors found"),
        `${label} many diagnostics: ${JSON.stringify(seen)}`);
  console.log(`many diagnostics (${label}): ${count} errors, from Assemble to the result ${took} ms`);
  check(problems.length === 0, `${label} many diagnostics: page problems: ${problems.join("; ")}`);
  await page.close();
}

// Share links past the unpacked-size limit are refused at once with a
// message, whatever their own size; one just under it opens.
async function shareLimit(browser, url, label) {
  const link = (text) => `${url}#p=wordforge&n=BIG.ASM&z=${zlib.deflateRawSync(Buffer.from(text)).toString("base64url")}`;
  const over = link("        NOP\n".repeat(200000));  // 2,400,000 bytes
  const started = Date.now();
  const { page, problems } = await openPage(browser, over);
  const took = Date.now() - started;
  const seen = await page.evaluate(() => ({
    state: document.body.dataset.state,
    status: document.getElementById("status").textContent,
    text: window.Playground.page.editor.text,
  }));
  check(seen.state === "failed" && seen.status.includes("at most 2 MiB") && seen.text === "" && took < 10000,
        `${label} share limit: a link of ${over.length} characters gave ${JSON.stringify(seen)} after ${took} ms`);
  await page.close();
  const under = await openPage(browser, link(`${"; pad\n".repeat(300000)}        HLT\n        END\n`));
  const opened = await under.page.evaluate(() => ({
    state: document.body.dataset.state, lines: window.Playground.page.editor.view.state.doc.lines }));
  check(opened.state === "done" && opened.lines === 300003, `${label} share limit: a link under the limit gave ${JSON.stringify(opened)}`);
  console.log(`share limit (${label}): over-limit link (${over.length} characters) refused ${took} ms after opening`);
  check(problems.length + under.problems.length === 0,
        `${label} share limit: page problems: ${[...problems, ...under.problems].join("; ")}`);
  await under.page.close();
}

// An error in the page's own code shows in the status instead of a status
// that says all is well: thrown in a task, a rejected promise nobody
// handles, and a result view that fails.
async function pageErrors(browser, url, label) {
  const { page } = await openPage(browser, url, { expectPageError: true });
  // Each fault is raised by a script of the page's own.
  const statusAfter = async (code, text) => {
    await page.addScriptTag({ content: code });
    try {
      await page.waitForFunction((t) => document.getElementById("status").textContent.includes(t) &&
        document.body.dataset.state === "failed", { timeout: 5000 }, text);
      return true;
    } catch {
      return page.$eval("#status", (p) => p.textContent);
    }
  };
  for (const [what, code, text] of [
    ["a thrown error", "setTimeout(() => { throw new Error('injected fault'); }, 0);", "injected fault"],
    ["a rejected promise", "Promise.reject(new Error('injected rejection'));", "injected rejection"],
    ["a failing view", "window.Playground.page.panels[1].update = () => { throw new Error('view fault'); };" +
      "document.getElementById('assemble').click();", "view fault"],
  ]) {
    const shown = await statusAfter(code, text);
    check(shown === true, `${label} page errors: after ${what} the status reads ${JSON.stringify(shown)}`);
  }
  await page.close();
}

// The watch on requests sees the page's own files, and catches a request
// outside the page's folder.
async function requestWatch(browser, url, label) {
  const { page, problems, requests } = await openPage(browser, url);
  const names = requests.map((address) => new URL(address).pathname.split("/").pop());
  const own = ["index.html", "style.css", "editor.js", "worker-source.js", "examples.js", "runner.js", "main.js"];
  check(own.every((name) => names.includes(name)), `${label} requests: the watch saw ${JSON.stringify(names)}`);
  check(problems.length === 0, `${label} requests: page problems: ${problems.join("; ")}`);
  await page.evaluate(() => fetch("http://192.0.2.1/outside.js").catch(() => {}));
  check(problems.some((p) => p.startsWith("request outside the page's folder: http://192.0.2.1/outside.js")),
        `${label} requests: a request outside the folder was not caught (${JSON.stringify(problems)})`);
  await page.close();
}

async function robustnessSuite(browser, urls) {
  for (const [label, url] of Object.entries(urls)) {
    await requestWatch(browser, url, label);
    await manyDiagnostics(browser, url, label);
    await shareLimit(browser, url, label);
    await pageErrors(browser, url, label);
  }
}

// Not blank: many colours, and a good share of pixels unlike the background.
async function pictureStats(browser, png) {
  const page = await browser.newPage();
  const stats = await page.evaluate(async (data) => {
    const image = new Image();
    image.src = `data:image/png;base64,${data}`;
    await image.decode();
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0);
    const pixels = new Uint32Array(context.getImageData(0, 0, image.width, image.height).data.buffer);
    const counts = new Map();
    for (const pixel of pixels) counts.set(pixel, (counts.get(pixel) || 0) + 1);
    const commonest = Math.max(...counts.values());
    return { width: image.width, height: image.height, colours: counts.size,
             unlikeBackground: 1 - commonest / pixels.length };
  }, png.toString("base64"));
  await page.close();
  return stats;
}

function luminance(rgb) {
  const [r, g, b] = rgb.match(/\d+/g).map(Number);
  return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

// An example chosen from the menu, the store's picture in view, the mouse
// resting on the first word of the first of `kinds` the picture has: the
// tip shows, and the picture and its tip fit the window.
async function pictureShot(browser, page, label, args, name, example, kinds) {
  const value = await page.$$eval("#examples option", (options, file) =>
    options.find((option) => option.textContent.startsWith(`${file} `))?.value, example);
  if (!check(value !== undefined, `${label} ${name}: the Examples menu has no ${example}`)) return;
  const before = await runCount(page);
  await page.select("#examples", value);
  await waitForRun(page, before);
  await page.evaluate(() => document.getElementById("picture-panel").scrollIntoView());
  const address = await page.evaluate((wanted) => {
    const shown = window.Playground.page.picture.kinds();
    for (const kind of wanted) if (shown.includes(kind)) return shown.indexOf(kind);
    return -1;
  }, kinds);
  if (!check(address >= 0, `${label} ${name}: ${example} has none of ${kinds.join(", ")}`)) return;
  const point = await page.evaluate((a) => window.Playground.page.picture.cellPoint(a), address);
  await page.mouse.move(point.x, point.y);
  await page.waitForFunction(() => !document.getElementById("picture-tip").hidden, { timeout: 3000 });
  const fits = await page.evaluate(() => ({
    picture: document.getElementById("picture").getBoundingClientRect().right,
    tip: document.getElementById("picture-tip").getBoundingClientRect().right,
    window: window.innerWidth,
  }));
  check(fits.picture <= fits.window && fits.tip <= fits.window,
        `${label} ${name}: the picture ends at ${fits.picture} px and its tip at ${fits.tip}, the window at ${fits.window}`);
  const file = path.join(args.artifacts, `page-${label}-${name}.png`);
  const stats = await pictureStats(browser, Buffer.from(await page.screenshot({ path: file })));
  check(stats.colours >= 16, `${label} ${name}: screenshot looks blank (${stats.colours} colours)`);
  await page.mouse.move(1, 1);
  await page.evaluate(() => window.scrollTo(0, 0));
}

async function screenshotSuite(browser, url, args) {
  const backgrounds = {};
  for (const scheme of ["light", "dark"]) {
    for (const [width, height] of [[1280, 800], [390, 844]]) {
      const label = `${width}x${height}-${scheme}`;
      const { page, problems } = await openPage(browser, url, { viewport: { width, height }, scheme });
      // The bundled example with lane images, showing one lane of the binary image.
      await setImages(page, { formats: ["readmemh", "bin"], lanes: true, fill: "", hexWordAddresses: false });
      const before = await runCount(page);
      await page.click("#assemble");
      await waitForRun(page, before);
      await page.click('#tabs [data-group="image:bin"]');
      await page.click("#lanes button:nth-child(2)");
      // The clicks scrolled the results into view; the picture shows the page's top.
      await page.evaluate(() => window.scrollTo(0, 0));
      const file = path.join(args.artifacts, `page-${label}.png`);
      const png = Buffer.from(await page.screenshot({ path: file }));
      const stats = await pictureStats(browser, png);
      check(stats.width === width && stats.height === height, `${label}: screenshot is ${stats.width}x${stats.height}`);
      check(stats.colours >= 16 && stats.unlikeBackground >= 0.03,
            `${label}: screenshot looks blank (${stats.colours} colours, ${(stats.unlikeBackground * 100).toFixed(1)}% unlike the background)`);
      const layout = await page.evaluate(() => ({
        overflow: document.documentElement.scrollWidth - window.innerWidth,
        background: getComputedStyle(document.body).backgroundColor,
      }));
      check(layout.overflow <= 0, `${label}: the page is ${layout.overflow} px wider than the window`);
      check(problems.length === 0, `${label}: page problems: ${problems.join("; ")}`);
      backgrounds[scheme] = layout.background;
      console.log(`${label}: ${file} (${stats.colours} colours, ${(stats.unlikeBackground * 100).toFixed(1)}% unlike the background)`);
      await pictureShot(browser, page, label, args, "picture", "dispatch.mic", ["iab", "iop", "ira", "branch"]);
      await pictureShot(browser, page, label, args, "memory", "table.zasm", ["code"]);
      if (width > 600) {
        // Lint marks, a hover on one, and the diagnostics below the editor.
        await setState(page, { program: "wordforge", name: "MARKS.ASM", letters: "",
          text: "; Prüfung\n LC 2,300 ; Größe\n FOO 1\nÄB HLT\n END\n" });
        const runs = await runCount(page);
        await page.click("#assemble");
        await waitForRun(page, runs);
        const hover = await hoverText(page, false);
        check(hover.includes("[-Wtruncation]"), `${label}: the hover shows ${JSON.stringify(hover)}`);
        await page.screenshot({ path: path.join(args.artifacts, `page-${label}-marks.png`) });
        await page.mouse.move(1, 1);
      }
      if (width < 600) {
        // The whole page at phone width: the results stack below the editor.
        const whole = path.join(args.artifacts, `page-${label}-whole.png`);
        const wholeStats = await pictureStats(browser, Buffer.from(await page.screenshot({ path: whole, fullPage: true })));
        check(wholeStats.width === width && wholeStats.height > height && wholeStats.unlikeBackground >= 0.03,
              `${label}: whole-page screenshot is ${wholeStats.width}x${wholeStats.height}, ` +
              `${(wholeStats.unlikeBackground * 100).toFixed(1)}% unlike the background`);
      }
      await page.close();
    }
  }
  check(luminance(backgrounds.dark) < luminance(backgrounds.light),
        `the dark scheme's background ${backgrounds.dark} is not darker than the light one's ${backgrounds.light}`);
}

async function main() {
  const args = parseArgs(process.argv.slice(2));
  if (!fs.existsSync(args.chromium)) {
    console.log(`SKIPPED: no Chromium at ${args.chromium}`);
    return SKIP;
  }
  const index = path.join(args.page, "index.html");
  if (!fs.existsSync(index) || !fs.existsSync(path.join(args.page, "worker-source.js"))) {
    console.log(`SKIPPED: the page is not built in ${args.page} (cmake --workflow --preset web)`);
    return SKIP;
  }
  let puppeteer;
  try {
    puppeteer = createRequire(path.join(args.modules, "package.json"))("puppeteer-core");
  } catch {
    console.log(`SKIPPED: puppeteer-core is not installed in ${args.modules} (npm ci)`);
    return SKIP;
  }
  fs.mkdirSync(args.artifacts, { recursive: true });

  const server = await serve(args.page);
  const urls = { http: `${server.url}index.html`, file: pathToFileURL(index).href };
  setPageRoots([server.url, pathToFileURL(args.page).href + "/"]);
  // A profile of its own, removed afterwards; nothing reaches the network.
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "zorvelt-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: args.chromium,
    headless: true,
    userDataDir: profile,
    // --no-sandbox: Chromium's sandbox refuses to run as root, as CI does.
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
  try {
    switch (args.suite) {
      case "golden-http": await goldenSuite(browser, urls.http, args); break;
      case "golden-file": await goldenSuite(browser, urls.file, args); break;
      case "interaction": await interactionSuite(browser, urls, args); break;
      case "editor": await editorSuite(browser, urls, args); break;
      case "robustness": await robustnessSuite(browser, urls); break;
      case "pictures": await picturesSuite(browser, urls); break;
      case "screenshots": await screenshotSuite(browser, urls.http, args); break;
      default: throw new Error(`unknown suite ${args.suite}`);
    }
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  if (failures.length > 0) {
    console.log(`${failures.length} check(s) failed`);
    return 1;
  }
  console.log("all checks passed");
  return 0;
}

main().then((status) => process.exit(status), (error) => {
  console.log(`FAIL: ${error.stack || error}`);
  process.exit(1);
});
