// The page's script: hands every user action to the engine's module, which runs the window's
// rules, and shows what the module wrote. Text crosses as UTF-8 through the module's buffer.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const fieldNames = ['Dec', 'Hex', 'Text', 'IP', 'Bin'];  // the module's order
  const IP = 3;
  const COLOR_CHANGED = 1 << 5;
  const ENABLED_CHANGED = 1 << 6;
  const REFUSED = 1 << 7;
  const MODE_CHANGED = 1 << 8;
  const STORE = 'Quendrix/';
  // Up and Down step as the up-down pair does; PageUp and PageDown ten times as far.
  const STEP_KEYS = { ArrowUp: 1, ArrowDown: -1, PageUp: 10, PageDown: -10 };
  // The page's controls, once it has been read.
  let fields, swatch, eyedropper, widths, settings;
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();
  let q = null;  // the module's exports
  const option = {};  // option indexes by name

  const buffer = () => new Uint8Array(q.memory.buffer, q.qx_buffer(), q.qx_buffer_size());
  const put = (text) => encoder.encodeInto(text, buffer()).written;
  const take = (length) => decoder.decode(buffer().subarray(0, length));
  const optionName = (i) => {
    const bytes = new Uint8Array(q.memory.buffer, q.qx_option_name(i));
    return decoder.decode(bytes.subarray(0, bytes.indexOf(0)));
  };

  // ---- the refusal: a short tone (once the page may sound), a flash and a word to screen readers
  let audio = null;
  const allowSound = () => {
    audio ??= new AudioContext();
    if (audio.state === 'suspended') audio.resume();
  };
  addEventListener('pointerdown', allowSound, { capture: true });
  addEventListener('keydown', allowSound, { capture: true });

  function tone() {
    if (!audio) return;
    const t = audio.currentTime;
    const osc = audio.createOscillator();
    const gain = audio.createGain();
    osc.frequency.value = 660;
    gain.gain.setValueAtTime(0.0001, t);
    gain.gain.exponentialRampToValueAtTime(0.15, t + 0.01);
    gain.gain.exponentialRampToValueAtTime(0.0001, t + 0.14);
    osc.connect(gain).connect(audio.destination);
    osc.start(t);
    osc.stop(t + 0.15);
  }

  function announce(message) {
    const status = $('announce');
    status.textContent = '';
    requestAnimationFrame(() => { status.textContent = message; });
  }

  function refuse(field, text) {
    tone();
    const input = fields[field];
    input.classList.remove('refused');
    void input.offsetWidth;  // restarts the flash; the mark stays until the field is edited again
    input.classList.add('refused');
    announce(`${fieldNames[field]}: "${text}" refused`);
  }

  // ---- what the module changed
  function show() {
    const changes = q.qx_changes();
    if (changes & REFUSED) {
      const field = q.qx_active_field();
      if (field >= 0) refuse(field, fields[field].value);
      else tone();
    }
    for (let i = 0; i < fields.length; i++) {
      if (changes & (1 << i)) fields[i].value = take(q.qx_field(i));
    }
    if (changes & COLOR_CHANGED) swatch.value = '#' + q.qx_color().toString(16).padStart(6, '0');
    if (changes & ENABLED_CHANGED) {
      const enabled = q.qx_ip_and_color_enabled() !== 0;
      fields[IP].disabled = swatch.disabled = eyedropper.disabled = !enabled;
    }
    if (changes & MODE_CHANGED) showMode();
  }

  const act = (action) => (...args) => {
    if (!q) return;
    action(...args);
    show();
    writeAddressSoon();
  };
  const step = act((delta) => q.qx_step(delta));

  // A step key without modifiers steps; typing pending in the field is committed first.
  function stepKey(event) {
    const delta = STEP_KEYS[event.key];
    if (!delta || event.isComposing || event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
    event.preventDefault();
    step(delta);
  }

  function attachFields() {
    fields.forEach((input, i) => {
      input.addEventListener('focus', act(() => {
        input.classList.remove('refused');
        q.qx_focus(i);
      }));
      input.addEventListener('blur', act(() => q.qx_leave(i)));
      input.addEventListener('input', () => {
        input.classList.remove('refused');
        if (!q) return;
        const { selectionStart, selectionEnd } = input;
        if (q.qx_edit(i, put(input.value))) {
          // The IP field's commas became dots; the caret stays where it was.
          input.value = take(q.qx_field(i));
          input.setSelectionRange(selectionStart, selectionEnd);
        }
      });
      input.addEventListener('keydown', stepKey);
      input.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter' || event.isComposing) return;
        event.preventDefault();
        // Enter commits the field in place and leaves the caret where it was.
        const { selectionStart, selectionEnd } = input;
        act(() => q.qx_enter_key(i))();
        input.setSelectionRange(selectionStart, selectionEnd);
      });
      input.readOnly = false;
    });
  }

  function attachMode() {
    for (const radio of Object.values(widths)) {
      // A click, even on the width already chosen, and an arrow key both arrive as clicks.
      radio.addEventListener('click', act(() => {
        q.qx_width(Number(radio.value));
        widthFromAddress = false;
      }));
    }
    $('signed').addEventListener('click', act(() => {
      q.qx_signed($('signed').checked ? 1 : 0);
      showSigned();
    }));
    $('clear').addEventListener('click', act(() => q.qx_clear($('clear').checked ? 1 : 0)));
  }

  // A click on the up-down pair leaves the focus where it was, so text typed into a field is
  // committed by the step itself; held down, it keeps stepping. From the keyboard each button is
  // a stop of its own.
  function attachStepping() {
    let timer = 0;
    const stop = () => { clearTimeout(timer); timer = 0; };
    for (const [button, delta] of [[$('up'), 1], [$('down'), -1]]) {
      button.addEventListener('mousedown', (event) => event.preventDefault());
      button.addEventListener('keydown', stepKey);
      button.addEventListener('pointerdown', (event) => {
        if (event.button !== 0) return;
        event.preventDefault();
        step(delta);
        const repeat = (wait) => { timer = setTimeout(() => { step(delta); repeat(100); }, wait); };
        stop();
        repeat(500);
      });
      for (const type of ['pointerup', 'pointerleave', 'pointercancel']) button.addEventListener(type, stop);
      // Activated from the keyboard or by a screen reader: one step.
      button.addEventListener('click', (event) => { if (event.detail === 0) step(delta); });
    }

    // Over the window only, and only while it fits the view: a window taller than the view (a
    // small screen, a large zoom) leaves the wheel to scroll it. One notch is 120, as the
    // window's wheel messages count it.
    const frame = document.querySelector('.window');
    frame.addEventListener('wheel', (event) => {
      // Ctrl and the wheel zoom the page.
      if (!q || settings.open || event.ctrlKey || frame.offsetHeight > innerHeight) return;
      event.preventDefault();
      // The browser's own count where it keeps one; otherwise from the distance.
      let delta = event.wheelDeltaY;
      if (delta === undefined) {
        const unit = [1.2, 40, 120][event.deltaMode] ?? 1;
        delta = Math.round(-event.deltaY * unit);
      }
      act(() => q.qx_wheel(delta, (event.buttons & 4) ? 1 : 0))();
    }, { passive: false });
  }

  // Clicking the swatch opens the colour chooser without taking the focus from the field, as the
  // window's swatch does; the chosen colour becomes the value.
  function attachColor() {
    const pick = act((hex) => q.qx_pick(parseInt(hex.slice(1), 16)));
    swatch.addEventListener('mousedown', (event) => event.preventDefault());
    swatch.addEventListener('change', () => pick(swatch.value));
    if (!('EyeDropper' in window)) return;
    eyedropper.hidden = false;
    eyedropper.addEventListener('mousedown', (event) => event.preventDefault());
    eyedropper.addEventListener('click', async () => {
      try {
        const { sRGBHex } = await new EyeDropper().open();
        const rgb = sRGBHex.startsWith('#') ? sRGBHex
          : '#' + (sRGBHex.match(/\d+/g) ?? []).slice(0, 3).map((c) => Number(c).toString(16).padStart(2, '0')).join('');
        if (/^#[0-9a-f]{6}$/i.test(rgb)) pick(rgb);
      } catch {
        // The user pressed Escape: nothing was picked.
      }
    });
  }

  // Copies what the field shows; the focus stays where it was.
  function attachCopy() {
    fields.forEach((input, i) => {
      const button = input.nextElementSibling;
      button.addEventListener('mousedown', (event) => event.preventDefault());
      button.addEventListener('click', async () => {
        try {
          await navigator.clipboard.writeText(input.value);
          announce(`${fieldNames[i]} copied`);
        } catch {
          tone();
          announce(`${fieldNames[i]} could not be copied`);
        }
      });
    });
  }

  // ---- the address: the value and width in its fragment (#v=0x41424344&w=4), which the browser
  // sends nowhere, so that a reload, a bookmark or a shared link shows them again. A part that is
  // not a 32-bit hex value or a width of 1, 2 or 4 is ignored.
  function readAddress(hash = location.hash) {
    const params = new URLSearchParams(hash.slice(1));
    const width = Number(params.get('w'));
    if ([1, 2, 4].includes(width)) {
      q.qx_width(width);
      widthFromAddress = true;
    }
    const value = params.get('v') ?? '';
    if (/^0x[0-9a-f]{1,8}$/i.test(value)) q.qx_set_value(parseInt(value, 16));
  }

  // The module's unsigned value arrives as a signed number: >>> 0 takes its 32 bits back.
  const address = () => `#v=0x${(q.qx_value() >>> 0).toString(16).toUpperCase().padStart(8, '0')}&w=${q.qx_option(option.Size)}`;
  // A width that came with a link is the link's: "Save settings on exit" keeps the user's own.
  let widthFromAddress = false;
  let storedSize = 0;
  let startAddress = '';  // a page opened without one gets it once the value or width changes

  let addressTimer = 0;
  function writeAddress() {
    clearTimeout(addressTimer);
    addressTimer = 0;
    const hash = address();
    if (hash !== location.hash && (location.hash || hash !== startAddress)) history.replaceState(history.state, '', hash);
  }
  // A fifth of a second after a change, so at most five writes a second: the browser limits how
  // often a page may rewrite its address, and the fields are shown first.
  function writeAddressSoon() {
    addressTimer ||= setTimeout(writeAddress, 200);
  }

  // ---- options: kept in this browser only while "Save settings on exit" is on, or was on at
  // the start (then only the switch is written).
  function loadOptions() {
    for (let i = 0; i < q.qx_option_count(); i++) {
      option[optionName(i)] = i;
      let stored = null;
      try { stored = localStorage.getItem(STORE + optionName(i)); } catch { /* no storage */ }
      if (stored !== null) q.qx_load_option(i, put(stored));
    }
  }

  function saveOptions() {
    const which = q.qx_options_to_save();
    for (let i = 0; i < q.qx_option_count(); i++) {
      if (!(which & (1 << i))) continue;
      const value = i === option.Size && widthFromAddress ? storedSize : q.qx_option(i);
      try { localStorage.setItem(STORE + optionName(i), String(value)); } catch { /* no storage */ }
    }
  }

  // The Mode group as the module's start set it from the options.
  function showMode() {
    const size = q.qx_option(option.Size);
    for (const [width, radio] of Object.entries(widths)) radio.checked = Number(width) === size;
    $('signed').checked = q.qx_option(option.Signed) !== 0;
    $('clear').checked = q.qx_option(option.Clear) !== 0;
    showSigned();
  }

  // A phone's number pad for Dec while it cannot be negative; letters for the minus otherwise.
  function showSigned() {
    fields[0].inputMode = q.qx_option(option.Signed) ? 'text' : 'numeric';
  }

  function showTooltips() {
    const on = q.qx_option(option['Tool Tips']) !== 0;
    for (const element of document.querySelectorAll('[data-tip]')) {
      if (on) element.title = element.dataset.tip;
      else element.removeAttribute('title');
    }
  }

  // The dialog's access keys are the window's letters again; only the shown window's count.
  function swapAccessKeys() {
    for (const element of document.querySelectorAll('[accesskey], [data-accesskey]')) {
      const key = element.getAttribute('accesskey');
      if (element.dataset.accesskey) element.setAttribute('accesskey', element.dataset.accesskey);
      else element.removeAttribute('accesskey');
      if (key) element.dataset.accesskey = key;
      else delete element.dataset.accesskey;
    }
  }

  function attachSettings() {
    const form = $('settings-form');
    const increment = $('increment');
    const refusal = $('settings-refusal');
    $('open-settings').addEventListener('click', () => {
      increment.value = String(q.qx_option(option['Spin increment']) >>> 0);
      $('tooltips').checked = q.qx_settings_shown_check(option['Tool Tips']) !== 0;
      $('save-on-exit').checked = q.qx_settings_shown_check(option['Save on exit']) !== 0;
      refusal.textContent = '';
      swapAccessKeys();
      settings.showModal();
      increment.select();
    });
    settings.addEventListener('close', swapAccessKeys);
    // Digits only when typed, as the window's increment field takes them.
    increment.addEventListener('beforeinput', (event) => {
      if (event.inputType === 'insertText' && /\D/.test(event.data ?? '')) event.preventDefault();
    });
    form.addEventListener('submit', (event) => {
      if (event.submitter?.value === 'cancel') return;
      const refused = q.qx_settings_ok(put(increment.value), $('tooltips').checked ? 1 : 0,
        $('save-on-exit').checked ? 1 : 0);
      if (refused) {
        event.preventDefault();
        refusal.textContent = take(refused);
        tone();
        increment.focus();
        increment.select();
        return;
      }
      showTooltips();
    });
  }

  // ---- start: the module compiles while the page is still being read. A server that does not
  // send .wasm as application/wasm gets it read whole instead. Each way to fail says what happened.
  const url = 'quendrix.wasm';
  const failure = (message) => Object.assign(new Error(message), { shown: true });
  async function loadModule() {
    if (typeof WebAssembly !== 'object') throw failure('This browser cannot run Quendrix: it has no WebAssembly.');
    const unreachable = (why) => failure(`Quendrix's engine (${url}) could not be fetched: ${why}. Reload to try again.`);
    const response = await fetch(url).catch(() => { throw unreachable('the network failed'); });
    if (!response.ok) throw unreachable(`the server answered ${response.status}`);
    try {
      return response.headers.get('Content-Type') === 'application/wasm' && WebAssembly.instantiateStreaming
        ? await WebAssembly.instantiateStreaming(response, {})
        : await WebAssembly.instantiate(await response.arrayBuffer(), {});
    } catch (error) {
      throw failure(`This browser refused Quendrix's engine (${url}): ${error.message}`);
    }
  }
  const module = loadModule();
  const parsed = document.readyState === 'loading'
    ? new Promise((resolve) => document.addEventListener('DOMContentLoaded', resolve, { once: true }))
    : Promise.resolve();

  async function start() {
    const [{ instance }] = await Promise.all([module, parsed]);
    fields = fieldNames.map((name) => $(name.toLowerCase()));
    [swatch, eyedropper, settings] = [$('swatch'), $('eyedropper'), $('settings')];
    widths = { 4: $('long'), 2: $('word'), 1: $('char') };
    q = instance.exports;
    q._initialize();
    loadOptions();
    q.qx_start();
    storedSize = q.qx_option(option.Size);
    readAddress();
    startAddress = address();
    show();
    showTooltips();
    attachFields();
    attachMode();
    attachStepping();
    attachColor();
    attachCopy();
    attachSettings();
    // The address the user went to, even if a write of ours replaced it since: the event has it.
    addEventListener('hashchange', act((event) => {
      clearTimeout(addressTimer);
      addressTimer = 0;
      readAddress(new URL(event.newURL).hash);
      showMode();
    }));
    addEventListener('pagehide', () => {
      if (addressTimer) writeAddress();
      saveOptions();
    });
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') saveOptions();
    });
    const focused = fields.indexOf(document.activeElement);
    if (focused >= 0) act(() => q.qx_focus(focused))();
    document.documentElement.dataset.ready = '';
    performance.mark('quendrix-ready');
  }

  function fail(error) {
    q = null;
    const shown = $('failure');
    shown.textContent = error.shown ? error.message : `Quendrix could not start: ${error.message}`;
    shown.hidden = false;
    document.documentElement.dataset.failed = '';
  }

  // ---- updates: a new version's worker waits while this page runs, and the notice offers the
  // reload; the next load gets the new version anyway (the worker sees to that). The first
  // install takes over at once, as there is nothing to replace.
  function watchUpdates(registration) {
    const notice = $('update');
    let reloading = false;
    const offer = () => {
      notice.hidden = false;
      $('reload').onclick = () => {
        if (!registration.waiting) return location.reload();
        reloading = true;
        registration.waiting.postMessage('take-over');
      };
    };
    const hadVersion = navigator.serviceWorker.controller !== null;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
      if (reloading) location.reload();
      else if (hadVersion) offer();  // another tab let the new version in
    });
    if (registration.waiting && hadVersion) offer();
    registration.addEventListener('updatefound', () => {
      const worker = registration.installing;
      worker.addEventListener('statechange', () => {
        if (worker.state === 'installed' && hadVersion) offer();
      });
    });
  }

  start().catch((error) => parsed.then(() => fail(error)));
  if ('serviceWorker' in navigator) {
    addEventListener('load', () => navigator.serviceWorker.register('sw.js').then(watchUpdates).catch(() => {}));
  }
})();
