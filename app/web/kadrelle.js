// The page of `kadrelle serve`: the document as SVG, the symbol palette and
// the tool under the pointer. Every pointer event goes to the server as one
// tool message; what it paints comes back as changes and is drawn as it
// comes. The options dialog is drawn from the server's dialog manager, and
// every click, tick, typed number and popup choice goes back to it.
'use strict';

(() => {
  const SVG_NS = 'http://www.w3.org/2000/svg';
  const XLINK_NS = 'http://www.w3.org/1999/xlink';
  // The keys that hold the tool's modifier flags, by the session's names.
  const MODIFIER_KEYS = { KeyS: 'shrink', KeyP: 'pause', KeyT: 'targetOnly' };
  // Pointer events sent in one request at most; the rest wait for the next.
  const BATCH = 2000;
  // How often a page that does nothing asks what other pages changed.
  const POLL_MS = 2000;

  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');

  // This page's name for the server: its strokes are its own.
  const client = Math.random().toString(36).slice(2) + Date.now().toString(36);

  let root = null;        // the document's <svg>
  let layers = [];        // its layer groups, bottom first
  let symbolIds = [];     // the palette's <symbol> ids, in palette order
  let symbolNames = [];
  let page = [0, 0];
  let mark = null;        // what this page has of the painting
  let status = { strokes: 0, strokeOpen: false, dialogOpen: false, selectedSymbol: null };
  let dialog = null;      // the dialog shown, as the server described it
  let cursorShown = null;
  let instanceCount = 0;

  const queue = [];       // pointer events waiting to be sent
  let stroke = null;      // this page's stroke under way: its pointer
  let openOnServer = false; // the server has this page's stroke under way
  let pending = 0;        // requests under way
  const held = new Set(); // modifier flags held

  class ApiError extends Error {
    constructor(status, message) {
      super(message);
      this.status = status;
    }
  }

  async function api(method, path, body) {
    pending += 1;
    try {
      const init = { method, headers: {} };
      if (body !== undefined) {
        init.headers['Content-Type'] = 'application/json';
        init.body = JSON.stringify(body);
      }
      const response = await fetch(path, init);
      let data = null;
      try {
        data = await response.json();
      } catch {
        data = { error: response.statusText };
      }
      if (!response.ok) throw new ApiError(response.status, (data && data.error) || response.statusText);
      return data;
    } finally {
      pending -= 1;
    }
  }

  function say(text, error = false) {
    const message = $('message');
    message.textContent = text;
    message.classList.toggle('error', error);
  }

  function fail(error) {
    say(error instanceof ApiError ? error.message : `The server cannot be reached (${error.message}).`, true);
  }

  function svgElement(name, attributes = {}) {
    const element = document.createElementNS(SVG_NS, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    return element;
  }

  // ---- The painting ------------------------------------------------------------

  function applyState(state) {
    const parsed = new DOMParser().parseFromString(state.svg, 'image/svg+xml');
    const svg = document.importNode(parsed.documentElement, true);
    page = state.page;
    const [width, height] = page;
    const margin = Math.max(width, height) * 0.04;
    svg.removeAttribute('width');
    svg.removeAttribute('height');
    svg.setAttribute('viewBox', `${-margin} ${-margin} ${width + 2 * margin} ${height + 2 * margin}`);
    svg.id = 'painting';
    layers = [...svg.querySelectorAll(':scope > g[data-kadrelle-layer]')];
    // The page under the art.
    svg.insertBefore(svgElement('rect', { class: 'page', x: 0, y: 0, width, height }), layers[0] || null);
    const defs = svg.querySelector(':scope > defs');
    const symbols = defs ? [...defs.querySelectorAll(':scope > symbol')] : [];
    symbolIds = symbols.slice(symbols.length - state.symbols.length).map((symbol) => symbol.id);
    symbolNames = state.symbols;
    canvas.replaceChildren(svg);
    root = svg;
    mark = state.mark;
    showPalette();
    applyStatus(state.status);
    showCursor(state.cursor);
    if (state.dialog) showDialog(state.dialog);
    else hideDialog();
    instanceCount = svg.querySelectorAll(':scope > g[data-kadrelle-layer] > use').length;
    showCounts();
  }

  async function loadState() {
    applyState(await api('GET', '/api/state'));
  }

  // Art that the server painted since this page's mark, drawn on top of its
  // layer; a change that cannot be drawn so loads the whole painting.
  async function applyChanges(changes) {
    if (changes.full) {
      await loadState();
      return;
    }
    for (const name of changes.layers) {
      const group = svgElement('g', { 'data-kadrelle-layer': name });
      root.appendChild(group);
      layers.push(group);
    }
    let layer = -1;
    let batch = null;
    const flushBatch = () => {
      if (batch) layers[layer].appendChild(batch);
    };
    for (const [index, symbol, transform, expanded] of changes.art) {
      if (index !== layer) {
        flushBatch();
        layer = index;
        batch = document.createDocumentFragment();
      }
      batch.appendChild(expanded ? expandedArt(symbol, transform) : instance(symbol, transform));
      if (!expanded) instanceCount += 1;
    }
    flushBatch();
    mark = changes.mark;
    showCounts();
  }

  function instance(symbol, transform) {
    const use = svgElement('use', { href: `#${symbolIds[symbol]}`, transform });
    use.setAttributeNS(XLINK_NS, 'xlink:href', `#${symbolIds[symbol]}`);
    return use;
  }

  // An expanded instance: a copy of the symbol's own drawing.
  function expandedArt(symbol, transform) {
    const group = svgElement('g', { transform });
    for (const child of document.getElementById(symbolIds[symbol]).children) {
      const copy = child.cloneNode(true);
      copy.removeAttribute('id');
      for (const inner of copy.querySelectorAll('[id]')) inner.removeAttribute('id');
      group.appendChild(copy);
    }
    return group;
  }

  function showCounts() {
    const count = (n, what) => `${n} ${what}${n === 1 ? '' : 's'}`;
    $('counts').textContent = `${count(instanceCount, 'instance')} · ${count(status.strokes, 'stroke')}`;
  }

  function applyStatus(next) {
    status = next;
    $('undo').disabled = status.strokes === 0;
    $('clear').disabled = status.strokes === 0;
    for (const [index, button] of [...$('palette').querySelectorAll('button')].entries())
      button.setAttribute('aria-pressed', String(index === status.selectedSymbol));
    $('palette-note').textContent = status.selectedSymbol === null
      ? 'No symbol selected: the tool paints the first one.' : '';
    showCounts();
  }

  // ---- The palette -------------------------------------------------------------

  function showPalette() {
    const list = $('palette');
    list.replaceChildren();
    symbolNames.forEach((name, index) => {
      const button = document.createElement('button');
      button.type = 'button';
      button.title = 'Click to select; click again to select none';
      const preview = svgElement('svg');
      const use = svgElement('use', { href: `#${symbolIds[index]}` });
      preview.appendChild(use);
      const label = document.createElement('span');
      label.textContent = name;
      button.append(preview, label);
      button.addEventListener('click', () => chooseSymbol(index));
      const item = document.createElement('li');
      item.appendChild(button);
      list.appendChild(item);
      const box = use.getBBox();
      if (box.width > 0 && box.height > 0)
        preview.setAttribute('viewBox', `${box.x} ${box.y} ${box.width} ${box.height}`);
    });
  }

  async function chooseSymbol(index) {
    try {
      const reply = await api('POST', '/api/symbol', { symbol: status.selectedSymbol === index ? null : index });
      applyStatus(reply.status);
      say('');
    } catch (error) {
      fail(error);
    }
  }

  // ---- The tool ----------------------------------------------------------------

  function pointAt(event, pen) {
    const at = new DOMPoint(event.clientX, event.clientY).matrixTransform(root.getScreenCTM().inverse());
    const point = { h: at.x, v: page[1] - at.y };
    point.pressure = pen ? Math.max(0, Math.min(255, Math.round(event.pressure * 255))) : 255;
    if (held.size > 0) point.modifiers = [...held];
    return point;
  }

  canvas.addEventListener('pointerdown', (event) => {
    if (event.button !== 0 || stroke || !root || dialog) return;
    event.preventDefault();
    canvas.setPointerCapture(event.pointerId);
    const pen = event.pointerType === 'pen';
    stroke = { pointerId: event.pointerId, pen };
    queue.push({ down: pointAt(event, pen), pen });
    send();
  });

  canvas.addEventListener('pointermove', (event) => {
    if (!stroke || event.pointerId !== stroke.pointerId || stroke.refused) return;
    const moves = event.getCoalescedEvents ? event.getCoalescedEvents() : [];
    for (const move of moves.length > 0 ? moves : [event]) queue.push({ drag: pointAt(move, stroke.pen) });
    send();
  });

  const endStroke = (event) => {
    if (!stroke || event.pointerId !== stroke.pointerId) return;
    const { refused } = stroke;
    stroke = null;
    if (refused) return;
    queue.push({ up: null });
    send();
  };
  canvas.addEventListener('pointerup', endStroke);
  canvas.addEventListener('pointercancel', endStroke);
  canvas.addEventListener('lostpointercapture', endStroke);

  canvas.addEventListener('pointerenter', async () => {
    if (stroke || dialog) return;
    try {
      showCursor((await api('POST', '/api/cursor')).cursor);
    } catch (error) {
      if (!(error instanceof ApiError && error.status === 409)) fail(error);
    }
  });

  function showCursor(cursor) {
    cursorShown = cursor;
    canvas.style.cursor = cursor ? `url(${cursor.url}) ${cursor.hot[0]} ${cursor.hot[1]}, crosshair` : '';
  }

  // Send the waiting events, as many as have come, one request at a time:
  // while one is under way the pointer's next moves gather for the next.
  let sending = false;
  async function send() {
    if (sending) return;
    sending = true;
    try {
      while (queue.length > 0) {
        const events = queue.splice(0, BATCH);
        try {
          const reply = await api('POST', '/api/pointer', { client, since: mark, events });
          for (const event of events) openOnServer = 'down' in event || (openOnServer && !('up' in event));
          await applyChanges(reply.changes);
          applyStatus(reply.status);
        } catch (error) {
          fail(error);
          // The request changed nothing. The rest of this stroke goes
          // nowhere; a stroke the server has under way ends where it was.
          while (queue.length > 0 && !('down' in queue[0])) queue.shift();
          if (stroke && queue.length === 0) stroke.refused = true;
          if (openOnServer) queue.unshift({ up: null });
          openOnServer = false;
        }
      }
    } finally {
      sending = false;
    }
  }

  const modifierOf = (event) => MODIFIER_KEYS[event.code];
  window.addEventListener('keydown', (event) => {
    if (dialog) {
      if (event.key === 'Escape') act({ click: 2 });
      return;
    }
    const modifier = modifierOf(event);
    if (!modifier || event.ctrlKey || event.metaKey || event.altKey) return;
    held.add(modifier);
    showKeys();
  });
  window.addEventListener('keyup', (event) => {
    const modifier = modifierOf(event);
    if (modifier && held.delete(modifier)) showKeys();
  });
  window.addEventListener('blur', () => {
    held.clear();
    showKeys();
  });

  function showKeys() {
    for (const item of $('keys').querySelectorAll('li')) item.classList.toggle('on', held.has(item.dataset.modifier));
  }

  // ---- The options dialog ------------------------------------------------------

  $('options').addEventListener('click', async () => {
    try {
      const reply = await api('POST', '/api/options/open');
      showDialog(reply.dialog);
      applyStatus(reply.status);
      say('');
    } catch (error) {
      fail(error);
    }
  });

  async function act(action) {
    try {
      const reply = await api('POST', '/api/options/action', action);
      if (reply.dialog) {
        showDialog(reply.dialog);
      } else {
        hideDialog();
        say(reply.result === 1 ? 'The options are set.' : 'The options dialog was cancelled.');
      }
      applyStatus(reply.status);
    } catch (error) {
      fail(error);
      // Show the dialog as it is: the refused action changed nothing.
      try {
        const now = await api('GET', '/api/options');
        if (now.dialog) showDialog(now.dialog);
        else hideDialog();
      } catch (again) {
        fail(again);
      }
    }
  }

  function place(element, item) {
    const [left, top, right, bottom] = item.rect;
    Object.assign(element.style, {
      left: `${left}px`, top: `${top}px`, width: `${right - left}px`, height: `${bottom - top}px`,
    });
    element.classList.add('control');
    element.dataset.id = item.id;
    element.dataset.kind = item.kind;
    element.hidden = !item.visible;
    element.classList.toggle('bold', item.bold);
    element.classList.toggle('disabled', !item.enabled);
    element.classList.toggle('focused', item.focused);
    return element;
  }

  function control(item) {
    const id = String(item.id);
    switch (item.kind) {
      case 'button':
      case 'picture': {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = item.text;
        button.disabled = !item.enabled;
        if (item.kind === 'picture') button.classList.add('picture');
        button.addEventListener('click', () => act({ click: item.id }));
        return button;
      }
      case 'check': {
        const label = document.createElement('label');
        const box = document.createElement('input');
        box.type = 'checkbox';
        box.checked = item.checked;
        box.disabled = !item.enabled;
        box.addEventListener('change', () => act({ set: { [id]: box.checked } }));
        label.append(box, document.createTextNode(item.text));
        return label;
      }
      case 'spin': {
        const input = document.createElement('input');
        input.type = 'text';
        input.inputMode = 'decimal';
        input.value = item.valueText;
        input.disabled = !item.enabled;
        input.addEventListener('change', () => {
          const text = input.value.trim();
          const value = Number(text);
          if (text === '' || !Number.isFinite(value)) {
            say(`"${input.value}" is not a number.`, true);
            input.value = item.valueText;
            return;
          }
          act({ set: { [id]: value } });
        });
        return input;
      }
      case 'popup': {
        const select = document.createElement('select');
        item.entries.forEach((text, index) => select.add(new Option(text, String(index))));
        select.selectedIndex = item.selected;
        select.disabled = !item.enabled;
        select.addEventListener('change', () => act({ set: { [id]: select.selectedIndex } }));
        return select;
      }
      case 'frame': {
        const frame = document.createElement('div');
        frame.classList.add('frame');
        return frame;
      }
      default: {
        const text = document.createElement('span');
        text.textContent = item.text;
        return text;
      }
    }
  }

  function showDialog(description) {
    const focused = document.activeElement && document.activeElement.closest('#dialog-client .control');
    const focusedId = focused ? focused.dataset.id : null;
    dialog = description;
    $('dialog-overlay').hidden = false;
    $('dialog-title').textContent = description.caption;
    const client = $('dialog-client');
    client.style.width = `${description.width}px`;
    client.style.height = `${description.height}px`;
    client.replaceChildren(...description.items.map((item) => place(control(item), item)));
    const again = focusedId && client.querySelector(`.control[data-id="${focusedId}"]`);
    if (again && !again.hidden) (again.querySelector('input') || again).focus();
  }

  function hideDialog() {
    dialog = null;
    $('dialog-overlay').hidden = true;
    $('dialog-client').replaceChildren();
  }

  // ---- Undo, clear, save -------------------------------------------------------

  for (const [button, path] of [['undo', '/api/undo'], ['clear', '/api/clear']]) {
    $(button).addEventListener('click', async () => {
      try {
        applyState(await api('POST', path));
        say('');
      } catch (error) {
        fail(error);
      }
    });
  }

  for (const format of ['svg', 'json', 'session']) {
    $(`save-${format}`).addEventListener('click', async () => {
      pending += 1;
      try {
        const response = await fetch(`/api/save?format=${format}`);
        if (!response.ok) {
          const data = await response.json().catch(() => ({ error: response.statusText }));
          throw new ApiError(response.status, data.error);
        }
        const name = /filename="([^"]+)"/.exec(response.headers.get('Content-Disposition') || '');
        const link = document.createElement('a');
        link.href = URL.createObjectURL(await response.blob());
        link.download = name ? name[1] : `kadrelle.${format}`;
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
        say(`Saved ${link.download}.`);
      } catch (error) {
        fail(error);
      } finally {
        pending -= 1;
      }
    });
  }

  // ---- Other pages -------------------------------------------------------------

  // What another page changed: its strokes, the palette, the dialog.
  async function poll() {
    if (!root || sending || pending > 0 || stroke || document.hidden) return;
    try {
      const query = new URLSearchParams({ epoch: mark.epoch, art: mark.art, layers: mark.layers });
      const reply = await api('GET', `/api/changes?${query}`);
      if (sending || stroke) return;
      await applyChanges(reply.changes);
      applyStatus(reply.status);
      if (status.dialogOpen && !dialog) {
        const now = await api('GET', '/api/options');
        if (now.dialog) showDialog(now.dialog);
      } else if (!status.dialogOpen && dialog) {
        hideDialog();
      }
    } catch (error) {
      fail(error);
    }
  }
  setInterval(poll, POLL_MS);

  // For tests and scripts: the page's own view of itself.
  const sent = () => root !== null && queue.length === 0 && !sending && pending === 0;
  window.kadrelle = {
    // Every event sent and answered.
    sent,
    // And no stroke under way.
    idle: () => sent() && stroke === null,
    instances: () => [...root.querySelectorAll(':scope > g[data-kadrelle-layer] > use')]
      .map((use) => ({ href: use.getAttribute('href'), transform: use.getAttribute('transform') })),
    // Where the host point (h, v) is on the screen.
    screenPoint: (h, v) => {
      const at = new DOMPoint(h, page[1] - v).matrixTransform(root.getScreenCTM());
      return { x: at.x, y: at.y };
    },
    cursor: () => cursorShown,
  };

  loadState().catch(fail);
})();
