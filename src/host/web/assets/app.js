// The Couloir page: every value shown goes in as text (textContent), never as markup.
'use strict';

function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name === 'class') node.className = value;
    else if (name.startsWith('on')) node.addEventListener(name.slice(2), value);
    else node.setAttribute(name, value === true ? '' : value);
  }
  for (const child of children.flat()) {
    if (child === undefined || child === null) continue;
    node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
  return node;
}

async function api(path, options = {}) {
  const response = await fetch(path, Object.assign({ credentials: 'same-origin' }, options));
  const body = await response.json().catch(() => ({}));
  if (!response.ok) {
    const error = new Error(body.error || ('Erreur ' + response.status));
    error.status = response.status;
    error.body = body;
    throw error;
  }
  return body;
}

function show(...nodes) {
  const page = document.getElementById('page');
  page.replaceChildren(...nodes.flat().filter((node) => node !== null && node !== undefined));
}

function failure(error) {
  return el('div', { class: 'message error' }, error.message);
}

// yyyymmdd as dd/mm/yyyy.
function date(text) {
  return /^\d{8}$/.test(text || '') ? `${text.slice(6, 8)}/${text.slice(4, 6)}/${text.slice(0, 4)}` : (text || '');
}

function table(headers, rows) {
  return el('table', {}, el('thead', {}, el('tr', {}, headers.map((h) => el('th', {}, h)))),
    el('tbody', {}, rows.map((cells) => el('tr', {}, cells.map((cell) =>
      cell instanceof Node && cell.tagName === 'TD' ? cell : el('td', {}, cell))))));
}

function number(value) {
  return el('td', { class: 'number' }, value);
}

// The operations, their forms and their menu entries, as the server's table gives them.
let kindsLoaded;
function kinds() {
  if (!kindsLoaded) kindsLoaded = api('/api/kinds');
  return kindsLoaded;
}

async function buildMenu() {
  const menu = document.getElementById('menu');
  const after = menu.querySelector('a[href="#/"]');
  const entries = (await kinds()).filter((k) => k.menu)
    .map((k) => el('a', { href: `#/operation-new/${k.name}` }, k.menu));
  after.after(...entries);
  markMenu();
}

function markMenu() {
  document.querySelectorAll('#menu a').forEach((a) => a.classList.toggle('active', a.getAttribute('href') === location.hash));
}

// What a table's rows become: French names for the report's tables.
const TABLE_WORDS = {
  licence: 'nageurs', club: 'clubs', rcomp: 'compétitions', pcomp: 'épreuves au programme', categori: 'catégories',
  prres: 'résultats', prres_relais: 'résultats de relais', relais: 'équipes de relais', engag: 'engagements',
  engag_nageur: 'nageurs engagés', liffn: 'performances', liffn_relais: 'performances de relais',
  selection: 'sélections', nage: 'nages',
};

const COUNT_LABELS = {
  lines: 'lignes', created: 'créés', known: 'déjà connus', known_under_other_label: 'connus sous un autre libellé',
  updated: 'mis à jour', errors: 'en erreur', duplicates: 'en double', relay: 'licences de relais',
  clubs_added: 'clubs ajoutés', results: 'résultats', individual_performances: 'performances individuelles',
  relay_performances: 'performances de relais', unknown: 'inconnues', performances: 'performances',
  swimmers: 'nageurs', clubs: 'clubs',
  results_moved: 'résultats déplacés', relay_result_legs_moved: 'places de relais (résultats) reprises',
  relay_performance_legs_moved: 'places de relais (historique) reprises',
  relay_entry_legs_moved: 'places de relais (engagements) reprises', performances_moved: 'performances déplacées',
  performances_merged: 'performances en double supprimées', entries_moved: 'engagements déplacés',
  entered_moved: 'nageurs engagés déplacés', selections_moved: 'sélections reprises', fields_filled: 'champs complétés',
};
const CONFIDENCES = { certain: 'certaine', high: 'forte', possible: 'possible' };
const OUTCOMES = { done: 'terminée', skipped: 'sautée', failed: 'en échec', cancelled: 'annulée' };
const STATUSES = { running: 'en cours', succeeded: 'réussie', failed: 'échouée' };

// ---- Tableau de bord

