// The reader's WebAssembly is in the page once (gzipped, in base64:
// RUTER_WASM, which the build defines for the page alone) and compiled once:
// the page's thread makes its module of it, and each worker gets the
// compiled module with its file, rather than a copy of its own to compile.

/* global RUTER_WASM */

let compile = null;

// The compiled WebAssembly (a promise of a WebAssembly.Module).
export function compiler() {
  if (!compile) {
    const gzip = Uint8Array.from(atob(RUTER_WASM), (c) => c.charCodeAt(0));
    const octets = new Blob([gzip]).stream().pipeThrough(new DecompressionStream('gzip'));
    compile = new Response(octets).arrayBuffer().then((b) => WebAssembly.compile(b));
  }
  return compile;
}

// A module of emscripten's `creerModule` on the compiled `wasm`.
export function instancier(creerModule, wasm) {
  return new Promise((ok, echec) => {
    creerModule({
      instantiateWasm(imports, recevoir) {
        WebAssembly.instantiate(wasm, imports).then((instance) => recevoir(instance, wasm), echec);
        return {};
      },
    }).then(ok, echec);
  });
}
