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
//                             first-assembly time
//   screenshots               1280x800 and 390x844, light and dark, with
//                             lane images and the hex view of a binary image
// Exit status: 0 passed, 1 failed, 77 skipped (the reason is printed).
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { pathToFileURL } from "node:url";
import zlib from "node:zlib";

import { listingErrors, readCases, readCommandLineCases, sourceText } from "./golden_cases.mjs";
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

const failures = [];
function check(condition, message) {
  if (!condition) {
    failures.push(message);
    console.log(`FAIL: ${message}`);
  }
  return condition;
}

// Where two byte strings first differ, with some context on each side.
function describeDifference(expected, actual) {
  let at = 0;
  while (at < expected.length && at < actual.length && expected[at] === actual[at]) at++;
  const from = Math.max(0, at - 30);
  const show = (bytes) => JSON.stringify(bytes.subarray(from, at + 30).toString("latin1"));
  return `differs at byte ${at} (expected ${expected.length} bytes, got ${actual.length})\n` +
    `    expected from byte ${from}: ${show(expected)}\n    page     from byte ${from}: ${show(actual)}`;
}

function checkBytes(label, expected, actual) {
  return check(Buffer.compare(expected, actual) === 0, `${label}: ${describeDifference(expected, actual)}`);
}

async function openPage(browser, url, options = {}) {
  const page = await browser.newPage();
  if (options.viewport) await page.setViewport(options.viewport);
  if (options.scheme) await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: options.scheme }]);
  const problems = [];
  page.on("pageerror", (error) => problems.push(`page error: ${error.message}`));
  page.on("console", (message) => {
    if (message.type() === "error") problems.push(`console error: ${message.text()}`);
  });
  page.on("requestfailed", (request) => problems.push(`request failed: ${request.url().slice(0, 120)}`));
  await page.goto(url, { waitUntil: "load" });
  await page.waitForSelector("#assemble:not([disabled])", { timeout: 30000 });
  return { page, problems };
}

function runCount(page) {
  return page.evaluate(() => Number(document.body.dataset.runs || 0));
}

async function waitForRun(page, before) {
  await page.waitForFunction((n) => Number(document.body.dataset.runs || 0) > n, { timeout: 10000 }, before);
}

const noImages = { formats: [], lanes: false, fill: "", hexWordAddresses: false };

// Sets the image options through their controls.
async function setImages(page, images) {
  await page.waitForSelector("#image-formats input");
  const offered = await page.$$eval("#image-formats input", (boxes) => boxes.map((box) => box.value));
  for (const format of images.formats) {
    if (!offered.includes(format)) throw new Error(`the page offers no image format ${format}`);
  }
  for (const format of offered) {
    const box = `#image-formats input[data-format="${format}"]`;
    if (await page.$eval(box, (input) => input.checked) !== images.formats.includes(format)) await page.click(box);
  }
  for (const [box, wanted] of [["#image-lanes", images.lanes], ["#image-word-addresses", images.hexWordAddresses]]) {
    if (await page.$eval(box, (input) => input.checked) !== wanted) await page.click(box);
  }
  await page.$eval("#image-fill", (field, value) => {
    field.value = value;
    field.dispatchEvent(new Event("input", { bubbles: true }));
  }, images.fill);
}

// Sets program, source name, option letters, image options and source text
// as a user would leave them: the choice and the boxes through the controls,
// the text typed into the editor in one piece.
async function setState(page, { program, name, letters, text, images = noImages }) {
  await setImages(page, images);
  await page.select("#program", program);
  await page.$eval("#source-name", (field, value) => {
    field.value = value;
    field.dispatchEvent(new Event("input", { bubbles: true }));
  }, name);
  if (program === "ctrlforge") {
    for (const letter of ["S", "O", "M"]) {
      const box = `#opt-${letter.toLowerCase()}`;
      const checked = await page.$eval(box, (input) => input.checked);
      if (checked !== letters.includes(letter)) await page.click(box);
    }
  }
  await page.$eval("#source", (area, value) => {
    area.value = value;
    area.dispatchEvent(new Event("input", { bubbles: true }));
  }, text);
}

