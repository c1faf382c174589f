// The golden cases as the page can replay them. A case holds the answers
// piped into a program, its input files, and the files the native run left
// behind. Replaying the answers through the two dialogues' rules gives the
// assemblies the native run performed, each with its source and option
// letters; the page then repeats those assemblies.
import fs from "node:fs";
import path from "node:path";

// Answer lines as the programs read them: a line feed ends each, a carriage
// return just before it is dropped, and a last line without one counts.
export function answerLines(bytes) {
  const lines = bytes.toString("latin1").split("\n");
  if (lines[lines.length - 1] === "") lines.pop();
  return lines.map((line) => (line.endsWith("\r") ? line.slice(0, -1) : line));
}

function answerQueue(lines) {
  let at = 0;
  const next = () => (at < lines.length ? lines[at++] : null);
  // The yes/no question: asked again until an answer begins with Y or N;
  // null when the answers run out first.
  const yesNo = () => {
    for (;;) {
      const answer = next();
      if (answer === null) return null;
      const first = answer.toUpperCase()[0];
      if (first === "Y") return true;
      if (first === "N") return false;
    }
  };
  return { next, yesNo };
}

// ctrlforge: [continue?] name, option letters, start?. A name that opens no
// file leads straight to the continue question.
function ctrlforgeRuns(answers, inputs) {
  const runs = [];
  for (let first = true; ; first = false) {
    if (!first && answers.yesNo() !== true) break;
    const name = answers.next();
    if (name === null) break;
    if (!inputs.has(name)) continue;
    const letters = answers.next();
    if (letters === null) break;
    const start = answers.yesNo();
    if (start === null) break;
    if (start) runs.push({ name, letters: letters.toUpperCase() });
  }
  return runs;
}

// wordforge: name (asked again while empty), then continue?.
function wordforgeRuns(answers, inputs) {
  const runs = [];
  for (;;) {
    let name;
    do name = answers.next(); while (name === "");
    if (name === null) break;
    if (inputs.has(name)) runs.push({ name, letters: "" });
    if (answers.yesNo() !== true) break;
  }
  return runs;
}

function filesIn(folder) {
  const files = new Map();
  if (!fs.existsSync(folder)) return files;
  for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
    if (entry.isFile()) files.set(entry.name, fs.readFileSync(path.join(folder, entry.name)));
  }
  return files;
}

export function readCases(goldenDir) {
  const cases = [];
  for (const program of ["ctrlforge", "wordforge"]) {
    const programDir = path.join(goldenDir, program);
    for (const name of fs.readdirSync(programDir).sort()) {
      const dir = path.join(programDir, name);
      if (!fs.statSync(dir).isDirectory()) continue;
      // Command-line cases are replayed through their own arguments, not a dialogue.
      if (fs.existsSync(path.join(dir, "args"))) continue;
      const answersFile = path.join(dir, "answers");
      const answers = fs.existsSync(answersFile) ? fs.readFileSync(answersFile) : Buffer.alloc(0);
      const inputs = filesIn(path.join(dir, "input"));
      const queue = answerQueue(answerLines(answers));
      cases.push({
        id: `${program}/${name}`,
        program,
        inputs,
        expected: filesIn(path.join(dir, "expected")),
        console: fs.readFileSync(path.join(dir, "console")),
        runs: program === "ctrlforge" ? ctrlforgeRuns(queue, inputs) : wordforgeRuns(queue, inputs),
      });
    }
  }
  return cases;
}

// The page's editor holds text: a source it can take is valid UTF-8.
export function sourceText(bytes) {
  try {
    return new TextDecoder("utf-8", { fatal: true, ignoreBOM: true }).decode(bytes);
  } catch {
    return null;
  }
}

