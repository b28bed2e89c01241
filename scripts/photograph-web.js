#!/usr/bin/env node
// Photographs the built page for docs/: web.png, 0x41FF8000 typed into Hex and committed, at width
// Long, in headless Chromium.
//
//   photograph-web.js [PAGE_DIR [OUT.png]]
'use strict';

const path = require('path');
const { launch, serve, address } = require('../tests/web/browser');

const root = path.join(__dirname, '..');
const pageDir = path.resolve(process.argv[2] ?? path.join(root, 'build', 'web'));
const out = path.resolve(process.argv[3] ?? path.join(root, 'docs', 'web.png'));

(async () => {
  const server = await serve(pageDir);
  const browser = await launch();
  try {
    const page = await browser.newPage({ viewport: { width: 820, height: 280 } });
    await page.goto(address(server));
    await page.waitForSelector('html[data-ready]');
    await page.locator('#hex').click();
    await page.keyboard.type('41FF8000');
    await page.keyboard.press('Tab');
    await page.mouse.move(0, 0);
    await page.screenshot({ path: out });
    console.log(out);
  } finally {
    await browser.close();
    server.close();
  }
})();