// What the page shows after a run: each file's bytes as its download link
// hands them out (with the image format it names), the tab names, the text
// shown for each file (chosen by its tab, and for a lane image by its lane
// under its format's tab), the console, and the refusal of image options.
async function collect(page) {
  const shown = await page.evaluate(async () => {
    const files = [];
    for (const link of document.querySelectorAll("#downloads a")) {
      const bytes = new Uint8Array(await (await fetch(link.href)).arrayBuffer());
      let binary = "";
      for (let i = 0; i < bytes.length; i += 0x8000) {
        binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
      }
      files.push({ name: link.download, format: link.dataset.format || "", base64: btoa(binary) });
    }
    const tabs = [...document.querySelectorAll("#tabs [role=tab]")];
    const view = document.getElementById("file-view");
    const views = {};
    for (const tab of tabs) {
      tab.click();
      const lanes = [...document.querySelectorAll("#lanes button")];
      if (lanes.length === 0) views[tab.dataset.file] = view.textContent;
      for (const lane of lanes) {
        lane.click();
        views[lane.dataset.file] = view.textContent;
      }
    }
    const problem = document.getElementById("image-problem");
    return {
      files,
      tabs: tabs.map((tab) => tab.textContent),
      views,
      imageProblem: problem.hidden ? "" : problem.textContent,
      console: document.getElementById("console").textContent,
      failed: document.getElementById("console").classList.contains("failed"),
      diagnostics: [...document.querySelectorAll("#diagnostics button")].map((button) => ({
        text: button.textContent,
        severity: button.className,
        line: Number(button.dataset.line),
        column: Number(button.dataset.column),
      })),
    };
  });
  shown.files = shown.files.map((file) => ({
    name: file.name, format: file.format, bytes: Buffer.from(file.base64, "base64"),
  }));
  return shown;
}

async function assembleInPage(page, state) {
  await setState(page, state);
  const before = await runCount(page);
  await page.click("#assemble");
  await waitForRun(page, before);
  return collect(page);
}

// The bytes a hex view shows: lines of an eight-digit offset, then up to
// sixteen bytes in pairs of hex digits, then the printable bytes between
// bars. Null when a line does not read so or an offset is out of step.
function hexViewBytes(text) {
  const bytes = [];
  for (const line of text.split("\n")) {
    const match = /^([0-9A-F]{8})  ((?:[0-9A-F]{2} ){0,15}[0-9A-F]{2}) +\|(.{1,16})\|$/.exec(line);
    if (!match || parseInt(match[1], 16) !== bytes.length) return null;
    const row = match[2].split(" ").map((pair) => parseInt(pair, 16));
    const printable = row.map((byte) => (byte >= 0x20 && byte < 0x7f ? String.fromCharCode(byte) : ".")).join("");
    if (match[3] !== printable) return null;
    bytes.push(...row);
  }
  return Buffer.from(bytes);
}

