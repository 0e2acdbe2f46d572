// Every text of the page, in Norwegian (bokmål) and English: one table per
// language. The language is the browser's, or the one chosen on the page,
// which is remembered. A text is a string, or a function of its values.

import { retenir, souvenir } from './souvenirs.mjs';

// The locale whose numbers the language writes.
export const locale = (langue) => (langue === 'nb' ? 'nb-NO' : 'en-GB');

// A number as the language writes it, with `decimales` decimals if given.
export const nombre = (langue, n, decimales) =>
  n.toLocaleString(locale(langue), decimales === undefined ? {} : { minimumFractionDigits: decimales, maximumFractionDigits: decimales });

// A measure as the language writes it, in one style everywhere: the number
// (with `decimales` decimals if given, else as many as it has), a space, the
// unit ("2,5 nm", "2.5 nm", "11,31 nm", "500 m").
export const mesure = (langue, n, unite, decimales) => `${nombre(langue, n, decimales)} ${unite}`;

// A fraction as a percentage, as the language writes it ("42 %", "42%").
export const pourcent = (langue, f) => f.toLocaleString(locale(langue), { style: 'percent', maximumFractionDigits: 0 });

// "1 mark", "2 marks": `formes` holds the singular and the plural.
const compte = (langue, n, [un, plusieurs]) => `${nombre(langue, n)} ${n === 1 ? un : plusieurs}`;

