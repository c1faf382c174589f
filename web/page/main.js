// The page: program choice, editor, options and memory images, examples,
// share links, and live assembly. Every change of the text or the options
// starts a run after a short pause (debounceMs), in the assembler worker
// (runner.js); a newer change cancels a run still going. Until the new run
// lands, the last results are marked stale. Assemble and Ctrl+Enter run at
// once. All assembling happens in the compiled assemblers; this file only
// moves bytes and shows results.
//
// A run's result reaches the page as one object, and onResult hands it to
// each panel in `panels`: every view of a run's result is one entry there.
//   run: {program, name, text, result, snapshot, model}
//     result as worker_loop.js describes it; snapshot the editor's text as
//     it was given to the run (editor.snapshot()), through which the
//     model's places are found in the text as it is now; model the source
//     model read (source_model.js)
// The model gives the editor its hover and go-to-definition and draws the
// store's picture (pictures.js), whose ring follows the cursor.
//
// document.body.dataset.state says where the page stands: "loading",
// "stale" (changed, run pending), "running", "done", "failed" (the run or
// the page stopped; the status says why); dataset.runs counts landed runs.
"use strict";

(function () {
  const P = window.Playground;
  const $ = (id) => document.getElementById(id);
  const debounceMs = 150;

  const defaultNames = { ctrlforge: "PROG.MIC", wordforge: "PROG.ASM" };

  const programSelect = $("program");
  const nameInput = $("source-name");
  const examplesSelect = $("examples");
  const optionBoxes = { S: $("opt-s"), O: $("opt-o"), M: $("opt-m") };
  const assembleButton = $("assemble");
  const consoleView = $("console");
  const status = $("status");

  function setStatus(text, state) {
    status.textContent = text;
    status.classList.toggle("problem", state === "failed");
    if (state) document.body.dataset.state = state;
  }

  // An error in the page's own code shows, instead of a status that says
  // all is well.
  function pageFailed(error) {
    const message = String((error && error.message) || error).replace(/\.$/, "");
    setStatus(`The page stopped working: ${message}. Reloading it starts afresh.`, "failed");
  }
  window.addEventListener("error", (event) => pageFailed(event.error || event.message));
  window.addEventListener("unhandledrejection", (event) => pageFailed(event.reason));

  let timer = null;
  let latest = 0;  // the newest run asked for; only its result lands
  let runs = 0;
  let facts = null;

  // The run on show, whose model the hover, the definitions and the
  // picture use.
  let shownRun = null;

  // A place in today's text as a place in the shown run's text, and back.
  const inRun = (at) => (shownRun && shownRun.model ? editor.fromNow(shownRun.snapshot, at) : null);
  const inText = (at, assoc) => editor.toNow(shownRun.snapshot, at, assoc);

  function hover(at) {
    const offset = inRun(at);
    if (offset === null) return null;
    const model = shownRun.model;
    const unit = model.unitAt(offset);
    if (unit < 0) return null;
    const named = model.labelAt(offset);
    return P.describe(model, unit, { label: named ? named.label : undefined });
  }

  function definition(at) {
    const offset = inRun(at);
    if (offset === null) return null;
    const named = shownRun.model.labelAt(offset);
    if (!named) return null;
    const label = shownRun.model.label(named.label);
    if (!label.defined) return null;
    return { from: inText(label.begin, 1), to: inText(label.end, -1) };
  }

  function cursorMoved(at) {
    const offset = inRun(at);
    picture.highlight(offset === null ? -1 : shownRun.model.unitAt(offset));
  }

  const editor = window.ZorveltEditor.createEditor($("source"), {
    onChange: changed, onRun: () => assemble(), hover, definition, onCursor: (at) => cursorMoved(at),
  });
  const picture = P.createPicture({
    title: $("picture-title"), note: $("picture-note"), legend: $("picture-legend"), frame: $("picture-frame"),
    store: $("picture"), detail: $("picture-detail"), tip: $("picture-tip"), caption: $("picture-caption"),
  }, { onPick: pick });

  // A word of the picture chosen: its statement or line chosen in the editor.
  function pick(unitIndex) {
    if (!shownRun || !shownRun.model) return;
    const unit = shownRun.model.unit(unitIndex);
    const from = inText(unit.begin, 1);
    const to = inText(unit.end, -1);
    if (from === null) return;
    editor.select(from, Math.max(from, to));
  }
  const outputs = P.createOutputs($("tabs"), $("lanes"), $("file-view"), $("downloads"));
  const images = P.createImageOptions({
    formatsBox: $("image-formats"),
    lanesBox: $("image-lanes"),
    laneCount: $("lane-count"),
    fillField: $("image-fill"),
    wordAddressesBox: $("image-word-addresses"),
    problem: $("image-problem"),
  });
  const diagnostics = P.createDiagnostics($("diagnostics"), $("no-diagnostics"), $("diagnostics-count"), editor);
  const runner = typeof P.workerSource === "string" ? P.createRunner(P.workerSource) : null;
  const ready = runner ? runner.ready : Promise.reject(new Error("worker-source.js did not load"));
  ready.catch(() => {});

  // The views of a run's result, in the order they are brought up to date.
  const panels = [
    { name: "diagnostics", update: (run) => diagnostics.show(run.name, run.result.diagnostics, run.result.counts) },
    { name: "console", update: (run) => {
      consoleView.textContent = run.result.console;
      consoleView.classList.toggle("failed", run.result.failed);
    } },
    { name: "images", update: (run) => images.showProblem(run.result.imageProblem) },
    { name: "picture", update: (run) => {
      picture.show(run.model);
      cursorMoved(editor.selection.head);
    } },
    { name: "files", update: (run) => outputs.show(run.result.files.map((file) => ({
      name: run.name + file.extension,
      kind: file.kind,
      bytes: file.bytes,
      format: file.format,
      lane: file.lane,
      // A raw binary image shows a word per row: a lane holds a byte of each.
      wordBytes: file.lane === undefined ? facts[run.program].wordBits / 8 : 1,
      // The lane files of a format share a tab, named for all of them.
      label: run.name + (file.lane === undefined ? file.extension : file.extension.replace(/^\.lane\d+/, ".lane*")),
    }))) },
  ];

  function markStale(stale) {
    editor.markStale(stale);
    $("results").classList.toggle("stale", stale);
    $("diagnostics-panel").classList.toggle("stale", stale);
  }

  function letters() {
    return Object.keys(optionBoxes).filter((letter) => optionBoxes[letter].checked).join("");
  }

  function setLetters(answer) {
    const upper = answer.toUpperCase();
    for (const letter of Object.keys(optionBoxes)) optionBoxes[letter].checked = upper.includes(letter);
  }

  function setProgram(program) {
    const previous = programSelect.value;
    programSelect.value = program;
    $("options").hidden = program !== "ctrlforge";
    editor.setProgram(program);
    if (facts) images.describe(facts[program]);
    if (nameInput.value === "" || nameInput.value === defaultNames[previous]) {
      nameInput.value = defaultNames[program];
    }
  }

  function sourceName() {
    return nameInput.value === "" ? defaultNames[programSelect.value] : nameInput.value;
  }

  function clearResults() {
    outputs.clear();
    picture.clear();
    consoleView.textContent = "";
    consoleView.classList.remove("failed");
    diagnostics.show(sourceName(), [], { errors: 0, warnings: 0 });
    images.showProblem("");
  }

  // The text or an option changed: the results on show are of an earlier
  // state. A run still going is of no use any more.
  function changed() {
    if (runner) runner.cancel();
    latest++;
    markStale(true);
    setStatus("Changed; assembling shortly…", "stale");
    clearTimeout(timer);
    timer = setTimeout(() => assemble(), debounceMs);
  }

  function onResult(run, started) {
    run.model = P.readModel(run.result.model);
    if (shownRun) editor.release(shownRun.snapshot);
    shownRun = run;
    P.page.lastRun = run;
    for (const panel of panels) panel.update(run);
    markStale(false);
    runs += 1;
    document.body.dataset.runs = String(runs);
    const took = (performance.now() - started).toFixed(1);
    setStatus(`${run.program}: ${run.result.failed ? "errors found" : "no errors"} (${took} ms)` +
              (run.result.imageProblem ? "; no images" : ""), "done");
  }

  async function assemble() {
    clearTimeout(timer);
    timer = null;
    const id = ++latest;
    try {
      const loaded = await ready;
      facts = facts || loaded.facts;
    } catch (error) {
      setStatus(`The assemblers could not be loaded: ${error.message}`, "failed");
      return;
    }
    if (id !== latest) return;
    const started = performance.now();
    const run = { program: programSelect.value, name: sourceName(), text: editor.text, snapshot: editor.snapshot() };
    const options = { name: run.name, images: images.value, model: true };
    if (run.program === "ctrlforge") options.letters = letters();
    setStatus("Assembling…", "running");
    try {
      run.result = await runner.run({
        program: run.program,
        source: new TextEncoder().encode(run.text),
        options,
        shown: P.diagnosticLimit,
      });
    } catch (error) {
      editor.release(run.snapshot);
      if (error && error.cancelled) return;
      if (id !== latest) return;
      clearResults();
      markStale(false);
      // Only a failure of the WebAssembly run itself (memory) gets here.
      setStatus(`The assembler stopped: ${(error && error.message) || error}`, "failed");
      return;
    }
    if (id !== latest) {
      editor.release(run.snapshot);
      return;
    }
    try {
      onResult(run, started);
    } catch (error) {
      pageFailed(error);
    }
  }

  function exampleText(example) {
    const bytes = new Uint8Array(example.hex.length / 2);
    for (let i = 0; i < bytes.length; i++) bytes[i] = parseInt(example.hex.substr(i * 2, 2), 16);
    return new TextDecoder().decode(bytes);
  }

  function loadExample(example) {
    setProgram(example.program);
    nameInput.value = example.name;
    editor.text = exampleText(example);
    clearResults();
    assemble();
  }

  async function restore(fragment) {
    let state;
    try {
      state = await P.share.decode(fragment);
    } catch (error) {
      setStatus(error && error.tooLarge
        ? `The link was not opened: ${error.message}, and a link may hold at most ` +
          `${P.share.sizeLimit / (1024 * 1024)} MiB of source.`
        : "The link's source could not be read.", "failed");
      return "refused";
    }
    if (!state) return "none";
    setProgram(state.program);
    nameInput.value = state.name;
    setLetters(state.letters);
    images.value = state.images;
    editor.text = state.text;
    clearResults();
    await assemble();
    return "restored";
  }

  async function share() {
    if (new TextEncoder().encode(editor.text).length > P.share.sizeLimit) {
      setStatus(`A share link holds at most ${P.share.sizeLimit / (1024 * 1024)} MiB of source; this one is larger.`);
      return;
    }
    const fragment = await P.share.encode({
      program: programSelect.value,
      name: nameInput.value,
      letters: letters(),
      images: images.value,
      text: editor.text,
    });
    // Replacing the fragment this way fires no hashchange: no reassembly.
    history.replaceState(null, "", fragment);
    const field = $("share-link");
    field.value = location.href;
    $("share-row").hidden = false;
    field.focus();
    field.select();
  }

  async function copyLink() {
    const field = $("share-link");
    try {
      await navigator.clipboard.writeText(field.value);
      status.textContent = "Link copied.";
    } catch {
      field.select();
      status.textContent = document.execCommand("copy") ? "Link copied." : "Select the link and copy it.";
    }
  }

  (P.examples || []).forEach((example, index) => {
    const option = document.createElement("option");
    option.value = String(index);
    option.textContent = `${example.name} (${example.program})`;
    examplesSelect.append(option);
  });
  examplesSelect.addEventListener("change", () => {
    const example = P.examples[Number(examplesSelect.value)];
    if (example) loadExample(example);
    examplesSelect.value = "";
  });

  programSelect.addEventListener("change", () => {
    setProgram(programSelect.value);
    changed();
  });
  nameInput.addEventListener("input", changed);
  $("options").addEventListener("change", changed);
  $("images").addEventListener("change", changed);
  $("image-fill").addEventListener("input", changed);
  assembleButton.addEventListener("click", () => assemble());
  $("share").addEventListener("click", share);
  $("copy-link").addEventListener("click", copyLink);
  document.addEventListener("keydown", (event) => {
    if ((event.ctrlKey || event.metaKey) && event.key === "Enter") {
      event.preventDefault();
      assemble();
    }
  });
  window.addEventListener("hashchange", () => restore(location.hash));

  // The page's parts, for scripted use (and the browser tests); lastRun is
  // the run whose result is on show.
  P.page = { editor, outputs, diagnostics, images, picture, panels, assemble, debounceMs, lastRun: null };

  document.body.dataset.state = "loading";
  ready.then(
    (loaded) => {
      facts = loaded.facts;
      images.offer(loaded.formats);
      images.describe(facts[programSelect.value]);
      assembleButton.disabled = false;
    },
    (error) => {
      setStatus(`The assemblers could not be loaded: ${error.message}`, "failed");
    });

  setProgram(programSelect.value);
  restore(location.hash).then((restored) => {
    if (restored === "none" && P.examples && P.examples.length > 0) loadExample(P.examples[0]);
  });
})();
