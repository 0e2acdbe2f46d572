// Choices remembered from one visit to the next, under "ruter2gis.KEY". A
// browser may refuse the storage (a file:// page in some): the choice is
// then used but not remembered.

export function souvenir(cle, defaut) {
  try {
    return localStorage.getItem(`ruter2gis.${cle}`) ?? defaut;
  } catch {
    return defaut;
  }
}

export function retenir(cle, valeur) {
  try {
    localStorage.setItem(`ruter2gis.${cle}`, valeur);
  } catch {
    // not remembered, but used
  }
}
