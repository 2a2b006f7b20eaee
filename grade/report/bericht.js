"use strict";
// Builds the matrix of pupils and worlds from the embedded data, sorts it on
// request and shows one run in detail, its lawn drawn with the tile pictures.
const daten = JSON.parse(document.getElementById("daten").textContent);
const zahl = new Intl.NumberFormat("de-DE", { maximumFractionDigits: 1 });
const FARBEN = ["rgb(170,119,119)", "rgb(17,170,17)", "rgb(68,221,68)", "rgb(17,170,17)", "rgb(68,221,68)"];
const KURZ = { "Syntaxfehler": "Syntax", "Laufzeitfehler": "Fehler", "Rechenfehler": "Rechnen",
               "Zeitlimit": "Zeit", "Speicherlimit": "Speicher", "nicht lesbar": "unlesbar" };

// One column per world and seed; each holds the index of its run per pupil.
const spalten = [];
daten.worlds.forEach((welt, w) => {
  for (let seed = 1; seed <= daten.seeds; seed++)
    spalten.push({ titel: daten.seeds > 1 ? `${welt} · ${seed}` : welt, welt: w, seed: seed });
});
const laufIndex = new Map(daten.runs.map((lauf, i) => [`${lauf.s}/${lauf.w}/${lauf.seed}`, i]));
const laufVon = (skript, spalte) => laufIndex.get(`${skript}/${spalte.welt}/${spalte.seed}`);

function el(tag, attrs = {}, ...kinder) {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attrs)) {
    if (k === "text") e.textContent = v; else e.setAttribute(k, v);
  }
  kinder.forEach(k => e.append(k));
  return e;
}

function median(werte) {
  if (!werte.length) return null;
  const s = [...werte].sort((a, b) => a - b), m = Math.floor(s.length / 2);
  return s.length % 2 ? s[m] : (s[m - 1] + s[m]) / 2;
}

function zelle(skript, spalte) {
  const i = laufVon(skript, spalte), lauf = daten.runs[i];
  const text = lauf.score !== null ? zahl.format(lauf.score) : (KURZ[lauf.status] || lauf.status);
  const knopf = el("button", { type: "button", title: `${lauf.status} – Details zeigen`, "data-lauf": i, text: text });
  knopf.addEventListener("click", () => zeige(i));
  return el("td", { class: `lauf ${lauf.kind}`, id: `zelle-${i}` }, knopf);
}

function kopfzelle(titel, index) {
  const knopf = el("button", { type: "button", class: "sortieren", text: titel });
  knopf.addEventListener("click", () => sortiere(index));
  return el("th", { scope: "col", class: index === 0 ? "name" : "", "aria-sort": "none" }, knopf);
}

function geschafftVon(skript) {
  return spalten.filter(sp => daten.runs[laufVon(skript, sp)].solved).length;
}

function baueTabelle() {
  const tabelle = document.getElementById("matrix");
  const titel = ["Skript", ...spalten.map(sp => sp.titel), "Geschafft"];
  tabelle.tHead.append(el("tr", {}, ...titel.map(kopfzelle)));
  daten.scripts.forEach((name, s) => {
    const zeile = el("tr", { "data-skript": s }, el("th", { scope: "row", class: "name", text: name }));
    spalten.forEach(sp => zeile.append(zelle(s, sp)));
    zeile.append(el("td", { class: "summe", text: `${geschafftVon(s)} / ${spalten.length}` }));
    tabelle.tBodies[0].append(zeile);
  });
  const laeufe = sp => daten.scripts.map((_, s) => daten.runs[laufVon(s, sp)]);
  const geschafft = el("tr", { class: "geschafft-zahl" }, el("th", { scope: "row", class: "name", text: "Geschafft" }));
  const mitte = el("tr", { class: "median" }, el("th", { scope: "row", class: "name", text: "Median Punkte" }));
  spalten.forEach(sp => {
    const l = laeufe(sp), m = median(l.filter(x => x.score !== null).map(x => x.score));
    geschafft.append(el("td", { text: `${l.filter(x => x.solved).length} / ${l.length}` }));
    mitte.append(el("td", { text: m === null ? "–" : zahl.format(m) }));
  });
  geschafft.append(el("td"));
  mitte.append(el("td"));
  tabelle.tFoot.append(geschafft, mitte);
}

