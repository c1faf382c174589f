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

// The command-line cases that assemble one source given by itself: `args`
// holds a single SOURCE (a file of input/, or `-` for `stdin`) and no option.
// The page runs such a source with its defaults, so it must list exactly the
// lines the command line printed on standard error.
export function readCommandLineCases(goldenDir) {
  const cases = [];
  for (const program of ["ctrlforge", "wordforge"]) {
    const programDir = path.join(goldenDir, program);
    for (const name of fs.readdirSync(programDir).sort()) {
      const dir = path.join(programDir, name);
      const argsFile = path.join(dir, "args");
      if (!fs.existsSync(argsFile)) continue;
      const args = answerLines(fs.readFileSync(argsFile));
      if (args.length !== 1 || (args[0] !== "-" && args[0].startsWith("-"))) continue;
      const fromStdin = args[0] === "-";
      const sourceFile = fromStdin ? path.join(dir, "stdin") : path.join(dir, "input", args[0]);
      let source;
      try {
        source = fs.statSync(sourceFile).isFile() ? fs.readFileSync(sourceFile) : null;
      } catch {
        source = fromStdin ? Buffer.alloc(0) : null;
      }
      if (source === null) continue;  // the case is about a SOURCE that cannot be read
      const stderr = path.join(dir, "stderr");
      const status = path.join(dir, "status");
      cases.push({
        id: `${program}/${name}`,
        program,
        name: fromStdin ? "<stdin>" : args[0],
        source,
        stderr: fs.existsSync(stderr) ? fs.readFileSync(stderr) : Buffer.alloc(0),
        status: fs.existsSync(status) ? Number(fs.readFileSync(status, "latin1").trim()) : 0,
        expected: filesIn(path.join(dir, "expected")),
      });
    }
  }
  return cases;
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
