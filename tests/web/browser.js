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
const options = { executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync'] };
const launch = (more = {}) => chromium.launch({ ...options, ...more });
// A browser on a profile kept in a folder, its HTTP cache included.
const launchProfile = (dir) => chromium.launchPersistentContext(dir, options);

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.png': 'image/png', '.webmanifest': 'application/manifest+json' };

// The headers the page ships for static hosts (its _headers file), as a server sends them.
function shipped(dir) {
  const text = fs.existsSync(path.join(dir, '_headers')) ? fs.readFileSync(path.join(dir, '_headers'), 'utf8') : '';
  return Object.fromEntries([...text.matchAll(/^ +([\w-]+): (.*)$/gm)].map((m) => m.slice(1)));
}

// Serves a folder (server.dir, which may change) on a free port with the headers it ships;
// resolves to the server, whose close() cuts the network. types: content types by extension
// that replace the usual ones; bare: without the shipped headers and with Last-Modified a day
// old, as a plain server of files built the day before would.
function serve(dir, { types = {}, bare = false } = {}) {
  const server = http.createServer((request, response) => {
    let file = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    if (file.endsWith('/')) file += 'index.html';
    fs.readFile(path.join(server.dir, path.normalize(file)), (error, data) => {
      const headers = bare ? { 'Last-Modified': new Date(Date.now() - 864e5).toUTCString() } : shipped(server.dir);
      headers['Content-Type'] = types[path.extname(file)] ?? TYPES[path.extname(file)] ?? 'application/octet-stream';
      response.writeHead(error ? 404 : 200, headers);
      response.end(error ? '' : data);
    });
  });
  server.dir = dir;
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const address = (server) => `http://127.0.0.1:${server.address().port}/`;

module.exports = { modules, launch, launchProfile, serve, address };
