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

// Playwright gives each launch a fresh profile; no background connections, no QUIC.
function launch() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
  });
}

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// Serves a folder on a free port; resolves to the server, whose close() cuts the network.
// types: content types by extension that replace the usual ones.
function serve(dir, types = {}) {
  const server = http.createServer((request, response) => {
    let file = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (file.endsWith('/')) file += 'index.html';
    fs.readFile(path.join(dir, path.normalize(file)), (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(file)] ?? TYPES[path.extname(file)] ?? 'application/octet-stream' });
      response.end(error ? '' : data);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const address = (server) => `http://127.0.0.1:${server.address().port}/`;

module.exports = { modules, launch, serve, address };
