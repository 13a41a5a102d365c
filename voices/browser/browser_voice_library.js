// The browser voice's page side: Module.placarimVoice, set by the page as the
// child's choice of voice, has speak(text), speaking() and stop().
var LibraryPlacarimBrowserVoice = {
  placarim_browser_voice_open: function() {
    return Module.placarimVoice ? 1 : 0;
  },
  placarim_browser_voice_speak: function(utf8) {
    if (Module.placarimVoice) Module.placarimVoice.speak(UTF8ToString(utf8));
  },
  placarim_browser_voice_speaking: function() {
    return Module.placarimVoice && Module.placarimVoice.speaking() ? 1 : 0;
  },
  placarim_browser_voice_stop: function() {
    if (Module.placarimVoice) Module.placarimVoice.stop();
  },
};
mergeInto(LibraryManager.library, LibraryPlacarimBrowserVoice);
