// Who speaks the game's texts, as the page's settings say: the game's own
// voice or its Ilvra voice (both inside the program: nothing here), the
// browser's speech synthesis in Brazilian Portuguese (else Portuguese; else
// the game's voice), or the child's own screen reader, reading what the game
// writes into a live region of the page.
// The choice and the speed are kept in the browser's storage.
'use strict';

const placarimSettings = {
  load() {
    try {
      return Object.assign({ voz: 'jogo', velocidade: '3' }, JSON.parse(localStorage.getItem('placarim.ajustes') || '{}'));
    } catch (e) {
      return { voz: 'jogo', velocidade: '3' };
    }
  },
  save(settings) {
    try { localStorage.setItem('placarim.ajustes', JSON.stringify(settings)); } catch (e) {}
  },
};

// The browser voice that speaks Brazilian Portuguese best, or null.
function portugueseVoice() {
  if (!('speechSynthesis' in window)) return null;
  const voices = speechSynthesis.getVoices();
  const lang = (v) => v.lang.replace('_', '-').toLowerCase();
  return voices.find((v) => lang(v) === 'pt-br') || voices.find((v) => lang(v).startsWith('pt')) || null;
}

function browserSpeech(voice, speed) {
  let unfinished = 0;
  return {
    speak(text) {
      const utterance = new SpeechSynthesisUtterance(text);
      utterance.voice = voice;
      utterance.lang = voice.lang;
      utterance.rate = 0.7 + 0.2 * speed;  // speed 3 is the voice's own
      ++unfinished;
      utterance.onend = utterance.onerror = () => { unfinished = Math.max(0, unfinished - 1); };
      speechSynthesis.speak(utterance);
    },
    speaking() { return unfinished > 0 && (speechSynthesis.speaking || speechSynthesis.pending); },
    stop() {
      unfinished = 0;
      speechSynthesis.cancel();
    },
  };
}

// Each text as a new paragraph of the live region; the oldest go, so the
// region stays short for a screen reader's review.
function screenReaderRegion(region) {
  return {
    speak(text) {
      const line = document.createElement('p');
      line.textContent = text;
      region.append(line);
      while (region.childElementCount > 20) region.firstElementChild.remove();
    },
    speaking() { return false; },
    stop() {},
  };
}

// The voice object the program's browser voice talks to, or null for the
// game's own voice.
function placarimVoiceFor(settings, region) {
  if (settings.voz === 'leitor') return screenReaderRegion(region);
  if (settings.voz === 'navegador') {
    const voice = portugueseVoice();
    if (voice) return browserSpeech(voice, Number(settings.velocidade));
  }
  return null;
}

// The configuration the program reads, with the settings written in: the
// voice type (the Ilvra voice, or the browser's when one speaks; otherwise
// the built-in voice) and the speed, 1 to 5 for the built-in voice and -4 to
// 4 for the Ilvra voice (0 its own pace).
function configureProgram(FS, settings, browserVoice) {
  const path = '/placarim/etc/FALDEK.INI';
  const type = settings.voz === 'ilvra' ? 3 : browserVoice ? 6 : 0;
  const speed = Number(settings.velocidade);
  let ini = FS.readFile(path, { encoding: 'utf8' });
  ini = ini.replace(/^SAPI=.*$/m, `SAPI=${type ? 'Sim' : 'Nao'}`)
           .replace(/^(\[TRADUTOR\][^[]*?)^VELOCIDADE=\d+/m, `$1VELOCIDADE=${speed}`)
           .replace(/^(\[SERVFALA\][^[]*?)^VELOCIDADE=-?\d+/m, `$1VELOCIDADE=${2 * (speed - 3)}`)
           .replace(/^TIPOSAPI=\d+/m, `TIPOSAPI=${type || 6}`);
  FS.writeFile(path, ini);
}
