// Driving the assembler page in headless Chromium for the browser checks:
// the checks' record of failures, opening a page under watch (every request
// must stay inside the page's folder, and no page error may show), setting
// the page's state as a user would, and reading back what it shows.

export const failures = [];
export function check(condition, message) {
  if (!condition) {
    failures.push(message);
    console.log(`FAIL: ${message}`);
  }
  return condition;
}

// Where two byte strings first differ, with some context on each side.
export function describeDifference(expected, actual) {
  let at = 0;
  while (at < expected.length && at < actual.length && expected[at] === actual[at]) at++;
  const from = Math.max(0, at - 30);
  const show = (bytes) => JSON.stringify(bytes.subarray(from, at + 30).toString("latin1"));
  return `differs at byte ${at} (expected ${expected.length} bytes, got ${actual.length})\n` +
    `    expected from byte ${from}: ${show(expected)}\n    page     from byte ${from}: ${show(actual)}`;
}

export function checkBytes(label, expected, actual) {
  return check(Buffer.compare(expected, actual) === 0, `${label}: ${describeDifference(expected, actual)}`);
}

// The page's own folder as a URL prefix: requests may go there, to data:
// and blob: URLs, and nowhere else.
let pageRoots = [];
export function setPageRoots(roots) {
  pageRoots = roots;
}

export async function openPage(browser, url, options = {}) {
  const page = await browser.newPage();
  if (options.viewport) await page.setViewport(options.viewport);
  if (options.scheme) await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: options.scheme }]);
  const problems = [];
  const requests = [];
  await page.setRequestInterception(true);
  page.on("request", (request) => {
    const address = request.url();
    requests.push(address);
    if (/^(data|blob):/.test(address) || pageRoots.some((root) => address.startsWith(root))) {
      request.continue();
    } else {
      problems.push(`request outside the page's folder: ${address.slice(0, 120)}`);
      request.abort();
    }
  });
  page.on("pageerror", (error) => {
    if (!options.expectPageError) problems.push(`page error: ${error.message}`);
  });
  page.on("console", (message) => {
    if (message.type() === "error" && !options.expectPageError) problems.push(`console error: ${message.text()}`);
  });
  page.on("requestfailed", (request) => {
    if (!problems.some((p) => p.includes(request.url().slice(0, 120)))) {
      problems.push(`request failed: ${request.url().slice(0, 120)}`);
    }
  });
  await page.goto(url, { waitUntil: "load" });
  await page.waitForSelector("#assemble:not([disabled])", { timeout: 30000 });
  if (options.settle !== false) await settled(page);
  return { page, problems, requests };
}

// The page has no change waiting and no run going.
export async function settled(page, timeout = 30000) {
  await page.waitForFunction(() => ["done", "failed"].includes(document.body.dataset.state), { timeout });
}

export function runCount(page) {
  return page.evaluate(() => Number(document.body.dataset.runs || 0));
}

// A run after `before` landed, and nothing is waiting: the results shown
// are those of the page's current state.
export async function waitForRun(page, before, timeout = 20000) {
  await page.waitForFunction((n) => Number(document.body.dataset.runs || 0) > n &&
    document.body.dataset.state === "done", { timeout }, before);
}

export const noImages = { formats: [], lanes: false, fill: "", hexWordAddresses: false };

// Sets the image options through their controls.
export async function setImages(page, images) {
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
// the text put into the editor in one edit.
export async function setState(page, { program, name, letters, text, images = noImages }) {
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
  await page.evaluate((value) => window.Playground.page.editor.replaceText(value), text);
}

// What the page shows after a run: each file's bytes as its download link
// hands them out (with the image format it names), the tab names, the text
// shown for each file (chosen by its tab, and for a lane image by its lane
// under its format's tab), the console, and the refusal of image options.
export async function collect(page) {
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
    // A view: its text, or a table's title and cells, and the note under a
    // long text.
    // A long text shows a part at a time: asked for part by part until it
    // is all there.
    const read = async () => {
      for (let more; (more = view.querySelector(".view-more"));) more.click();
      const table = view.querySelector("table");
      const note = view.querySelector(".view-note");
      if (table) {
        return {
          title: view.querySelector(".map-title").textContent,
          head: [...table.querySelectorAll("th")].map((th) => th.textContent),
          rows: [...table.querySelectorAll("tbody tr")].map((tr) => [...tr.children].map((td) => td.textContent)),
        };
      }
      return { text: view.querySelector("pre").textContent, note: note ? note.textContent : "" };
    };
    const views = {};
    for (const tab of tabs) {
      tab.click();
      const lanes = [...document.querySelectorAll("#lanes button")];
      if (lanes.length === 0) views[tab.dataset.file] = await read();
      for (const lane of lanes) {
        lane.click();
        views[lane.dataset.file] = await read();
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

export async function assembleInPage(page, state) {
  await setState(page, state);
  const before = await runCount(page);
  await page.click("#assemble");
  await waitForRun(page, before);
  return collect(page);
}