// Sorts by pupil name, by one column's score (runs without a score last) or
// by the number solved; a second click on the same column reverses.
let sortierung = { spalte: -1, auf: true };
function sortwert(s, index) {
  if (index === 0) return daten.scripts[s];
  if (index === spalten.length + 1) return geschafftVon(s);
  const lauf = daten.runs[laufVon(s, spalten[index - 1])];
  return lauf.score === null ? -Infinity : lauf.score;
}
function sortiere(index) {
  sortierung = { spalte: index, auf: sortierung.spalte === index ? !sortierung.auf : index === 0 };
  const koerper = document.querySelector("#matrix tbody");
  const zeilen = [...koerper.rows];
  zeilen.sort((a, b) => {
    const x = sortwert(+a.dataset.skript, index), y = sortwert(+b.dataset.skript, index);
    const v = typeof x === "string" ? x.localeCompare(y, "de") : x - y;
    return (sortierung.auf ? v : -v) || (+a.dataset.skript - +b.dataset.skript);
  });
  zeilen.forEach(z => koerper.append(z));
  document.querySelectorAll("#matrix thead th").forEach((th, i) =>
    th.setAttribute("aria-sort", i !== index ? "none" : sortierung.auf ? "ascending" : "descending"));
}

const bilder = {};
function ladeBilder() {
  const laden = Object.entries(daten.tiles).map(([name, quelle]) => new Promise(fertig => {
    const bild = new Image();
    bild.onload = () => { bilder[name] = bild; fertig(); };
    bild.onerror = () => fertig();
    bild.src = quelle;
  }));
  return Promise.all(laden);
}

const TILE_BILD = { 0: "way", 3: "tree", 4: "mark" };
const SCHAF = { dNorth: "sheepNorth", dEast: "sheepEast", dSouth: "sheepSouth", dWest: "sheepWest" };

// The lawn as the IDE paints it: fill colour, the tile's picture, then the
// sheep's way through the cell centres and the sheep on top.
function zeichneRasen(lauf) {
  const leinwand = document.getElementById("rasen"), text = document.getElementById("rasen-text");
  const zeilen = lauf.lawn.map(z => z === "" ? [] : z.split(",").map(Number));
  const breite = zeilen.length ? zeilen[0].length : 0, hoehe = zeilen.length;
  if (!breite || !hoehe) {
    leinwand.width = leinwand.height = 0;
    text.textContent = "Kein Rasen zu zeigen (leer oder zu groß).";
    leinwand.dataset.gezeichnet = "nein";
    return;
  }
  const g = Math.max(1, Math.min(30, Math.floor(2000 / Math.max(breite, hoehe))));
  leinwand.width = breite * g;
  leinwand.height = hoehe * g;
  const c = leinwand.getContext("2d");
  c.imageSmoothingEnabled = false;
  zeilen.forEach((zeile, y) => zeile.forEach((art, x) => {
    c.fillStyle = FARBEN[art] || FARBEN[1];
    c.fillRect(x * g, y * g, g, g);
    const bild = bilder[TILE_BILD[art]];
    if (bild) c.drawImage(bild, x * g, y * g, g, g);
  }));
  if (lauf.path.length) {
    const mitte = p => [(p[0] + .5) * g, (p[1] + .5) * g], w = Math.max(1, g / 6);
    c.lineJoin = c.lineCap = "round";
    for (const [farbe, dicke] of [["rgba(60,20,0,.63)", w + 2], ["rgba(255,200,0,.86)", w]]) {
      c.beginPath();
      c.moveTo(...mitte(lauf.path[0]));
      lauf.path.forEach(p => c.lineTo(...mitte(p)));
      c.strokeStyle = farbe;
      c.lineWidth = dicke;
      c.stroke();
    }
    c.beginPath();
    c.arc(...mitte(lauf.path[0]), w * 1.2, 0, 2 * Math.PI);
    c.fillStyle = "#fff";
    c.fill();
    c.stroke();
  }
  const schaf = bilder[SCHAF[lauf.sheep.dir]];
  if (schaf && lauf.sheep.x >= 0 && lauf.sheep.x < breite && lauf.sheep.y >= 0 && lauf.sheep.y < hoehe)
    c.drawImage(schaf, lauf.sheep.x * g, lauf.sheep.y * g, g, g);
  text.textContent = `${breite} × ${hoehe} Felder; gelb: der Weg des Schafs vom weißen Punkt aus` +
    (lauf.pathTruncated ? " (nur der Anfang)" : "") + ".";
  leinwand.dataset.gezeichnet = "ja";
}

