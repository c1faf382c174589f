// The assemblers run in a Web Worker, so the page stays responsive during
// any assembly. The worker is started from a Blob URL of its code
// (worker-source.js): a page opened from disk may not start one from a file.
// One worker runs at a time; a newer run, or cancel(), ends a busy worker
// and hands the work to a fresh one, kept started beforehand so that it is
// ready at once.
//   P.createRunner(source) -> runner
//     runner.ready   Promise of {formats, facts} (worker_loop.js)
//     runner.run(request) Promise of the result; rejects with
//                    {cancelled: true} when a newer run or cancel() ended it
//     runner.cancel()
"use strict";
window.Playground = window.Playground || {};

window.Playground.createRunner = function createRunner(source) {
  const url = URL.createObjectURL(new Blob([source], { type: "text/javascript" }));
  let nextId = 0;

  // A worker and its state: ready (a promise of its "ready" message), busy
  // with one run's {id, resolve, reject}, or idle.
  function start() {
    const worker = new Worker(url);
    const entry = { worker, job: null };
    entry.ready = new Promise((resolve, reject) => {
      worker.onmessage = (event) => {
        const message = event.data;
        if (message.type === "ready") {
          resolve(message);
        } else if (message.type === "failed" && message.id === undefined) {
          reject(new Error(message.message));
        } else if (entry.job && message.id === entry.job.id) {
          const job = entry.job;
          entry.job = null;
          if (message.type === "result") job.resolve(message.result);
          else job.reject(new Error(message.message));
        }
      };
      // The worker itself failed (its script, or memory): the run cannot end.
      worker.onerror = (event) => {
        event.preventDefault();
        const error = new Error(event.message || "the assembler worker stopped");
        reject(error);
        if (entry.job) {
          const job = entry.job;
          entry.job = null;
          job.reject(error);
        }
        if (current === entry) replace();
      };
    });
    entry.ready.catch(() => {});
    return entry;
  }

  let current = start();
  let spare = null;

  // Ends the current worker (its run, if any, rejected as cancelled) and
  // puts the spare in its place.
  function replace() {
    const old = current;
    old.worker.terminate();
    if (old.job) old.job.reject({ cancelled: true });
    old.job = null;
    current = spare || start();
    spare = null;
  }

  function cancel() {
    if (current.job) replace();
  }

  function run(request) {
    cancel();
    // A spare for the next newer run, started while this one runs.
    if (!spare) spare = start();
    const entry = current;
    const id = ++nextId;
    return new Promise((resolve, reject) => {
      entry.job = { id, resolve, reject };
      entry.ready.then(() => {
        if (entry.job && entry.job.id === id) entry.worker.postMessage({ ...request, id }, [request.source.buffer]);
      }, (error) => {
        if (entry.job && entry.job.id === id) {
          entry.job = null;
          reject(error);
        }
      });
    });
  }

  return { ready: current.ready, run, cancel };
};
