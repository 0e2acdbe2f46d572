// A small XML document for OpenLayers' KML and GPX writers in the Web
// Worker, which has no DOM: elements, text, CDATA, and their text. It has
// only what those writers call (createElementNS, createTextNode,
// createCDATASection, setAttribute(NS), appendChild, insertBefore,
// removeChild, firstChild, and the names and types of nodes), with the DOM's
// meaning:
// a node appended elsewhere leaves its parent. A browser's own DOM is far
// slower for the millions of route points of a large file.
import { registerDocument, registerXMLSerializer } from 'ol/xml.js';

const kSpeciaux = /[&<>"]/;
const kEntites = { '&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;' };
const echapper = (s) => (kSpeciaux.test(s) ? s.replace(/[&<>"]/g, (c) => kEntites[c]) : s);

class Texte {
  constructor(texte, cdata) {
    this.nodeValue = texte;
    this.nodeType = cdata ? 4 : 3;
    this.parentNode = null;
  }
}

class Element {
  constructor(ns, nom) {
    this.namespaceURI = ns;
    this.nodeName = this.localName = nom;
    this.nodeType = 1;
    this.attributs = []; // name, value, name, value...
    this.childNodes = []; // those whose parentNode is no longer this one left there
    this.parentNode = null;
  }

  setAttribute(nom, valeur) {
    const i = this.attributs.indexOf(nom);
    if (i >= 0 && i % 2 === 0) this.attributs[i + 1] = String(valeur);
    else this.attributs.push(nom, String(valeur));
  }

  setAttributeNS(ns, nom, valeur) {
    this.setAttribute(nom, valeur);
  }

  appendChild(n) {
    n.parentNode = this;
    this.childNodes.push(n);
    return n;
  }

  removeChild(n) {
    this.childNodes.splice(this.childNodes.indexOf(n), 1);
    n.parentNode = null;
    return n;
  }

  insertBefore(n, avant) {
    n.parentNode = this;
    const i = avant ? this.childNodes.indexOf(avant) : -1;
    this.childNodes.splice(i < 0 ? this.childNodes.length : i, 0, n);
    return n;
  }

  get firstChild() {
    return this.childNodes.find((n) => n.parentNode === this) ?? null;
  }
}

function ecrire(n, racine) {
  if (n.nodeType === 3) return echapper(n.nodeValue);
  if (n.nodeType === 4) return `<![CDATA[${n.nodeValue}]]>`;
  let s = `<${n.localName}`;
  if (racine && n.namespaceURI && !n.attributs.includes('xmlns')) s += ` xmlns="${n.namespaceURI}"`;
  for (let i = 0; i < n.attributs.length; i += 2) s += ` ${n.attributs[i]}="${echapper(n.attributs[i + 1])}"`;
  const enfants = n.childNodes;
  let corps = '';
  for (let i = 0; i < enfants.length; ++i) if (enfants[i].parentNode === n) corps += ecrire(enfants[i], false);
  return corps ? `${s}>${corps}</${n.localName}>` : `${s}/>`;
}

export const documentXml = {
  createElementNS: (ns, nom) => new Element(ns, nom),
  createTextNode: (texte) => new Texte(texte, false),
  createCDATASection: (texte) => new Texte(texte, true),
};

export const serialiseur = { serializeToString: (n) => ecrire(n, true) };

// OpenLayers' XML writers build their documents with these from now on.
export function installer() {
  registerDocument(documentXml);
  registerXMLSerializer(serialiseur);
}
