// The page: a route file chosen or dropped, read by the WebAssembly reader in
// a Web Worker, drawn on a chart, and offered for download, in Norwegian or
// English. What the objects are, their facts and the positions' text are the
// reader's business; this shows them. Each control is a file of its own,
// their state is etat.mjs; this puts them together.
//
// Names and texts come from a file anyone may have written: they reach the
// page only through textContent and canvas text, never as HTML.
import 'ol/ol.css';
import './style.css';
import creerModule from 'ruter-module';
import { installerBulle } from './bulle.mjs';
import { creerCarte, positionsEcran } from './carte.mjs';
import { $, etat } from './etat.mjs';
import { appliquerLangue, installerLangue, quandLangue } from './langue.mjs';
import { installerLecture } from './lecture.mjs';
import { installerOptions, moduleCharge } from './options.mjs';
import { installerPanneau } from './panneau.mjs';
import { installerRecherche } from './recherche.mjs';
import { afficherMessage } from './statut.mjs';
import { schema } from './tables.mjs';
import { installerTableau } from './tableau.mjs';
import { installerTelechargements } from './telechargements.mjs';
import { nommerGenres } from './textes.mjs';
import { compiler, instancier } from './wasm.mjs';

/* global ESSAI */

const carte = creerCarte('carte', $('position'));
// In this order, the texts of each are written again when the language
// changes.
installerLangue();
installerOptions();
quandLangue(afficherMessage);
installerLecture();
installerRecherche();
installerBulle();
installerTableau();
installerTelechargements();
installerPanneau();

appliquerLangue();
compiler().then((wasm) => instancier(creerModule, wasm)).then((m) => {
  etat.module = m;
  nommerGenres(schema(m));
  appliquerLangue();
  moduleCharge();
});

// For the tests (a build of its own, not the page shipped): where each
// object lies on the screen, and the chart.
if (ESSAI) {
  window.ruterEssai = { carte, ecran: () => positionsEcran(etat.tables) };
}
