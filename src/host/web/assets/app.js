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

const OPERATIONS = {
  'import-results': { title: 'Importer les résultats d’une compétition', files: true, competition: 'import' },
  'import-skeleton': { title: 'Importer l’en-tête et le programme d’une compétition', files: true, competition: 'import' },
  'import-licences': { title: 'Importer les licences et les clubs de la fédération', files: true },
  'update-codes': { title: 'Mettre à jour les codes uniques des nageurs', files: true, ownClub: true },
  'import-perf': { title: 'Importer un fichier de performances', files: true },
  'create-files': { title: 'Créer les fichiers d’engagement d’une compétition', competition: 'existing', profile: true },
  'export-perf': { title: 'Exporter l’historique des performances', club: true },
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
// empty): the others are left aside and said so.
function fileZone(files, expected) {
  const list = el('ul', { id: 'file-list' });
  const ignored = el('p', { class: 'captions', id: 'ignored' });
  const redraw = () => list.replaceChildren(...files.map((f) => el('li', {}, `${f.name} (${f.size} octets)`)));
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
  const folder = el('input', { type: 'file', id: 'folder', webkitdirectory: true, multiple: true,
    onchange: (e) => add(e.target.files) });
  const single = el('input', { type: 'file', id: 'files', multiple: true, accept: '.txt,.TXT',
    onchange: (e) => add(e.target.files) });
  const drop = el('div', { class: 'drop', id: 'drop' }, 'Déposez ici le dossier ou les fichiers reçus');
  drop.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
  drop.addEventListener('dragleave', () => drop.classList.remove('over'));
  drop.addEventListener('drop', async (e) => {
    e.preventDefault();
    drop.classList.remove('over');
    add(await droppedFiles(e.dataTransfer));
  });
  return el('div', {}, el('label', { for: 'folder' }, 'Dossier des fichiers d’échange'), folder,
    el('label', { for: 'files' }, 'ou des fichiers'), single, drop, list, ignored);
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

async function operationForm(kind) {
  const choices = OPERATIONS[kind];
  if (!choices) return show(el('p', {}, 'Opération inconnue.'));
  const files = [];
  const fields = [];
  const values = {};
  if (choices.competition) {
    const competitions = await api('/api/competitions');
    const select = el('select', { id: 'competition' });
    for (const c of competitions)
      select.append(el('option', { value: c.number }, `${c.number} — ${c.name || 'sans nom'} (${date(c.start)})`));
    const next = competitions.reduce((m, c) => Math.max(m, Number(c.number)), 0) + 1;
    const fresh = el('input', { type: 'number', id: 'new-number', min: 1, value: next });
    if (choices.competition === 'import') select.append(el('option', { value: 'new' }, 'Nouvelle compétition…'));
    const freshLabel = el('label', { for: 'new-number' }, 'Numéro de la nouvelle compétition', fresh);
    const update = () => { freshLabel.hidden = select.value !== 'new'; };
    select.addEventListener('change', update);
    if (choices.competition === 'import' && competitions.length === 0) select.value = 'new';
    update();
    values.competition = () => (select.value === 'new' ? fresh.value : select.value);
    values.new = () => (kind === 'import-results' && select.value === 'new' ? '1' : '');
    fields.push(el('label', { for: 'competition' }, 'Compétition'), select, freshLabel);
  }
  if (choices.profile) {
    const profiles = await api('/api/profiles');
    const select = el('select', { id: 'profile' },
      profiles.map((p) => el('option', { value: p.number, 'data-selection': p.selection },
        `${p.number} — ${p.name || p.club} ${p.selection === '1' ? '(sélection)' : ''}`)));
    values.profile = () => select.value;
    values.selection = () => {
      const option = select.selectedOptions[0];
      return option && option.dataset.selection === '1' ? '1' : '';
    };
    fields.push(el('label', { for: 'profile' }, 'Profil qui engage (club ou sélection)'), select);
  }
  if (choices.club) {
    const clubs = await api('/api/clubs');
    const select = el('select', { id: 'club' }, el('option', { value: '' }, 'Tous les clubs'),
      clubs.map((c) => el('option', { value: c.code, 'data-selection': c.selection }, `${c.name} (${c.code})`)));
    values.club = () => select.value;
    values.all = () => (select.value === '' ? '1' : '');
    values.selection = () => {
      const option = select.selectedOptions[0];
      return option && option.dataset.selection === '1' ? '1' : '';
    };
    fields.push(el('label', { for: 'club' }, 'Club ou sélection'), select);
  }
  if (choices.ownClub) {
    const own = el('input', { type: 'text', id: 'own-club', placeholder: 'FRA0000000000 (facultatif)' });
    values.own_club = () => own.value.trim();
    fields.push(el('label', { for: 'own-club' }, 'Seulement les nageurs de ce club (code fédéral)'), own);
  }
  if (choices.files) fields.push(fileZone(files, (await api('/api/kinds'))[kind].files));

  const panel = el('div', { id: 'operation-panel' });
  const send = async (dryRun) => {
    const data = new FormData();
    data.append('kind', kind);
    for (const [name, value] of Object.entries(values)) data.append(name, value());
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
  const buttons = choices.files
    ? [el('button', { type: 'button', id: 'check', onclick: () => send(true) }, 'Vérifier'),
      el('button', { type: 'button', id: 'import', class: 'secondary', onclick: () => send(false) }, 'Importer')]
    : [el('button', { type: 'button', id: 'run', onclick: () => send(false) }, 'Lancer')];
  show(el('h1', {}, choices.title),
    el('form', { class: 'operation', onsubmit: (e) => e.preventDefault() }, fields, el('div', { class: 'buttons' }, buttons)),
    panel);
}

// Follows an operation in `container` until it ends, then shows its report.
function follow(id, container) {
  const bar = el('progress', { id: 'bar', max: 100, value: 0 });
  const step = el('div', { id: 'step' }, 'Démarrage…');
  const captions = el('div', { class: 'captions', id: 'captions' });
  const trace = el('pre', { class: 'trace', id: 'live-trace' });
  container.replaceChildren(el('div', { class: 'panel' }, el('h2', {}, `Opération n° ${id}`), step, bar, captions, trace));
  return new Promise((resolve) => {
    const source = new EventSource(`/api/operations/${id}/events`);
    const end = async () => {
      source.close();
      try {
        const detail = await api(`/api/operations/${id}`);
        bar.value = 100;
        container.replaceChildren(renderOperation(detail));
      } catch (error) {
        container.append(failure(error));
      }
      resolve();
    };
    source.onmessage = (message) => {
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
  const onLines = (report.messages || []).filter((m) => m.line !== null);
  const others = (report.messages || []).filter((m) => m.line === null);
  if (onLines.length) {
    parts.push(el('h3', {}, 'Lignes refusées ou signalées'), table(['Fichier', 'Ligne', 'Type', 'Message', 'Ligne du fichier'],
      onLines.map((m) => [m.file || '', number(m.line), m.kind === 'error' ? 'erreur' : 'avertissement',
        m.text, el('td', { class: 'record' }, m.record || '')])));
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
  const rounds = { S: 'séries', F: 'finales', D: 'demi-finales' };
  show(el('h1', {}, h.name || `Compétition n° ${h.number}`),
    el('p', {}, [date(h.start), h.end && h.end !== h.start ? ' – ' + date(h.end) : '', h.place ? ' — ' + h.place : '',
      h.pool ? ` — bassin de ${h.pool} m` : ''].join('')),
    el('h2', {}, 'Programme'),
    c.programme.length === 0 ? el('p', {}, 'Pas de programme.') :
      table(['Épreuve', 'Jour', 'Type'], c.programme.map((p) => [eventName(p.label, p.event, p.sex), p.day, p.type])),
    el('h2', {}, 'Résultats'),
    c.events.length === 0 ? el('p', {}, 'Pas de résultats.') : c.events.map((e) => el('section', { class: 'event' },
      el('h3', {}, `${eventName(e.label, e.event, e.sex)} — ${rounds[e.round] || e.round}`),
      table(['Place', 'Nageur', 'Club', 'Temps', 'Points'], e.results.map((r) => [
        number(r.place ?? ''), el('td', {}, r.swimmer ? el('a', { href: `#/swimmer/${r.swimmer}` }, r.name) : r.name), r.club,
        number(r.time), number(r.points)])))));
}

// An event's name with its sex: "100 Nage Libre Dames".
function eventName(label, code, sex) {
  const sexes = { F: 'Dames', M: 'Messieurs' };
  return [label || `Épreuve ${code}`, sexes[sex]].filter(Boolean).join(' ');
}

const SVG = 'http://www.w3.org/2000/svg';
function svg(tag, attributes = {}, text) {
  const node = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attributes)) node.setAttribute(name, value);
  if (text !== undefined) node.textContent = text;
  return node;
}

// One event's times over the dates: lower is faster.
function chart(points) {
  const width = 640, height = 200, left = 60, right = 20, top = 15, bottom = 35;
  const days = points.map((p) => Date.UTC(+p.date.slice(0, 4), +p.date.slice(4, 6) - 1, +p.date.slice(6, 8)));
  const minX = Math.min(...days), maxX = Math.max(...days);
  const minY = Math.min(...points.map((p) => p.seconds)), maxY = Math.max(...points.map((p) => p.seconds));
  const x = (d) => left + (maxX === minX ? (width - left - right) / 2 : (d - minX) / (maxX - minX) * (width - left - right));
  const y = (s) => top + (maxY === minY ? (height - top - bottom) / 2 : (s - minY) / (maxY - minY) * (height - top - bottom));
  const root = svg('svg', { class: 'chart', viewBox: `0 0 ${width} ${height}`, width, height, role: 'img' });
  root.append(svg('line', { class: 'axis', x1: left, y1: height - bottom, x2: width - right, y2: height - bottom }),
    svg('line', { class: 'axis', x1: left, y1: top, x2: left, y2: height - bottom }),
    svg('polyline', { points: points.map((p, i) => `${x(days[i])},${y(p.seconds)}`).join(' ') }));
  points.forEach((p, i) => {
    const dot = svg('circle', { cx: x(days[i]), cy: y(p.seconds), r: 3.5 });
    dot.append(svg('title', {}, `${date(p.date)} : ${p.time}`));
    root.append(dot);
  });
  const best = points.reduce((a, b) => (b.seconds < a.seconds ? b : a));
  const worst = points.reduce((a, b) => (b.seconds > a.seconds ? b : a));
  root.append(svg('text', { x: 4, y: top + 4 }, best.time), svg('text', { x: 4, y: height - bottom }, worst.time),
    svg('text', { x: left, y: height - 12 }, date(points[0].date)),
    svg('text', { x: width - right - 70, y: height - 12 }, date(points[points.length - 1].date)));
  return root;
}

async function swimmerPage(id) {
  const s = await api(`/api/swimmers/${id}`);
  const byEvent = new Map();
  for (const p of s.history) {
    const key = `${eventName(p.label, p.event, p.sex)} — bassin de ${p.pool} m`;
    if (!byEvent.has(key)) byEvent.set(key, []);
    byEvent.get(key).push(p);
  }
  show(el('h1', {}, `${s.first_name} ${s.surname}`),
    el('p', {}, `${s.club || s.club_code} — licence ${s.licence}${s.birth ? ' — né(e) le ' + date(s.birth) : ''}`),
    el('h2', {}, 'Meilleurs temps'),
    s.best.length === 0 ? el('p', {}, 'Aucune performance.') :
      table(['Épreuve', 'Bassin', 'Temps', 'Date', 'Lieu'], s.best.map((p) => [eventName(p.label, p.event, p.sex), p.pool + ' m',
        number(p.time), date(p.date), p.place])),
    el('h2', {}, 'Évolution'),
    [...byEvent.entries()].map(([title, points]) => el('section', {}, el('h3', {}, title), chart(points))));
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
        `${s.sex} ${date(s.birth)}`, s.club || s.club_code, s.licence, s.unique_code]))
      : el('p', {}, 'Aucun nageur.'),
    more(found.more_swimmers),
    el('h2', {}, 'Clubs'),
    found.clubs.length
      ? table(['Club', 'Code'], found.clubs.map((c) => [c.name + (c.selection ? ' (sélection)' : ''), c.code]))
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
  document.querySelectorAll('#menu a').forEach((a) => a.classList.toggle('active', a.getAttribute('href') === location.hash));
  try {
    if (page === 'operation-new') await operationForm(argument);
    else if (page === 'operation') await operationPage(argument);
    else if (page === 'competition') await competitionPage(argument);
    else if (page === 'swimmer') await swimmerPage(argument);
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
// The version in the footer of every page.
window.addEventListener('DOMContentLoaded', async () => {
  try {
    document.getElementById('version').textContent = ' ' + (await api('/api/summary')).version;
  } catch {
    // The page says what failed; the footer goes without the version.
  }
});
