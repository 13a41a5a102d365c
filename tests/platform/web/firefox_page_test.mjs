// The game in headless Firefox, driven through WebDriver BiDi: the page
// loads, the first key starts the game and its sound, the menu is on the
// program's screen, the first sum of championship 1 is answered and "Gol!"
// follows, with sound the page's worklet rendered. Headless Firefox plays to
// a sound server (its audio does not run without one): a private one here.
//
// node firefox_page_test.mjs SITE_DIRECTORY [FIREFOX]
// Exits 77 (skipped) when there is no Firefox to run.
import { mkdtempSync, rmSync, existsSync } from 'node:fs';
import { execFileSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import assert from 'node:assert/strict';
import { Firefox } from './firefox.mjs';
import { row, heard, key, digit, answerNext, loaded } from './game_steps.mjs';
import { PrivatePulse } from './sound_server.mjs';
import { serve } from '../../../scripts/serve-web.mjs';

const [site, program = 'firefox-esr'] = process.argv.slice(2);
assert.ok(site && existsSync(join(site, 'placarim.wasm')), `no page built in ${site}`);
try {
  execFileSync('sh', ['-c', `command -v "${program}"`], { stdio: 'ignore' });
} catch {
  console.log(`${program} is not installed: skipped`);
  process.exit(77);
}
const scratch = mkdtempSync(join(tmpdir(), 'placarim_firefox_'));
const server = await serve(site);
const sound = await PrivatePulse.start(scratch);
const browser = await Firefox.start(program, join(scratch, 'perfil'), { PULSE_SERVER: sound.address });
const deadline = setTimeout(() => { console.error('the Firefox test did not end in time'); process.exit(1); }, 150000);

try {
  const page = await browser.open(`http://localhost:${server.address().port}/`);
  await loaded(page);
  assert.equal(await page.evaluate('document.activeElement.id'), 'jogo', 'the game area has the focus');
  assert.equal(await page.evaluate('Module.placarimWeb.sound'), null, 'no sound before a key');
  await page.press(...key.Space);
  await page.until(`document.getElementById('estado').textContent.startsWith('Som ligado')`, 5000, 'the game started');
  await row(page, '^1 - Treino no quintal$');
  assert.equal(await page.evaluate('Module.placarimWeb.sound.context.state'), 'running');
  assert.ok(await heard(page) > 0, 'the opening was not heard');
  await page.press(...digit('1'));
  assert.ok(await answerNext(page), 'no sum to answer');
  console.log(`Firefox ${await page.evaluate('navigator.userAgent')}: the game started on a key, a sum answered, "Gol!" and sound followed`);
} finally {
  clearTimeout(deadline);
  await browser.close();
  await sound.stop();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
}
