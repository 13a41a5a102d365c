// The teacher's page: the exercise file chosen or typed, checked by the
// game's own checker (the one placarim-check uses) with line numbers, and
// kept for the game in the browser's storage; the record of play downloaded
// as the same CSV the desktop writes, and its report (with the chart of goals
// and misses per day) shown and downloaded as the page placarim-report writes.
'use strict';

const status = document.getElementById('estado');
const text = document.getElementById('contas');
const problems = document.getElementById('problemas');
const encoder = new TextEncoder();

var Module = {
  noInitialRun: true,
  onRuntimeInitialized() {
    const kept = placarimStorage.read(Module, placarimStorage.path(Module, 0));
    text.value = kept ? decode(kept) : decode(Module.FS.readFile('/placarim/data/placarim.cnf'));
    status.textContent = kept ? 'Estas são as contas guardadas neste navegador.'
                              : 'Estas são as contas de fábrica do jogo.';
    showRecord();
  },
};
placarimStorage.prepare(Module);

// A file's bytes as text: UTF-8 when they are, else Windows-1252 (as the game reads them).
function decode(bytes) {
  try {
    return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch (e) {
    return new TextDecoder('windows-1252').decode(bytes);
  }
}

// The text a function of the program returns for these bytes.
function askProgram(fn, bytes) {
  const buffer = Module._malloc(bytes.length + 1);
  Module.HEAPU8.set(bytes, buffer);
  const answer = Module.UTF8ToString(fn(buffer, bytes.length));
  Module._free(buffer);
  return answer;
}

// The checker's lines for the text as it stands; [] when the game plays it as written.
function check() {
  const report = askProgram(Module._placarim_check_exercises, encoder.encode(text.value));
  const lines = report.split('\n').filter((line) => line);
  problems.replaceChildren(...lines.map((line) => Object.assign(document.createElement('li'), { textContent: line })));
  if (!lines.length) problems.append(Object.assign(document.createElement('li'), { textContent: 'Nenhum problema: o jogo usa as contas como estão escritas.' }));
  return lines;
}

function showRecord() {
  const record = placarimStorage.read(Module, placarimStorage.path(Module, 1));
  const link = document.getElementById('baixar');
  const summary = document.getElementById('registro-resumo');
  const report = document.getElementById('relatorio-parte');
  report.hidden = !record;
  if (!record) {
    summary.textContent = 'Ainda não há jogadas registradas neste navegador.';
    link.hidden = true;
    return;
  }
  const answers = decode(record).split('\n').filter((line) => line).length - 1;
  summary.textContent = `${answers} respostas registradas neste navegador.`;
  link.hidden = false;
  link.href = URL.createObjectURL(new Blob([record], { type: 'text/csv' }));
  const page = askProgram(Module._placarim_report_page, record);
  document.getElementById('relatorio').srcdoc = page;
  document.getElementById('baixar-relatorio').href = URL.createObjectURL(new Blob([page], { type: 'text/html' }));
}

document.getElementById('arquivo').addEventListener('change', async (e) => {
  const file = e.target.files[0];
  if (!file) return;
  text.value = decode(new Uint8Array(await file.arrayBuffer()));
  const found = check();
  status.textContent = `${file.name}: ${found.length ? found.length + ' problemas encontrados' : 'nenhum problema'}.`;
});
document.getElementById('conferir').addEventListener('click', () => {
  const found = check();
  status.textContent = found.length ? `${found.length} problemas encontrados.` : 'Nenhum problema encontrado.';
});
document.getElementById('guardar').addEventListener('click', async () => {
  const found = check();
  placarimStorage.write(Module, placarimStorage.path(Module, 0), encoder.encode(text.value));
  await placarimStorage.save(Module);
  status.textContent = 'Contas guardadas: o próximo jogo neste navegador usa estas contas.' +
                       (found.length ? ` Atenção: ${found.length} problemas encontrados.` : '');
});
document.getElementById('apagar').addEventListener('click', async () => {
  try { Module.FS.unlink(placarimStorage.path(Module, 0)); } catch (e) {}
  await placarimStorage.save(Module);
  text.value = decode(Module.FS.readFile('/placarim/data/placarim.cnf'));
  check();
  status.textContent = 'O jogo volta a usar as contas de fábrica.';
});
