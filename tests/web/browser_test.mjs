// The web page end to end, in Debian's headless chromium: open it with its
// token, check then import the sample meet from the page, follow the bar to
// 100, find the competition on the dashboard and a result on its page, with a
// swimmer whose name is markup shown as text; print the competition; find a
// swimmer by three letters, open him, his club and a competition of it;
// merge a swimmer stored twice; follow an import whose event stream drops.
// Screenshots (and the competition's print) go to OUT_DIR.
//
// node browser_test.mjs BUILD_DIR SOURCE_DIR OUT_DIR
import { chromium } from 'playwright-core';
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const [buildDir, sourceDir, outDir] = process.argv.slice(2);
const couloir = path.join(buildDir, 'bin', 'couloir');
const env = { ...process.env, COULOIR_COMPONENTS: path.join(buildDir, 'lib') };
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'couloir-browser-'));
fs.mkdirSync(outDir, { recursive: true });

function check(condition, message) {
  if (!condition) throw new Error(message);
}

// The sample meet, its first swimmer renamed with markup (25 characters, the surname's width).
const meet = path.join(work, 'meet');
fs.mkdirSync(meet);
for (const name of fs.readdirSync(path.join(sourceDir, 'samples', 'competition')))
  fs.copyFileSync(path.join(sourceDir, 'samples', 'competition', name), path.join(meet, name));
const licences = fs.readFileSync(path.join(meet, 'licence.txt'));
Buffer.from('<script>alert(1)</script>', 'latin1').copy(licences, 19);
fs.writeFileSync(path.join(meet, 'licence.txt'), licences);
const meetFiles = fs.readdirSync(meet).map((name) => path.join(meet, name));

// A national-size licence list, long enough to see the bar move.
const federation = path.join(work, 'federation');
execFileSync(path.join(buildDir, 'bin', 'bench_generate_licences'), [federation, '--licences', '60000']);

