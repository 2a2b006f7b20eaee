"use strict";
// Builds the matrix of pupils and worlds from the embedded data, sorts it on
// request and shows one cell's runs in detail, the lawn drawn with the tile
// pictures and the sheep's way replayed step by step.
const daten = JSON.parse(document.getElementById("daten").textContent);
const zahl = new Intl.NumberFormat("de-DE", { maximumFractionDigits: 1 });
const FARBEN = ["rgb(170,119,119)", "rgb(17,170,17)", "rgb(68,221,68)", "rgb(17,170,17)", "rgb(68,221,68)"];
const KURZ = { "Syntaxfehler": "Syntax", "Laufzeitfehler": "Fehler", "Rechenfehler": "Rechnen",
               "Zeitlimit": "Zeit", "Speicherlimit": "Speicher", "nicht lesbar": "unlesbar" };

// The reference solution, when the task has one, is the last script: a row
// of its own, left out of the class's figures.
const schueler = daten.scripts.map((_, s) => s).filter(s => s !== daten.reference);
const istMuster = s => s === daten.reference;

// One column per world; a cell holds the runs of all seeds.
const laufIndex = new Map(daten.runs.map((lauf, i) => [`${lauf.s}/${lauf.w}/${lauf.seed}`, i]));
function laeufeVon(skript, welt) {
  const liste = [];
  for (let seed = 1; seed <= daten.seeds; seed++) {
    const i = laufIndex.get(`${skript}/${welt}/${seed}`);
    if (i !== undefined) liste.push(i);
  }
  return liste;
}

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

// What a cell says: seeds solved, the median score and its colour.
function zellwerte(skript, welt) {
  const laeufe = laeufeVon(skript, welt).map(i => daten.runs[i]);
  const geschafft = laeufe.filter(l => l.solved).length;
  const arten = new Set(laeufe.map(l => l.kind));
  const art = geschafft === laeufe.length ? "geschafft" : arten.has("geschafft") || arten.has("offen") ? "offen"
            : arten.has("fehler") ? "fehler" : "limit";
  return { laeufe, geschafft, art, median: median(laeufe.filter(l => l.score !== null).map(l => l.score)) };
}

function zelle(skript, welt) {
  const w = zellwerte(skript, welt), erster = w.laeufe[0];
  const punkte = w.median !== null ? zahl.format(w.median) : (KURZ[erster.status] || erster.status);
  const text = daten.seeds > 1 ? `${w.geschafft}/${w.laeufe.length} · ${punkte}` : punkte;
  const titel = daten.seeds > 1 ? `${w.geschafft} von ${w.laeufe.length} Startwerten geschafft, Median der Punkte`
                                : erster.goal || erster.status;
  const knopf = el("button", { type: "button", title: `${titel} – Details zeigen`, text: text });
  knopf.addEventListener("click", () => zeige(laeufeVon(skript, welt)[0]));
  return el("td", { class: `lauf ${w.art}`, id: `zelle-${skript}-${welt}` }, knopf);
}

// Worlds solved with every seed.
function geschafftVon(skript) {
  return daten.worlds.filter((_, welt) => zellwerte(skript, welt).art === "geschafft").length;
}

function kopfzelle(titel, index, klasse) {
  const knopf = el("button", { type: "button", class: "sortieren", text: titel });
  knopf.addEventListener("click", () => sortiere(index));
  return el("th", { scope: "col", class: klasse, "aria-sort": "none" }, knopf);
}

function baueTabelle() {
  const tabelle = document.getElementById("matrix");
  tabelle.tHead.append(el("tr", {}, kopfzelle("Skript", 0, "name"), kopfzelle("Geschafft", 1, "summe"),
                          ...daten.worlds.map((welt, w) => kopfzelle(welt, w + 2, ""))));
  daten.scripts.forEach((name, s) => {
    const kopf = istMuster(s) ? el("th", { scope: "row", class: "name", title: name, text: "Musterlösung" })
                              : el("th", { scope: "row", class: "name", text: name });
    const zeile = el("tr", istMuster(s) ? { "data-skript": s, class: "muster" } : { "data-skript": s }, kopf,
                     el("td", { class: "summe", text: `${geschafftVon(s)} / ${daten.worlds.length}` }));
    daten.worlds.forEach((_, w) => zeile.append(zelle(s, w)));
    tabelle.tBodies[0].append(zeile);
  });
  const geschafft = el("tr", { class: "geschafft-zahl" }, el("th", { scope: "row", class: "name", text: "Geschafft" }),
                       el("td", { class: "summe" }));
  const mitte = el("tr", { class: "median" }, el("th", { scope: "row", class: "name", text: "Median Punkte" }),
                   el("td", { class: "summe" }));
  daten.worlds.forEach((_, w) => {
    const zellen = schueler.map(s => zellwerte(s, w));
    const punkte = zellen.flatMap(z => z.laeufe.filter(l => l.score !== null).map(l => l.score));
    const m = median(punkte);
    geschafft.append(el("td", { text: `${zellen.filter(z => z.art === "geschafft").length} / ${zellen.length}` }));
    mitte.append(el("td", { text: m === null ? "–" : zahl.format(m) }));
  });
  tabelle.tFoot.append(geschafft, mitte);
  // The total stays beside the name, however far the table scrolls sideways.
  tabelle.style.setProperty("--namensbreite", `${tabelle.tHead.rows[0].cells[0].offsetWidth}px`);
}

