// Share links: program, source name, options and the source, compressed,
// in the URL fragment, so nothing leaves the browser and links work from
// disk as well as from a host.
//   #p=ctrlforge&n=PROG.MIC&o=SOM&z=<deflate-raw, base64url>
// Browsers without CompressionStream write t=<UTF-8, base64url> instead.
"use strict";
window.Playground = window.Playground || {};

(function () {
  function toBase64Url(bytes) {
    let binary = "";
    for (let i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
  }

  function fromBase64Url(text) {
    const binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  async function pipe(bytes, stream) {
    const piped = new Blob([bytes]).stream().pipeThrough(stream);
    return new Uint8Array(await new Response(piped).arrayBuffer());
  }

  // state: {program, name, letters, text}
  async function encode(state) {
    const params = new URLSearchParams();
    params.set("p", state.program);
    params.set("n", state.name);
    if (state.program === "ctrlforge") params.set("o", state.letters);
    const bytes = new TextEncoder().encode(state.text);
    if (typeof CompressionStream === "function") {
      params.set("z", toBase64Url(await pipe(bytes, new CompressionStream("deflate-raw"))));
    } else {
      params.set("t", toBase64Url(bytes));
    }
    return "#" + params.toString();
  }

  // Returns the state held in a fragment, or null when it holds none.
  async function decode(fragment) {
    const params = new URLSearchParams(fragment.replace(/^#/, ""));
    const program = params.get("p");
    if (program !== "ctrlforge" && program !== "wordforge") return null;
    let bytes;
    if (params.has("z")) {
      bytes = await pipe(fromBase64Url(params.get("z")), new DecompressionStream("deflate-raw"));
    } else if (params.has("t")) {
      bytes = fromBase64Url(params.get("t"));
    } else {
      return null;
    }
    return {
      program,
      name: params.get("n") || "",
      letters: params.get("o") ?? "SOM",
      text: new TextDecoder().decode(bytes),
    };
  }

  window.Playground.share = { encode, decode };
})();
