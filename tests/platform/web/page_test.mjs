// The game in a real browser: the page built by scripts/build-web.sh, served
// on localhost, opened in headless Chromium. The first key starts the game
// and its sound; the menu is on the program's screen; championship 1 phase 1
// is played by reading each sum from the screen and typing its answer, each
// answer followed by "Gol!" and by sound the page's worklet rendered; Escape
// and a key end the program. With "my screen reader speaks" chosen, the
// game's texts reach the page's live region. The teacher's page then finds
// the answers kept in the browser's storage, ready to download as CSV and shown
// in the report page with its chart, checks a typed exercise file with line
// numbers and keeps it for the next game.
// With the Ilvra voice chosen, its engine linked into the program speaks.
//
// node page_test.mjs SITE_DIRECTORY [CHROMIUM]
import { mkdtempSync, rmSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';
import { Chromium } from './chromium.mjs';
import { row, heard, key, digit, answerNext, loaded } from './game_steps.mjs';
import { serve } from '../../../scripts/serve-web.mjs';

const [site, program = 'chromium'] = process.argv.slice(2);
assert.ok(site && existsSync(join(site, 'placarim.wasm')), `no page built in ${site}`);
const scratch = mkdtempSync(join(tmpdir(), 'placarim_web_'));
const server = await serve(site);
const browser = await Chromium.start(program, join(scratch, 'perfil'), ['--autoplay-policy=user-gesture-required']);
const deadline = setTimeout(() => { console.error('the page test did not end in time'); process.exit(1); }, 240000);

const ilvraSamples = (page) => page.evaluate('Module._placarim_ilvra_samples()');

try {
  const page = await browser.open(`http://localhost:${server.address().port}/`);
  await loaded(page);
  assert.equal(await page.evaluate(`document.activeElement.id`), 'jogo', 'the game area has the focus');
  assert.equal(await page.evaluate(`document.getElementById('jogo').getAttribute('role')`), 'application');
  assert.equal(await page.evaluate('Module.placarimWeb.sound'), null, 'no sound before a key');

  // The first key starts the game and its sound; the page says so.
  await page.press(...key.Space);
  await page.until(`document.getElementById('estado').textContent.startsWith('Som ligado')`, 5000);
  assert.equal(await page.evaluate(`Module.placarimWeb.sound.context.state`), 'running');
  await row(page, '^1 - Treino no quintal$');
  assert.ok(await heard(page) > 0, 'the opening was not heard');

  await page.press(...digit('1'));
  await row(page, '^Tem início agora a fase 1$');
  // Every sum of phase 1 answered right, until phase 2 begins or the championship is won.
  let answered = 0;
  while (answered <= 30 && await answerNext(page)) ++answered;
  assert.ok(answered > 0 && answered <= 30, `${answered} sums answered`);
  assert.equal(await ilvraSamples(page), 0, 'the Ilvra voice spoke in place of the game\'s voice');

  // Escape gives up: the credits, then any key ends the program.
  await page.press(...key.Escape);
  await row(page, 'O PLACARIM é um programa sonoro');
  await page.press(...key.Space);
  await page.until(`document.getElementById('estado').textContent.startsWith('O jogo terminou')`, 20000, 'the end');
  console.log(`${answered} sums of phase 1 answered in the browser, each with "Gol!" and sound`);

  // The child's screen reader speaks: the choice is kept, and the menu's
  // texts are written into the live region instead of the game's voice.
  const reader = await browser.open(`http://localhost:${server.address().port}/`);
  await loaded(reader);
  await reader.evaluate(`document.querySelector('input[value="leitor"]').click(); document.getElementById('jogo').focus()`);
  assert.equal(await reader.evaluate(`JSON.parse(localStorage.getItem('placarim.ajustes')).voz`), 'leitor');
  assert.equal(await reader.evaluate(`document.getElementById('leitor').getAttribute('aria-live')`), 'polite');
  await reader.press(...key.Space);
  await row(reader, '^1 - Treino no quintal$');
  const said = await reader.until(`(() => { const t = document.getElementById('leitor').textContent;
                                             return /Treino no quintal/.test(t) && t; })()`, 30000,
                                  'the menu in the live region');
  console.log(`the live region received: ${said.slice(0, 120)}...`);

  const teacher = await browser.open(`http://localhost:${server.address().port}/teacher.html`);
  await teacher.until(`document.getElementById('contas').value.length > 0`, 60000, 'the teacher page loaded');
  const summary = await teacher.evaluate(`document.getElementById('registro-resumo').textContent`);
  assert.equal(summary, `${answered} respostas registradas neste navegador.`);
  const csv = await teacher.evaluate(`fetch(document.getElementById('baixar').href).then((r) => r.text())`);
  assert.match(csv.split('\n')[0], /^data,hora,campeonato,titulo,fase,conta,resposta,resultado,segundos/);
  assert.equal(csv.trim().split('\n').filter((l) => /,gol,/.test(l)).length, answered);
  // The report of that record: placarim-report's page, its chart of the day's goals included.
  const report = await teacher.until(`(() => { const d = document.getElementById('relatorio').contentDocument;
    const chart = d?.querySelector('svg[role="img"]');
    return chart && { heading: d.querySelector('h1').textContent, bars: chart.querySelectorAll('rect').length,
                      counts: [...chart.querySelectorAll('text')].map((t) => t.textContent), text: d.body.textContent }; })()`,
                                     10000, 'the report page');
  assert.equal(report.heading, 'Placarim: relatório da turma');
  assert.ok(report.bars >= 2 && report.counts.includes(String(answered)), JSON.stringify(report.counts));
  assert.match(report.text, new RegExp(`${answered} gols, 0 erros`), report.text.slice(0, 400));
  // The kept file with a sum the game cannot read right after the first title.
  const kept = (await teacher.evaluate(`document.getElementById('contas').value`)).split('\n');
  const bad = kept.findIndex((line) => line.startsWith('*')) + 1;
  const typed = kept.slice(0, bad).concat(['2 + = 3'], kept.slice(bad)).join('\n');
  await teacher.evaluate(`document.getElementById('contas').value = ${JSON.stringify(typed)};
                         document.getElementById('conferir').click()`);
  const found = await teacher.evaluate(`[...document.querySelectorAll('#problemas li')].map((li) => li.textContent)`);
  assert.ok(found.some((p) => p.startsWith(`placarim.cnf, linha ${bad + 1}: `)), found.join('\n'));
  await teacher.evaluate(`document.getElementById('guardar').click()`);
  await teacher.until(`document.getElementById('estado').textContent.startsWith('Contas guardadas')`, 10000);
  const again = await browser.open(`http://localhost:${server.address().port}/teacher.html`);
  await again.until(`document.getElementById('contas').value.length > 0`, 60000, 'the teacher page loaded again');
  assert.equal(await again.evaluate(`document.getElementById('contas').value`), typed, 'the file was kept');
  // Back to the game's own file, for the next game.
  await again.evaluate(`document.getElementById('apagar').click()`);
  await again.until(`document.getElementById('estado').textContent.startsWith('O jogo volta')`, 10000);
  assert.equal(await again.evaluate(`document.getElementById('contas').value`), kept.join('\n'), 'the factory file is back');
  console.log(`the teacher's page: ${answered} answers kept and downloadable, in its report and chart, line ${bad + 1} found wrong, the file kept`);

  // The Ilvra voice chosen in the settings speaks: its linked engine makes
  // the menu's samples, and more for the first sum, which is answered.
  const ilvra = await browser.open(`http://localhost:${server.address().port}/`);
  await loaded(ilvra);
  await ilvra.evaluate(`document.querySelector('input[value="ilvra"]').click(); document.getElementById('jogo').focus()`);
  await ilvra.press(...key.Space);
  await row(ilvra, '^1 - Treino no quintal$');
  const menu = await ilvra.until('Module._placarim_ilvra_samples()', 30000, 'the Ilvra voice reading the menu');
  await ilvra.press(...digit('1'));
  await row(ilvra, String.raw`^(\d+)([-+xX*:/])(\d+)=$`);
  assert.ok(await answerNext(ilvra), 'the first sum was not answered with the Ilvra voice');
  const sum = await ilvraSamples(ilvra);
  assert.ok(sum > menu, `the Ilvra voice made ${menu} samples for the menu and ${sum - menu} more until the first answer`);
  console.log(`the Ilvra voice: ${menu} samples for the menu, ${sum - menu} more until the first answer`);
} finally {
  clearTimeout(deadline);
  await browser.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
}
