#!/usr/bin/env node
// The page in Debian's Chromium, driven as a user drives it: keys (access keys included), typed
// text, clicks and the wheel, read back from what the page shows. Every expected rendering comes
// from the engine through qx. One table of scenarios, each in a fresh browser profile.
//
//   web_test.js PAGE_DIR QX [ROW-NAME-PART]
//
// Playwright and axe come from build/node, installed from tests/web/package-lock.json.
'use strict';

const { execFileSync, spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { modules, launch, serve, address } = require('./web/browser');

const [pageDir, qx] = process.argv.slice(2, 4).map((arg) => path.resolve(arg));
const only = process.argv[4];
if (!fs.existsSync(path.join(pageDir, 'index.html'))) {
  console.error(`web_test: ${pageDir} holds no page; make web builds it`);
  process.exit(1);
}
const axeSource = fs.readFileSync(path.join(modules, 'axe-core', 'axe.min.js'), 'utf8');
const rc = fs.readFileSync(path.join(__dirname, '..', 'res', 'Quendrix.rc'), 'latin1');

const FIELDS = ['dec', 'hex', 'text', 'ip', 'bin'];

// ---- what the engine says: qx's renderings of a value, as the page shows them
function engine(...args) {
  const json = JSON.parse(execFileSync(qx, ['--json', ...args], { encoding: 'utf8' }));
  return { dec: json.dec, hex: json.hex, text: json.text, ip: json.ip, bin: json.bin };
}
const colorOf = (...args) => JSON.parse(execFileSync(qx, ['--json', ...args], { encoding: 'utf8' })).color;
const EMPTY = { dec: '', hex: '', text: '', ip: '', bin: '' };

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quendrix-page-test-'));
// A copy of the page as the next deploy would make it: only its build differs.
function nextVersion() {
  const dir = fs.mkdtempSync(path.join(scratch, 'next-'));
  fs.cpSync(pageDir, dir, { recursive: true });
  for (const file of [path.join(dir, 'index.html'), path.join(dir, 'sw.js')]) {
    fs.writeFileSync(file, fs.readFileSync(file, 'utf8').replace(/\(build \w+\)/, '(build next)'));
  }
  return dir;
}

// ---- one user at one page
class User {
  constructor(context, page, url) {
    Object.assign(this, { context, page, url, failures: [] });
  }

  // row.profile: on a profile in a folder; row.before(context): before the first load.
  static async open(browser, url, row = {}) {
    const context = row.profile ? await launch({}, fs.mkdtempSync(path.join(scratch, 'profile-')))
      : await browser.newContext();
    // Counts the tones the page plays, so a refusal can be heard.
    await context.addInitScript(() => {
      window.tones = 0;
      const create = AudioContext.prototype.createOscillator;
      AudioContext.prototype.createOscillator = function () { window.tones++; return create.call(this); };
    });
    await row.before?.(context);
    const page = context.pages()[0] ?? await context.newPage();
    const user = new User(context, page, url);
    await user.load();
    return user;
  }

  // The page opened at its address, without a value of its own.
  async load(url = this.url) {
    await this.page.goto(url);
    await this.page.waitForSelector('html[data-ready], html[data-failed]');
    this.cdp = await this.context.newCDPSession(this.page);
  }

  async reload() {
    await this.page.reload();
    await this.page.waitForSelector('html[data-ready], html[data-failed]');
    this.cdp = await this.context.newCDPSession(this.page);
  }

  // Typed into a field and committed with Tab.
  async commit(key, text) {
    await this.accessKey(key);
    await this.type(text);
    await this.press('Tab');
  }

  // Alt and the underlined letter, through the browser's own key handling.
  async accessKey(letter) {
    const key = { modifiers: 1, key: letter, code: `Key${letter.toUpperCase()}`, text: letter, unmodifiedText: letter,
      windowsVirtualKeyCode: letter.toUpperCase().charCodeAt(0) };
    await this.cdp.send('Input.dispatchKeyEvent', { type: 'keyDown', ...key });
    await this.cdp.send('Input.dispatchKeyEvent', { type: 'keyUp', ...key });
  }

  type(text) { return this.page.keyboard.type(text); }
  press(key) { return this.page.keyboard.press(key); }
  click(selector) { return this.page.locator(selector).click(); }

  async wheel(deltaY) {
    await this.page.locator('.window').hover();
    await this.page.mouse.wheel(0, deltaY);
  }

  fields() {
    return this.page.evaluate((ids) => Object.fromEntries(ids.map((id) => [id, document.getElementById(id).value])), FIELDS);
  }
  focus() { return this.page.evaluate(() => document.activeElement.id); }
  state(script, arg) { return this.page.evaluate(script, arg); }

  check(ok, what) {
    if (!ok) this.failures.push(what);
  }
  same(actual, expected, what) {
    const a = JSON.stringify(actual);
    const e = JSON.stringify(expected);
    this.check(a === e, `${what}: ${a}, expected ${e}`);
  }
  async shows(expected, what, focus) {
    this.same(await this.fields(), expected, what);
    if (focus !== undefined) this.same(await this.focus(), focus, `${what}: the focus`);
  }
}

// The tooltip text the window's string table gives a control.
function tip(name) {
  const match = rc.match(new RegExp(`^\\s*${name}\\s+"([^"]*)"`, 'm'));
  if (!match) throw new Error(`no string ${name} in res/Quendrix.rc`);
  return match[1];
}

async function openSettings(u) {
  await u.click('#open-settings');
  await u.page.waitForSelector('#settings[open]');
}

// ---- the scenarios
// Each access key, the control it reaches and its check afterwards: the window's, then Settings'.
const ACCESS_KEYS = [['c', 'dec'], ['h', 'hex'], ['t', 'text'], ['i', 'ip'], ['b', 'bin'], ['w', 'word', true],
  ['a', 'char', true], ['l', 'long', true], ['s', 'signed', false], ['r', 'clear', true],
  ['i', 'increment'], ['t', 'tooltips', false], ['s', 'save-on-exit', true]];
const FIELD_ROWS = [
  // field, access key, typed and committed by Tab, typed and committed by Enter, qx's reading option
  ['dec', 'c', '65', '-2147483648', '-d'],
  ['hex', 'h', '0x41424344', 'ff80', '-x'],
  ['text', 't', 'AB', 'ABCDE', '-t'],
  ['ip', 'i', '192.168.0.1', '172.16.254.1', '-i'],
  ['bin', 'b', '0001 00000000', '1 1', '-b'],
].map(([field, key, tabbed, entered, option]) => ({
  name: `${field}: typed, Tab and Enter`,
  async run(u) {
    await u.accessKey(key);
    await u.type(tabbed);
    await u.press('Tab');
    const next = FIELDS[FIELDS.indexOf(field) + 1] ?? 'long';
    await u.shows(engine(option, tabbed), `"${tabbed}" and Tab`, next);
    await u.accessKey(key);
    await u.type(entered);
    await u.press('Enter');
    const shown = engine(option, entered);
    await u.shows(shown, `"${entered}" and Enter`, field);
    u.same(await u.state(() => document.activeElement.selectionStart), Math.min(entered.length, shown[field].length),
      'Enter: the caret where it was');
  },
}));

const ROWS = [
  ...FIELD_ROWS,
  {
    name: 'refusals keep the value, sound, flash and are announced',
    async run(u) {
      await u.type('1234');
      await u.press('Tab');
      for (const [field, key, text] of [['hex', 'h', 'XYZ'], ['dec', 'c', '42 '], ['ip', 'i', '256.0.0.0'],
        ['bin', 'b', '102']]) {
        const tones = await u.state(() => window.tones);
        await u.accessKey(key);
        await u.type(text);
        await u.press('Tab');
        await u.shows(engine('-d', '1234'), `"${text}" refused`);
        u.same(await u.state(() => window.tones), tones + 1, `"${text}": one tone`);
        u.same(await u.state((id) => document.getElementById(id).classList.contains('refused'), field), true,
          `"${text}": the field flashes`);
        await u.page.waitForFunction((t) => document.getElementById('announce').textContent.includes(t), text);
      }
      u.same(await u.state(() => document.getElementById('announce').getAttribute('aria-live')), 'assertive',
        'the refusal is announced at once');
    },
  },
  {
    name: 'widths and Signed narrow the renderings and keep the value',
    async run(u) {
      await u.accessKey('h');
      await u.type('1234ABCD');
      await u.press('Tab');
      const disabled = () => u.state(() => [document.getElementById('ip').disabled, document.getElementById('swatch').disabled]);
      await u.click('#word');
      await u.shows(engine('--word', '-x', '1234ABCD'), 'Word');
      u.same(await disabled(), [true, true], 'Word: IP field and swatch disabled');
      await u.click('#char');
      await u.shows(engine('--char', '-x', '1234ABCD'), 'Char');
      await u.click('#signed');
      await u.shows(engine('--char', '--unsigned', '-x', '1234ABCD'), 'Char, unsigned');
      await u.accessKey('l');
      await u.shows(engine('--unsigned', '-x', '1234ABCD'), 'Long again: all 32 bits kept');
      u.same(await disabled(), [false, false], 'Long: IP field and swatch enabled');
      // Dec typed and Char clicked: the click commits the field before the width narrows.
      await u.accessKey('c');
      await u.type('300');
      await u.click('#char');
      await u.shows(engine('--char', '--unsigned', '-d', '300'), '300 then Char', 'char');
    },
  },
  {
    name: 'Clear empties a field as it is entered',
    async run(u) {
      await u.press('Tab');
      await u.shows(EMPTY, 'Clear off: leaving an empty field changes nothing', 'hex');
      await u.click('#clear');
      await u.accessKey('c');
      await u.press('Tab');
      await u.shows({ ...engine('-d', '0'), hex: '' }, 'Clear on: the empty Dec commits 0, Hex is emptied', 'hex');
      await u.type('7f');
      await u.press('Enter');
      await u.shows({ ...engine('-x', '7f'), hex: '' }, 'Clear on: Enter leaves the field empty', 'hex');
    },
  },
  {
    name: 'the Up and Down buttons, and Up, Down, PageUp and PageDown in a field, step and wrap',
    async run(u) {
      await u.page.getByRole('button', { name: 'Step the value down' }).click();
      await u.shows(engine('-x', 'FFFFFFFF'), 'Down from 0', 'dec');
      await u.page.getByRole('button', { name: 'Step the value up' }).click();
      await u.shows(engine('-d', '0'), 'Up from -1', 'dec');
      await u.press('Control+A');
      await u.type('100');
      await u.page.getByRole('button', { name: 'Step the value up' }).click();
      await u.shows(engine('-d', '101'), 'typed 100, Up without leaving Dec', 'dec');
      await u.type('9');
      for (const [key, dec] of [['ArrowUp', '1020'], ['ArrowDown', '1019'], ['PageUp', '1029'], ['PageDown', '1019']]) {
        await u.press(key);
        await u.shows(engine('-d', dec), `${key} in Dec`, 'dec');
      }
      await u.page.getByRole('button', { name: 'Step the value down' }).focus();
      await u.press('Enter');
      await u.press('ArrowDown');
      await u.shows(engine('-d', '1017'), 'Enter and Down on the focused Down button', 'down');
    },
  },
  {
    name: 'the wheel steps and wraps over a window that fits the view; elsewhere it scrolls',
    async run(u) {
      await u.wheel(100);
      await u.shows(engine('-x', 'FFFFFFFF'), 'a notch down from 0');
      await u.wheel(-100);
      await u.shows(engine('-d', '0'), 'a notch up from -1');
      await u.accessKey('c');
      await u.type('7');
      await u.wheel(-100);
      await u.shows(engine('-d', '8'), 'typed 7 and a notch up without leaving Dec', 'dec');
      await u.page.setViewportSize({ width: 900, height: 150 });
      for (const x of [5, 450]) {  // the background; a window taller than the view
        await u.page.evaluate(() => scrollTo(0, 0));
        await u.page.mouse.move(x, 140);
        await u.page.mouse.wheel(0, 100);
        await u.page.waitForFunction(() => scrollY > 0, null, { timeout: 2000 }).catch(() => u.check(false, `x ${x}: no scroll`));
        await u.shows(engine('-d', '8'), `x ${x}: the value as it was`);
      }
    },
  },
  {
    name: 'a comma typed into IP becomes a dot',
    async run(u) {
      await u.accessKey('i');
      await u.type('192,168');
      u.same(await u.state(() => [document.getElementById('ip').value, document.getElementById('ip').selectionStart]),
        ['192.168', 7], 'as typed, the caret after it');
      await u.type(',0,1');
      await u.press('Tab');
      await u.shows(engine('-i', '192.168.0.1'), 'committed');
    },
  },
  {
    name: 'Text is Windows-1252 both ways',
    async run(u) {
      for (const text of ['é', '€', 'a€é']) {
        await u.accessKey('t');
        await u.type(text);
        await u.press('Tab');
        await u.shows(engine('-t', text), `"${text}" typed`);
      }
      await u.accessKey('h');
      await u.type('81');
      await u.press('Tab');
      await u.shows(engine('-x', '81'), 'the byte 0x81, which has no character');
      await u.accessKey('t');
      await u.press('End');
      await u.type('Ω');
      await u.press('Tab');
      await u.shows(engine('-x', '81'), '"Ω", which has no byte, refused');
    },
  },
  {
    name: 'the swatch shows the low 24 bits; a chosen colour becomes the value',
    async run(u) {
      await u.accessKey('h');
      await u.type('12345678');
      await u.press('Tab');
      u.same(await u.page.locator('#swatch').inputValue(), colorOf('-x', '12345678'), 'the swatch of 0x12345678');
      await u.page.getByLabel('Color:').fill('#a1b2c3');
      await u.shows(engine('-x', 'A1B2C3'), 'a colour chosen: the top byte becomes 0');
      await u.click('#word');
      u.same(await u.state(() => document.getElementById('swatch').disabled), true, 'Word: the swatch disabled');
    },
  },
  {
    name: 'settings kept for the next visit when saving is on',
    async run(u) {
      await openSettings(u);
      await u.page.getByLabel('Spin button increment').fill('5');
      await u.page.getByLabel('Save settings on exit').check();
      await u.page.getByRole('button', { name: 'OK' }).click();
      await u.click('#char');
      await u.click('#signed');
      await u.click('#clear');
      await u.load();
      u.same(await u.state(() => ['char', 'signed', 'clear'].map((id) => document.getElementById(id).checked)),
        [true, false, true], 'Char, unsigned and Clear as left');
      await u.page.getByRole('button', { name: 'Step the value up' }).click();
      await u.shows(engine('--char', '--unsigned', '-d', '5'), 'stepped by the kept increment');
      // Saving switched off: only the switch is written; the rest stays as stored.
      await openSettings(u);
      await u.page.getByLabel('Save settings on exit').uncheck();
      await u.page.getByRole('button', { name: 'OK' }).click();
      await u.click('#long');
      await u.load();
      u.same(await u.state(() => [document.getElementById('char').checked, localStorage.getItem('Quendrix/Save on exit')]),
        [true, '0'], 'saving off: the width stored earlier stays, the switch is 0');
    },
  },
  {
    name: 'settings not kept when saving is off; bad stored values ignored',
    async run(u) {
      await u.click('#word');
      await u.click('#signed');
      await u.load();
      u.same(await u.state(() => [document.getElementById('long').checked, document.getElementById('signed').checked]),
        [true, true], 'defaults after a reload');
      u.same(await u.state(() => localStorage.length), 0, 'nothing stored');
      await u.state(() => {
        localStorage.setItem('Quendrix/Size', 'two');
        localStorage.setItem('Quendrix/Signed', '4294967296');
        localStorage.setItem('Quendrix/Spin increment', '3');
      });
      await u.load();
      u.same(await u.state(() => [document.getElementById('long').checked, document.getElementById('signed').checked]),
        [true, true], 'a width that is no number and a flag beyond 32 bits are ignored');
      await u.page.getByRole('button', { name: 'Step the value up' }).click();
      await u.shows(engine('-d', '3'), 'the good stored increment is taken');
    },
  },
  {
    name: 'the Settings dialog refuses an increment as the window does',
    async run(u) {
      const refusal = () => u.page.locator('#settings-refusal').textContent();
      await openSettings(u);
      const increment = u.page.getByLabel('Spin button increment');
      for (const [text, message] of [['0', 'Please enter an integer between 1 and 134217728.'],
        ['', 'Please enter a positive integer.'], ['134217729', 'Please enter an integer between 1 and 134217728.']]) {
        await increment.fill(text);
        await u.press('Enter');
        u.same([await refusal(), await u.state(() => document.getElementById('settings').open)], [message, true],
          `"${text}" refused, the dialog open`);
        u.same(await u.focus(), 'increment', `"${text}": the focus back in the increment`);
      }
      await increment.fill('134217728');
      await u.press('Enter');
      u.same(await u.state(() => document.getElementById('settings').open), false, '134217728 taken');
      await u.page.getByRole('button', { name: 'Step the value up' }).click();
      await u.shows(engine('-d', '134217728'), 'a step of 134217728');
    },
  },
  {
    name: 'tooltips are the window\'s texts, and go with the setting',
    async run(u) {
      const titles = () => u.state(() => ['dec', 'ip', 'up'].map((id) => document.getElementById(id).title)
        .concat(document.querySelector('label.signed').title));
      u.same(await titles(), [tip('IDC_DEC'), tip('IDC_IP'), tip('IDC_SPIN'), tip('IDC_SIGNED')], 'tooltips on');
      await openSettings(u);
      await u.page.getByLabel('Enable ToolTips').uncheck();
      await u.page.getByRole('button', { name: 'OK' }).click();
      u.same(await titles(), ['', '', '', ''], 'tooltips off');
    },
  },
  {
    name: 'no accessibility violations',
    async run(u) {
      const violations = async () => {
        await u.page.evaluate(axeSource);  // beside the page's own policy, which allows no inline script
        const result = await u.page.evaluate(() => window.axe.run(document, { rules: { 'target-size': { enabled: true } } }));
        return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
      };
      await u.accessKey('h');
      await u.type('41424344');
      await u.press('Tab');
      u.same(await violations(), [], 'the window');
      await u.click('#char');
      u.same(await violations(), [], 'Char: the IP field and swatch disabled');
      await openSettings(u);
      u.same(await violations(), [], 'the Settings dialog');
    },
  },
  {
    name: 'a server that sends the module as plain bytes still serves a working page',
    types: { '.wasm': 'application/octet-stream' },
    async run(u) {
      await u.type('-1');
      await u.press('Tab');
      await u.shows(engine('-d', '-1'), 'a commit');
    },
  },
  {
    name: 'the page works offline after its first load, each of two copies on one origin',
    async run(u, server) {
      server.dir = fs.mkdtempSync(path.join(scratch, 'origin-'));
      fs.symlinkSync(pageDir, path.join(server.dir, 'a'));
      fs.symlinkSync(nextVersion(), path.join(server.dir, 'b'));
      for (const copy of ['a/', 'b/', 'offline', 'a/', 'b/']) {
        if (copy === 'offline') await new Promise((resolve) => server.close(resolve));
        else await u.load(u.url + copy);
        await u.page.waitForFunction(() => navigator.serviceWorker.controller);
      }
      await u.commit('c', '-1');
      await u.shows(engine('-d', '-1'), 'a commit in b/ with the server gone, after a/ loaded');
    },
  },
  {
    name: 'a new version arrives whole: its notice at once, itself on the next load',
    bare: true, profile: true,
    async run(u, server) {
      const version = () => u.page.locator('#version').textContent();
      const first = await version();
      await u.page.waitForFunction(() => navigator.serviceWorker.controller);
      server.dir = nextVersion();
      await u.reload();
      await u.page.waitForSelector('#update:not([hidden])');
      u.same(await version(), first, 'the load that finds it');
      await u.reload();
      u.same(await version(), first.replace(/\w+\)/, 'next)'), 'the next load');
      await u.commit('c', '-1');
      await u.shows(engine('-d', '-1'), 'a commit on the new version');
    },
  },
  {
    name: 'a phone: no sideways scroll from 320 px, every field whole at 360, Settings usable at 320 x 180',
    async run(u) {
      await u.commit('h', '80FF8000');
      for (const [width, height, settings] of [[360, 640], [320, 180], [320, 180, true]]) {
        await u.page.setViewportSize({ width, height });
        if (settings) await openSettings(u);
        u.same(await u.state(() => [...document.querySelectorAll('html, dialog, .field input')]
          .filter((e) => e.scrollWidth > e.clientWidth).map((e) => e.id || e.tagName)), width === 360 ? [] : ['bin'], `${width} px cut`);
      }
      await u.page.getByRole('button', { name: 'OK' }).click();
      u.same(await u.state(() => document.getElementById('settings').open), false, 'Settings: OK reached');
    },
  },
  {
    name: 'sharing: the value and width travel in the address, never into storage; Copy copies a field',
    async run(u) {
      await u.context.grantPermissions(['clipboard-read', 'clipboard-write']);
      const linked = engine('--char', '-x', '41424344');
      for (const [hash, shown] of [['#v=0x41424344&w=1', linked], ['#v=0xZZ&w=3', linked], ['#w=4', engine('-x', '41424344')]]) {
        // Only the fragment changes: the page hears of it a moment after the navigation ends.
        await u.page.goto(u.url + hash);
        await u.page.waitForFunction((dec) => document.getElementById('dec').value === dec, shown.dec, { timeout: 2000 })
          .catch(() => {});
        await u.shows(shown, `opened at ${hash}`);
      }
      // The top bit set: the address carries all 32 bits, not a negative number.
      await u.commit('h', '800000FF');
      await u.click('#word');
      await u.page.waitForURL(/#v=0x800000FF&w=2$/, { timeout: 2000 });
      await u.reload();
      const shared = await User.open(u.context.browser(), u.page.url());
      for (const [user, what] of [[u, 'a reload'], [shared, 'the link in another profile']]) {
        await user.shows(engine('--word', '-x', '800000FF'), what);
      }
      await u.page.getByRole('button', { name: 'Copy Bin' }).click();
      u.same([await u.state(() => navigator.clipboard.readText()), await u.focus()], [engine('--word', '-x', 'FF').bin, 'dec'],
        'Copy Bin: the clipboard, the focus where it was');
      await u.load();
      u.same(await u.state(() => localStorage.length), 0, 'nothing stored');
    },
  },
  {
    name: 'the access keys as real X keys, in a headed Chromium on a screen of its own',
    async run(u) {
      const xvfb = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
      const display = await new Promise((resolve, reject) => xvfb.stdio[3].once('data', resolve).on('close', reject));
      const env = { ...process.env, DISPLAY: `:${String(display).trim()}` };
      const browser = await launch({ headless: false, env });
      try {
        const keys = await User.open(browser, u.url);
        execFileSync('xdotool', ['mousemove', '400', '300'], { env });  // no window manager: the keys go to the pointer's window
        for (const [letter, id, checked = false] of ACCESS_KEYS) {
          if (id === 'increment') await openSettings(keys);
          execFileSync('xdotool', ['key', `alt+${letter}`], { env });
          await keys.page.waitForFunction((i) => document.activeElement.id === i, id, { timeout: 2000 }).catch(() => {});
          u.same([await keys.focus(), await keys.state((i) => document.getElementById(i).checked, id)], [id, checked], `Alt+${letter}`);
        }
      } finally {
        await browser.close();
        xvfb.kill();
      }
    },
  },
  ...[
    ['a module that cannot be fetched', (c) => c.route('**/quendrix.wasm', (r) => r.fulfill({ status: 404 })), 'answered 404'],
    ['a module the browser refuses', (c) => c.route('**/quendrix.wasm', (r) => r.fulfill({ body: 'x' })), 'browser refused'],
    ['a browser without WebAssembly', (c) => c.addInitScript(() => { delete globalThis.WebAssembly; }), 'no WebAssembly'],
  ].map(([what, before, message]) => ({ name: `${what} is named as such`, before, async run(u) {
    u.check((await u.page.locator('#failure').textContent()).includes(message), `no "${message}"`);
  } })),
];

async function main() {
  const browser = await launch();
  let passed = 0;
  let failed = 0;
  for (const row of ROWS.filter((r) => !only || r.name.includes(only))) {
    // A server a row: the offline row stops its own.
    const server = await serve(pageDir, row);
    const u = await User.open(browser, address(server), row);
    const errors = [];
    u.page.on('pageerror', (error) => errors.push(error.message));
    try {
      await row.run(u, server);
    } catch (error) {
      u.failures.push(error.message.split('\n')[0]);
    }
    for (const error of errors) u.failures.push(`page error: ${error}`);
    await u.context.close();
    server.close();
    if (u.failures.length) {
      failed++;
      console.log(`not ok - ${row.name}`);
      for (const failure of u.failures) console.log(`    ${failure}`);
    } else {
      passed++;
      console.log(`ok - ${row.name}`);
    }
  }
  await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed || !passed ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
