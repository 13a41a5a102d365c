// Figures of the game in a browser (headless Chromium), on the page that
// scripts/build-web.sh built:
//   node bench/platform/web_page_bench.mjs build-web/site [CHROMIUM [VOICE]]
// VOICE is the page's choice in "Ajustes" (jogo, the default, or ilvra).
// - bytes a first visit transfers: every file the page loads, gzip- and
//   brotli-compressed as a web server would send them;
// - first key to first sound: the keydown on the page's clock to the first
//   non-silent sample the worklet rendered;
// - key to silence: keydown to the render quantum in which the worklet
//   dropped the queued sound (its last non-silent sample is the one before),
//   over keys pressed while the game speaks during a sum;
// - the tab's memory: the JavaScript heap and the program's WebAssembly memory.
import { readFileSync, mkdtempSync, rmSync } from 'node:fs';
import { gzipSync, brotliCompressSync } from 'node:zlib';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { Chromium } from '../../tests/platform/web/chromium.mjs';
import { serve } from '../../scripts/serve-web.mjs';

const [site, program = 'chromium', voice = 'jogo'] = process.argv.slice(2);
const files = ['index.html', 'page.css', 'storage.js', 'sound.js', 'voices.js', 'page.js', 'placarim-data.js',
               'placarim.js', 'placarim.wasm', 'placarim.data', 'sound_worklet.js', 'sw.js', 'manifest.webmanifest', 'icon.svg'];
let raw = 0, gzip = 0, brotli = 0;
for (const file of files) {
  const bytes = readFileSync(join(site, file));
  raw += bytes.length;
  gzip += gzipSync(bytes, { level: 9 }).length;
  brotli += brotliCompressSync(bytes).length;
}
const mb = (n) => (n / 1e6).toFixed(2) + ' MB';
console.log(`first load: ${mb(raw)} raw, ${mb(gzip)} gzip, ${mb(brotli)} brotli (${files.length} files)`);

const scratch = mkdtempSync(join(tmpdir(), 'placarim_bench_'));
const server = await serve(site);
const browser = await Chromium.start(program, join(scratch, 'perfil'));
const percentile = (values, p) => values.slice().sort((a, b) => a - b)[Math.min(values.length - 1, Math.floor(p * values.length))];
try {
  const page = await browser.open(`http://localhost:${server.address().port}/`);
  await page.until(`document.getElementById('estado').textContent.startsWith('Jogo pronto')`, 60000);
  await page.evaluate(`document.querySelector('input[name="voz"][value="${voice}"]').click();
                       document.getElementById('jogo').focus()`);
  console.log(`voice: ${voice}`);
  // Each keydown's time on the page's clock, kept by the page.
  await page.evaluate(`window.keyTimes = []; document.getElementById('jogo')
    .addEventListener('keydown', () => window.keyTimes.push(performance.now()), true)`);
  await page.press(' ', 'Space', ' ', 32);
  const firstSound = await page.until(`Module.placarimWeb.sound && Module.placarimWeb.sound.report().then((s) =>
      s.firstNonSilentTime >= 0 && Module.placarimWeb.sound.pageTime(s.firstNonSilentTime) - window.keyTimes[0])`, 30000);
  console.log(`first key to first sound heard: ${firstSound.toFixed(1)} ms`);

  await page.until(`Module.screenText().includes('1 - Treino no quintal')`, 30000);
  await page.press('1', 'Digit1', '1', 49);
  await page.until(`/^\\d+[-+xX*:/]\\d+=$/m.test(Module.screenText())`, 30000);
  // Keys while the game speaks: a digit (spoken back) and Backspace (the
  // digit's name spoken as it goes), each cutting the speech before it.
  const silences = [];
  for (let i = 0; i < 40 && silences.length < 20; ++i) {
    await page.until(`Module.placarimWeb.sound.report().then((s) => s.time - s.lastNonSilentTime < 0.02)`, 10000);
    const flushedBefore = await page.evaluate(`Module.placarimWeb.sound.report().then((s) => s.lastFlushTime)`);
    if (i % 2 === 0) await page.press('7', 'Digit7', '7', 55); else await page.press('Backspace', 'Backspace', undefined, 8);
    const flush = await page.until(`new Promise((r) => setTimeout(r, 150)).then(() => Module.placarimWeb.sound.report())
      .then((s) => s)`, 5000);
    if (flush.lastFlushTime > flushedBefore) {
      silences.push(await page.evaluate(`[Module.placarimWeb.sound.renderedTime(${flush.lastFlushTime}) - window.keyTimes.at(-1),
                                           Module.placarimWeb.sound.pageTime(${flush.lastFlushTime}) - window.keyTimes.at(-1)]`));
    }
  }
  const latency = await page.evaluate(`[Module.placarimWeb.sound.context.baseLatency, Module.placarimWeb.sound.context.outputLatency]`);
  console.log(`audio context: base latency ${(latency[0] * 1000).toFixed(1)} ms, output latency ${(latency[1] * 1000).toFixed(1)} ms`);
  for (const [index, what] of [[0, 'last sample rendered'], [1, 'silence heard']]) {
    if (!silences.length) break;
    const values = silences.map((s) => s[index]);
    console.log(`key to ${what}, over ${values.length} keys: median ${percentile(values, 0.5).toFixed(1)} ms, ` +
                `p95 ${percentile(values, 0.95).toFixed(1)} ms, max ${Math.max(...values).toFixed(1)} ms`);
  }
  if (!silences.length) console.log('key to silence: no key found sound to drop');
  await page.send('Performance.enable');
  const { metrics } = await page.send('Performance.getMetrics');
  const heap = metrics.find((m) => m.name === 'JSHeapTotalSize').value;
  const wasm = await page.evaluate('Module.HEAPU8.length');
  console.log(`tab memory: JavaScript heap ${mb(heap)}, WebAssembly memory ${mb(wasm)}`);
  console.log(`samples the Ilvra voice's engine made: ${await page.evaluate('Module._placarim_ilvra_samples()')}`);
} finally {
  await browser.close();
  server.close();
  rmSync(scratch, { recursive: true, force: true });
}