// The page shows every file it hands out: a tab of the file's own, or its
// lane under its format's tab, with the file's text (line ends shown as line
// breaks), or for a raw binary image a hex view of exactly its bytes.
function checkShown(label, shown) {
  const names = shown.files.map((file) => file.name);
  const viewed = Object.keys(shown.views);
  check(JSON.stringify(viewed) === JSON.stringify(names),
        `${label}: the tabs show ${JSON.stringify(viewed)}, the downloads are ${JSON.stringify(names)}`);
  for (const file of shown.files) {
    if (file.format === "bin") {
      const bytes = file.bytes.length === 0 ? Buffer.alloc(0) : hexViewBytes(shown.views[file.name]);
      check(bytes !== null && Buffer.compare(bytes, file.bytes) === 0,
            `${label}: the hex view of ${file.name} does not show the file's bytes`);
      continue;
    }
    const text = new TextDecoder().decode(file.bytes).replace(/\r\n/g, "\n");
    check(shown.views[file.name] === text, `${label}: the tab of ${file.name} does not show the file's text`);
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
    const left = new Map();
    const consoles = [];
    for (const [index, run] of goldenCase.runs.entries()) {
      const shown = await assembleInPage(page, {
        program: goldenCase.program, name: run.name, letters: run.letters, text: texts[index],
      });
      checkShown(`${goldenCase.id} run ${index + 1}`, shown);
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
      for (const file of shown.files) left.set(file.name, file.bytes);
      const object = `${run.name}.b`;
      if (goldenCase.program === "wordforge" && !shown.files.some((file) => file.name === object)) {
        left.delete(object);
      }
    }
    const expectedNames = [...goldenCase.expected.keys()].sort();
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
    const area = document.getElementById("source");
    return { focused: document.activeElement === area, start: area.selectionStart, end: area.selectionEnd };
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
    checkShown(c.id, shown);
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
    const expectedImages = [...c.expected.keys()].filter((name) => !own.has(name)).sort();
    const pageImages = shown.files.filter((file) => file.format !== "").map((file) => path.posix.basename(file.name)).sort();
    check(JSON.stringify(pageImages) === JSON.stringify(expectedImages),
          `${c.id}: the page makes images ${JSON.stringify(pageImages)}, the command line ${JSON.stringify(expectedImages)}`);
    if (c.images.formats.length > 0) {
      imageCases++;
      images += expectedImages.length;
    }
    const editorText = await page.$eval("#source", (area) => area.value);
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
    { program: "wordforge", name: "table.asm", letters: "",
      text: fs.readFileSync(path.join(args.examples, "table.asm"), "utf8").replace(/\r\n/g, "\n"),
      images: { formats: ["readmemb", "mif"], lanes: false, fill: "BEEF", hexWordAddresses: false },
      fragment: { i: "readmemb,mif", l: null, f: "BEEF", w: null } },
    { program: "wordforge", name: "table.asm", letters: "", images: noImages,
      text: fs.readFileSync(path.join(args.examples, "table.asm"), "utf8").replace(/\r\n/g, "\n"),
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
      text: document.getElementById("source").value,
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
  const marks = await page.evaluate(() => ({
    errors: [...document.querySelectorAll("#gutter .error")].map((s) => s.textContent),
    warnings: [...document.querySelectorAll("#gutter .warning")].map((s) => s.textContent),
  }));
  check(JSON.stringify(marks) === '{"errors":["3","4"],"warnings":["2"]}',
        `${label} diagnostics: gutter marks ${JSON.stringify(marks)}`);

  // A column counts bytes. In "Ä𝄞 AB", Ä takes bytes 1-2 (one character), 𝄞
  // bytes 3-6 (two UTF-16 units), the blank byte 7, A byte 8. A column inside
  // a character's bytes puts the cursor before it; past the line, at its end.
  await setState(page, { program: "wordforge", name: "PRÜF.ASM", letters: "", text: "Ä𝄞 AB\nx\n" });
  const table = [[1, 1, 0], [1, 2, 0], [1, 3, 1], [1, 5, 1], [1, 7, 3], [1, 8, 4], [1, 10, 6], [1, 40, 6], [2, 1, 7]];
  for (const [line, column, offset] of table) {
    const at = await page.evaluate((l, c) => {
      window.Playground.page.editor.goTo(l, c);
      return document.getElementById("source").selectionStart;
    }, line, column);
    check(at === offset, `${label} editor: line ${line} column ${column} put the cursor at ${at}, not ${offset}`);
  }

  // A real run with errors fills the same list from the assembler's answer.
  await setState(page, { program: "ctrlforge", name: "PROG.MIC", letters: "S", text: "BROKEN\n" });
  const before = await runCount(page);
  await page.keyboard.down("Control");
  await page.keyboard.press("Enter");
  await page.keyboard.up("Control");
  await waitForRun(page, before);
  const afterRun = await page.evaluate(() => ({
    text: document.getElementById("source").value,
    console: document.getElementById("console").textContent,
    listed: document.querySelectorAll("#diagnostics li").length,
    marks: document.querySelectorAll("#gutter .error").length,
  }));
  check(afterRun.console.includes("ERROR OCCURRED IN ASSEMBLE-TIME!"),
        `${label} Ctrl+Enter: console ${JSON.stringify(afterRun.console)}`);
  check(afterRun.text === "BROKEN\n", `${label} Ctrl+Enter: changed the source to ${JSON.stringify(afterRun.text)}`);
  check(afterRun.listed > 0 && afterRun.marks > 0,
        `${label} Ctrl+Enter: ${afterRun.listed} diagnostics, ${afterRun.marks} gutter marks`);
  check(problems.length === 0, `${label} diagnostics: page problems: ${problems.join("; ")}`);
  await page.close();
}

// The Examples menu loads the bundled examples as they are in examples/.
async function examplesMenu(browser, url, args, label) {
  const { page, problems } = await openPage(browser, url);
  const offered = await page.$$eval("#examples option", (options) => options.slice(1).map((o) => o.textContent));
  check(offered.some((o) => o.startsWith("fetch.mic")) && offered.some((o) => o.startsWith("table.asm")),
        `${label} examples: menu offers ${JSON.stringify(offered)}`);
  for (const [file, program, message] of [["table.asm", "wordforge", " NORMAL TERMINATION !\n\n"],
                                           ["fetch.mic", "ctrlforge", "\nNORMAL TERMINATION!\n\n"]]) {
    const value = await page.$$eval("#examples option", (options, name) =>
      options.find((o) => o.textContent.startsWith(name)).value, file);
    await page.select("#examples", value);
    const seen = await page.evaluate(() => ({
      program: document.getElementById("program").value,
      name: document.getElementById("source-name").value,
      text: document.getElementById("source").value,
    }));
    const text = fs.readFileSync(path.join(args.examples, file), "utf8").replace(/\r\n?/g, "\n");
    check(seen.program === program && seen.name === file, `${label} examples: ${file} chose ${seen.program} ${seen.name}`);
    check(seen.text === text, `${label} examples: ${file} is not the text of examples/${file}`);
    const before = await runCount(page);
    await page.click("#assemble");
    await waitForRun(page, before);
    const consoleText = await page.$eval("#console", (pre) => pre.textContent);
    check(consoleText === message, `${label} examples: ${file} console ${JSON.stringify(consoleText)}`);
  }
  check(problems.length === 0, `${label} examples: page problems: ${problems.join("; ")}`);
  await page.close();
}

// From the click on Assemble to the result in the page, for the bundled
// example a fresh page opens with. Reported, not judged.
async function firstAssembly(browser, url, args, label) {
  const { page } = await openPage(browser, url);
  const ready = await page.evaluate(() => performance.now());
  const timing = await page.evaluate(() => new Promise((resolve) => {
    const name = document.getElementById("source-name").value;
    const start = performance.now();
    const observer = new MutationObserver(() => {
      if (document.body.dataset.runs !== "1") return;
      observer.disconnect();
      const result = performance.now() - start;
      requestAnimationFrame(() => resolve({ name, result, painted: performance.now() - start }));
    });
    observer.observe(document.body, { attributes: true });
    document.getElementById("assemble").click();
  }));
  console.log(`first assembly (${label}) of ${timing.name}: ${timing.result.toFixed(1)} ms from click to result, ` +
              `${timing.painted.toFixed(1)} ms to the next frame; page ready ${ready.toFixed(0)} ms after navigation`);
  fs.writeFileSync(path.join(args.artifacts, `first-assembly-${label}.txt`),
                   `${timing.name} ${timing.result.toFixed(1)} ms to result, ${timing.painted.toFixed(1)} ms to next frame\n`);
  await page.close();
}

async function interactionSuite(browser, urls, args) {
  for (const [label, url] of Object.entries(urls)) {
    await shareRoundTrip(browser, url, args, label);
    await downloads(browser, url, args, label);
    await imageOptionsView(browser, url, label);
    await diagnosticsView(browser, url, label);
    await examplesMenu(browser, url, args, label);
    await firstAssembly(browser, url, args, label);
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
  if (!fs.existsSync(index) || !fs.existsSync(path.join(args.page, "assemblers.js"))) {
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
  const browser = await puppeteer.launch({
    executablePath: args.chromium,
    headless: true,
    // Chromium's sandbox refuses to run as root, as CI does.
    args: process.getuid && process.getuid() === 0 ? ["--no-sandbox"] : [],
  });
  try {
    switch (args.suite) {
      case "golden-http": await goldenSuite(browser, urls.http, args); break;
      case "golden-file": await goldenSuite(browser, urls.file, args); break;
      case "interaction": await interactionSuite(browser, urls, args); break;
      case "screenshots": await screenshotSuite(browser, urls.http, args); break;
      default: throw new Error(`unknown suite ${args.suite}`);
    }
  } finally {
    await browser.close();
    server.close();
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
