// The output files of a run: a tab per file, and a tab per image format
// whose lane files are chosen below it; the chosen file's view (text, the
// map as a table, a raw binary image a word per row, file_views.js); and a
// download link per file that hands out the file's exact bytes (CR LF kept).
"use strict";
window.Playground = window.Playground || {};

window.Playground.createOutputs = function createOutputs(tabs, lanes, view, downloads) {
  let urls = [];
  let groups = [];
  let chosenKey = "listing";
  let chosenLane = 0;

  function showLanes(group, lane) {
    if (group.files.length === 1) {
      lanes.replaceChildren();
      lanes.hidden = true;
      return;
    }
    lanes.replaceChildren(...group.files.map((file, index) => {
      const button = document.createElement("button");
      button.type = "button";
      button.dataset.file = file.name;
      button.textContent = `lane ${file.lane}`;
      button.title = file.name;
      button.setAttribute("aria-pressed", String(index === lane));
      button.addEventListener("click", () => choose(groups.indexOf(group), index));
      return button;
    }));
    lanes.hidden = false;
  }

  function choose(index, lane = 0) {
    const group = groups[index];
    if (!group) {
      view.replaceChildren();
      return;
    }
    const at = Math.min(lane, group.files.length - 1);
    chosenKey = group.key;
    chosenLane = at;
    tabs.querySelectorAll("[role=tab]").forEach((tab, i) => {
      tab.setAttribute("aria-selected", String(i === index));
      tab.tabIndex = i === index ? 0 : -1;
    });
    showLanes(group, at);
    view.replaceChildren(window.Playground.fileViews.render(group.files[at]));
    view.setAttribute("aria-labelledby", `tab-${index}`);
    view.scrollTop = 0;
  }

  function clear() {
    urls.forEach((url) => URL.revokeObjectURL(url));
    urls = [];
    groups = [];
    tabs.replaceChildren();
    lanes.replaceChildren();
    lanes.hidden = true;
    downloads.replaceChildren();
    view.replaceChildren();
  }

  function link(file, text) {
    const url = URL.createObjectURL(new Blob([file.bytes], { type: "application/octet-stream" }));
    urls.push(url);
    const a = document.createElement("a");
    a.href = url;
    a.download = file.name;
    a.dataset.file = file.name;
    if (file.format) a.dataset.format = file.format;
    a.textContent = text;
    a.title = `Download ${file.name}`;
    return a;
  }

  // The program's files each stand alone; an image format's files (its
  // whole image, or one per lane) go together under one tab.
  function grouped(named) {
    const result = [];
    for (const file of named) {
      const key = file.kind === "image" ? `image:${file.format}` : file.kind;
      const last = result[result.length - 1];
      if (last && last.key === key) last.files.push(file);
      else result.push({ key, label: file.label || file.name, format: file.format, files: [file] });
    }
    return result;
  }

  // named: [{name, kind, bytes, format?, lane?, label?, wordBytes}]; the
  // lane files of a format share one tab, labelled by the first file's
  // label; wordBytes is the size of a word in a raw binary image.
  function show(named) {
    clear();
    groups = grouped(named);
    const own = document.createElement("div");
    own.className = "download-row";
    groups.forEach((group, index) => {
      const tab = document.createElement("button");
      tab.type = "button";
      tab.id = `tab-${index}`;
      tab.setAttribute("role", "tab");
      tab.dataset.group = group.key;
      if (group.files.length === 1) tab.dataset.file = group.files[0].name;
      tab.textContent = group.label;
      tab.title = group.format ? `${group.format} image` : group.files[0].kind;
      tab.addEventListener("click", () => choose(index));
      tab.addEventListener("keydown", (event) => {
        const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
        if (!step) return;
        const next = (index + step + groups.length) % groups.length;
        choose(next);
        tabs.children[next].focus();
      });
      tabs.append(tab);

      if (!group.format) {
        own.append(link(group.files[0], `Download ${group.files[0].name}`));
        return;
      }
      const row = document.createElement("div");
      row.className = "download-row image-row";
      const title = document.createElement("span");
      title.className = "download-format";
      title.textContent = group.format;
      const links = document.createElement("div");
      links.className = "download-links";
      links.append(...group.files.map((file) => link(file, file.lane === undefined ? file.name : `lane ${file.lane}`)));
      row.append(title, links);
      downloads.append(row);
    });
    if (own.childElementCount > 0) downloads.prepend(own);
    const kept = groups.findIndex((group) => group.key === chosenKey);
    choose(kept === -1 ? 0 : kept, kept === -1 ? 0 : chosenLane);
  }

  return { show, clear };
};