async function dashboard() {
  const [summary, competitions, operations] = await Promise.all([
    api('/api/summary'), api('/api/competitions'), api('/api/operations')]);
  const card = (label, value) => el('div', { class: 'card' }, el('div', { class: 'number' }, value), label);
  show(
    el('h1', {}, 'Tableau de bord'),
    el('div', { class: 'cards', id: 'summary' },
      card('clubs', summary.clubs), card('nageurs', summary.swimmers), card('compétitions', summary.competitions),
      card('performances', summary.performances + summary.relay_performances)),
    el('h2', {}, 'Compétitions'),
    competitions.length === 0 ? el('p', {}, 'Aucune compétition dans la base.') :
      table(['Dates', 'Nom', 'Lieu', 'Bassin', 'Résultats', 'Engagements'], competitions.map((c) => [
        date(c.start) + (c.end && c.end !== c.start ? ' – ' + date(c.end) : ''),
        el('td', {}, el('a', { href: `#/competition/${c.number}` }, c.name || `Compétition n° ${c.number}`)),
        c.place, c.pool ? c.pool + ' m' : '', number(c.results), number(c.entries)])),
    el('h2', {}, 'Dernières opérations'),
    operations.length === 0 ? el('p', {}, 'Aucune opération depuis le démarrage.') :
      table(['N°', 'Opération', 'Début', 'État'], operations.map((o) => [
        el('td', {}, el('a', { href: `#/operation/${o.id}` }, o.id)),
        o.kind + (o.dry_run ? ' (simulation)' : ''), o.started.replace('T', ' ').slice(0, 19),
        el('td', { class: 'status-' + o.status }, STATUSES[o.status])])));
}

// ---- Pages d'opération

// The files picked for an operation that reads `expected` (any .txt file when
// empty): the others are left aside and said so. The browser's own pickers
// are hidden behind French buttons.
function fileZone(files, expected) {
  const list = el('ul', { id: 'file-list' });
  const ignored = el('p', { class: 'captions', id: 'ignored' });
  const chosen = el('span', { class: 'captions', id: 'chosen' }, 'Aucun fichier choisi.');
  const redraw = () => {
    list.replaceChildren(...files.map((f) => el('li', {}, `${f.name} (${f.size.toLocaleString('fr-FR')} octets)`)));
    chosen.textContent = files.length === 0 ? 'Aucun fichier choisi.'
      : files.length === 1 ? '1 fichier choisi.' : `${files.length} fichiers choisis.`;
  };
  const wanted = (name) => (expected.length ? expected.includes(name.toLowerCase()) : /^[A-Za-z0-9_-]+\.txt$/i.test(name));
  const add = (picked) => {
    const aside = [];
    for (const file of picked) {
      if (!wanted(file.name)) { aside.push(file.name); continue; }
      const at = files.findIndex((f) => f.name.toLowerCase() === file.name.toLowerCase());
      if (at >= 0) files.splice(at, 1);
      files.push(file);
    }
    ignored.textContent = aside.length ? 'Laissés de côté (cette opération ne les lit pas) : ' + aside.join(', ') : '';
    redraw();
  };
  const folder = el('input', { type: 'file', id: 'folder', class: 'picker', webkitdirectory: true, multiple: true,
    onchange: (e) => add(e.target.files) });
  const single = el('input', { type: 'file', id: 'files', class: 'picker', multiple: true, accept: '.txt,.TXT',
    onchange: (e) => add(e.target.files) });
  const drop = el('div', { class: 'drop', id: 'drop' },
    el('p', {}, 'Déposez ici le dossier ou les fichiers reçus de la fédération'),
    el('p', { class: 'pickers' },
      el('label', { for: 'folder', class: 'button secondary' }, 'Choisir un dossier…'), folder,
      el('label', { for: 'files', class: 'button secondary' }, 'Choisir des fichiers…'), single),
    chosen);
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', async (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    add(await droppedFiles(e.dataTransfer));
  });
  const awaited = expected.length ? 'Fichiers lus : ' + expected.join(', ') + '.' : 'Fichiers de codes uniques (.txt).';
  return el('div', {}, el('span', { class: 'label' }, 'Fichiers d’échange'), el('p', { class: 'captions' }, awaited),
    drop, list, ignored);
}

// The files of a drop, those inside dropped folders included.
async function droppedFiles(transfer) {
  const entries = [...transfer.items].map((item) => item.webkitGetAsEntry && item.webkitGetAsEntry()).filter(Boolean);
  if (entries.length === 0) return [...transfer.files];
  const files = [];
  const walk = async (entry) => {
    if (entry.isFile) files.push(await new Promise((resolve, reject) => entry.file(resolve, reject)));
    else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (batch.length === 0) break;
        for (const child of batch) await walk(child);
      }
    }
  };
  for (const entry of entries) await walk(entry);
  return files;
}

