// The assembler worker's message loop. The build appends it to the compiled
// assemblers (assemblers.js, which defines createAssemblers) and hands the
// two to the page as one string (worker-source.js), from which the page
// starts the worker through a Blob URL: a page opened from disk may start no
// worker from a file.
//
// Messages to the page:
//   {type: "ready", formats: [{name, extension}],
//    facts: {ctrlforge: {wordBits, lanes, defaultFill}, wordforge: {...}}}
//   {type: "result", id, result}   the run of request `id`, see below
//   {type: "failed", id?, message} the assemblers could not be loaded, or
//                                  a run stopped (id given)
// A request: {id, program, source: Uint8Array, options, shown}; `shown`
// bounds the diagnostics handed back. A result:
//   {files, console, failed, imageProblem, diagnostics (at most `shown`),
//    counts: {errors, warnings}, took (ms in the assembler), model?}
// with the source model as js_bindings.cpp describes it when the request's
// options ask for it (options.model); its typed arrays are transferred
// with the files' bytes.
// A failed ctrlforge run offers only its listing, as the command line keeps
// only that; the object file and map of such a run hold at most their
// heading lines.
"use strict";

const loading = createAssemblers().then((assemblers) => {
  self.postMessage({
    type: "ready",
    formats: assemblers.imageFormats(),
    facts: { ctrlforge: assemblers.imageFacts("ctrlforge"), wordforge: assemblers.imageFacts("wordforge") },
  });
  return assemblers;
}, (error) => {
  self.postMessage({ type: "failed", message: String((error && error.message) || error) });
  throw error;
});

function run(assemblers, request) {
  const started = performance.now();
  const raw = request.program === "ctrlforge"
    ? assemblers.assembleCtrlforge(request.source, request.options)
    : assemblers.assembleWordforge(request.source, request.options);
  const took = performance.now() - started;
  // A note adds to the diagnostic before it and counts as neither.
  let errors = 0, warnings = 0, notes = 0;
  for (const d of raw.diagnostics) {
    if (d.severity === "error") errors++;
    else if (d.severity === "warning") warnings++;
    else notes++;
  }
  const files = request.program === "ctrlforge" && raw.failed
    ? raw.files.filter((file) => file.kind === "listing")
    : raw.files;
  return {
    files,
    console: raw.console,
    failed: raw.failed,
    imageProblem: raw.imageProblem,
    diagnostics: raw.diagnostics.length > request.shown ? raw.diagnostics.slice(0, request.shown) : raw.diagnostics,
    counts: { errors, warnings, notes },
    took,
    model: raw.model,
  };
}

// The buffers a result hands over rather than copies.
function transferred(result) {
  const buffers = result.files.map((file) => file.bytes.buffer);
  const model = result.model;
  if (model) {
    for (const value of Object.values(model)) {
      if (ArrayBuffer.isView(value)) buffers.push(value.buffer);
      else if (value && ArrayBuffer.isView(value.rows)) buffers.push(value.rows.buffer);
    }
  }
  return buffers;
}

self.onmessage = async (event) => {
  const request = event.data;
  let assemblers;
  try {
    assemblers = await loading;
  } catch {
    return;
  }
  try {
    const result = run(assemblers, request);
    self.postMessage({ type: "result", id: request.id, result }, transferred(result));
  } catch (error) {
    self.postMessage({ type: "failed", id: request.id, message: String((error && error.message) || error) });
  }
};