const en = {
  trouves_attente: 'Looking\u2026',
  fichier_garde: (nom, taille) => `Still on the chart: ${nom}, ${taille}`,
  refus: (nom, verdict) => `${nom}: ${verdict}.`,
  plusieurs_lus: (n, nom, refuses, laisses) =>
    `${n} files were dropped: ${nom} is read` +
    (refuses.length ? `; ${refuses.join(', ')} ${refuses.length === 1 ? 'is not a route file' : 'are not route files'}` : '') +
    (laisses.length ? `; ${laisses.join(', ')} ${laisses.length === 1 ? 'is' : 'are'} left aside` : '') +
    '.',
  plusieurs_refuses: (n) => `${n} files were dropped, and none of them is a route file.`,
  preparation: (format, pct) => `Making the ${format} file\u2026 ${pct}`,
  fond_question: 'Show a background map? It is fetched online from OpenStreetMap and OpenSeaMap, which then learn the area shown.',
  fond_oui: 'Yes, fetch it',
  fond_non: 'No, a plain background',
  feuille: (l, route, k, n, date) => `${route} \u2013 sheet ${nombre(l, k)} of ${nombre(l, n)} \u2013 ${date}`,
  centre: 'Middle of the chart',
  en_ligne:
    'Online, the background map asks OpenStreetMap and OpenSeaMap for map tiles of the area shown; it can be switched off below.',
  carte_titre: 'Chart',
  fond: 'Background map from OpenStreetMap and OpenSeaMap (online)',
  grille: 'Grid of latitude and longitude',
  echelle: 'Scale in',
  echelle_nm: 'nautical miles',
  echelle_km: 'kilometres',
  chercher_titre: 'Find',
  chercher: 'A name, a text or a symbol, or part of one',
  trouves_compte: (l, n, total) =>
    n < total ? `The first ${nombre(l, n)} of ${nombre(l, total)} objects.` : `${compte(l, total, ['object', 'objects'])}.`,
  trouve: (genre, nom, ligne) => `${genre}: ${nom}, line ${ligne}`,
  genres_titre: 'Kinds to download (GeoJSON, KML, GPX)',
  aucun_genre: 'Choose at least one kind to download.',
  hors_globe_offre: (l, lignes, n, format) =>
    `${lignes.length === 1 ? 'Line' : 'Lines'} ${lignes.join(', ')}${n > lignes.length ? ', \u2026' : ''} ${n === 1 ? 'holds a position' : 'hold positions'} off the globe (latitude beyond 90 degrees or longitude beyond 180), which ${format} cannot hold.`,
  hors_globe_omettre: (l, n, format) => `Download the ${format} file without ${n === 1 ? 'that object' : `these ${nombre(l, n)} objects`}`,
  imprimer: 'Print',
  col_point: 'Point',
  col_position: 'Position',
  col_cap: 'Course (\u00b0T)',
  col_distance: 'Distance (nm)',
  col_parcouru: 'Run (nm)',
  retour: 'reversed',
  champ_position: 'Position',
  champ_debut: 'First point',
  champ_fin: 'Last point',
  champ_points: 'Points',
  champ_longueur: 'Length',
  champ_perimetre: 'Perimeter',
  champ_surface: 'Surface',
  bouton_tableau: 'Route table',
  milles: (l, x) => mesure(l, x, 'nm', 2),
  milles_carres: (l, x) => mesure(l, x, 'square nm', 2),
  total_route: (l, points, longueur) => `${compte(l, points, ['point', 'points'])}, ${longueur} in all.`,
  total_aire: (l, points, perimetre, surface) =>
    `${compte(l, points, ['point', 'points'])}, a perimeter of ${perimetre}, a surface of ${surface}.`,
  titre: 'Route file: chart and downloads',
  h1: 'Route file',
  langue: 'Language',
  depot: 'Drop the plotter\u2019s route file, Ruter, here, or',
  choisir: 'Choose a file\u2026',
  local: 'The file is read in this browser: it is sent nowhere.',
  telecharger: 'Download',
  fins: 'MIF line ends',
  crlf: 'Windows (CR LF)',
  lf: 'Unix (LF)',
  titre_geojson: 'GeoJSON (RFC 7946), for QGIS and web maps',
  titre_kml: 'KML, for Google Earth',
  titre_gpx: 'GPX, for navigation apps and GPS units',
  titre_mif: (mif, mid) => `The MapInfo pair ${mif} and ${mid}`,
  carte: 'Chart',
  zoom_plus: 'Zoom in',
  zoom_moins: 'Zoom out',
  attributions: 'Map sources',
  osm: '\u00a9 <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors',
  seamarks: 'Seamarks \u00a9 <a href="https://www.openseamap.org">OpenSeaMap</a>',
  aide_carte:
    'Arrow keys move the chart, + and \u2212 zoom, Enter shows the object nearest the middle, Escape closes it.',
  fermer: 'Close',
  panneau_replier: 'Hide the panel',
  panneau_deplier: 'Show the panel',
  // The kinds' words, singular and plural: the schema's names of the kinds
  // and of their layers, which are English (nommerGenres).
  genres: [],
  genre: [],
  sans_nom: '(no name)',
  champ_texte: 'Text',
  champ_symbole: 'Symbol',
  champ_couleur: 'Colour',
  sans_couleur: '(none)',
  champ_ligne: 'Line',
  ligne_du_fichier: (n) => `${n} of the file`,
  lecture: (nom) => `Reading ${nom}\u2026`,
  arrete: (raison) => `The reader stopped: ${raison}. Reload the page and try again.`,
  illisible: (raison) => `The file could not be read: ${raison}`,
  // A file refused: its name, what the reader says of it.
  ou_est: 'The route file is the file named Ruter in the plotter program\u2019s folder.',
  comptes: (l, n) => `${n.map((k, g) => compte(l, k, en.genres[g])).join(', ')}.`,
  fichier: (nom, taille) => `${nom}, ${taille}`,
  octets: (l, n) =>
    n < 1024 ? `${nombre(l, n)} bytes` : n < 1 << 20 ? `${nombre(l, Math.round(n / 1024))} KB` : `${(n / (1 << 20)).toFixed(1)} MB`,
  aucun_objet: 'This file holds no mark, route or area: there is nothing to download.',
  omis_titre: (l, n) => `${compte(l, n, ['line', 'lines'])} left out or off the globe`,
  omis_ligne: (n, texte) => `Line ${n}: ${texte}`,
  omis_plus: (l, n) => `\u2026 and ${nombre(l, n)} more.`,
};

