// Headless Firefox driven through WebDriver BiDi over its websocket, with
// node's own WebSocket (node 22 and later, or node 20 with
// --experimental-websocket) or else Debian's node-ws. Its pages answer the
// same calls as chromium.mjs's.
//
//   const browser = await Firefox.start('firefox-esr', profileDir);
//   const page = await browser.open('http://...');
//   await page.evaluate('document.title');
//   await browser.close();
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import { writeFileSync, mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { Page } from './chromium.mjs';

const WebSocketClass = globalThis.WebSocket ?? createRequire(import.meta.url)('/usr/share/nodejs/ws');

// Preferences of the test profile: no first-run pages, updates or reports.
const preferences = {
  'browser.shell.checkDefaultBrowser': false,
  'browser.startup.homepage_override.mstone': 'ignore',
  'datareporting.policy.dataSubmissionEnabled': false,
  'toolkit.telemetry.reportingpolicy.firstRun': false,
  'app.update.disabledForTesting': true,
};

// WebDriver's code points of the named keys the tests press.
const namedKeys = { Enter: '\uE007', Escape: '\uE00C', Backspace: '\uE003', Tab: '\uE004' };

// A BiDi remote value as a plain JavaScript value.
function plain(remote) {
  switch (remote.type) {
    case 'undefined': return undefined;
    case 'null': return null;
    case 'array': return remote.value.map(plain);
    case 'object': return Object.fromEntries(remote.value.map(([k, v]) => [typeof k === 'string' ? k : plain(k), plain(v)]));
    case 'number':
      return typeof remote.value === 'string' ? Number(remote.value) : remote.value;  // NaN, -0, Infinity come as text
    default: return remote.value;
  }
}

export class Firefox {
  // `environment` adds to node's own for Firefox (a sound server to play to).
  static async start(program, profile, environment = {}) {
    mkdirSync(profile, { recursive: true });
    writeFileSync(join(profile, 'user.js'),
                  Object.entries(preferences).map(([k, v]) => `user_pref(${JSON.stringify(k)}, ${JSON.stringify(v)});\n`).join(''));
    const child = spawn(program, ['--headless', '--no-remote', '--remote-debugging-port=0', '--profile', profile, 'about:blank'],
                        { stdio: ['ignore', 'ignore', 'pipe'], env: { ...process.env, ...environment } });
    // Firefox names the port it chose on its standard error.
    const address = await new Promise((resolve, reject) => {
      let said = '';
      child.once('error', (e) => reject(new Error(`Firefox could not be started (${program}): ${e.message}`)));
      child.once('exit', (code) => reject(new Error(`Firefox ended (${code}) before listening: ${said.slice(-500)}`)));
      child.stderr.setEncoding('utf8');
      child.stderr.on('data', (chunk) => {
        said += chunk;
        const found = said.match(/WebDriver BiDi listening on (ws:\/\/\S+)/);
        if (found) resolve(found[1]);
      });
    });
    child.removeAllListeners('exit');
    const socket = new WebSocketClass(`${address}/session`);
    await new Promise((resolve, reject) => {
      socket.onopen = resolve;
      socket.onerror = () => reject(new Error(`no BiDi session at ${address}`));
    });
    const browser = new Firefox(child, socket);
    await browser.send('session.new', { capabilities: { alwaysMatch: { acceptInsecureCerts: true } } });
    return browser;
  }

  constructor(child, socket) {
    this.child = child;
    this.socket = socket;
    this.pending = new Map();
    this.next = 1;
    socket.onmessage = (event) => {
      const message = JSON.parse(typeof event.data === 'string' ? event.data : event.data.toString());
      if (!this.pending.has(message.id)) return;
      const { resolve, reject } = this.pending.get(message.id);
      this.pending.delete(message.id);
      message.type === 'error' ? reject(new Error(`${message.error}: ${message.message}`)) : resolve(message.result);
    };
  }

  send(method, params = {}) {
    return new Promise((resolve, reject) => {
      const id = this.next++;
      this.pending.set(id, { resolve, reject });
      this.socket.send(JSON.stringify({ id, method, params }));
    });
  }

  async open(url) {
    const { context } = await this.send('browsingContext.create', { type: 'tab' });
    await this.send('browsingContext.navigate', { context, url, wait: 'complete' });
    return new FirefoxPage(this, context);
  }

  async close() {
    const exited = new Promise((resolve) => this.child.once('exit', resolve));
    await this.send('browser.close').catch(() => {});
    this.socket.close();
    await exited;
  }
}

export class FirefoxPage extends Page {
  constructor(browser, context) {
    super(browser, null);
    this.context = context;
  }

  // The value of an expression (awaited when it is a promise).
  async evaluate(expression) {
    const answer = await this.browser.send('script.evaluate', {
      expression, target: { context: this.context }, awaitPromise: true, resultOwnership: 'none',
      serializationOptions: { maxObjectDepth: 4 } });
    if (answer.type === 'exception') throw new Error(`${expression}: ${answer.exceptionDetails.text}`);
    return plain(answer.result);
  }

  // A key pressed and released, as the keyboard would send it.
  async press(key) {
    const value = namedKeys[key] ?? key;
    await this.browser.send('input.performActions', { context: this.context, actions: [
      { type: 'key', id: 'teclado', actions: [{ type: 'keyDown', value }, { type: 'keyUp', value }] }] });
  }
}