// A select of the competitions; with "Nouvelle compétition…" when `fresh`.
async function competitionField(field, values, fresh, hasNewFlag) {
  const competitions = await api('/api/competitions');
  const select = el('select', { id: field.name });
  for (const c of competitions)
    select.append(el('option', { value: c.number }, `${c.number} — ${c.name || 'sans nom'} (${date(c.start)})`));
  const next = competitions.reduce((m, c) => Math.max(m, Number(c.number)), 0) + 1;
  const number = el('input', { type: 'number', id: 'new-number', min: 1, value: next });
  if (fresh) select.append(el('option', { value: 'new' }, 'Nouvelle compétition…'));
  const numberLabel = el('label', { for: 'new-number' }, 'Numéro de la nouvelle compétition', number);
  const update = () => { numberLabel.hidden = select.value !== 'new'; };
  select.addEventListener('change', update);
  if (fresh && competitions.length === 0) select.value = 'new';
  update();
  values[field.name] = () => (select.value === 'new' ? number.value : select.value);
  if (hasNewFlag) values[hasNewFlag] = () => (select.value === 'new' ? '1' : '');
  return [el('label', { for: field.name }, field.label), select, numberLabel];
}

// A select of profiles or clubs whose options say whether they are selections.
function choiceField(field, values, options, selectionFlag) {
  const select = el('select', { id: field.name }, options);
  values[field.name] = () => select.value;
  if (selectionFlag) values[selectionFlag] = () => (select.selectedOptions[0]?.dataset.selection === '1' ? '1' : '');
  return [el('label', { for: field.name }, field.label), select];
}

// The form of an operation, built from its fields in /api/kinds.
async function operationForm(name) {
  const operation = (await kinds()).find((k) => k.name === name);
  if (!operation) return show(el('p', {}, 'Opération inconnue.'));
  const files = [];
  const fields = [];
  const values = {};
  const flag = (type) => operation.fields.find((f) => f.type === type)?.name;
  for (const field of operation.fields) {
    if (field.type === 'competition') {
      fields.push(...await competitionField(field, values, operation.folder === 'reads', flag('new_competition')));
    } else if (field.type === 'profile') {
      const profiles = await api('/api/profiles');
      fields.push(...choiceField(field, values, profiles.map((p) => el('option', { value: p.number, 'data-selection': p.selection },
        `${p.number} — ${p.name || p.club}${p.selection === '1' ? ' (sélection)' : ''}`)), flag('selection')));
    } else if (field.type === 'club') {
      const clubs = await api('/api/clubs');
      const all = flag('all_clubs');
      fields.push(...choiceField(field, values, [all ? el('option', { value: '' }, 'Tous les clubs') : null,
        ...clubs.map((c) => el('option', { value: c.code, 'data-selection': c.selection }, `${c.name} (${c.code})`))],
      flag('selection')));
      if (all) values[all] = () => (values[field.name]() === '' ? '1' : '');
    } else if (field.type === 'own_club') {
      const own = el('input', { type: 'text', id: field.name, placeholder: 'FRA0000000000' });
      values[field.name] = () => own.value.trim();
      fields.push(el('label', { for: field.name }, field.label), own);
    } else if (field.type === 'swimmer') {
      const number = el('input', { type: 'number', id: field.name, min: 1, required: field.required });
      values[field.name] = () => number.value;
      fields.push(el('label', { for: field.name }, field.label), number);
    }
    // The flags (new competition, selection, all clubs) follow the choices above.
  }
  if (operation.folder === 'reads') fields.push(fileZone(files, operation.files));

  const panel = el('div', { id: 'operation-panel' });
  const send = async (dryRun) => {
    const data = new FormData();
    data.append('kind', name);
    for (const [field, value] of Object.entries(values)) data.append(field, value());
    if (dryRun) data.append('dry_run', '1');
    for (const file of files) data.append('files', file, file.name);
    buttons.forEach((b) => { b.disabled = true; });
    try {
      const started = await api('/api/operations', { method: 'POST', body: data });
      await follow(started.id, panel);
    } catch (error) {
      panel.replaceChildren(failure(error));
      if (error.status === 409 && error.body.running)
        panel.append(el('p', {}, el('a', { href: `#/operation/${error.body.running.id}` }, 'Suivre l’opération en cours')));
    } finally {
      buttons.forEach((b) => { b.disabled = false; });
    }
  };
  const buttons = operation.dry_run
    ? [el('button', { type: 'button', id: 'check', onclick: () => send(true) }, 'Vérifier'),
      el('button', { type: 'button', id: 'import', class: 'secondary', onclick: () => send(false) },
        operation.folder === 'reads' ? 'Importer' : 'Lancer')]
    : [el('button', { type: 'button', id: 'run', onclick: () => send(false) }, 'Lancer')];
  show(el('h1', {}, operation.title),
    el('form', { class: 'operation', onsubmit: (e) => e.preventDefault() }, fields, el('div', { class: 'buttons' }, buttons)),
    operation.dry_run ? el('p', { class: 'captions' }, '« Vérifier » fait tout comme pour de vrai et dit ce qui changerait, sans rien enregistrer.') : null,
    panel);
}

