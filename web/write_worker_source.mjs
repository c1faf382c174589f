// Writes worker-source.js: a classic script that gives the page the
// assembler worker's code as one string (the compiled assemblers, then the
// worker's message loop), for a worker started from a Blob URL.
//   node write_worker_source.mjs ASSEMBLERS_JS WORKER_LOOP_JS OUTPUT
import fs from "node:fs";

const [assemblers, loop, output] = process.argv.slice(2);
const code = `${fs.readFileSync(assemblers, "utf8")}\n${fs.readFileSync(loop, "utf8")}`;
fs.writeFileSync(output,
  "// The assembler worker's code, written by the build from assemblers.js and worker_loop.js.\n" +
  "window.Playground = window.Playground || {};\n" +
  `window.Playground.workerSource = ${JSON.stringify(code)};\n`);
