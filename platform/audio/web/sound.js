// The page's side of the program's sound: an AudioContext made on the
// child's first key (browsers start sound only then) and the worklet that
// plays the blocks. Blocks are numbered as they are written, so a report of
// a block dropped by a key is never taken for a later block with the same id.
'use strict';

class PlacarimSoundOutput {
  // `events` is the web platform's queue (Module.placarimWeb).
  constructor(events) {
    this.events = events;
    this.context = new (window.AudioContext || window.webkitAudioContext)({ latencyHint: 'interactive' });
    this.node = null;
    this.waiting = [];           // messages written before the worklet was ready
    this.outstanding = new Map();  // serial -> block id
    this.serial = 0;
    this.format = { rate: 11025, bits: 8, channels: 1 };
    this.stats = { nonSilent: 0, lastNonSilentTime: -1, time: 0 };
    this.statsWaiters = [];
    this.ready = this.context.audioWorklet.addModule('sound_worklet.js').then(() => {
      this.node = new AudioWorkletNode(this.context, 'placarim-sound',
                                       { numberOfInputs: 0, outputChannelCount: [1] });
      this.node.port.onmessage = (message) => this.receive(message.data);
      this.node.connect(this.context.destination);
      for (const [m, transfer] of this.waiting) this.node.port.postMessage(m, transfer);
      this.waiting = [];
    });
    this.context.resume();
  }

  post(message, transfer = []) {
    if (this.node) this.node.port.postMessage(message, transfer); else this.waiting.push([message, transfer]);
  }

  receive(m) {
    if (m.type === 'done') {
      if (!this.outstanding.has(m.serial)) return;
      const block = this.outstanding.get(m.serial);
      this.outstanding.delete(m.serial);
      this.events.push({ type: this.events.kinds.AudioBlockDone, block });
    } else if (m.type === 'stats') {
      this.stats = m;
      for (const resolve of this.statsWaiters.splice(0)) resolve(m);
    }
  }

  write(block, samples) {
    const serial = ++this.serial;
    this.outstanding.set(serial, block);
    this.post({ type: 'block', serial, samples, channels: this.format.channels, rate: this.format.rate },
              [samples.buffer]);
  }

  queued(block) {
    for (const id of this.outstanding.values()) if (id === block) return true;
    return false;
  }

  // Every queued block is reported done now, and the worklet drops them.
  reset() {
    const dropped = [...this.outstanding.values()];
    this.outstanding.clear();
    this.post({ type: 'flush' });
    for (const block of dropped) this.events.push({ type: this.events.kinds.AudioBlockDone, block });
  }

  tone(samples, rate, channels, loop) {
    this.post({ type: 'tone', samples, rate, channels, loop }, [samples.buffer]);
  }

  toneStop() {
    this.post({ type: 'toneStop' });
  }

  // When a sample of the worklet's report (the audio context's clock,
  // seconds) is heard, on the page's clock (performance.now(), milliseconds).
  pageTime(contextTime) {
    const now = this.context.getOutputTimestamp();
    return now.performanceTime + (contextTime - now.contextTime) * 1000;
  }

  // When it was rendered: the output's latency before it is heard.
  renderedTime(contextTime) {
    return this.pageTime(contextTime) - (this.context.outputLatency || 0) * 1000;
  }

  // The worklet's counts as of now.
  report() {
    return new Promise((resolve) => {
      this.statsWaiters.push(resolve);
      this.post({ type: 'report' });
    });
  }
}
