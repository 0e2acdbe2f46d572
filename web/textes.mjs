// Every text of the page, in Norwegian (bokmål) and English: one table per
// language. The language is the browser's, or the one chosen on the page,
// which is remembered. A text is a string, or a function of its values.

const kCle = 'ruter2gis.langue';

const nombre = (langue, n) => n.toLocaleString(langue === 'nb' ? 'nb-NO' : 'en-GB');

// "1 mark", "2 marks": `formes` holds the singular and the plural.
const compte = (langue, n, [un, plusieurs]) => `${nombre(langue, n)} ${n === 1 ? un : plusieurs}`;

const en = {
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
  genres: [
    ['mark', 'marks'],
    ['route', 'routes'],
    ['area', 'areas'],
  ],
  genre: ['Mark', 'Route', 'Area'],
  sans_nom: '(no name)',
  champ_texte: 'Text',
  champ_symbole: 'Symbol',
  champ_couleur: 'Colour',
  sans_couleur: '(none)',
  champ_ligne: 'Line',
  ligne_du_fichier: (n) => `${n} of the file`,
  lecture: (nom) => `Reading ${nom}\u2026`,
  plusieurs: (n, nom) => `${n} files were dropped: the first, ${nom}, is read.`,
  arrete: (raison) => `The reader stopped: ${raison}. Reload the page and try again.`,
  illisible: (raison) => `The file could not be read: ${raison}`,
  ou_est: 'The route file is the file named Ruter in the plotter program\u2019s folder.',
  natures: {
    vide: () => 'This file is empty: there is nothing to show.',
    fin_texte: () => 'This file holds no route data before its end-of-text byte (Ctrl-Z), which starts it.',
    binaire: (signature) => `This is not a route file: it holds binary data${signature ? ` (${signature})` : ''}, not text.`,
    gpx: () => 'This is a GPX file, not a route file.',
    kml: () => 'This is a KML file, not a route file.',
    geojson: () => 'This is a GeoJSON file, not a route file.',
    mif: () => 'This is a MIF file: the route file is the one without an extension, beside it.',
    mid: () => 'This is the MID file of a MIF pair: the route file is the one without an extension, beside it.',
    inconnu: () =>
      'This does not look like a route file: none of its lines is a route, a name, a text or a position.',
  },
  comptes: (l, n) => `${n.map((k, g) => compte(l, k, en.genres[g])).join(', ')}.`,
  fichier: (nom, taille) => `${nom}, ${taille}`,
  octets: (l, n) =>
    n < 1024 ? `${nombre(l, n)} bytes` : n < 1 << 20 ? `${nombre(l, Math.round(n / 1024))} KB` : `${(n / (1 << 20)).toFixed(1)} MB`,
  aucun_objet: 'This file holds no mark, route or area: there is nothing to download.',
  omis_titre: (l, n) => `${compte(l, n, ['line', 'lines'])} left out or off the globe`,
  omis_ligne: (n, texte) => `Line ${n}: ${texte}`,
  omis_plus: (l, n) => `\u2026 and ${nombre(l, n)} more.`,
  preparation: (format) => `Making the ${format} file\u2026`,
  hors_globe: (ligne, format) =>
    `Line ${ligne} holds a position off the globe (latitude beyond 90 degrees or longitude beyond 180), which ${format} cannot hold.`,
};

const nb = {
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
  plusieurs: (n, nom) => `${n} filer ble sluppet: den første, ${nom}, leses.`,
  arrete: (raison) => `Leseren stoppet: ${raison}. Last inn siden på nytt og prøv igjen.`,
  illisible: (raison) => `Filen kunne ikke leses: ${raison}`,
  ou_est: 'Rutefilen er filen som heter Ruter, i plotterprogrammets mappe.',
  natures: {
    vide: () => 'Filen er tom: det er ingenting å vise.',
    fin_texte: () => 'Filen har ingen rutedata før tekstslutt-tegnet (Ctrl-Z) som den begynner med.',
    binaire: (signature) => `Dette er ikke en rutefil: den inneholder binære data${signature ? ` (${signature})` : ''}, ikke tekst.`,
    gpx: () => 'Dette er en GPX-fil, ikke en rutefil.',
    kml: () => 'Dette er en KML-fil, ikke en rutefil.',
    geojson: () => 'Dette er en GeoJSON-fil, ikke en rutefil.',
    mif: () => 'Dette er en MIF-fil: rutefilen er den uten filendelse, ved siden av den.',
    mid: () => 'Dette er MID-filen i et MIF-par: rutefilen er den uten filendelse, ved siden av den.',
    inconnu: () =>
      'Dette ser ikke ut som en rutefil: ingen av linjene er en rute, et navn, en tekst eller en posisjon.',
  },
  comptes: (l, n) => `${n.map((k, g) => compte(l, k, nb.genres[g])).join(', ')}.`,
  fichier: (nom, taille) => `${nom}, ${taille}`,
  octets: (l, n) =>
    n < 1024 ? `${nombre(l, n)} byte` : n < 1 << 20 ? `${nombre(l, Math.round(n / 1024))} kB` : `${(n / (1 << 20)).toFixed(1).replace('.', ',')} MB`,
  aucun_objet: 'Filen har ingen merker, ruter eller områder: det er ingenting å laste ned.',
  omis_titre: (l, n) => `${compte(l, n, ['linje', 'linjer'])} utelatt eller utenfor jordkloden`,
  omis_ligne: (n, texte) => `Linje ${n}: ${texte}`,
  omis_plus: (l, n) => `\u2026 og ${nombre(l, n)} til.`,
  preparation: (format) => `Lager ${format}-filen \u2026`,
  hors_globe: (ligne, format) =>
    `Linje ${ligne} har en posisjon utenfor jordkloden (bredde over 90 grader eller lengde over 180), som ${format} ikke kan ha.`,
};

export const LANGUES = { nb, en };

// The language: the one chosen before, else the browser's first that the
// page has (Norwegian of any kind reads bokmål), else English.
export function langueInitiale() {
  let choisie = null;
  try {
    choisie = localStorage.getItem(kCle);
  } catch {
    // storage refused (a file:// page in some browsers): the browser's then
  }
  if (choisie in LANGUES) return choisie;
  for (const l of navigator.languages ?? [navigator.language]) {
    const base = String(l).toLowerCase().split('-')[0];
    if (['nb', 'no', 'nn'].includes(base)) return 'nb';
    if (base === 'en') return 'en';
  }
  return 'en';
}

export function memoriserLangue(langue) {
  try {
    localStorage.setItem(kCle, langue);
  } catch {
    // not remembered, but used
  }
}
