// The teacher's files and the record of play kept in the browser's storage
// (IndexedDB): the folders where the program keeps them are mounted from it
// before the program starts, and written back while it plays and as it ends.
'use strict';

const placarimStorage = {
  folders: ['/home/web_user/.config', '/home/web_user/.local'],

  // Adds to Module the step that loads the kept files before main can run.
  prepare(Module) {
    Module.preRun = (Module.preRun || []).concat(() => {
      const FS = Module.FS;
      for (const folder of placarimStorage.folders) {
        FS.mkdirTree(folder);
        FS.mount(FS.filesystems.IDBFS, {}, folder);
      }
      Module.addRunDependency('placarim-storage');
      FS.syncfs(true, (error) => {
        if (error) console.warn('placarim: the kept files could not be read', error);
        Module.removeRunDependency('placarim-storage');
      });
    });
  },

  // Writes what changed back to IndexedDB.
  save(Module) {
    return new Promise((resolve) => Module.FS.syncfs(false, (error) => {
      if (error) console.warn('placarim: the files could not be kept', error);
      resolve(!error);
    }));
  },

  // The path of a teacher's file (0 exercises, 1 record) as the program names it.
  path(Module, which) {
    return Module.UTF8ToString(Module._placarim_teacher_file(which));
  },

  read(Module, path) {
    try {
      return Module.FS.readFile(path);
    } catch (e) {
      return null;
    }
  },

  write(Module, path, bytes) {
    Module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
    Module.FS.writeFile(path, bytes);
  },
};
