// What the page's tests, its bench and its photograph share: Playwright from build/node (npm ci
// from this folder's lock file), Debian's Chromium as this machine's closed network wants it, and
// the page served from a folder on 127.0.0.1.
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const path = require('path');

const modules = execFileSync('bash', [path.join(__dirname, '..', '..', 'scripts', 'node-modules.sh')],
  { encoding: 'utf8', stdio: ['ignore', 'pipe', 'inherit'] }).trim();
const { chromium } = require(path.join(modules, 'playwright-core'));

// Playwright gives each launch a fresh profile, or a profile kept in a folder (dir); no background
// connections, no QUIC.
function launch(more = {}, dir = null) {
  const options = {
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    ...more,
  };
  return dir ? chromium.launchPersistentContext(dir, options) : chromium.launch(options);
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// Serves a folder (server.dir, which may change) on a free port with the headers it ships
// (_headers), or bare: none but a day-old Last-Modified, as a plain server of files built the day
// before; types replace the usual content types by extension. close() cuts the network.
function serve(dir, { types = {}, bare = false } = {}) {
  const server = http.createServer((request, response) => {
    let file = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (file.endsWith('/')) file += 'index.html';
    fs.readFile(path.join(server.dir, path.normalize(file)), (error, data) => {
      const kept = path.join(server.dir, '_headers');
      const shipped = !bare && fs.existsSync(kept) ? fs.readFileSync(kept, 'utf8') : '';
      const headers = Object.fromEntries([...shipped.matchAll(/^ +([\w-]+): (.*)$/gm)].map((m) => m.slice(1)));
      if (bare) headers['Last-Modified'] = new Date(Date.now() - 864e5).toUTCString();
      response.writeHead(error ? 404 : 200, { ...headers, 'Content-Type': types[path.extname(file)] ?? TYPES[path.extname(file)] ?? 'application/octet-stream' });
      response.end(error ? '' : data);
    });
  });
  server.dir = dir;
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const address = (server) => `http://127.0.0.1:${server.address().port}/`;

module.exports = { modules, launch, serve, address };
