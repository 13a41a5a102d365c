// The page around the program: it loads the program and its data, starts
// the game (and the sound, which browsers allow only then) on the child's
// first key or on the "Jogar" button, keeps the keyboard focus in the game
// and hands every key of the game area to the program.
'use strict';

const game = document.getElementById('jogo');
const canvas = document.getElementById('tela');
const status = document.getElementById('estado');
const button = document.getElementById('jogar');
let started = false;
let ready = false;
let startAsked = false;
let sound = null;

function say(text) {
  status.textContent = text;
}

var Module = {
  noInitialRun: true,
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onRuntimeInitialized() {
    ready = true;
    Module.placarimWeb.attach(canvas);
    say('Jogo pronto. Aperte qualquer tecla ou o botão Jogar para começar.');
    if (startAsked) start();
  },
  // The console's 25 rows as the program holds them.
  screenText() {
    return Module.UTF8ToString(Module._placarim_screen_text());
  },
  placarimEnded(code) {
    started = false;
    if (sound) sound.context.suspend();
    // The end is told once the record of play is kept, so the teacher's page
    // opened then finds every answer.
    placarimStorage.save(Module).then(() => say(
      code === 0 ? 'O jogo terminou. Recarregue a página para jogar de novo.'
                 : `O jogo parou (código ${code}). Recarregue a página para jogar de novo.`));
  },
};

// Called within the key or click that asked for it, as browsers require
// for starting sound.
function start() {
  startAsked = true;
  game.focus();
  if (!ready || started) return;
  started = true;
  try {
    sound = new PlacarimSoundOutput(Module.placarimWeb);
    Module.placarimWeb.sound = sound;
  } catch (e) {
    say('Este navegador não deixou o jogo tocar som: ' + e.message);
  }
  const settings = placarimSettings.load();
  Module.placarimVoice = placarimVoiceFor(settings, document.getElementById('leitor'));
  configureProgram(Module.FS, settings, Module.placarimVoice !== null);
  say('Som ligado. O jogo começou.');
  Module.callMain([]);
}

// Keys the browser must keep: reloading, closing or switching tabs.
function browserKeeps(e) {
  if (e.key === 'F5' || (e.ctrlKey && !e.shiftKey && 'rwtnRWTN'.includes(e.key))) return true;
  return e.ctrlKey && e.key === 'Tab';
}

game.addEventListener('keydown', (e) => {
  if (browserKeeps(e)) return;
  e.preventDefault();
  if (!started) {
    start();
    return;  // the key that starts the game is not also an answer
  }
  // The browser's voice stops at once, before the program even sees the key.
  if (Module.placarimVoice) Module.placarimVoice.stop();
  Module.placarimWeb.key(e, true);
});
game.addEventListener('keyup', (e) => {
  if (browserKeeps(e)) return;
  e.preventDefault();
  if (started) Module.placarimWeb.key(e, false);
});
game.addEventListener('focus', () => {
  if (started) Module.placarimWeb.push({ type: Module.placarimWeb.kinds.FocusGained });
});
game.addEventListener('blur', () => {
  if (started) Module.placarimWeb.push({ type: Module.placarimWeb.kinds.FocusLost });
  // Focus that falls to nothing (a click on the page's background) comes back.
  setTimeout(() => { if (document.activeElement === document.body) game.focus(); }, 0);
});
// Text pasted into the page is what the program's clipboard gives when the
// browser does not let it read the system's.
document.addEventListener('paste', (e) => {
  if (Module.placarimWeb) Module.placarimWeb.clipboard = e.clipboardData.getData('text/plain');
});
button.addEventListener('click', () => start());
placarimStorage.prepare(Module);
// The record of play is kept as the game writes it.
setInterval(() => { if (started) placarimStorage.save(Module); }, 5000);
window.addEventListener('pagehide', () => { if (ready) placarimStorage.save(Module); });

// The settings, shown as stored and stored as changed.
const voiceChoices = document.querySelectorAll('input[name="voz"]');
const speedChoice = document.getElementById('velocidade');
const shown = placarimSettings.load();
for (const choice of voiceChoices) choice.checked = choice.value === shown.voz;
speedChoice.value = shown.velocidade;
const storeSettings = () => placarimSettings.save({
  voz: [...voiceChoices].find((c) => c.checked)?.value ?? 'jogo', velocidade: speedChoice.value });
for (const choice of voiceChoices) choice.addEventListener('change', storeSettings);
speedChoice.addEventListener('change', storeSettings);
if ('speechSynthesis' in window) speechSynthesis.getVoices();  // starts loading the list
window.addEventListener('load', () => game.focus());

if ('serviceWorker' in navigator && location.protocol !== 'file:') {
  navigator.serviceWorker.register('sw.js').catch(() => {});
}