const database = path.join(work, 'club.db');
execFileSync(couloir, ['init-db', database], { env });
execFileSync('sqlite3', [database, `.read ${path.join(federation, 'departements.sql')}`]);
const server = spawn(couloir, ['serve', database, '--port', '0'], { env });
let browser;
let page;
try {
  const address = await new Promise((resolve, reject) => {
    let printed = '';
    server.stdout.on('data', (data) => {
      printed += data;
      const found = printed.match(/http:\/\/127\.0\.0\.1:\d+\/\?token=[0-9a-f]+/);
      if (found) resolve(found[0]);
    });
    server.on('exit', () => reject(new Error('couloir serve ended: ' + printed)));
  });

  // A fresh profile folder: Playwright passes it as --user-data-dir.
  browser = await chromium.launchPersistentContext(path.join(work, 'profile'), {
    executablePath: '/usr/bin/chromium',
    headless: true,
    viewport: { width: 1280, height: 900 },
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run'],
  });
  page = await browser.newPage();
  let dialogs = 0;
  page.on('dialog', async (dialog) => { dialogs += 1; await dialog.dismiss(); });
  page.on('pageerror', (error) => { throw error; });
  // Nothing the page does may be refused by its Content-Security-Policy, nor end in an error on its console.
  const consoleErrors = [];
  page.on('console', (message) => { if (message.type() === 'error') consoleErrors.push(message.text()); });

  await page.goto(address);
  check(!page.url().includes('token='), 'the token stays in the address bar');
  await page.waitForSelector('#summary');

  // Check, then import, the sample meet as a new competition.
  await page.goto(new URL('/#/operation-new/import-results', address).href);
  await page.waitForSelector('#competition');
  await page.selectOption('#competition', 'new');
  await page.setInputFiles('#files', meetFiles);
  await page.click('#check');
  await page.waitForSelector('#report', { timeout: 60000 });
  check((await page.textContent('#status')) === 'réussie', 'the dry run failed: ' + await page.textContent('#trace'));
  check((await page.textContent('#report')).includes('simulation'), 'the dry run does not say so');
  await page.click('#import');
  await page.waitForFunction(() => document.querySelector('#report') && !document.querySelector('#report').textContent.includes('simulation'),
    null, { timeout: 60000 });
  check((await page.textContent('#status')) === 'réussie', 'the import failed');
  check(Number(await page.getAttribute('#bar', 'value')) === 100, 'the bar did not reach 100');

  // The dashboard lists the competition; its page shows a result.
  await page.goto(new URL('/#/', address).href);
  await page.waitForSelector('text=Meeting d\'automne des Deux Rives');
  await page.screenshot({ path: path.join(outDir, 'tableau-de-bord.png') });
  await page.click('text=Meeting d\'automne des Deux Rives');
  await page.waitForSelector('section.event:not(#programme) table');
  const first = await page.textContent('section.event:not(#programme) tbody tr');
  check(/\d:\d\d\.\d\d/.test(first), 'no time shown m:ss.cc: ' + first);
  const markup = page.locator('text=<SCRIPT>ALERT(1)</SCRIPT>');
  check(await markup.count() > 0, 'the swimmer named with markup is not shown as text');
  check(dialogs === 0 && await page.locator('main script').count() === 0, 'a name from a file ran as a script');
  const programme = await page.textContent('#programme');
  check(/1er jour/.test(programme) && /Classement (au temps|par finales)/.test(programme),
    'the programme does not give its days and rankings in words: ' + programme.slice(0, 300));
  await page.screenshot({ path: path.join(outDir, 'competition.png') });

  // Its print: no menu, each event whole on its page.
  await page.emulateMedia({ media: 'print' });
  check(!(await page.isVisible('header')) && !(await page.isVisible('#print')), 'the print shows the menus');
  check(await page.evaluate(() => getComputedStyle(document.querySelector('section.event')).breakInside) === 'avoid',
    'an event may be cut across pages');
  await page.screenshot({ path: path.join(outDir, 'competition-impression.png'), fullPage: true });
  const pdf = await page.pdf({ format: 'A4' });
  fs.writeFileSync(path.join(outDir, 'competition.pdf'), pdf);
  check(pdf.length > 1000, 'the print preview is empty');
  await page.emulateMedia({ media: 'screen' });

  // The search box: three letters of a swimmer's first name find him; his page opens.
  await page.fill('#search-box', 'Thé');
  await page.press('#search-box', 'Enter');
  await page.waitForSelector('h1:has-text("Recherche")');
  const foundSwimmer = page.locator('main table a').first();
  check(await foundSwimmer.count() > 0, 'the search found no swimmer');
  await page.screenshot({ path: path.join(outDir, 'recherche.png') });
  await foundSwimmer.click();
  await page.waitForSelector('main h2');
  check(page.url().includes('#/swimmer/'), 'the found swimmer does not open: ' + page.url());
  // His chart is drawn, a single swim included.
  await page.waitForSelector('.chart canvas');
  await page.screenshot({ path: path.join(outDir, 'nageur.png'), fullPage: true });
  // His club, then a competition of the club.
  await page.click('main p a[href^="#/club/"]');
  await page.waitForSelector('h2:has-text("Records du club")');
  check(await page.locator('main a[href^="#/swimmer/"]').count() > 0, 'the club page lists no swimmer');
  await page.screenshot({ path: path.join(outDir, 'club.png') });
  await page.click('main a[href^="#/competition/"]');
  await page.waitForSelector('#programme');

  // A swimmer of the meet stored a second time: the Doublons page lists both
  // rows, checks the merge of the second into the first, then merges it.
  execFileSync('sqlite3', [database, "INSERT INTO Licence (Code_Club, Licence, Nom, Prenom, Sexe, Date_Naissance) " +
    "SELECT Code_Club, '999999', Nom, Prenom, Sexe, Date_Naissance FROM Licence WHERE Nom <> 'Null' ORDER BY Num LIMIT 1"]);
  await page.goto(new URL('/#/duplicates', address).href);
  const twice = page.locator('.duplicate-group').filter({ hasText: '999999' });
  await twice.waitFor();
  await twice.locator('tbody tr').last().locator('button', { hasText: 'Vérifier' }).click();
  await page.waitForSelector('#report', { timeout: 60000 });
  check((await page.textContent('#report')).includes('simulation'), 'the check of the merge does not say it is one');
  await page.screenshot({ path: path.join(outDir, 'doublons.png') });
  await twice.locator('tbody tr').last().locator('button', { hasText: 'Fusionner' }).click();
  await page.waitForFunction(() => document.querySelector('#report') && !document.querySelector('#report').textContent.includes('simulation'),
    null, { timeout: 60000 });
  check((await page.textContent('#status')) === 'réussie', 'the merge failed: ' + await page.textContent('#trace'));
  check((await page.textContent('#trace')).includes('supprimé'), 'the merge trace does not say the row went');

  // An import in progress: the licence list, caught with its bar on the way,
  // its event stream cut every 600 ms and taken up again by the browser
  // from the last event it had, each time with the three events before it
  // sent again: the page must show each line once.
  let streams = 0;
  await page.route('**/api/operations/*/events', async (route) => {
    streams += 1;
    const headers = route.request().headers();
    const last = Number(headers['last-event-id'] || 0);
    const body = await new Promise((resolve, reject) => {
      const request = http.get(route.request().url(),
        { headers: { ...headers, 'last-event-id': String(Math.max(0, last - 3)) } }, (response) => {
          let text = '';
          response.setEncoding('utf8');
          response.on('data', (data) => { text += data; });
          const cut = setTimeout(() => { request.destroy(); resolve(text.slice(0, text.lastIndexOf('\n\n') + 2)); }, 600);
          response.on('end', () => { clearTimeout(cut); resolve(text); });
        });
      request.on('error', reject);
    });
    await route.fulfill({ status: 200, headers: { 'content-type': 'text/event-stream' }, body });
  });
  await page.goto(new URL('/#/operation-new/import-licences', address).href);
  await page.waitForSelector('#files');
  const lists = path.join(federation, 'lists');
  const federationFiles = fs.readdirSync(lists).map((name) => path.join(lists, name));
  await page.setInputFiles('#files', federationFiles);
  await page.click('#import');
  await page.waitForFunction(() => {
    const bar = document.querySelector('#bar');
    return bar && bar.value > 0 && bar.value < 100;
  }, null, { timeout: 120000, polling: 50 });
  await page.screenshot({ path: path.join(outDir, 'import-en-cours.png') });
  await page.waitForSelector('#report', { timeout: 300000 });
  const followed = await page.evaluate(() => {
    const report = document.querySelector('#report');
    const lines = (document.querySelector('#trace').textContent.match(/\n/g) || []).length;
    return { live: Number(report.dataset.liveLines), connections: Number(report.dataset.connections), lines };
  });
  check(followed.connections >= 2 && streams >= 2, 'the event stream was not taken up again: ' + JSON.stringify(followed));
  check(followed.live === followed.lines, 'lines shown live and lines of the trace differ: ' + JSON.stringify(followed));
  check(consoleErrors.length === 0, 'errors on the console: ' + JSON.stringify(consoleErrors));
  console.log('browser test passed; screenshots in ' + outDir);
} catch (error) {
  // What the page showed when the test failed.
  if (page) {
    await page.screenshot({ path: path.join(outDir, 'echec.png'), fullPage: true }).catch(() => {});
    console.error('page: ' + (await page.textContent('main').catch(() => '')).slice(0, 2000));
  }
  throw error;
} finally {
  if (browser) await browser.close();
  server.kill('SIGTERM');
  fs.rmSync(work, { recursive: true, force: true });
}