// Follows an operation in `container` until it ends, then shows its report.
// A dropped stream is taken up again by the browser from the last event it
// had (Last-Event-ID); an event already shown is never shown again.
function follow(id, container) {
  const bar = el('progress', { id: 'bar', max: 100, value: 0 });
  const step = el('div', { id: 'step' }, 'Démarrage…');
  const captions = el('div', { class: 'captions', id: 'captions' });
  const trace = el('pre', { class: 'trace', id: 'live-trace' });
  container.replaceChildren(el('div', { class: 'panel' }, el('h2', {}, `Opération n° ${id}`), step, bar, captions, trace));
  let lastShown = 0, connections = 0;
  return new Promise((resolve) => {
    const source = new EventSource(`/api/operations/${id}/events`);
    const end = async () => {
      source.close();
      try {
        const detail = await api(`/api/operations/${id}`);
        bar.value = 100;
        const report = renderOperation(detail);
        // What was followed live, for whoever checks it against the trace.
        report.dataset.liveLines = (trace.textContent.match(/\n/g) || []).length;
        report.dataset.connections = connections;
        container.replaceChildren(report);
      } catch (error) {
        container.append(failure(error));
      }
      resolve();
    };
    source.onopen = () => { connections += 1; };
    source.onmessage = (message) => {
      const number = Number(message.lastEventId);
      if (number && number <= lastShown) return;
      if (number) lastShown = number;
      const event = JSON.parse(message.data);
      if (event.type === 'progress') {
        bar.value = event.value;
        step.textContent = event.step;
        captions.textContent = [event.club, event.swimmer].filter(Boolean).join(' — ');
      } else if (event.type === 'line') {
        trace.append(event.text.replace(/\r\n/g, '\n') + '\n');
        trace.scrollTop = trace.scrollHeight;
      } else if (event.type === 'end') {
        end();
      }
    };
    source.onerror = () => { if (source.readyState === EventSource.CLOSED) end(); };
  });
}

function renderOperation(detail) {
  const report = detail.report || {};
  const parts = [el('h2', {}, `Opération n° ${detail.id} : ${detail.kind}`),
    el('p', {}, 'État : ', el('span', { class: 'status-' + detail.status, id: 'status' }, STATUSES[detail.status]),
      detail.dry_run ? ' — simulation : rien n’a été enregistré.' : ''),
    el('progress', { id: 'bar', max: 100, value: detail.status === 'running' ? 0 : 100 })];
  if (detail.error) parts.push(el('div', { class: 'message error' }, detail.error));
  if (report.steps && report.steps.length) {
    parts.push(el('h3', {}, 'Étapes'), table(['Étape', 'Fichier', 'Lignes lues', 'Comptes', 'Issue'],
      report.steps.map((s) => [s.title, s.file || '', number(s.lines_read),
        Object.entries(s.counts).map(([k, v]) => `${v} ${COUNT_LABELS[k] || k}`).join(', '), OUTCOMES[s.outcome]])));
  }
  if (detail.dry_run) parts.push(el('p', { class: 'message info', id: 'would-change' }, whatItWouldChange(detail)));
  const onLines = (report.messages || []).filter((m) => m.line !== null);
  const others = (report.messages || []).filter((m) => m.line === null);
  if (onLines.length) {
    parts.push(el('h3', {}, 'Lignes refusées ou signalées'), sortableTable([
      { title: 'Fichier', key: (m) => [m.file || '', m.line] },
      { title: 'Ligne', key: (m) => [m.line, m.file || ''], cell: (m) => number(m.line) },
      { title: 'Type', cell: (m) => (m.kind === 'error' ? 'erreur' : 'avertissement') },
      { title: 'Message', cell: (m) => m.text },
      { title: 'Ligne du fichier', cell: (m) => el('td', { class: 'record' }, m.record || '') },
    ], onLines, 'refused'));
  }
  if (others.length) {
    parts.push(el('h3', {}, 'Messages'), el('ul', {}, others.map((m) =>
      el('li', {}, (m.kind === 'error' ? 'Erreur : ' : 'Avertissement : ') + m.text))));
  }
  const changes = Object.entries(report.changes || {});
  if (changes.length) {
    parts.push(el('h3', {}, detail.dry_run ? 'Ce que l’opération changerait' : 'Lignes changées dans la base'),
      table(['Table', 'Ajoutées', 'Modifiées', 'Supprimées'],
        changes.map(([t, c]) => [t, number(c.inserted), number(c.updated), number(c.deleted)])));
  }
  if (detail.files && detail.files.length) {
    parts.push(el('h3', {}, 'Fichiers écrits'), el('ul', { id: 'written' },
      detail.files.map((name) => el('li', {}, el('a', { href: `/api/operations/${detail.id}/files/${encodeURIComponent(name)}` }, name))),
      el('li', {}, el('a', { href: `/api/operations/${detail.id}/files.zip` }, 'Tout, en un fichier zip'))));
  }
  parts.push(el('h3', {}, 'Trace'), el('pre', { class: 'trace', id: 'trace' }, detail.trace || ''));
  return el('div', { class: 'panel', id: 'report' }, parts);
}

