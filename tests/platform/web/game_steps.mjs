// Steps of the game in a browser page, for the tests' browsers alike (a page
// answers evaluate, until and press as chromium.mjs's pages do): waiting for
// the program, reading the screen the program holds, and answering a sum.

// The program and its data loaded, ready for the first key.
export const loaded = (page) =>
  page.until(`document.getElementById('estado').textContent.startsWith('Jogo pronto')`, 60000, 'the program loaded');
// The first screen row matching `pattern` (a RegExp source), once there is one.
export const row = (page, pattern, ms = 30000) =>
  page.until(`Module.screenText().split('\\n').find((r) => new RegExp(${JSON.stringify(pattern)}).test(r))`, ms,
             `a row matching /${pattern}/`);
export const heard = (page) => page.evaluate('Module.placarimWeb.sound.report().then((s) => s.nonSilent)');
export const key = { Enter: ['Enter', 'Enter', '\r', 13], Escape: ['Escape', 'Escape', undefined, 27],
                     Space: [' ', 'Space', ' ', 32] };
export const digit = (d) => [d, `Digit${d}`, d, 48 + Number(d)];
const apply = (a, op, b) => ({ '+': a + b, '-': a - b, x: a * b, X: a * b, '*': a * b, ':': a / b, '/': a / b })[op];

// The next sum on the screen answered right, followed by "Gol!" and by sound;
// false once phase 2 begins or the championship is won.
export async function answerNext(page) {
  const found = await row(page, String.raw`^(\d+)([-+xX*:/])(\d+)=$|^Tem início agora a fase 2$|^GANHOU O CAMPEONATO!!!$`);
  const sum = found.match(/^(\d+)([-+xX*:/])(\d+)=$/);
  if (!sum) return false;
  const answer = apply(Number(sum[1]), sum[2], Number(sum[3]));
  const before = await heard(page);
  for (const d of String(answer)) await page.press(...digit(d));
  await page.press(...key.Enter);
  const typed = sum[0] + answer;
  await page.until(`(() => { const r = Module.screenText().split('\\n');
                            const i = r.indexOf(${JSON.stringify(typed)});
                            return i >= 0 && (r[i + 1] ?? '').startsWith('Gol! '); })()`, 20000,
                   `"Gol!" after ${typed}`);
  await page.until(`Module.placarimWeb.sound.report().then((s) => s.nonSilent > ${before})`, 10000,
                   `sound after ${typed}`);
  return true;
}
