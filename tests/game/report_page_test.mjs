// The class report page as a screen reader meets it: placarim-report writes
// the page from two records (one of them written before the aluno column
// existed), headless Chromium opens it, and its accessibility tree, read
// through the DevTools protocol, must expose the headings in order and every
// table with its column and row headers.
//
// node report_page_test.mjs PLACARIM_REPORT [CHROMIUM]
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, writeFileSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import assert from 'node:assert/strict';

const [report, chromium = 'chromium'] = process.argv.slice(2);
const scratch = mkdtempSync(join(tmpdir(), 'placarim_page_'));

// --- the records -------------------------------------------------------------
const header = 'data,hora,campeonato,titulo,fase,conta,resposta,resultado,segundos';
const line = (day, championship, title, sum, result, seconds, child) =>
  [`2026-12-0${day}`, '10:00:00', championship, title, 1, sum, '0', result, seconds.toFixed(1)]
    .concat(child === undefined ? [] : [child]).join(',');
const lines = [];
// Ana: 7 x 8 missed 5 times in 6 answers, over two days; Bia plays another
// championship; an old nine-column record has no name.
for (let i = 0; i < 5; ++i) lines.push(line(i < 3 ? 7 : 8, 5, 'Tabuada', '7 x 8 = 56', 'erro', 4, 'Ana'));
lines.push(line(8, 5, 'Tabuada', '7 x 8 = 56', 'gol', 9, 'Ana'));
lines.push(line(8, 5, 'Tabuada', '2 x 2 = 4', 'gol', 1, 'Ana'));
lines.push(line(8, 1, 'Treino no quintal', '1 + 1 = 2', 'gol', 2, 'Bia <Maria>'));
const newRecord = join(scratch, 'sala.csv');
writeFileSync(newRecord, header + ',aluno\n' + lines.join('\n') + '\n');
const oldRecord = join(scratch, 'antigo.csv');
writeFileSync(oldRecord, header + '\n' + line(6, 1, 'Treino no quintal', '3 + 4 = 7', 'erro', 3) + '\n');
const page = join(scratch, 'relatorio.html');
const printed = execFileSync(report, [newRecord, oldRecord, '--html', page, '--svg', join(scratch, 'g.svg')],
                             { encoding: 'utf8' });
assert.match(printed, /== Ana ==/);
assert.ok(!readFileSync(page, 'utf8').match(/<(script|link|img) /), 'the page needs nothing beside it');

// --- the DevTools protocol over Chromium's pipe (fds 3 and 4) ------------------
const browser = spawn(chromium, ['--headless=new', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe',
                                 `--user-data-dir=${join(scratch, 'perfil')}`, 'about:blank'],
                      { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
browser.on('error', (e) => { console.error(`Chromium não pôde ser iniciado (${chromium}): ${e.message}`); process.exit(1); });
const pending = new Map();
const waiting = [];
let next = 1, received = '';
browser.stdio[4].setEncoding('utf8');
browser.stdio[4].on('data', (chunk) => {
  received += chunk;
  for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1)) {
    const message = JSON.parse(received.slice(0, end));
    if (message.id && pending.has(message.id)) {
      const { resolve, reject } = pending.get(message.id);
      pending.delete(message.id);
      message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
    }
    for (const w of waiting.filter((w) => w.method === message.method)) {
      waiting.splice(waiting.indexOf(w), 1);
      w.resolve(message.params);
    }
  }
});
const send = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
  const id = next++;
  pending.set(id, { resolve, reject });
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
});
const event = (method) => new Promise((resolve) => waiting.push({ method, resolve }));
const deadline = setTimeout(() => { console.error('Chromium did not answer in time'); browser.kill(); process.exit(1); },
                            60000);

