// A private PulseAudio server with a null sink, for a browser that has no
// sound output of its own in headless mode (Firefox): its pages' audio then
// runs as on a desktop with speakers. Nothing of the user's server is touched.
//
//   const server = await PrivatePulse.start(dir);   // server.address: PULSE_SERVER's value
//   ...
//   await server.stop();
import { spawn } from 'node:child_process';
import { existsSync, watch, writeFileSync } from 'node:fs';
import { join } from 'node:path';

export class PrivatePulse {
  static async start(dir, ms = 20000) {
    const socket = join(dir, 'native');
    writeFileSync(join(dir, 'server.pa'), `load-module module-native-protocol-unix auth-anonymous=1 socket=${socket}\n` +
                  'load-module module-null-sink sink_name=pagina rate=48000 channels=2\nset-default-sink pagina\n');
    const child = spawn('pulseaudio', ['-n', '-F', join(dir, 'server.pa'), '--daemonize=no', '--exit-idle-time=-1',
                                       '--use-pid-file=no', `--log-target=file:${join(dir, 'server.log')}`],
                        { stdio: 'ignore', env: { ...process.env, HOME: dir, PULSE_RUNTIME_PATH: dir } });
    // The socket appears once the server accepts clients; the server's exit ends the wait too.
    await new Promise((resolve, reject) => {
      const done = (error) => {
        watcher.close();
        clearTimeout(timer);
        error ? reject(error) : resolve();
      };
      const watcher = watch(dir, () => { if (existsSync(socket)) done(); });
      const timer = setTimeout(() => done(new Error('PulseAudio did not open its socket in time')), ms);
      child.once('exit', (code) => done(new Error(`PulseAudio ended (${code}); see ${join(dir, 'server.log')}`)));
      child.once('error', (e) => done(new Error(`PulseAudio could not be started: ${e.message}`)));
      if (existsSync(socket)) done();
    });
    return new PrivatePulse(child, `unix:${socket}`);
  }

  constructor(child, address) {
    this.child = child;
    this.address = address;
  }

  stop() {
    if (this.child.exitCode !== null) return Promise.resolve();
    const exited = new Promise((resolve) => this.child.once('exit', resolve));
    this.child.kill();
    return exited;
  }
}