// What the page can ask for of a command line: ctrlforge's file choice (-S,
// -O, -M, bare --listing, --object, --map), the image options, and the
// output folder, which only says where the files land. Returns the page's
// settings and the one SOURCE, or the reason the page cannot replay them.
function pageOptions(program, args) {
  const letters = new Set();
  const images = { formats: [], lanes: false, fill: "", hexWordAddresses: false };
  let outputDir = null;
  const sources = [];
  for (const arg of args) {
    let match;
    if (arg === "-" || !arg.startsWith("-")) sources.push(arg);
    else if (program === "ctrlforge" && /^-[SOM]+$/.test(arg)) for (const l of arg.slice(1)) letters.add(l);
    else if (program === "ctrlforge" && (match = /^--(listing|object|map)$/.exec(arg))) letters.add(match[1][0].toUpperCase());
    else if ((match = /^--image=(.+)$/.exec(arg))) images.formats.push(match[1]);
    else if (arg === "--lanes=8") images.lanes = true;
    else if ((match = /^--fill=(.+)$/.exec(arg))) images.fill = match[1];
    else if (arg === "--hex-word-addresses") images.hexWordAddresses = true;
    else if ((match = /^--output-dir=(.+)$/.exec(arg))) outputDir = match[1];
    else return { reason: `the page has no ${arg}` };
  }
  if (sources.length !== 1) return { reason: `${sources.length} sources` };
  // Standard input gets no image on the command line; the page names every source.
  if (sources[0] === "-" && images.formats.length > 0) return { reason: "images of standard input" };
  return {
    source: sources[0],
    letters: letters.size === 0 ? "SOM" : ["S", "O", "M"].filter((l) => letters.has(l)).join(""),
    images,
    outputDir,
  };
}

// The command-line cases the page can replay: one SOURCE (a file of input/,
// or `-` for `stdin`) with options the page has. The page, given the same
// settings and the source's name, must list exactly the lines the command
// line printed on standard error and show every file it left, and exactly
// its images. The rest come back with the reason in `notReplayed`.
export function readCommandLineCases(goldenDir) {
  const cases = [];
  const notReplayed = [];
  for (const program of ["ctrlforge", "wordforge"]) {
    const programDir = path.join(goldenDir, program);
    for (const name of fs.readdirSync(programDir).sort()) {
      const dir = path.join(programDir, name);
      const argsFile = path.join(dir, "args");
      if (!fs.existsSync(argsFile)) continue;
      const id = `${program}/${name}`;
      const status = path.join(dir, "status");
      const exitStatus = fs.existsSync(status) ? Number(fs.readFileSync(status, "latin1").trim()) : 0;
      if (exitStatus === 2) {
        notReplayed.push(`${id} (a usage error or a file that cannot be read or written)`);
        continue;
      }
      const options = pageOptions(program, answerLines(fs.readFileSync(argsFile)));
      if (options.reason) {
        notReplayed.push(`${id} (${options.reason})`);
        continue;
      }
      const fromStdin = options.source === "-";
      const sourceFile = fromStdin ? path.join(dir, "stdin") : path.join(dir, "input", options.source);
      let source;
      try {
        source = fs.statSync(sourceFile).isFile() ? fs.readFileSync(sourceFile) : null;
      } catch {
        source = fromStdin ? Buffer.alloc(0) : null;
      }
      if (source === null) {
        notReplayed.push(`${id} (its SOURCE cannot be read)`);
        continue;
      }
      const stderr = path.join(dir, "stderr");
      // The files land beside the source, or in the output folder.
      const folder = options.outputDir ?? (fromStdin ? "." : path.dirname(options.source));
      cases.push({
        id,
        program,
        name: fromStdin ? "<stdin>" : options.source,
        letters: options.letters,
        images: options.images,
        source,
        stderr: fs.existsSync(stderr) ? fs.readFileSync(stderr) : Buffer.alloc(0),
        status: exitStatus,
        expected: filesIn(path.join(dir, "expected", folder)),
      });
    }
  }
  return { cases, notReplayed };
}

// The errors a listing reports: ctrlforge writes a line beginning with ERROR
// for each; wordforge counts them in the summary line that ends its listing.
export function listingErrors(program, listing) {
  const lines = listing.toString("latin1").split("\r\n");
  if (program === "ctrlforge") return lines.filter((line) => line.startsWith("ERROR")).length;
  for (const line of lines.reverse()) {
    if (line === "THERE WERE NO ERRORS.") return 0;
    if (line === "THERE WAS ONE ERROR.") return 1;
    const many = /^THERE WERE (\d+) ERRORS\.$/.exec(line);
    if (many) return Number(many[1]);
  }
  return null;
}
