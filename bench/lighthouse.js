#!/usr/bin/env node
// Lighthouse on the built page, served with the headers it ships, in Debian's Chromium: the four
// scores and every failed audit, as a phone (Lighthouse's throttled mobile) and as a desktop.
// Fails when accessibility or best practices is below 100 or mobile performance below 95.
//
//   lighthouse.js PAGE_DIR
'use strict';

const { execFileSync } = require('child_process');
const path = require('path');
const { serve, address } = require('../tests/web/browser');

const pageDir = path.resolve(process.argv[2]);
const modules = execFileSync('bash', [path.join(__dirname, '..', 'scripts', 'node-modules.sh'), 'bench/web'],
  { encoding: 'utf8', stdio: ['ignore', 'pipe', 'inherit'] }).trim();
const load = (file) => import(path.join(modules, file));

const CATEGORIES = ['performance', 'accessibility', 'best-practices', 'seo'];
const METRICS = ['first-contentful-paint', 'largest-contentful-paint', 'speed-index', 'total-blocking-time',
  'cumulative-layout-shift'];
const GOALS = { mobile: { performance: 95, accessibility: 100, 'best-practices': 100 },
  desktop: { accessibility: 100, 'best-practices': 100 } };

// An audit failed when it has a score below 1 that counts (not informative, manual or n/a).
const failed = (lhr) => Object.values(lhr.audits)
  .filter((a) => a.score !== null && a.score < 1 && ['binary', 'numeric', 'metricSavings'].includes(a.scoreDisplayMode))
  .map((a) => `${a.id} (${a.displayValue || a.score})`);

async function run(url, formFactor) {
  const { default: lighthouse } = await load('lighthouse/core/index.js');
  const { launch } = await load('chrome-launcher/dist/index.js');
  const config = formFactor === 'desktop' ? (await load('lighthouse/core/config/desktop-config.js')).default : undefined;
  const chrome = await launch({ chromePath: '/usr/bin/chromium',
    chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'] });
  try {
    const { lhr } = await lighthouse(url, { port: chrome.port, output: 'json', logLevel: 'error',
      onlyCategories: CATEGORIES }, config);
    return lhr;
  } finally {
    await chrome.kill();
  }
}

async function main() {
  const server = await serve(pageDir);
  let ok = true;
  try {
    for (const formFactor of ['mobile', 'desktop']) {
      const lhr = await run(address(server), formFactor);
      const scores = Object.fromEntries(CATEGORIES.map((c) => [c, Math.round(lhr.categories[c].score * 100)]));
      console.log(`lighthouse ${lhr.lighthouseVersion}, ${formFactor}: ${CATEGORIES.map((c) => `${c} ${scores[c]}`).join(', ')}`);
      console.log(`  ${METRICS.map((m) => `${m} ${lhr.audits[m].displayValue}`).join(', ')}`);
      console.log(`  failed audits: ${failed(lhr).join(', ') || 'none'}`);
      for (const [category, goal] of Object.entries(GOALS[formFactor])) {
        if (scores[category] < goal) ok = false;
      }
    }
  } finally {
    server.close();
  }
  console.log(ok ? 'lighthouse: goals met' : 'lighthouse: BELOW GOAL');
  process.exitCode = ok ? 0 : 1;
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