try {
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  await send('Page.enable', {}, sessionId);
  const loaded = event('Page.loadEventFired');
  await send('Page.navigate', { url: pathToFileURL(page).href }, sessionId);
  await loaded;
  await send('Accessibility.enable', {}, sessionId);
  const { nodes } = await send('Accessibility.getFullAXTree', {}, sessionId);

  // The tree in reading order, ignored nodes left out but their children kept.
  const byId = new Map(nodes.map((n) => [n.nodeId, n]));
  const root = nodes.find((n) => !n.parentId);
  const order = [];
  const walk = (node, table) => {
    const role = node.role?.value;
    const here = { node, role, name: node.name?.value ?? '', table };
    if (!node.ignored) order.push(here);
    const inTable = role === 'table' ? here : table;
    for (const child of node.childIds ?? []) if (byId.has(child)) walk(byId.get(child), inTable);
  };
  walk(root, null);

  // Headings: h1 first, never a level skipped, the class overview before
  // each child, each child's championships and days under them.
  const headings = order.filter((e) => e.role === 'heading').map((e) => ({
    name: e.name, level: e.node.properties.find((p) => p.name === 'level').value.value }));
  assert.deepEqual(headings[0], { name: 'Placarim: relatório da turma', level: 1 });
  headings.slice(1).forEach((h, i) => assert.ok(h.level >= 2 && h.level <= headings[i].level + 1,
                                                `heading "${h.name}" skips a level`));
  assert.deepEqual(headings.filter((h) => h.level === 2).map((h) => h.name),
                   ['Visão da turma', 'Ana', 'Bia <Maria>', 'Sem nome']);
  const ana = headings.findIndex((h) => h.name === 'Ana');
  assert.deepEqual(headings.slice(ana, ana + 6).map((h) => `${h.level} ${h.name}`),
                   ['2 Ana', '3 Campeonatos', '3 Campeonato 5 - Tabuada', '4 Contas mais erradas',
                    '4 Contas mais demoradas', '3 Progresso por dia']);

  // Tables: each named by its caption, with its column headers and row headers.
  const tables = order.filter((e) => e.role === 'table').map((t) => {
    const inside = order.filter((e) => e.table === t);
    const texts = (role) => inside.filter((e) => e.role === role).map((e) => e.name);
    return { name: t.name, columns: texts('columnheader'), rows: texts('rowheader'), cells: texts('cell') };
  });
  assert.ok(tables.every((t) => t.name && t.columns.length >= 2 && t.rows.length >= 1),
            JSON.stringify(tables, null, 1));
  const overview = tables[0];
  assert.match(overview.name, /cada aluno em cada campeonato/);
  assert.deepEqual(overview.columns, ['Aluno', 'Campeonato 1 - Treino no quintal', 'Campeonato 5 - Tabuada',
                                      'Contas mais erradas']);
  assert.deepEqual(overview.rows, ['Ana', 'Bia <Maria>', 'Sem nome']);
  assert.deepEqual(overview.cells.slice(0, 3), ['não jogou', '2 gols, 5 erros, 0 ajudas', '7 x 8: 5 erros em 6']);
  const missed = tables.find((t) => t.name === 'Contas mais erradas em Campeonato 5 - Tabuada');
  assert.deepEqual([missed.columns, missed.rows, missed.cells],
                   [['Conta', 'Erros', 'Respostas', 'Ajudas'], ['7 x 8'], ['5', '6', '0']]);

  // Ana's chart is one named picture, and the table right after it holds
  // its numbers day by day.
  const chart = order.findIndex((e) => e.role === 'image' && e.name.startsWith('Gráfico de barras'));
  assert.ok(chart > order.findIndex((e) => e.name === 'Progresso por dia'));
  const days = order.slice(chart).find((e) => e.role === 'table');
  const dayTable = tables.find((t) => t.name === days.name && t.rows[0] === '07/12/2026');
  assert.deepEqual([dayTable.columns, dayTable.rows, dayTable.cells],
                   [['Dia', 'Gols', 'Erros', 'Ajudas'], ['07/12/2026', '08/12/2026'], ['0', '3', '0', '2', '2', '0']]);
  console.log(`${headings.length} headings and ${tables.length} tables read through the accessibility tree`);
} finally {
  // Closed through the protocol and waited for, so its profile can go.
  const exited = new Promise((resolve) => browser.once('exit', resolve));
  browser.stdio[3].write(JSON.stringify({ id: next++, method: 'Browser.close' }) + '\0');
  await exited;
  clearTimeout(deadline);
  rmSync(scratch, { recursive: true, force: true });
}