function zeigeFehlerstelle(lauf) {
  const ort = document.getElementById("fehlerstelle");
  ort.replaceChildren();
  if (!lauf.error) return;
  ort.append(el("h3", { text: "Fehler" }),
             el("p", { class: "fehlertext", text: lauf.errorLine ? `Zeile ${lauf.errorLine}: ${lauf.error}` : lauf.error }));
  if (!lauf.context) return;
  const pre = el("pre", { class: "quelltext" });
  lauf.context.lines.forEach((zeile, i) => {
    const nummer = lauf.context.first + i;
    pre.append(el("span", { class: nummer === lauf.errorLine ? "markiert" : "" }, el("i", { text: nummer }), zeile));
  });
  ort.append(pre);
}

function zeige(i) {
  const lauf = daten.runs[i];
  document.querySelectorAll("td.gewaehlt").forEach(z => z.classList.remove("gewaehlt"));
  document.getElementById(`zelle-${i}`).classList.add("gewaehlt");
  const titel = `${daten.scripts[lauf.s]} – ${daten.worlds[lauf.w]}` + (daten.seeds > 1 ? ` – Startwert ${lauf.seed}` : "");
  document.getElementById("details-titel").textContent = titel;
  const werte = [["Status", lauf.status], ["Geschafft", lauf.solved ? "ja" : "nein"], ["Punkte", lauf.score],
                 ["Schritte", lauf.steps], ["Ungemäht", lauf.uncut], ["Gemäht", lauf.cut],
                 ["Startwert", lauf.seed], ["Millisekunden", lauf.ms]];
  document.getElementById("details-werte").replaceChildren(...werte.map(([n, v]) =>
    el("div", {}, el("dt", { text: n }), el("dd", { text: v === null ? "–" : typeof v === "number" ? zahl.format(v) : v }))));
  document.getElementById("meldungen").replaceChildren(...lauf.messages.map(m => el("li", { text: m })));
  zeigeFehlerstelle(lauf);
  zeichneRasen(lauf);
  const details = document.getElementById("details");
  details.hidden = false;
  if (location.hash !== `#lauf-${i}`) history.replaceState(null, "", `#lauf-${i}`);
  details.scrollIntoView({ block: "nearest" });
}

function schliesse() {
  document.getElementById("details").hidden = true;
  document.querySelectorAll("td.gewaehlt").forEach(z => z.classList.remove("gewaehlt"));
  history.replaceState(null, "", location.pathname + location.search);
}

function zeigeAusAdresse() {
  const treffer = /^#lauf-(\d+)$/.exec(location.hash);
  if (treffer && daten.runs[+treffer[1]]) zeige(+treffer[1]);
}

document.getElementById("ueberblick").textContent =
  `${daten.scripts.length} Skripte · ${daten.worlds.length} Welten · ` +
  `${daten.seeds} Startwert${daten.seeds > 1 ? "e" : ""} · ${daten.runs.length} Läufe · ` +
  `höchstens ${zahl.format(daten.maxSteps)} Schritte und ${zahl.format(daten.timeout)} s je Lauf`;
baueTabelle();
document.getElementById("schliessen").addEventListener("click", schliesse);
document.addEventListener("keydown", e => { if (e.key === "Escape") schliesse(); });
ladeBilder().then(() => {
  zeigeAusAdresse();
  window.addEventListener("hashchange", zeigeAusAdresse);
  document.body.dataset.bereit = "ja";
});
