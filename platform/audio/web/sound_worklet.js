// The page's sound, on the audio thread: the program's blocks played one
// after the other at their own rate (linearly resampled to the device's),
// with the looping tone and the beep mixed over them. Each block is reported
// done when its last sample has been rendered; a flush drops every queued
// block at once (the page has already reported them done). It also counts
// the samples it rendered that were not silent, and when the last was, so
// the page can tell that sound was heard and how soon a key silenced it.
// Messages arrive between render quanta, so a flush takes effect at the
// first sample of the next one.
class PlacarimSound extends AudioWorkletProcessor {
  constructor() {
    super();
    this.blocks = [];      // {serial, samples, channels, step, position}
    this.tone = null;      // looping
    this.beep = null;      // once
    this.nonSilent = 0;
    this.firstNonSilentFrame = -1;
    this.lastNonSilentFrame = -1;
    this.lastFlushFrame = -1;
    this.sinceReport = 0;
    this.port.onmessage = (message) => this.receive(message.data);
  }

  receive(m) {
    const voice = (step) => ({ samples: m.samples, channels: m.channels, step, position: 0 });
    if (m.type === 'block') {
      this.blocks.push(Object.assign(voice(m.rate / sampleRate), { serial: m.serial }));
    } else if (m.type === 'flush') {
      this.blocks.length = 0;
      this.lastFlushFrame = currentFrame;
      this.report();
    } else if (m.type === 'tone') {
      if (m.loop) this.tone = voice(m.rate / sampleRate); else this.beep = voice(m.rate / sampleRate);
    } else if (m.type === 'toneStop') {
      this.tone = null;
    } else if (m.type === 'report') {
      this.report();
    }
  }

  // The voice's next sample (its channels averaged), advancing it; null at its end.
  static next(v, loop) {
    const frames = v.samples.length / v.channels;
    if (v.position >= frames) {
      if (!loop || frames === 0) return null;
      v.position -= frames;
    }
    const i = Math.floor(v.position);
    const fraction = v.position - i;
    const j = i + 1 < frames ? i + 1 : (loop ? 0 : i);
    let a = 0, b = 0;
    for (let c = 0; c < v.channels; ++c) {
      a += v.samples[i * v.channels + c];
      b += v.samples[j * v.channels + c];
    }
    v.position += v.step;
    return (a + (b - a) * fraction) / v.channels;
  }

  report() {
    // Times in the audio context's clock (seconds); -1 for never.
    const time = (frame) => (frame < 0 ? -1 : frame / sampleRate);
    this.port.postMessage({ type: 'stats', nonSilent: this.nonSilent,
                            firstNonSilentTime: time(this.firstNonSilentFrame),
                            lastNonSilentTime: time(this.lastNonSilentFrame),
                            lastFlushTime: time(this.lastFlushFrame), time: currentFrame / sampleRate });
    this.sinceReport = 0;
  }

  process(inputs, outputs) {
    const out = outputs[0];
    const length = out[0].length;
    for (let f = 0; f < length; ++f) {
      let mix = 0;
      while (this.blocks.length) {
        const s = PlacarimSound.next(this.blocks[0], false);
        if (s !== null) {
          mix += s;
          break;
        }
        this.port.postMessage({ type: 'done', serial: this.blocks.shift().serial });
      }
      if (this.tone) mix += PlacarimSound.next(this.tone, true) ?? 0;
      if (this.beep) {
        const s = PlacarimSound.next(this.beep, false);
        if (s === null) this.beep = null; else mix += s;
      }
      mix = Math.max(-1, Math.min(1, mix));
      for (const channel of out) channel[f] = mix;
      if (Math.abs(mix) > 1 / 256) {
        if (this.nonSilent++ === 0) this.firstNonSilentFrame = currentFrame + f;
        this.lastNonSilentFrame = currentFrame + f;
      }
    }
    this.sinceReport += length;
    if (this.sinceReport >= sampleRate / 50) this.report();
    return true;
  }
}
registerProcessor('placarim-sound', PlacarimSound);