const nb = {
  trouves_attente: 'Leter \u2026',
  fichier_garde: (nom, taille) => `Fortsatt på kartet: ${nom}, ${taille}`,
  refus: (nom, verdict) => `${nom}: ${verdict}.`,
  plusieurs_lus: (n, nom, refuses, laisses) =>
    `${n} filer ble sluppet: ${nom} leses` +
    (refuses.length ? `; ${refuses.join(', ')} ${refuses.length === 1 ? 'er ikke en rutefil' : 'er ikke rutefiler'}` : '') +
    (laisses.length ? `; ${laisses.join(', ')} ${laisses.length === 1 ? 'blir liggende' : 'blir liggende'}` : '') +
    '.',
  plusieurs_refuses: (n) => `${n} filer ble sluppet, og ingen av dem er en rutefil.`,
  preparation: (format, pct) => `Lager ${format}-filen \u2026 ${pct}`,
  fond_question: 'Vise et bakgrunnskart? Det hentes på nett fra OpenStreetMap og OpenSeaMap, som da får vite hvilket område som vises.',
  fond_oui: 'Ja, hent det',
  fond_non: 'Nei, en enkel bakgrunn',
  feuille: (l, route, k, n, date) => `${route} \u2013 side ${nombre(l, k)} av ${nombre(l, n)} \u2013 ${date}`,
  centre: 'Kartets midte',
  en_ligne:
    'Med nett henter bakgrunnskartet kartfliser for området som vises, fra OpenStreetMap og OpenSeaMap; det kan slås av nedenfor.',
  carte_titre: 'Kart',
  fond: 'Bakgrunnskart fra OpenStreetMap og OpenSeaMap (på nett)',
  grille: 'Rutenett med bredde og lengde',
  echelle: 'Målestokk i',
  echelle_nm: 'nautiske mil',
  echelle_km: 'kilometer',
  chercher_titre: 'Finn',
  chercher: 'Et navn, en tekst eller et symbol, eller en del av det',
  trouves_compte: (l, n, total) =>
    n < total ? `De første ${nombre(l, n)} av ${nombre(l, total)} objekter.` : `${compte(l, total, ['objekt', 'objekter'])}.`,
  trouve: (genre, nom, ligne) => `${genre}: ${nom}, linje ${ligne}`,
  genres_titre: 'Typer som lastes ned (GeoJSON, KML, GPX)',
  genres_0: 'Merker',
  genres_1: 'Ruter',
  genres_2: 'Områder',
  aucun_genre: 'Velg minst én type å laste ned.',
  hors_globe_offre: (l, lignes, n, format) =>
    `${lignes.length === 1 ? 'Linje' : 'Linjene'} ${lignes.join(', ')}${n > lignes.length ? ', \u2026' : ''} har ${n === 1 ? 'en posisjon' : 'posisjoner'} utenfor jordkloden (bredde over 90 grader eller lengde over 180), som ${format} ikke kan ha.`,
  hors_globe_omettre: (l, n, format) => `Last ned ${format}-filen uten ${n === 1 ? 'det objektet' : `disse ${nombre(l, n)} objektene`}`,
  imprimer: 'Skriv ut',
  col_point: 'Punkt',
  col_position: 'Posisjon',
  col_cap: 'Kurs (\u00b0 rv.)',
  col_distance: 'Distanse (nm)',
  col_parcouru: 'Tilbakelagt (nm)',
  retour: 'motsatt',
  champ_position: 'Posisjon',
  champ_debut: 'Første punkt',
  champ_fin: 'Siste punkt',
  champ_points: 'Punkter',
  champ_longueur: 'Lengde',
  champ_perimetre: 'Omkrets',
  champ_surface: 'Areal',
  bouton_tableau: 'Rutetabell',
  milles: (l, x) => mesure(l, x, 'nm', 2),
  milles_carres: (l, x) => mesure(l, x, 'kvadrat-nm', 2),
  total_route: (l, points, longueur) => `${compte(l, points, ['punkt', 'punkter'])}, ${longueur} i alt.`,
  total_aire: (l, points, perimetre, surface) =>
    `${compte(l, points, ['punkt', 'punkter'])}, omkrets ${perimetre}, areal ${surface}.`,
  titre: 'Rutefil: kart og nedlasting',
  h1: 'Rutefil',
  langue: 'Språk',
  depot: 'Slipp plotterens rutefil, Ruter, her, eller',
  choisir: 'Velg en fil \u2026',
  local: 'Filen leses i denne nettleseren: den sendes ingen steder.',
  telecharger: 'Last ned',
  fins: 'Linjeskift i MIF',
  crlf: 'Windows (CR LF)',
  lf: 'Unix (LF)',
  titre_geojson: 'GeoJSON (RFC 7946), for QGIS og nettkart',
  titre_kml: 'KML, for Google Earth',
  titre_gpx: 'GPX, for navigasjonsapper og GPS-er',
  titre_mif: (mif, mid) => `MapInfo-paret ${mif} og ${mid}`,
  carte: 'Kart',
  zoom_plus: 'Zoom inn',
  zoom_moins: 'Zoom ut',
  attributions: 'Kartkilder',
  osm: '\u00a9 <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a>-bidragsytere',
  seamarks: 'Sjømerker \u00a9 <a href="https://www.openseamap.org">OpenSeaMap</a>',
  aide_carte:
    'Piltastene flytter kartet, + og \u2212 zoomer, Enter viser objektet nærmest midten, Escape lukker det.',
  fermer: 'Lukk',
  panneau_replier: 'Skjul panelet',
  panneau_deplier: 'Vis panelet',
  genres: [
    ['merke', 'merker'],
    ['rute', 'ruter'],
    ['område', 'områder'],
  ],
  genre: ['Merke', 'Rute', 'Område'],
  sans_nom: '(uten navn)',
  champ_texte: 'Tekst',
  champ_symbole: 'Symbol',
  champ_couleur: 'Farge',
  sans_couleur: '(ingen)',
  champ_ligne: 'Linje',
  ligne_du_fichier: (n) => `${n} i filen`,
  lecture: (nom) => `Leser ${nom} \u2026`,
  arrete: (raison) => `Leseren stoppet: ${raison}. Last inn siden på nytt og prøv igjen.`,
  illisible: (raison) => `Filen kunne ikke leses: ${raison}`,
  ou_est: 'Rutefilen er filen som heter Ruter, i plotterprogrammets mappe.',
  comptes: (l, n) => `${n.map((k, g) => compte(l, k, nb.genres[g])).join(', ')}.`,
  fichier: (nom, taille) => `${nom}, ${taille}`,
  octets: (l, n) =>
    n < 1024 ? `${nombre(l, n)} byte` : n < 1 << 20 ? `${nombre(l, Math.round(n / 1024))} kB` : `${(n / (1 << 20)).toFixed(1).replace('.', ',')} MB`,
  aucun_objet: 'Filen har ingen merker, ruter eller områder: det er ingenting å laste ned.',
  omis_titre: (l, n) => `${compte(l, n, ['linje', 'linjer'])} utelatt eller utenfor jordkloden`,
  omis_ligne: (n, texte) => `Linje ${n}: ${texte}`,
  omis_plus: (l, n) => `\u2026 og ${nombre(l, n)} til.`,
};

export const LANGUES = { nb, en };

// English names the kinds as the schema does: "mark", "marks", "Mark", "the
// mark"; `schema` is the module's.
export function nommerGenres(schema) {
  const capitale = (m) => m[0].toUpperCase() + m.slice(1);
  en.genres = schema.genres.map((g, k) => [g, schema.couches[k]]);
  en.genre = schema.genres.map(capitale);
  schema.couches.forEach((c, k) => (en[`genres_${k}`] = capitale(c)));
}

// The language: the one chosen before, else the browser's first that the
// page has (Norwegian of any kind reads bokmål), else English.
export function langueInitiale() {
  const choisie = souvenir('langue', null);
  if (choisie in LANGUES) return choisie;
  for (const l of navigator.languages ?? [navigator.language]) {
    const base = String(l).toLowerCase().split('-')[0];
    if (['nb', 'no', 'nn'].includes(base)) return 'nb';
    if (base === 'en') return 'en';
  }
  return 'en';
}

export function memoriserLangue(langue) {
  retenir('langue', langue);
}
