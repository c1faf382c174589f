// The memory-image options: one box per format the assemblers offer, the
// 8-bit lanes box, the fill and Intel HEX word addresses, as the command
// line's --image, --lanes=8, --fill and --hex-word-addresses. The formats,
// each program's lanes and default fill come from the assemblers; whether
// the options hold is judged there too, and a refusal is shown here.
//   value: {formats: [name], lanes: boolean, fill: string, hexWordAddresses: boolean}
"use strict";
window.Playground = window.Playground || {};

window.Playground.createImageOptions = function createImageOptions(parts) {
  const { formatsBox, lanesBox, laneCount, fillField, wordAddressesBox, problem } = parts;
  let boxes = new Map();  // format name -> its checkbox
  // Formats set before the assemblers have said which exist.
  let pending = [];

  function offer(formats) {
    boxes = new Map();
    formatsBox.replaceChildren(...formats.map((format) => {
      const label = document.createElement("label");
      label.title = `--image=${format.name}`;
      const box = document.createElement("input");
      box.type = "checkbox";
      box.value = format.name;
      box.dataset.format = format.name;
      box.checked = pending.includes(format.name);
      const extension = document.createElement("span");
      extension.className = "extension";
      extension.textContent = format.extension;
      label.append(box, ` ${format.name} `, extension);
      boxes.set(format.name, box);
      return label;
    }));
    pending = [];
  }

  // facts: {lanes, defaultFill} of the chosen program.
  function describe(facts) {
    fillField.placeholder = facts.defaultFill;
    laneCount.textContent = `(${facts.lanes} files per format)`;
  }

  function showProblem(text) {
    problem.textContent = text;
    problem.hidden = text === "";
  }

  return {
    offer,
    describe,
    showProblem,
    get value() {
      return {
        formats: boxes.size > 0 ? [...boxes.values()].filter((box) => box.checked).map((box) => box.value) : pending,
        lanes: lanesBox.checked,
        fill: fillField.value.trim(),
        hexWordAddresses: wordAddressesBox.checked,
      };
    },
    set value(images) {
      if (boxes.size === 0) pending = [...images.formats];
      for (const [name, box] of boxes) box.checked = images.formats.includes(name);
      lanesBox.checked = images.lanes;
      fillField.value = images.fill;
      wordAddressesBox.checked = images.hexWordAddresses;
    },
  };
};
