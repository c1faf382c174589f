// The browser page's live assembly, timed in headless Chromium: from a
// keystroke in the editor to the updated lint marks and picture of the
// store, on a full control store
// (FILL.MIC, 4,095 statements) and on a wordforge program of 65,536 words.
// Each keystroke alternately puts an error into a line (a letter before its
// first word) and takes it out again (Backspace), so the marks change every
// time. Prints a Markdown table.
//
//   node web_editor.mjs --page DIR --modules DIR --fill FILL.MIC [--chromium PATH] [--runs N]
//
// The times, per keystroke, from the key going down (a listener on the
// page, before the editor sees it):
//   debounce  until the run starts (the page waits for a pause in typing)
//   marks     from the run's start until the editor holds the new marks
//   picture   from the run's start until the store's picture is redrawn
//   landed    from the run's start until every view of the result is up to date
//   painted   from the run's start until the next frame after that
//   worker    the assembler's own time inside the worker
import fs from "node:fs";
import { createRequire } from "node:module";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";

function parseArgs(argv) {
  const args = { chromium: "/usr/bin/chromium", runs: "21" };
  for (let i = 0; i < argv.length; i += 2) args[argv[i].replace(/^--/, "")] = argv[i + 1];
  for (const needed of ["page", "modules", "fill"]) if (!args[needed]) throw new Error(`--${needed} missing`);
  args.runs = Number(args.runs);
  return args;
}

// 65,536 words, every address of main memory: 4,096 blocks of sixteen
// one-word lines, each block's label branched to from within the block and
// from the block before it. Assembles without a diagnostic.
function wordProgram(blocks = 4096) {
  const lines = ["; 65,536 words: every address of main memory, 16 per block", "        TITLE FULL"];
  const label = (b) => `L${b.toString(16).toUpperCase().padStart(4, "0")}`;
  for (let b = 0; b < blocks; b++) {
    const next = b + 1 < blocks ? label(b + 1) : label(b);
    lines.push(`${label(b)}:  LC    1,5`, "        ADD   3,1(2)", "        SUB   1,2", "        XOR   2,3",
      "        SL    1,-2", "        PUSH  1,3", "        POP   2,3", "        DC    X\"ABCD",
      "        MULT  1,2", "        CMP   1,3", "        LEA   2,4(1)", "        NOP",
      `        BNZ   ${label(b)}`, `        BSR   ${next}`, "        B     *+1", "        WIO   LPT");
  }
  lines.push("        END");
  return `${lines.join("\n")}\n`;
}

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

// Installs the timers in the page: the key's time, the run's start (the
// page's state turning to "running"), the marks (the editor's
// showDiagnostics returning), the landing (dataset.runs), the next frame.
async function instrument(page) {
  await page.evaluate(() => {
    const times = {};
    window.benchTimes = times;
    document.addEventListener("keydown", () => {
      for (const key of Object.keys(times)) delete times[key];
      times.key = performance.now();
    }, true);
    const editor = window.Playground.page.editor;
    const show = editor.showDiagnostics.bind(editor);
    editor.showDiagnostics = (list) => {
      show(list);
      times.marks = performance.now();
    };
    const picture = window.Playground.page.picture;
    const draw = picture.show.bind(picture);
    picture.show = (model) => {
      draw(model);
      times.picture = performance.now();
    };
    new MutationObserver(() => {
      const state = document.body.dataset.state;
      if (state === "running" && times.key !== undefined && times.start === undefined) times.start = performance.now();
      if (state === "done" && times.marks !== undefined && times.landed === undefined) {
        times.landed = performance.now();
        requestAnimationFrame(() => { times.painted = performance.now(); });
      }
    }).observe(document.body, { attributes: true, attributeFilter: ["data-state", "data-runs"] });
  });
}

async function measure(page, { program, name, text, line, runs }) {
  await page.select("#program", program);
  await page.evaluate((n) => {
    const field = document.getElementById("source-name");
    field.value = n;
    field.dispatchEvent(new Event("input", { bubbles: true }));
  }, name);
  await page.evaluate((t) => window.Playground.page.editor.replaceText(t), text);
  await page.waitForFunction(() => document.body.dataset.state === "done", { timeout: 60000 });
  const rows = [];
  for (let i = 0; i < runs + 1; i++) {
    const putIn = i % 2 === 0;
    if (putIn) await page.evaluate((l) => window.Playground.page.editor.goTo(l, 1), line);
    await page.keyboard.press(putIn ? "KeyQ" : "Backspace");
    await page.waitForFunction(() => window.benchTimes.painted !== undefined, { timeout: 60000 });
    const times = await page.evaluate(() => ({ ...window.benchTimes,
      marksNow: window.Playground.page.editor.marks.length,
      worker: window.Playground.page.lastRun.result.took }));
    // The first keystroke warms the page up and is not counted.
    if (i > 0) rows.push({ putIn, ...times });
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const stat = (pick) => median(rows.map(pick)).toFixed(1);
  const marks = rows.map((r) => r.marksNow);
  return {
    keystrokes: rows.length,
    debounce: stat((r) => r.start - r.key),
    marks: stat((r) => r.marks - r.start),
    marksIn: median(rows.filter((r) => r.putIn).map((r) => r.marks - r.start)).toFixed(1),
    marksOut: median(rows.filter((r) => !r.putIn).map((r) => r.marks - r.start)).toFixed(1),
    picture: stat((r) => r.picture - r.start),
    landed: stat((r) => r.landed - r.start),
    painted: stat((r) => r.painted - r.start),
    worker: stat((r) => r.worker),
    marksSeen: `${Math.min(...marks)}-${Math.max(...marks)}`,
  };
}

async function main() {
  const args = parseArgs(process.argv.slice(2));
  const puppeteer = createRequire(path.resolve(args.modules, "package.json"))("puppeteer-core");
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "zorvelt-bench-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: args.chromium,
    headless: true,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 800 });
    await page.goto(pathToFileURL(path.resolve(args.page, "index.html")).href, { waitUntil: "load" });
    await page.waitForFunction(() => document.body.dataset.state === "done", { timeout: 30000 });
    await instrument(page);
    const fill = fs.readFileSync(args.fill, "latin1");
    // Line 4 of FILL.MIC is a clause line of the first statement; line 5 of
    // the wordforge program the SUB of the first block.
    const cases = [
      { label: "ctrlforge, FILL.MIC (4,095 statements)", program: "ctrlforge", name: "FILL.MIC", text: fill, line: 4 },
      { label: "wordforge, 65,536 words", program: "wordforge", name: "FULL.ASM", text: wordProgram(), line: 5 },
    ];
    const debounce = await page.evaluate(() => window.Playground.page.debounceMs);
    console.log(`Headless Chromium ${await browser.version()}, page from disk, debounce ${debounce} ms; ` +
                `medians of ${args.runs} keystrokes per case, ms`);
    console.log("");
    console.log("| source | lines | debounce | marks after the debounce (error in / out) | picture | all views | next frame | assembler in the worker | marks seen |");
    console.log("|---|---:|---:|---:|---:|---:|---:|---:|---:|");
    for (const c of cases) {
      const r = await measure(page, { ...c, runs: args.runs });
      const lines = c.text.split("\n").length - 1;
      console.log(`| ${c.label} | ${lines} | ${r.debounce} | ${r.marks} (${r.marksIn} / ${r.marksOut}) | ${r.picture} | ${r.landed} | ` +
                  `${r.painted} | ${r.worker} | ${r.marksSeen} |`);
    }
  } finally {
    await browser.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
