// The page's side of the web platform (web_platform.cpp), linked into the
// program with --js-library. It keeps the queue of events the page's
// handlers fill, draws the console's picture in the canvas and forwards sound
// to the page's sound (platform/audio/web). The page reaches it as
// Module.placarimWeb.
var LibraryPlacarimWeb = {
  $PW: {
    events: [],
    waiter: null,
    sleeper: null,      // ends the program's sleep early when a key goes down
    canvas: null,
    context: null,
    captured: null,
    sound: null,        // the page's audio, once a key has started it
    clipboard: null,    // what the program last copied or the page last pasted
    fetched: '',
    title: '',
    ended: null,        // called with the exit code when the program ends
    kinds: { KeyDown: 0, KeyUp: 1, Char: 2, FocusGained: 3, FocusLost: 4, Expose: 8,
             CloseRequest: 9, Quit: 10, AudioBlockDone: 11, WakeUp: 12 },
    // Queues a ready event ({type, block, code...}) and resumes a waiting program.
    push: function(event) {
      PW.events.push(event);
      PW.wake();
    },
    // Queues a keydown or keyup: the program translates it to Windows keys.
    key: function(e, down) {
      PW.events.push({ raw: true, code: e.code || '', key: e.key || '', down: down,
                       ctrl: e.ctrlKey, shift: e.shiftKey, alt: e.altKey,
                       altGraph: !!(e.getModifierState && e.getModifierState('AltGraph')),
                       numLock: !!(e.getModifierState && e.getModifierState('NumLock')) });
      if (down && PW.sleeper) PW.sleeper();
      PW.wake();
    },
    wake: function() {
      if (!PW.waiter) return;
      var resume = PW.waiter;
      PW.waiter = null;
      resume();
    },
    attach: function(canvas) {
      PW.canvas = canvas;
      PW.context = canvas.getContext('2d', { alpha: false });
    },
  },
  $PW__postset: 'Module["placarimWeb"] = PW;',

  placarim_web_take__deps: ['$PW'],
  placarim_web_take: function(fields, code, codeSize, key, keySize) {
    var event = PW.events.shift();
    if (!event) return 0;
    var f = fields >> 2;
    if (event.raw) {
      HEAP32[f] = event.down ? 1 : 0;
      HEAP32[f + 1] = event.ctrl ? 1 : 0;
      HEAP32[f + 2] = event.shift ? 1 : 0;
      HEAP32[f + 3] = event.alt ? 1 : 0;
      HEAP32[f + 4] = event.altGraph ? 1 : 0;
      HEAP32[f + 5] = event.numLock ? 1 : 0;
      stringToUTF8(event.code, code, codeSize);
      stringToUTF8(event.key, key, keySize);
      return 2;
    }
    var values = [event.type, event.vk || 0, event.ctrl ? 1 : 0, event.shift ? 1 : 0, event.alt ? 1 : 0,
                  event.system ? 1 : 0, event.ch || 0, event.block || 0, event.code || 0, event.x || 0, event.y || 0, 0];
    for (var i = 0; i < values.length; ++i) HEAP32[f + i] = values[i];
    return 1;
  },

  placarim_web_wait__deps: ['$PW'],
  placarim_web_wait: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      if (PW.events.length) wakeUp(); else PW.waiter = wakeUp;
    });
  },

  // Sleeps `ms`, or less when a key goes down meanwhile: the program's waits
  // poll for keys between sleeps, and a key must silence the sound at once.
  placarim_web_sleep__deps: ['$PW'],
  placarim_web_sleep: function(ms) {
    return Asyncify.handleSleep(function(wakeUp) {
      var timer = 0;
      var done = function() {
        clearTimeout(timer);
        PW.sleeper = null;
        wakeUp();
      };
      timer = setTimeout(done, ms);
      PW.sleeper = done;
    });
  },

  placarim_web_push__deps: ['$PW'],
  placarim_web_push: function(type, value) {
    PW.push({ type: type, code: value });
  },

  placarim_web_canvas_size__deps: ['$PW'],
  placarim_web_canvas_size: function(width, height) {
    if (!PW.canvas) return;
    PW.canvas.width = width;
    PW.canvas.height = height;
  },

  placarim_web_draw_rows__deps: ['$PW'],
  placarim_web_draw_rows: function(rgba, top, count, width) {
    if (!PW.context || count <= 0) return;
    var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * count * 4);
    PW.context.putImageData(new ImageData(new Uint8ClampedArray(pixels), width, count), 0, top);
  },

  placarim_web_capture__deps: ['$PW'],
  placarim_web_capture: function(rgba, width, height) {
    var copy = document.createElement('canvas');
    copy.width = width;
    copy.height = height;
    var pixels = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    copy.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(pixels), width, height), 0, 0);
    PW.captured = copy;
  },

  placarim_web_magnify__deps: ['$PW'],
  placarim_web_magnify: function(x, y, width, height) {
    if (!PW.context || !PW.captured) return;
    PW.context.imageSmoothingEnabled = false;
    PW.context.drawImage(PW.captured, x, y, width, height, 0, 0, PW.canvas.width, PW.canvas.height);
  },

  placarim_web_release_capture__deps: ['$PW'],
  placarim_web_release_capture: function() {
    PW.captured = null;
  },

  placarim_web_set_title__deps: ['$PW'],
  placarim_web_set_title: function(utf8) {
    PW.title = UTF8ToString(utf8);
  },

  // Reads the system clipboard when the browser lets the page (the async
  // clipboard API), else what was last copied or pasted in the page.
  placarim_web_clipboard_fetch__deps: ['$PW'],
  placarim_web_clipboard_fetch: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      var done = false;
      var finish = function(text) {
        if (done) return;
        done = true;
        PW.fetched = text;
        wakeUp(text === null ? -1 : lengthBytesUTF8(text));
      };
      var fallback = function() { finish(PW.clipboard); };
      setTimeout(fallback, 500);
      try {
        navigator.clipboard.readText().then(finish, fallback);
      } catch (e) {
        fallback();
      }
    });
  },

  placarim_web_clipboard_copy__deps: ['$PW'],
  placarim_web_clipboard_copy: function(out, size) {
    stringToUTF8(PW.fetched || '', out, size);
  },

  placarim_web_clipboard_set__deps: ['$PW'],
  placarim_web_clipboard_set: function(utf8) {
    PW.clipboard = UTF8ToString(utf8);
    try {
      navigator.clipboard.writeText(PW.clipboard).catch(function() {});
    } catch (e) {}
    return 1;
  },

  placarim_web_open_url: function(url) {
    var tab = window.open(UTF8ToString(url), '_blank');
    if (!tab) return 0;
    tab.opener = null;
    return 1;
  },

  placarim_web_work_area: function(widthHeight) {
    HEAP32[widthHeight >> 2] = window.innerWidth || 1024;
    HEAP32[(widthHeight >> 2) + 1] = window.innerHeight || 734;
  },
};
mergeInto(LibraryManager.library, LibraryPlacarimWeb);
