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