// A table whose columns with a `key` sort it when their header is clicked
// (again: the other way). Each column: title, key(row) -> array compared in
// order, cell(row) -> a cell's content or a TD; the first column's cell is its key's first value.
function sortableTable(columns, rows, id) {
  const body = el('tbody');
  let sortedBy = 0, ascending = true;
  const compare = (a, b) => {
    for (let i = 0; i < a.length; i++) {
      if (a[i] === b[i]) continue;
      if (typeof a[i] === 'number' && typeof b[i] === 'number') return a[i] - b[i];
      return String(a[i]).localeCompare(String(b[i]), 'fr');
    }
    return 0;
  };
  const headers = columns.map((column, index) => el('th', column.key ? {
    class: 'sortable', tabindex: 0, 'aria-sort': index === 0 ? 'ascending' : 'none',
    onclick: () => sortBy(index), onkeydown: (e) => { if (e.key === 'Enter') sortBy(index); },
  } : {}, column.title));
  const draw = () => {
    const key = columns[sortedBy].key;
    const sorted = [...rows].sort((a, b) => (ascending ? 1 : -1) * compare(key(a), key(b)));
    body.replaceChildren(...sorted.map((row) => el('tr', {}, columns.map((column) => {
      const cell = column.cell ? column.cell(row) : column.key(row)[0];
      return cell instanceof Node && cell.tagName === 'TD' ? cell : el('td', {}, cell);
    }))));
    headers.forEach((h, i) => { if (columns[i].key) h.setAttribute('aria-sort', i !== sortedBy ? 'none' : ascending ? 'ascending' : 'descending'); });
  };
  const sortBy = (index) => {
    ascending = index === sortedBy ? !ascending : true;
    sortedBy = index;
    draw();
  };
  draw();
  return el('table', { id }, el('thead', {}, el('tr', {}, headers)), body);
}

// After "Vérifier": what "Importer" would change, from the report's counts.
function whatItWouldChange(detail) {
  if (detail.status === 'failed') return 'La vérification a échoué : « Importer » échouerait de même. Corrigez d’abord ce que la trace signale.';
  const said = (which, verb) => {
    const parts = Object.entries(detail.report.changes || {}).filter(([, c]) => c[which] > 0)
      .map(([table, c]) => `${c[which].toLocaleString('fr-FR')} ${TABLE_WORDS[table.toLowerCase()] || table}`);
    return parts.length ? `${verb} ${parts.join(', ')}` : null;
  };
  const changes = [said('inserted', 'ajoutera'), said('updated', 'modifiera'), said('deleted', 'supprimera')].filter(Boolean);
  return changes.length ? `Lancée pour de vrai, l’opération ${changes.join(' ; ')}.`
    : 'Lancée pour de vrai, l’opération ne changerait rien dans la base.';
}

async function operationPage(id) {
  const detail = await api(`/api/operations/${id}`);
  const container = el('div');
  show(el('h1', {}, 'Opération'), container);
  if (detail.status === 'running') await follow(id, container);
  else container.replaceChildren(renderOperation(detail));
}

// ---- Compétitions et nageurs

async function competitionPage(id) {
  const c = await api(`/api/competitions/${id}`);
  const h = c.header;
  show(el('h1', {}, h.name || `Compétition n° ${h.number}`),
    el('p', {}, [date(h.start), h.end && h.end !== h.start ? ' – ' + date(h.end) : '', h.place ? ' — ' + h.place : '',
      h.pool ? ` — bassin de ${h.pool} m` : ''].join('')),
    el('p', { class: 'no-print' }, el('button', { type: 'button', id: 'print', class: 'secondary', onclick: () => window.print() }, 'Imprimer')),
    el('section', { class: 'event', id: 'programme' }, el('h2', {}, 'Programme'),
      c.programme.length === 0 ? el('p', {}, 'Pas de programme.') :
        table(['Épreuve', 'Jour', 'Classement'], c.programme.map((p) => [eventName(p.label, p.event, p.sex), p.day_words, p.ranking]))),
    el('h2', {}, 'Résultats'),
    c.events.length === 0 ? el('p', {}, 'Pas de résultats.') : c.events.map((e) => el('section', { class: 'event' },
      el('h3', {}, `${eventName(e.label, e.event, e.sex)} — ${e.round_words}`),
      table(['Place', 'Nageur', 'Club', 'Temps', 'Points'], e.results.map((r) => [
        number(r.place ?? ''), el('td', {}, r.swimmer ? el('a', { href: `#/swimmer/${r.swimmer}` }, r.name) : r.name), r.club,
        number(r.time), number(r.points)])))));
}

