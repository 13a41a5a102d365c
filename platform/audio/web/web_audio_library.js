// The program's sound handed to the page's sound output (sound.js), linked
// into the program with --js-library beside the web platform's library, whose
// PW object holds the output once the child's first key has started it.
var LibraryPlacarimWebAudio = {
  placarim_web_audio_open__deps: ['$PW'],
  placarim_web_audio_open: function(rate, bits, channels) {
    if (!PW.sound) return 6;  // no sound until a key has started it
    PW.sound.format = { rate: rate, bits: bits, channels: channels };
    return 0;
  },

  // The block's bytes as float samples, interleaved as they came.
  $placarimSamples: function(data, length, bits) {
    var samples;
    if (bits === 8) {
      samples = new Float32Array(length);
      for (var i = 0; i < length; ++i) samples[i] = (HEAPU8[data + i] - 128) / 128;
    } else {
      var count = length >> 1;
      samples = new Float32Array(count);
      for (var j = 0; j < count; ++j) samples[j] = HEAP16[(data >> 1) + j] / 32768;
    }
    return samples;
  },

  placarim_web_audio_write__deps: ['$PW', '$placarimSamples'],
  placarim_web_audio_write: function(block, data, length) {
    PW.sound.write(block, placarimSamples(data, length, PW.sound.format.bits));
  },

  placarim_web_audio_reset__deps: ['$PW'],
  placarim_web_audio_reset: function() {
    if (PW.sound) PW.sound.reset();
  },

  placarim_web_audio_queued__deps: ['$PW'],
  placarim_web_audio_queued: function(block) {
    return PW.sound && PW.sound.queued(block) ? 1 : 0;
  },

  placarim_web_tone__deps: ['$PW', '$placarimSamples'],
  placarim_web_tone: function(samples, length, rate, bits, channels, loop) {
    if (PW.sound) PW.sound.tone(placarimSamples(samples, length, bits), rate, channels, !!loop);
  },

  placarim_web_tone_stop__deps: ['$PW'],
  placarim_web_tone_stop: function() {
    if (PW.sound) PW.sound.toneStop();
  },

};
mergeInto(LibraryManager.library, LibraryPlacarimWebAudio);
