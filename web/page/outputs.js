// The output files of a run: one tab each, the chosen file's text, and a
// download link per file that hands out the file's exact bytes (CR LF kept).
"use strict";
window.Playground = window.Playground || {};

window.Playground.createOutputs = function createOutputs(tabs, view, downloads) {
  let urls = [];
  let files = [];
  let chosenKind = "listing";

  function choose(index) {
    const file = files[index];
    if (!file) {
      view.textContent = "";
      return;
    }
    chosenKind = file.kind;
    tabs.querySelectorAll("[role=tab]").forEach((tab, i) => {
      tab.setAttribute("aria-selected", String(i === index));
      tab.tabIndex = i === index ? 0 : -1;
    });
    // Line ends show as line breaks; the download keeps them as they are.
    view.textContent = new TextDecoder().decode(file.bytes).replace(/\r\n/g, "\n");
    view.setAttribute("aria-labelledby", `tab-${index}`);
    view.scrollTop = 0;
  }

  function clear() {
    urls.forEach((url) => URL.revokeObjectURL(url));
    urls = [];
    files = [];
    tabs.replaceChildren();
    downloads.replaceChildren();
    view.textContent = "";
  }

  // named: [{name, kind, bytes}]
  function show(named) {
    clear();
    files = named;
    named.forEach((file, index) => {
      const tab = document.createElement("button");
      tab.type = "button";
      tab.id = `tab-${index}`;
      tab.setAttribute("role", "tab");
      tab.dataset.file = file.name;
      tab.textContent = file.name;
      tab.title = file.kind;
      tab.addEventListener("click", () => choose(index));
      tab.addEventListener("keydown", (event) => {
        const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
        if (!step) return;
        const next = (index + step + files.length) % files.length;
        choose(next);
        tabs.children[next].focus();
      });
      tabs.append(tab);

      const url = URL.createObjectURL(new Blob([file.bytes], { type: "application/octet-stream" }));
      urls.push(url);
      const link = document.createElement("a");
      link.href = url;
      link.download = file.name;
      link.dataset.file = file.name;
      link.textContent = `Download ${file.name}`;
      downloads.append(link);
    });
    const kept = named.findIndex((file) => file.kind === chosenKind);
    choose(kept === -1 ? 0 : kept);
  }

  return { show, clear };
};
