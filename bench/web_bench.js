#!/usr/bin/env node
// The page's budgets in headless Chromium, each against a baseline of its own, in one run:
//  - what the page loads: every file in the folder (the service worker keeps them all), each
//    size, the total at most 150 KB and the module at most 40 KB;
//  - load to interactive, medians of 20 loads: the page with its module ready, against the same
//    HTML and CSS with no script and no module, loaded; at most 1.5x;
//  - one commit (a typed value, then the focus moving on) until every field shows the value,
//    against the same focus move with a handler that sets the five values and nothing else;
//    reported.
//
//   web_bench.js PAGE_DIR
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { launch, serve, address } = require('../tests/web/browser');

const pageDir = path.resolve(process.argv[2]);

const LOADS = 20;
const COMMIT_ROUNDS = 20;
const COMMITS_PER_ROUND = 200;
const TOTAL_BUDGET = 150 * 1000;
const MODULE_BUDGET = 40 * 1000;
const LOAD_RATIO_BUDGET = 1.5;

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const mid = sorted.length >> 1;
  return sorted.length % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
};

function sizes() {
  const files = fs.readdirSync(pageDir).sort();
  let total = 0;
  console.log('what the page loads (uncompressed):');
  for (const name of files) {
    const size = fs.statSync(path.join(pageDir, name)).size;
    total += size;
    console.log(`  ${name.padEnd(22)} ${String(size).padStart(7)} B`);
  }
  const wasm = fs.statSync(path.join(pageDir, 'quendrix.wasm')).size;
  console.log(`  ${'total'.padEnd(22)} ${String(total).padStart(7)} B (budget ${TOTAL_BUDGET}); module ${wasm} B (budget ${MODULE_BUDGET})`);
  return total <= TOTAL_BUDGET && wasm <= MODULE_BUDGET;
}

// When a fresh profile's load of the page is done and takes input, in ms from the navigation.
async function loadTime(browser, url, ready) {
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const page = await context.newPage();
  await page.goto(url, { waitUntil: 'load' });
  if (ready) await page.waitForSelector('html[data-ready]');
  const ms = await page.evaluate((withModule) => {
    const loaded = performance.getEntriesByType('navigation')[0].loadEventEnd;
    const mark = performance.getEntriesByName('quendrix-ready')[0];
    return withModule ? Math.max(loaded, mark.startTime) : loaded;
  }, ready);
  await context.close();
  return ms;
}

// Microseconds from leaving Dec after typing into it (the focus moving to Hex, as Tab moves it) to
// every field written: with the page's commit, or on the plain page with a handler that only sets
// the five values. Timed inside the page in rounds, as one event is below the timer's grain.
async function commitTime(browser, url, baseline) {
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const page = await context.newPage();
  await page.goto(url);
  if (!baseline) await page.waitForSelector('html[data-ready]');
  const rounds = await page.evaluate(({ rounds, perRound, baseline }) => {
    const inputs = ['dec', 'hex', 'text', 'ip', 'bin'].map((id) => document.getElementById(id));
    const [dec, hex] = inputs;
    if (baseline) {
      for (const input of inputs) input.readOnly = false;
      dec.addEventListener('blur', () => {
        const v = dec.value;
        inputs[0].value = v;
        inputs[1].value = v;
        inputs[2].value = v;
        inputs[3].value = v;
        inputs[4].value = v;
      });
    }
    const times = [];
    for (let r = 0; r < rounds; r++) {
      let spent = 0;
      for (let i = 0; i < perRound; i++) {
        dec.focus();
        dec.value = String(100000 + r * perRound + i);
        dec.dispatchEvent(new InputEvent('input', { bubbles: true }));
        const start = performance.now();
        hex.focus();
        spent += performance.now() - start;
      }
      if (inputs[4].value === '') throw new Error('the commit wrote nothing');
      times.push(spent * 1000 / perRound);
    }
    return times;
  }, { rounds: COMMIT_ROUNDS, perRound: COMMITS_PER_ROUND, baseline });
  await context.close();
  return rounds;
}

async function main() {
  const sizesOk = sizes();

  // The baseline: the same page without its script and module.
  const baselineDir = fs.mkdtempSync(path.join(os.tmpdir(), 'quendrix-baseline-'));
  for (const name of fs.readdirSync(pageDir)) fs.copyFileSync(path.join(pageDir, name), path.join(baselineDir, name));
  const html = fs.readFileSync(path.join(pageDir, 'index.html'), 'utf8');
  fs.writeFileSync(path.join(baselineDir, 'baseline.html'),
    html.replace(/<script [^>]*><\/script>\n?/g, '').replace(/<link rel="preload"[^>]*>\n?/g, ''));

  const server = await serve(baselineDir);
  const base = address(server);
  const browser = await launch();
  try {
    await loadTime(browser, `${base}index.html`, true);  // warm the server and the browser
    const page = [];
    const plain = [];
    for (let i = 0; i < LOADS; i++) {  // interleaved, so both see the same machine
      page.push(await loadTime(browser, `${base}index.html`, true));
      plain.push(await loadTime(browser, `${base}baseline.html`, false));
    }
    const loadRatio = median(page) / median(plain);
    console.log(`load to interactive, medians of ${LOADS}: page ${median(page).toFixed(1)} ms, `
      + `HTML and CSS alone ${median(plain).toFixed(1)} ms, ratio ${loadRatio.toFixed(2)}x (budget ${LOAD_RATIO_BUDGET}x)`);

    const commit = await commitTime(browser, `${base}index.html`, false);
    const baseline = await commitTime(browser, `${base}baseline.html`, true);
    console.log(`typed value and Tab to all fields updated, medians of ${COMMIT_ROUNDS} rounds of ${COMMITS_PER_ROUND}: `
      + `commit ${median(commit).toFixed(1)} us, five values set ${median(baseline).toFixed(1)} us, `
      + `ratio ${(median(commit) / median(baseline)).toFixed(2)}x`);

    const ok = sizesOk && loadRatio <= LOAD_RATIO_BUDGET;
    console.log(ok ? 'web bench: within budget' : 'web bench: OVER BUDGET');
    process.exitCode = ok ? 0 : 1;
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(baselineDir, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
