// Headless Chromium driven through the DevTools protocol over its pipe
// (file descriptors 3 and 4), with no package beyond node itself.
//
//   const browser = await Chromium.start('chromium', profileDir, ['--flag']);
//   const page = await browser.open('http://...');
//   await page.evaluate('document.title');
//   await browser.close();
import { spawn } from 'node:child_process';

export class Chromium {
  static async start(program, profile, flags = []) {
    const child = spawn(program, ['--headless=new', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe',
                                  `--user-data-dir=${profile}`, ...flags, 'about:blank'],
                        { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
    const browser = new Chromium(child);
    await new Promise((resolve, reject) => {
      child.once('spawn', resolve);
      child.once('error', (e) => reject(new Error(`Chromium could not be started (${program}): ${e.message}`)));
    });
    return browser;
  }

  constructor(child) {
    this.child = child;
    this.pending = new Map();
    this.listeners = [];
    this.next = 1;
    let received = '';
    child.stdio[4].setEncoding('utf8');
    child.stdio[4].on('data', (chunk) => {
      received += chunk;
      for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1)) {
        this.dispatch(JSON.parse(received.slice(0, end)));
      }
    });
  }

  dispatch(message) {
    if (message.id && this.pending.has(message.id)) {
      const { resolve, reject } = this.pending.get(message.id);
      this.pending.delete(message.id);
      message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
    }
    for (const listener of this.listeners) listener(message);
  }

  send(method, params = {}, sessionId) {
    return new Promise((resolve, reject) => {
      const id = this.next++;
      this.pending.set(id, { resolve, reject });
      this.child.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    });
  }

  // Resolves with the params of the next `method` event of the session.
  event(method, sessionId) {
    return new Promise((resolve) => {
      const listener = (message) => {
        if (message.method !== method || (sessionId && message.sessionId !== sessionId)) return;
        this.listeners.splice(this.listeners.indexOf(listener), 1);
        resolve(message.params);
      };
      this.listeners.push(listener);
    });
  }

  async open(url) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, sessionId);
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    const loaded = this.event('Page.loadEventFired', sessionId);
    await page.send('Page.navigate', { url });
    await loaded;
    return page;
  }

  async close() {
    const exited = new Promise((resolve) => this.child.once('exit', resolve));
    this.child.stdio[3].write(JSON.stringify({ id: this.next++, method: 'Browser.close' }) + '\0');
    await exited;
  }
}

export class Page {
  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  // The value of an expression (awaited when it is a promise).
  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
    return result.value;
  }

  // The first true value of `expression` (awaited when it is a promise),
  // checked inside the page after each of its tasks, or an error after `ms`.
  until(expression, ms, what = expression) {
    return this.evaluate(`new Promise((resolve, reject) => {
      const end = performance.now() + ${ms};
      const check = () => Promise.resolve(${expression}).then((value) => {
        if (value) resolve(value);
        else if (performance.now() > end) reject(new Error('timed out'));
        else setTimeout(check, 10);
      }, reject);
      check();
    })`).catch((e) => { throw new Error(`${what}: ${e.message}`); });
  }

  // A key pressed and released as the keyboard would send it.
  async press(key, code, text, keyCode) {
    const common = { key, code, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode };
    await this.send('Input.dispatchKeyEvent', { type: text ? 'keyDown' : 'rawKeyDown', text, ...common });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...common });
  }
}
