// Share links: program, source name, options, image options and the
// source, compressed, in the URL fragment, so nothing leaves the browser and
// links work from disk as well as from a host.
//   #p=ctrlforge&n=PROG.MIC&o=SOM&i=readmemh,bin&l=8&f=0&w=1&z=<deflate-raw, base64url>
// i lists the image formats, l=8 asks for lanes, f is the fill, w=1 asks for
// Intel HEX word addresses; each is left out when not set. Browsers without
// CompressionStream write t=<UTF-8, base64url> instead of z.
//
// A link's source may be at most sizeLimit bytes (2 MiB) once unpacked. The
// count is kept while inflating, and inflating stops as soon as it passes
// the limit: a link of a few kilobytes can unpack to megabytes.
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

  const sizeLimit = 2 * 1024 * 1024;

  class TooLarge extends Error {
    constructor() {
      super(`the link's source is larger than ${sizeLimit / (1024 * 1024)} MiB`);
      this.tooLarge = true;
    }
  }

  async function pipe(bytes, stream) {
    const piped = new Blob([bytes]).stream().pipeThrough(stream);
    return new Uint8Array(await new Response(piped).arrayBuffer());
  }

  // The compressed bytes go in small pieces, and only as the inflated ones
  // are taken, so that little more than the limit is ever inflated.
  async function inflate(bytes) {
    let at = 0;
    const pieces = new ReadableStream({
      pull(controller) {
        if (at >= bytes.length) {
          controller.close();
          return;
        }
        controller.enqueue(bytes.subarray(at, at + 1024));
        at += 1024;
      },
    }, { highWaterMark: 0 });
    const reader = pieces.pipeThrough(new DecompressionStream("deflate-raw")).getReader();
    const chunks = [];
    let total = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      total += value.length;
      if (total > sizeLimit) {
        await reader.cancel().catch(() => {});
        throw new TooLarge();
      }
      chunks.push(value);
    }
    const result = new Uint8Array(total);
    let offset = 0;
    for (const chunk of chunks) {
      result.set(chunk, offset);
      offset += chunk.length;
    }
    return result;
  }

  // state: {program, name, letters, images: {formats, lanes, fill, hexWordAddresses}, text}
  async function encode(state) {
    const params = new URLSearchParams();
    params.set("p", state.program);
    params.set("n", state.name);
    if (state.program === "ctrlforge") params.set("o", state.letters);
    if (state.images.formats.length > 0) params.set("i", state.images.formats.join(","));
    if (state.images.lanes) params.set("l", "8");
    if (state.images.fill !== "") params.set("f", state.images.fill);
    if (state.images.hexWordAddresses) params.set("w", "1");
    const bytes = new TextEncoder().encode(state.text);
    if (typeof CompressionStream === "function") {
      params.set("z", toBase64Url(await pipe(bytes, new CompressionStream("deflate-raw"))));
    } else {
      params.set("t", toBase64Url(bytes));
    }
    return "#" + params.toString();
  }

  // Returns the state held in a fragment, or null when it holds none; throws
  // an error with tooLarge set when the source passes the limit.
  async function decode(fragment) {
    const params = new URLSearchParams(fragment.replace(/^#/, ""));
    const program = params.get("p");
    if (program !== "ctrlforge" && program !== "wordforge") return null;
    let bytes;
    if (params.has("z")) {
      bytes = await inflate(fromBase64Url(params.get("z")));
    } else if (params.has("t")) {
      bytes = fromBase64Url(params.get("t"));
      if (bytes.length > sizeLimit) throw new TooLarge();
    } else {
      return null;
    }
    return {
      program,
      name: params.get("n") || "",
      letters: params.get("o") ?? "SOM",
      images: {
        formats: params.get("i") ? params.get("i").split(",") : [],
        lanes: params.get("l") === "8",
        fill: params.get("f") ?? "",
        hexWordAddresses: params.get("w") === "1",
      },
      text: new TextDecoder().decode(bytes),
    };
  }

  window.Playground.share = { encode, decode, sizeLimit };
})();
