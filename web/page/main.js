// The page: program choice, editor, options and memory images, examples,
// share links, and one assembly per click or Ctrl+Enter. All assembling
// happens in the compiled assemblers (assemblers.js); this file only moves
// bytes and shows results.
"use strict";

(function () {
  const P = window.Playground;
  const $ = (id) => document.getElementById(id);

  const defaultNames = { ctrlforge: "PROG.MIC", wordforge: "PROG.ASM" };

  const programSelect = $("program");
  const nameInput = $("source-name");
  const examplesSelect = $("examples");
  const optionBoxes = { S: $("opt-s"), O: $("opt-o"), M: $("opt-m") };
  const assembleButton = $("assemble");
  const consoleView = $("console");
  const status = $("status");

  const editor = P.createEditor($("source"), $("gutter"));
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

  const ready = typeof window.createAssemblers === "function"
    ? window.createAssemblers()
    : Promise.reject(new Error("assemblers.js did not load"));
  let runs = 0;

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
    ready.then((assemblers) => images.describe(assemblers.imageFacts(program)), () => {});
    if (nameInput.value === "" || nameInput.value === defaultNames[previous]) {
      nameInput.value = defaultNames[program];
    }
  }

  function sourceName() {
    return nameInput.value === "" ? defaultNames[programSelect.value] : nameInput.value;
  }

  function clearResults() {
    outputs.clear();
    consoleView.textContent = "";
    consoleView.classList.remove("failed");
    diagnostics.show(sourceName(), []);
    images.showProblem("");
  }

  async function assemble() {
    let assemblers;
    try {
      assemblers = await ready;
    } catch (error) {
      status.textContent = `The assemblers could not be loaded: ${error.message}`;
      return;
    }
    const started = performance.now();
    const program = programSelect.value;
    const source = new TextEncoder().encode(editor.text);
    const name = sourceName();
    const options = { name, images: images.value };
    let result;
    try {
      result = program === "ctrlforge"
        ? assemblers.assembleCtrlforge(source, { ...options, letters: letters() })
        : assemblers.assembleWordforge(source, options);
    } catch (error) {
      // Only a failure of the WebAssembly run itself (memory) gets here.
      clearResults();
      status.textContent = `The assembler stopped: ${error.message || error}`;
      return;
    }
    outputs.show(result.files.map((file) => ({
      name: name + file.extension,
      kind: file.kind,
      bytes: file.bytes,
      format: file.format,
      lane: file.lane,
      // The lane files of a format share a tab, named for all of them.
      label: name + (file.lane === undefined ? file.extension : file.extension.replace(/^\.lane\d+/, ".lane*")),
    })));
    consoleView.textContent = result.console;
    consoleView.classList.toggle("failed", result.failed);
    diagnostics.show(name, result.diagnostics);
    images.showProblem(result.imageProblem);
    runs += 1;
    document.body.dataset.runs = String(runs);
    const took = (performance.now() - started).toFixed(1);
    status.textContent = `${program}: ${result.failed ? "errors found" : "no errors"} (${took} ms)` +
      (result.imageProblem ? "; no images" : "");
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
  }

  async function restore(fragment) {
    let state;
    try {
      state = await P.share.decode(fragment);
    } catch (error) {
      status.textContent = "The link's source could not be read.";
      return false;
    }
    if (!state) return false;
    setProgram(state.program);
    nameInput.value = state.name;
    setLetters(state.letters);
    images.value = state.images;
    editor.text = state.text;
    clearResults();
    await assemble();
    return true;
  }

  async function share() {
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
    clearResults();
  });
  assembleButton.addEventListener("click", assemble);
  $("share").addEventListener("click", share);
  $("copy-link").addEventListener("click", copyLink);
  document.addEventListener("keydown", (event) => {
    if ((event.ctrlKey || event.metaKey) && event.key === "Enter") {
      event.preventDefault();
      assemble();
    }
  });
  window.addEventListener("hashchange", () => restore(location.hash));

  // The page's parts, for scripted use (and the browser tests).
  P.page = { editor, outputs, diagnostics, images, assemble };

  ready.then(
    (assemblers) => {
      images.offer(assemblers.imageFormats());
      assembleButton.disabled = false;
      if (status.textContent.startsWith("Loading")) status.textContent = "Ready. Assemble with Ctrl+Enter.";
    },
    (error) => {
      status.textContent = `The assemblers could not be loaded: ${error.message}`;
    });

  setProgram(programSelect.value);
  restore(location.hash).then((restored) => {
    if (!restored && P.examples && P.examples.length > 0) loadExample(P.examples[0]);
  });
})();
