// One script for the page and for its Web Worker, which the page starts
// from the script's own text: OpenLayers' formats, the reader's module and
// the tables are in the page once. Each side's modules are evaluated only
// where they run (a Worker has no document).
if (typeof document === 'undefined') {
  import('./lecteur.mjs');
} else {
  globalThis.LECTEUR_SOURCE = document.currentScript.textContent;
  import('./page.mjs');
}