// Sorts by pupil name (German order), by the number solved or by one world
// (seeds solved, then the median score; cells without a score last); a
// second click on the same column reverses. The reference solution stays on
// top.
let sortierung = { spalte: -1, auf: true };
function vergleiche(a, b, index) {
  if (index === 0) return daten.scripts[a].localeCompare(daten.scripts[b], "de");
  if (index === 1) return geschafftVon(a) - geschafftVon(b);
  const x = zellwerte(a, index - 2), y = zellwerte(b, index - 2);
  const mx = x.median === null ? -Infinity : x.median, my = y.median === null ? -Infinity : y.median;
  return x.geschafft - y.geschafft || (mx === my ? 0 : mx < my ? -1 : 1);
}
function sortiere(index) {
  sortierung = { spalte: index, auf: sortierung.spalte === index ? !sortierung.auf : index === 0 };
  const koerper = document.querySelector("#matrix tbody");
  const zeilen = [...koerper.rows];
  zeilen.sort((a, b) => {
    const oben = istMuster(+b.dataset.skript) - istMuster(+a.dataset.skript);
    if (oben) return oben;
    const v = vergleiche(+a.dataset.skript, +b.dataset.skript, index);
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
const SCHAF = ["sheepNorth", "sheepEast", "sheepSouth", "sheepWest"];
const RICHTUNG = { dNorth: 0, dEast: 1, dSouth: 2, dWest: 3 };

// The heading of the sheep on the way's cell k: where it came from, or at
// the end of the way the heading it finished with.
function blickAuf(lauf, k) {
  if (k === lauf.path.length - 1 && !lauf.pathTruncated) return RICHTUNG[lauf.sheep.dir];
  const [x0, y0] = lauf.path[Math.max(0, k - 1)], [x1, y1] = lauf.path[k];
  return y1 < y0 ? 0 : x1 > x0 ? 1 : x1 < x0 ? 3 : 2;
}

// The final lawn as the IDE paints it: fill colour and the tile's picture,
// then the sheep's way up to cell k through the cell centres, and the sheep
// on that cell.
function zeichneRasen(lauf, k) {
  const leinwand = document.getElementById("rasen"), text = document.getElementById("rasen-text");
  const zeilen = lauf.lawn.map(z => z === "" ? [] : z.split(",").map(Number));
  const breite = zeilen.length ? zeilen[0].length : 0, hoehe = zeilen.length;
  if (!breite || !hoehe) {
    leinwand.width = leinwand.height = 0;
    text.textContent = lauf.lawnLeftOut ? "Der Rasen ist zu groß für den Bericht; er steht in ergebnis.json."
                                        : "Kein Rasen zu zeigen (leer oder zu groß).";
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
  const weg = lauf.path.slice(0, k + 1);
  let schaf = { x: lauf.sheep.x, y: lauf.sheep.y, blick: RICHTUNG[lauf.sheep.dir] };
  if (weg.length) {
    const mitte = p => [(p[0] + .5) * g, (p[1] + .5) * g], w = Math.max(1, g / 6);
    c.lineJoin = c.lineCap = "round";
    for (const [farbe, dicke] of [["rgba(60,20,0,.63)", w + 2], ["rgba(255,200,0,.86)", w]]) {
      c.beginPath();
      c.moveTo(...mitte(weg[0]));
      weg.forEach(p => c.lineTo(...mitte(p)));
      c.strokeStyle = farbe;
      c.lineWidth = dicke;
      c.stroke();
    }
    c.beginPath();
    c.arc(...mitte(weg[0]), w * 1.2, 0, 2 * Math.PI);
    c.fillStyle = "#fff";
    c.fill();
    c.stroke();
    schaf = { x: weg[k][0], y: weg[k][1], blick: blickAuf(lauf, k) };
  }
  const bild = bilder[SCHAF[schaf.blick]];
  if (bild && schaf.x >= 0 && schaf.x < breite && schaf.y >= 0 && schaf.y < hoehe)
    c.drawImage(bild, schaf.x * g, schaf.y * g, g, g);
  text.textContent = `${breite} × ${hoehe} Felder; gelb: der Weg des Schafs vom weißen Punkt aus` +
    (lauf.pathTruncated ? " (nur der Anfang)" : "") + ".";
  leinwand.dataset.gezeichnet = "ja";
}

// The slider walks the sheep along its way, one entered cell at a time.
function stelleReglerEin(lauf) {
  const regler = document.getElementById("weg-regler"), stand = document.getElementById("weg-stand");
  const ende = Math.max(0, lauf.path.length - 1);
  document.getElementById("weg").hidden = lauf.path.length < 2 || !lauf.lawn.length;
  regler.max = ende;
  regler.value = ende;
  const zeigeStand = () => {
    const k = +regler.value;
    stand.textContent = `Feld ${k + 1} von ${lauf.path.length}`;
    regler.setAttribute("aria-valuetext", stand.textContent);
    zeichneRasen(lauf, k);
  };
  regler.oninput = zeigeStand;
  zeigeStand();
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

// The seeds' runs of the shown cell, one button each.
function zeigeStartwerte(i) {
  const lauf = daten.runs[i], liste = document.getElementById("startwerte");
  liste.hidden = daten.seeds < 2;
  liste.replaceChildren(...laeufeVon(lauf.s, lauf.w).map(j => {
    const l = daten.runs[j];
    const text = `Startwert ${l.seed}: ${l.status}` + (l.score !== null ? `, ${zahl.format(l.score)} Punkte` : "");
    const knopf = el("button", { type: "button", class: `lauf ${l.kind}`, "aria-pressed": j === i, text: text });
    knopf.addEventListener("click", () => zeige(j));
    return el("li", {}, knopf);
  }));
}

function zeige(i) {
  const lauf = daten.runs[i];
  document.querySelectorAll("td.gewaehlt").forEach(z => z.classList.remove("gewaehlt"));
  document.getElementById(`zelle-${lauf.s}-${lauf.w}`).classList.add("gewaehlt");
  const name = istMuster(lauf.s) ? `Musterlösung (${daten.scripts[lauf.s]})` : daten.scripts[lauf.s];
  const titel = `${name} – ${daten.worlds[lauf.w]}` + (daten.seeds > 1 ? ` – Startwert ${lauf.seed}` : "");
  document.getElementById("details-titel").textContent = titel;
  const ziel = daten.task ? [["Ziel", lauf.goal ? `verfehlt: ${lauf.goal}` : "alle erreicht"]] : [];
  const werte = [["Status", lauf.status], ["Geschafft", lauf.solved ? "ja" : "nein"], ...ziel, ["Punkte", lauf.score],
                 ["Schritte", lauf.steps], ["Ungemäht", lauf.uncut], ["Gemäht", lauf.cut],
                 ["Startwert", lauf.seed], ["Millisekunden", lauf.ms]];
  document.getElementById("details-werte").replaceChildren(...werte.map(([n, v]) =>
    el("div", {}, el("dt", { text: n }), el("dd", { text: v === null ? "–" : typeof v === "number" ? zahl.format(v) : v }))));
  const meldungen = lauf.messages.map(m => el("li", { text: m }));
  if (lauf.messagesLeftOut > 0)
    meldungen.push(el("li", { class: "ausgelassen", text: `… ${zahl.format(lauf.messagesLeftOut)} weitere Meldungen stehen in ergebnis.json` }));
  document.getElementById("meldungen").replaceChildren(...meldungen);
  zeigeStartwerte(i);
  zeigeFehlerstelle(lauf);
  stelleReglerEin(lauf);
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

// A task's title and goals above the matrix; "offen" then means a goal missed.
function zeigeAufgabe() {
  if (!daten.task) return;
  document.getElementById("aufgabe-titel").textContent = `Aufgabe: ${daten.task.title}`;
  document.getElementById("ziele").replaceChildren(...daten.task.goals.map(z => el("li", { text: z })));
  document.getElementById("aufgabe").hidden = false;
  document.getElementById("legende-offen").textContent = "gelaufen, ein Ziel verfehlt";
}

zeigeAufgabe();
document.getElementById("ueberblick").textContent =
  `${schueler.length} Skripte${daten.reference !== undefined ? " und die Musterlösung" : ""} · ` +
  `${daten.worlds.length} Welten · ${daten.seeds} Startwert${daten.seeds > 1 ? "e" : ""} · ` +
  `${daten.runs.filter(l => !istMuster(l.s)).length} Läufe · ` +
  `höchstens ${zahl.format(daten.maxSteps)} Programmschritte und ${zahl.format(daten.timeout)} s Rechenzeit je Lauf`;
document.getElementById("gekuerzt").hidden =
  !daten.runs.some(l => l.messagesLeftOut > 0 || l.pathTruncated || l.lawnLeftOut);
baueTabelle();
sortiere(0);
document.getElementById("schliessen").addEventListener("click", schliesse);
document.addEventListener("keydown", e => { if (e.key === "Escape") schliesse(); });
ladeBilder().then(() => {
  zeigeAusAdresse();
  window.addEventListener("hashchange", zeigeAusAdresse);
  document.body.dataset.bereit = "ja";
});
