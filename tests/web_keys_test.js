#!/usr/bin/env node
// The page's access keys as a user presses them: real X key events (xdotool) into a headed
// Chromium on a private Xvfb screen, where the browser takes its own Alt keys first. Playwright's
// own key presses fire no access keys, so the table of web_test.js cannot see this.
//
//   web_keys_test.js PAGE_DIR
'use strict';

const { execFileSync, spawn } = require('child_process');
const path = require('path');
const { launch, serve, address } = require('./web/browser');

// The letter, the control it reaches, and that control's check afterwards (a field's is false).
const WINDOW_KEYS = [['c', 'dec'], ['h', 'hex'], ['t', 'text'], ['i', 'ip'], ['b', 'bin'], ['w', 'word', true],
  ['a', 'char', true], ['l', 'long', true], ['s', 'signed', false], ['r', 'clear', true]];
const SETTINGS_KEYS = [['i', 'increment'], ['t', 'tooltips', false], ['s', 'save-on-exit', true]];

async function main() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const display = await new Promise((resolve, reject) => {
    xvfb.stdio[3].once('data', resolve);
    xvfb.once('exit', () => reject(new Error('Xvfb did not start')));
  });
  const env = { ...process.env, DISPLAY: `:${String(display).trim()}` };
  const server = await serve(path.resolve(process.argv[2]));
  const browser = await launch({ headless: false, env, args: ['--no-sandbox', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync', '--window-position=0,0'] });
  const failures = [];
  try {
    const page = await browser.newPage();
    await page.goto(address(server));
    await page.waitForSelector('html[data-ready]');
    // No window manager: the keyboard goes to the window under the pointer.
    execFileSync('xdotool', ['mousemove', '400', '300'], { env });
    const press = async (keys) => {
      for (const [letter, id, checked] of keys) {
        execFileSync('xdotool', ['key', `alt+${letter}`], { env });
        const reached = await page.waitForFunction((i) => document.activeElement.id === i, id, { timeout: 2000 })
          .then(() => page.evaluate((i) => document.getElementById(i).checked, id), () => 'not reached');
        if (reached !== (checked ?? false)) failures.push(`Alt+${letter}: ${id} ${reached}, expected ${checked ?? 'focused'}`);
      }
    };
    await press(WINDOW_KEYS);
    await page.locator('#open-settings').click();
    await press(SETTINGS_KEYS);
  } finally {
    await browser.close();
    server.close();
    xvfb.kill();
  }
  for (const failure of failures) console.log(`not ok - ${failure}`);
  console.log(`${WINDOW_KEYS.length + SETTINGS_KEYS.length - failures.length} passed, ${failures.length} failed`);
  process.exit(failures.length ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
