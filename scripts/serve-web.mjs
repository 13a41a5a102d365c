// A small static web server for the browser build's page, on localhost only:
//   node serve-web.mjs DIRECTORY [PORT]     (PORT 0 or none: any free port)
// prints the page's address. Imported, serve(directory, port) gives the
// server once it listens. Answers GET and HEAD for files under DIRECTORY.
import { createServer } from 'node:http';
import { createReadStream, statSync } from 'node:fs';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
                '.mjs': 'text/javascript; charset=utf-8', '.css': 'text/css; charset=utf-8',
                '.wasm': 'application/wasm', '.data': 'application/octet-stream',
                '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json', '.json': 'application/json' };

export function serve(directory, port = 0) {
  const root = resolve(directory);
  const server = createServer((request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405).end();
      return;
    }
    let path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (path.endsWith('/')) path += 'index.html';
    const file = normalize(join(root, path));
    let size = -1;
    try {
      if (file.startsWith(root + sep)) size = statSync(file).isFile() ? statSync(file).size : -1;
    } catch {}
    if (size < 0) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      return;
    }
    response.writeHead(200, { 'Content-Type': types[extname(file)] ?? 'application/octet-stream',
                              'Content-Length': size, 'Cache-Control': 'no-cache' });
    if (request.method === 'HEAD') response.end(); else createReadStream(file).pipe(response);
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const [directory, port = '0'] = process.argv.slice(2);
  if (!directory) {
    console.error('usage: node serve-web.mjs DIRECTORY [PORT]');
    process.exit(2);
  }
  const server = await serve(directory, Number(port));
  console.log(`Placarim no navegador: http://localhost:${server.address().port}/  (Ctrl+C para parar)`);
}