// An event's name with its sex: "100 Nage Libre Dames".
function eventName(label, code, sex) {
  const sexes = { F: 'Dames', M: 'Messieurs' };
  return [label || `Épreuve ${code}`, sexes[sex]].filter(Boolean).join(' ');
}

// Seconds as the federation writes a time: 63.39 -> "1:03.39".
function clock(seconds) {
  const hundredths = Math.round(seconds * 100);
  const minutes = Math.floor(hundredths / 6000), rest = hundredths % 6000;
  const text = `${String(Math.floor(rest / 100)).padStart(minutes ? 2 : 1, '0')}.${String(rest % 100).padStart(2, '0')}`;
  return minutes ? `${minutes}:${text}` : text;
}

const DAY = 24 * 3600 * 1000;
function day(yyyymmdd) {
  return new Date(Date.UTC(+yyyymmdd.slice(0, 4), +yyyymmdd.slice(4, 6) - 1, +yyyymmdd.slice(6, 8)));
}

// One event's times over the dates (lower is faster), drawn by dygraphs; a
// single swim is a point in the middle of a month's window. The point under
// the mouse is said below the chart, as text: dygraphs' own legend writes
// markup with inline styles, which the page's Content-Security-Policy refuses.
function chart(points) {
  const plot = el('div', { class: 'plot' });
  const best = points.reduce((a, b) => (b.seconds < a.seconds ? b : a));
  const bestWords = `Meilleur temps : ${best.time} le ${date(best.date)}`;
  const caption = el('p', { class: 'captions' }, bestWords);
  const data = points.map((p) => [day(p.date), p.seconds]);
  const times = points.map((p) => p.seconds);
  const first = data[0][0].getTime(), last = data[data.length - 1][0].getTime();
  const low = Math.min(...times), high = Math.max(...times);
  const margin = Math.max((high - low) * 0.1, 0.5);
  const options = {
    labels: ['Date', 'Temps'], drawPoints: true, pointSize: 4, strokeWidth: 2, colors: ['#0b5394'],
    valueRange: [low - margin, high + margin],
    dateWindow: first === last ? [first - 15 * DAY, last + 15 * DAY] : [first - 3 * DAY, last + 3 * DAY],
    axes: {
      x: { axisLabelFormatter: (d) => d.toLocaleDateString('fr-FR', last - first < 120 * DAY
          ? { day: 'numeric', month: 'short', timeZone: 'UTC' } : { month: 'short', year: 'numeric', timeZone: 'UTC' }) },
      y: { axisLabelFormatter: clock, axisLabelWidth: 60 },
    },
    highlightCallback: (event, x, points) => {
      const point = points[0];
      if (point) caption.textContent = `${new Date(point.xval).toLocaleDateString('fr-FR', { timeZone: 'UTC' })} : ${clock(point.yval)}`;
    },
    unhighlightCallback: () => { caption.textContent = bestWords; },
    width: 640, height: 220,
  };
  // Drawn once the box is in the page, where it has its size.
  requestAnimationFrame(() => new Dygraph(plot, data, options));
  return el('div', { class: 'chart' }, plot, caption);
}

// dygraphs without its legend (see chart()).
if (window.Dygraph && Dygraph.Plugins && Dygraph.Plugins.Legend)
  Dygraph.PLUGINS = Dygraph.PLUGINS.filter((plugin) => plugin !== Dygraph.Plugins.Legend);

async function swimmerPage(id) {
  const s = await api(`/api/swimmers/${id}`);
  const byEvent = new Map();
  for (const p of s.history) {
    const key = `${eventName(p.label, p.event, p.sex)} — bassin de ${p.pool} m`;
    if (!byEvent.has(key)) byEvent.set(key, []);
    byEvent.get(key).push(p);
  }
  show(el('h1', {}, `${s.first_name} ${s.surname}`),
    el('p', {}, s.club_code ? el('a', { href: `#/club/${encodeURIComponent(s.club_code)}` }, s.club || s.club_code) : '',
      ` — licence ${s.licence}${s.birth ? ' — né(e) le ' + date(s.birth) : ''}`),
    el('h2', {}, 'Meilleurs temps'),
    s.best.length === 0 ? el('p', {}, 'Aucune performance.') :
      table(['Épreuve', 'Bassin', 'Temps', 'Date', 'Lieu'], s.best.map((p) => [eventName(p.label, p.event, p.sex), p.pool + ' m',
        number(p.time), date(p.date), p.place])),
    el('h2', {}, 'Évolution'),
    [...byEvent.entries()].map(([title, points]) => el('section', { class: 'event' }, el('h3', {}, title), chart(points))),
    el('h2', {}, 'Toutes les performances'),
    s.history.length === 0 ? el('p', {}, 'Aucune performance.') :
      table(['Date', 'Épreuve', 'Bassin', 'Temps', 'Lieu'], [...s.history].reverse().map((p) => [date(p.date),
        eventName(p.label, p.event, p.sex), p.pool + ' m', number(p.time), p.place])));
}

// ---- Clubs

const SEXES = { F: 'Dames', M: 'Messieurs' };

async function clubPage(code) {
  const c = await api(`/api/clubs/${encodeURIComponent(code)}`);
  const swimmers = c.swimmers.reduce((n, g) => n + g.swimmers.length, 0);
  show(el('h1', {}, c.name + (c.selection ? ' (sélection)' : '')),
    el('p', {}, `Code ${c.code} — ${swimmers} nageur(s), ${c.competitions.length} compétition(s)`),
    el('h2', {}, 'Records du club'),
    c.best.length === 0 ? el('p', {}, 'Aucune performance.') :
      table(['Épreuve', 'Bassin', 'Temps', 'Nageur', 'Date', 'Lieu'], c.best.map((b) => [eventName(b.label, b.event, b.sex),
        b.pool + ' m', number(b.time), el('td', {}, el('a', { href: `#/swimmer/${b.swimmer}` }, b.name)), date(b.date), b.place])),
    el('h2', {}, 'Compétitions'),
    c.competitions.length === 0 ? el('p', {}, 'Aucun résultat dans la base.') :
      table(['Dates', 'Nom', 'Lieu', 'Bassin'], c.competitions.map((m) => [
        date(m.start) + (m.end && m.end !== m.start ? ' – ' + date(m.end) : ''),
        el('td', {}, el('a', { href: `#/competition/${m.number}` }, m.name || `Compétition n° ${m.number}`)),
        m.place, m.pool ? m.pool + ' m' : ''])),
    el('h2', {}, 'Nageurs'),
    c.swimmers.length === 0 ? el('p', {}, 'Aucun nageur.') : c.swimmers.map((g) => el('section', { class: 'event' },
      el('h3', {}, `${SEXES[g.sex] || g.sex} nés en ${g.year || 'année inconnue'} (${g.swimmers.length})`),
      table(['Nom', 'Naissance', 'Licence', 'Code unique'], g.swimmers.map((s) => [
        el('td', {}, el('a', { href: `#/swimmer/${s.number}` }, `${s.surname} ${s.first_name}`)),
        date(s.birth), s.licence, s.unique_code])))));
}

// ---- Recherche

// Swimmers and clubs found from a few letters of a name, a licence number or a unique code.
async function searchPage(query) {
  document.getElementById('search-box').value = query;
  const found = await api(`/api/search?q=${encodeURIComponent(query)}`);
  const more = (flag) => (flag ? el('p', {}, `Les ${found.swimmers.length} premiers seulement : précisez la recherche.`) : null);
  show(el('h1', {}, `Recherche : ${query}`),
    el('h2', {}, 'Nageurs'),
    found.swimmers.length
      ? table(['Nom', 'Sexe, naissance', 'Club', 'Licence', 'Code unique'], found.swimmers.map((s) => [
        el('td', {}, el('a', { href: `#/swimmer/${s.number}` }, `${s.surname} ${s.first_name}`)),
        `${s.sex} ${date(s.birth)}`,
        el('td', {}, s.club_code ? el('a', { href: `#/club/${encodeURIComponent(s.club_code)}` }, s.club || s.club_code) : ''),
        s.licence, s.unique_code]))
      : el('p', {}, 'Aucun nageur.'),
    more(found.more_swimmers),
    el('h2', {}, 'Clubs'),
    found.clubs.length
      ? table(['Club', 'Code'], found.clubs.map((c) => [
        el('td', {}, el('a', { href: `#/club/${encodeURIComponent(c.code)}` }, c.name + (c.selection ? ' (sélection)' : ''))), c.code]))
      : el('p', {}, 'Aucun club.'),
    found.more_clubs ? el('p', {}, 'Les premiers seulement : précisez la recherche.') : null);
}

// ---- Doublons

// The swimmers stored under several rows; for each group, the row to keep is
// chosen, and each other row is merged into it, checked first.
async function duplicatesPage() {
  const listing = await api('/api/duplicates');
  const panel = el('div', { id: 'operation-panel' });
  const groups = listing.groups.map((group, index) => {
    let keep = group.swimmers[0].num;
    const merge = async (merged, dryRun) => {
      const data = new FormData();
      data.append('kind', 'merge-swimmers');
      data.append('keep', keep);
      data.append('merged', merged);
      if (dryRun) data.append('dry_run', '1');
      try {
        const started = await api('/api/operations', { method: 'POST', body: data });
        panel.scrollIntoView();
        await follow(started.id, panel);
        if (!dryRun)
          panel.append(el('p', {}, el('button', { type: 'button', onclick: () => duplicatesPage() }, 'Revoir la liste des doublons')));
      } catch (error) {
        panel.replaceChildren(failure(error));
      }
    };
    // The kept row has nothing to merge: its buttons are hidden.
    const actions = group.swimmers.map((s) => el('span', { hidden: s.num === keep },
      el('button', { type: 'button', class: 'secondary', onclick: () => merge(s.num, true) }, 'Vérifier'),
      el('button', { type: 'button', onclick: () => merge(s.num, false) }, 'Fusionner')));
    const choose = (num) => {
      keep = num;
      group.swimmers.forEach((s, i) => { actions[i].hidden = s.num === keep; });
    };
    const rows = group.swimmers.map((s, i) => [
      el('td', {}, el('input', { type: 'radio', name: `keep-${index}`, value: s.num, checked: s.num === keep,
        'aria-label': `Garder le n° ${s.num}`, onchange: () => choose(s.num) })),
      el('td', {}, el('a', { href: `#/swimmer/${s.num}` }, s.num)), `${s.surname} ${s.first_name}`,
      `${s.sex} ${date(s.birth_date)}`, `${s.club} ${s.licence}`, s.unique_code, number(s.results), number(s.performances), number(s.relay_legs),
      el('td', { class: 'actions' }, actions[i])]);
    return el('section', { class: 'panel duplicate-group' },
      el('h2', {}, `Groupe ${index + 1} : confiance ${CONFIDENCES[group.confidence]}`),
      el('ul', {}, group.links.map((l) => el('li', {}, `n° ${l.swimmers[0]} et n° ${l.swimmers[1]} : ${l.evidence}`))),
      table(['Garder', 'N°', 'Nom', 'Sexe, naissance', 'Club, licence', 'Code unique', 'Résultats', 'Performances',
        'Relais', 'Dans la ligne gardée'], rows));
  });
  show(el('h1', {}, 'Nageurs enregistrés plusieurs fois'),
    el('p', {}, listing.groups.length
      ? `${listing.groups.length} groupe(s) parmi ${listing.swimmers} nageurs. Choisissez la ligne à garder : ` +
        'la fusion lui donne tout ce qui nomme l’autre ligne (résultats, performances, relais, engagements), ' +
        'complète ses champs vides, puis supprime l’autre ligne. Vérifiez d’abord : rien n’est enregistré.'
      : `Aucun doublon parmi les ${listing.swimmers} nageurs de la base.`),
    groups, panel);
}

// ---- Routes

async function render() {
  const [, page, argument] = (location.hash || '#/').split('/');
  markMenu();
  try {
    if (page === 'operation-new') await operationForm(argument);
    else if (page === 'operation') await operationPage(argument);
    else if (page === 'competition') await competitionPage(argument);
    else if (page === 'swimmer') await swimmerPage(argument);
    else if (page === 'club') await clubPage(decodeURIComponent(argument || ''));
    else if (page === 'duplicates') await duplicatesPage();
    else if (page === 'search') await searchPage(decodeURIComponent(argument || ''));
    else await dashboard();
  } catch (error) {
    show(failure(error));
  }
}

window.addEventListener('hashchange', render);
window.addEventListener('DOMContentLoaded', () => {
  document.getElementById('search').addEventListener('submit', (event) => {
    event.preventDefault();
    const query = document.getElementById('search-box').value.trim();
    if (query) location.hash = `#/search/${encodeURIComponent(query)}`;
  });
});
window.addEventListener('DOMContentLoaded', render);
window.addEventListener('DOMContentLoaded', () => buildMenu().catch(() => {
  // The page itself says what failed to load.
}));
// The version in the footer of every page.
window.addEventListener('DOMContentLoaded', async () => {
  try {
    document.getElementById('version').textContent = ' ' + (await api('/api/summary')).version;
  } catch {
    // The page says what failed; the footer goes without the version.
  }
});
