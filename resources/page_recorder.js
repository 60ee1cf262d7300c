// Gradecast's look into the page around a fill. It runs in a script world of
// its own, put into every frame before the page's own scripts, so the page's
// scripts neither see it nor can break it, and its key listeners on window
// run before any of theirs: a page that swallows keys cannot hide them. It
// notes which field each typed entry went into, what that field held at the
// entry's separator and whether the page redrew it; afterwards what the field
// holds. Besides the look, it puts the focus where an entry is to be typed:
// the field the teacher clicked, a student's own field, a field to type again.
// The frame it sits in reaches the page's frames of the same origin through
// their documents; frames of another origin stay closed to it.
var gradecastRecorder = gradecastRecorder || (() => {
  'use strict';
  const textTypes = ['text', 'number', 'tel', 'search', 'email', 'url', 'password'];

  // A field the keys of a score can be typed into.
  function takesText(element) {
    if (!element) return false;
    if (element.localName === 'input')
      return textTypes.includes(element.type) && !element.disabled && !element.readOnly;
    if (element.localName === 'textarea') return !element.disabled && !element.readOnly;
    return element.isContentEditable;
  }

  function innerDocument(frame) {
    try {
      return frame.contentDocument;
    } catch (e) {
      return null;
    }
  }

  function isFrame(element) {
    return element && (element.localName === 'iframe' || element.localName === 'frame');
  }

  // The element with the focus, through frames of this origin; hidden when it
  // lies inside a frame this script cannot look into (element is that frame).
  function focusedElement() {
    let element = document.activeElement;
    while (isFrame(element)) {
      const inner = innerDocument(element);
      if (!inner) return {element, hidden: true};
      element = inner.activeElement;
    }
    return {element, hidden: false};
  }

  function textFields(doc) {
    return Array.from(doc.querySelectorAll('input, textarea, [contenteditable]')).filter(takesText);
  }

  function valueOf(field) {
    return field.localName === 'input' || field.localName === 'textarea'
      ? field.value : field.textContent;
  }

  // An element and what finds it again after the page has redrawn it.
  function describe(element) {
    return {field: element, doc: element.ownerDocument || element,
            id: element.id || '',
            name: (element.getAttribute && element.getAttribute('name')) || '',
            place: takesText(element) ? textFields(element.ownerDocument).indexOf(element) : -1};
  }

  // A field a redraw replaced, found again by its id, its name or its place
  // among the text fields of its document; undefined when it is gone.
  function findAgain(described) {
    const {field, doc} = described;
    let found = field.isConnected ? field : undefined;
    found = found || (described.id && doc.getElementById(described.id));
    const named = !found && described.name ? doc.getElementsByName(described.name) : [];
    found = found || (named.length === 1 ? named[0] : undefined);
    found = found || (described.place >= 0 ? textFields(doc)[described.place] : undefined);
    return found && found.isConnected ? found : undefined;
  }

  // Puts the focus into a field with its content selected, so what is typed
  // next replaces it, as a teacher's double click would.
  function focusField(field) {
    field.focus({preventScroll: false});
    if (field.select) field.select();
    return focusedElement().element === field;
  }

  // What a control that takes no text is, as the teacher is told: a key there
  // ticks, picks or follows. Nothing for the page itself or a frame.
  function controlKind(element) {
    if (!element || takesText(element) || isFrame(element)) return '';
    const name = element.localName;
    if (name === 'body' || name === 'html') return '';
    if (name === 'input') {
      if (element.type === 'checkbox') return '核取方塊';
      if (element.type === 'radio') return '選項按鈕';
      if (['button', 'submit', 'reset', 'image'].includes(element.type)) return '按鈕';
      return '無法輸入的欄位';
    }
    if (name === 'select') return '下拉選單';
    if (name === 'button') return '按鈕';
    if (name === 'a') return '連結';
    if (name === 'textarea') return '無法輸入的欄位';
    return '無法輸入的地方';
  }

  function shownText(node) {
    return (node.textContent || '').replace(/\s+/g, ' ').trim();
  }

  function labelOf(element) {
    const labels = element.labels ? Array.from(element.labels).map(shownText).filter(Boolean) : [];
    if (labels.length) return labels[0];
    const text = element.getAttribute('aria-label') || element.getAttribute('title') || '';
    if (text) return text.trim();
    const name = element.localName;
    if (name === 'a' || name === 'button') return shownText(element);
    return element.getAttribute('name') || '';
  }

  // Keys reach this frame's listeners first; a recorder of the top frame
  // hooks in while it records.
  let keyHook = null;
  for (const type of ['keydown', 'keypress', 'keyup'])
    window.addEventListener(type, e => keyHook && keyHook[type](e), true);

  // The page's requests in flight, as its own world reports them: a page
  // that sends each change to its server and redraws with the answer has
  // not settled before the answer is in.
  const requests = new Map(); // id -> when it started
  window.addEventListener('gradecast-request', e => {
    const [kind, id] = String(e.detail).split(':');
    if (kind === 'start') requests.set(id, performance.now());
    else requests.delete(id);
  }, true);
  function requestsSince(time) {
    let count = 0;
    for (const started of requests.values()) count += started >= time;
    return count;
  }

  function frameRecorder(doc) {
    try {
      return doc.defaultView && doc.defaultView.gradecastRecorder;
    } catch (e) {
      return undefined;
    }
  }

  // Where the teacher left the focus, as the last look found it.
  let kept = null;
  // The last look at the rows, in page order: each row's text fields from the
  // clicked column on, and the element that holds the row.
  let rowFields = [];
  let rowBoxes = [];

  // The run being recorded: what start() was given and what the keys did.
  let run = null;

  // A run over the planned entries, with its round (the entries being typed
  // now) not begun yet.
  function newRun(entries) {
    return Object.assign({
      entries,
      numbers: new Map(),   // field -> its number, in the order keys first reached it
      watched: [],          // the documents listened to
      lastActivity: 0,      // when a key, an edit or a change of the page came last
      submitHeld: false,    // a form sent by a typed key was held back
      rowStates: new Map(), // row -> what its other controls held at the start
      touched: new Set(),   // controls a key or an edit of the run reached
    }, newRound([]));
  }

  // One round: the entries typed in it, in order, and how far the keys came.
  function newRound(order) {
    return {order, position: 0, keysArrived: 0, moveOnKeyUp: false, stopped: null,
            roundStart: performance.now()};
  }

  // A planned entry: its key presses, the separators among the last of them,
  // the field it is to be typed into (and the row of it), or none.
  function newEntry(keys, separators, planned, row) {
    return Object.assign({keys, separators, planned, row, target: planned}, newTyping());
  }

  // What one typing of an entry did: where its first key went, how many of
  // its keys the page took, its field's value at its separator.
  function newTyping() {
    return {offset: 0, keysTaken: 0, first: null, number: -1, valueAtSeparator: undefined,
            lostTarget: false};
  }

  function touch() {
    if (run) run.lastActivity = performance.now();
  }

  function fieldNumber(element) {
    if (!takesText(element)) return -1;
    if (!run.numbers.has(element)) run.numbers.set(element, run.numbers.size);
    return run.numbers.get(element);
  }

  function swallow(event) {
    event.preventDefault();
    event.stopImmediatePropagation();
  }

  function onKeyDown(event) {
    if (!event.isTrusted || !run || run.position >= run.order.length) return;
    touch();
    ++run.keysArrived;
    if (run.stopped) return swallow(event);
    const index = run.order[run.position];
    const entry = run.entries[index];
    const target = event.target;
    if (entry.offset === 0 && !entry.target && controlKind(target)) {
      // An entry in the page's Tab order that would start on a checkbox, a
      // drop-down, a link: the run stops before it.
      run.stopped = {entry: index, control: controlKind(target), label: labelOf(target)};
      return swallow(event);
    }
    run.touched.add(target);
    if (entry.lostTarget) {
      swallow(event);
    } else if (entry.offset === 0) {
      entry.first = describe(target);
      entry.number = fieldNumber(target);
    }
    if (entry.first && entry.offset === entry.keys - entry.separators && entry.separators > 0) {
      const field = findAgain(entry.first);
      entry.valueAtSeparator = field && takesText(field) ? valueOf(field) : '';
    }
    // Counted once the page's own listeners had their say: a key it cancels
    // never reaches the field.
    setTimeout(() => { if (!event.defaultPrevented) ++entry.keysTaken; }, 0);
    if (++entry.offset >= entry.keys) {
      ++run.position;
      skipEntriesWithoutKeys();
      run.moveOnKeyUp = true;
    }
  }

  // Controls that took a key or an edit of the run's: only their changes are
  // the run's, not what the page's own scripts write (a total, a format).
  function onInput(event) {
    touch();
    if (run && event.isTrusted) run.touched.add(event.target);
  }

  function onKeyPress(event) {
    if (event.isTrusted && run && run.stopped) swallow(event);
  }

  // Entries that press no key are passed over: no key of theirs comes.
  function skipEntriesWithoutKeys() {
    while (run.position < run.order.length && run.entries[run.order[run.position]].keys === 0)
      ++run.position;
  }

  // A form sent by a typed key (Enter in a field) would take the page away
  // in the middle of the run: held back here, while the page's own handlers
  // still hear of it.
  function onSubmit(event) {
    if (!run || !event.isTrusted) return;
    event.preventDefault();
    run.submitHeld = true;
  }

  // The next entry's own field takes the focus once the last key of the one
  // before is done (its Tab or Enter has moved the focus by then), before
  // the next key arrives.
  function onKeyUp(event) {
    if (event.isTrusted && run && run.stopped) return swallow(event);
    if (!event.isTrusted || !run || !run.moveOnKeyUp) return;
    run.moveOnKeyUp = false;
    focusNext();
  }

  // False when the next entry's field is gone: its keys are then typed
  // nowhere, not into the field before it.
  // A field that has the focus already keeps it as it is: the teacher's
  // caret in the clicked field, or a page whose Tab order follows the column.
  function focusNext() {
    if (run.position >= run.order.length) return true;
    const entry = run.entries[run.order[run.position]];
    if (!entry.target) return true;
    const field = findAgain(entry.target);
    entry.lostTarget = !(field && (focusedElement().element === field || focusField(field)));
    return !entry.lostTarget;
  }

  function watch(doc) {
    if (run.watched.some(w => w.doc === doc)) return;
    const record = {doc, gone: false, recorder: frameRecorder(doc),
                    observer: new MutationObserver(touch)};
    record.onHide = () => { record.gone = true; };
    run.watched.push(record);
    if (record.recorder) {
      record.recorder.hookKeys({keydown: onKeyDown, keypress: onKeyPress, keyup: onKeyUp});
    } else {
      doc.addEventListener('keydown', onKeyDown, true);
      doc.addEventListener('keypress', onKeyPress, true);
      doc.addEventListener('keyup', onKeyUp, true);
    }
    doc.addEventListener('submit', onSubmit, true);
    doc.addEventListener('input', onInput, true);
    doc.addEventListener('change', onInput, true);
    doc.defaultView.addEventListener('pagehide', record.onHide, true);
    record.observer.observe(doc, {subtree: true, childList: true, attributes: true,
                                  characterData: true});
    for (const frame of doc.querySelectorAll('iframe, frame')) {
      const inner = innerDocument(frame);
      if (inner) watch(inner);
    }
  }

  function unwatch() {
    for (const w of run.watched) {
      if (w.recorder) w.recorder.hookKeys(null);
      w.doc.removeEventListener('keydown', onKeyDown, true);
      w.doc.removeEventListener('keypress', onKeyPress, true);
      w.doc.removeEventListener('keyup', onKeyUp, true);
      w.doc.removeEventListener('submit', onSubmit, true);
      w.doc.removeEventListener('input', onInput, true);
      w.doc.removeEventListener('change', onInput, true);
      if (w.doc.defaultView) w.doc.defaultView.removeEventListener('pagehide', w.onHide, true);
      w.observer.disconnect();
    }
    run.watched = [];
  }

  function left(doc) {
    const w = run.watched.find(w => w.doc === doc);
    return !doc.defaultView || (w && w.gone);
  }

  function rejection(field) {
    if (field.getAttribute('aria-invalid') === 'true') {
      const ids = (field.getAttribute('aria-errormessage') || field.getAttribute('aria-describedby')
                   || '').split(/\s+/).filter(Boolean);
      const words = ids.map(id => field.ownerDocument.getElementById(id))
        .filter(Boolean).map(e => e.textContent.trim()).filter(Boolean).join(' ');
      return {rejected: true, rejection: words || field.validationMessage || ''};
    }
    if (field.validity && !field.validity.valid)
      return {rejected: true, rejection: field.validationMessage || ''};
    return {rejected: false, rejection: ''};
  }

  // Starts typing the entries of order (indices into run.entries) from the
  // first: its own field takes the focus when it has one.
  function begin(order) {
    for (const i of order) Object.assign(run.entries[i], newTyping());
    Object.assign(run, newRound(order));
    touch();
    skipEntriesWithoutKeys();
    return focusNext();
  }

  // Decorations a name cell carries beside the name: avatar initials, text
  // for screen readers only.
  const decoration = /(^|[\s_-])(sr-only|visually-hidden|accesshide|userinitials|initials|avatar)($|[\s_-])/i;

  function decorated(node, cell) {
    for (let e = node.parentElement; e && e !== cell.parentElement; e = e.parentElement)
      if (e.getAttribute('aria-hidden') === 'true' || decoration.test(e.className || '')) return true;
    return false;
  }

  // A cell as the teacher reads it (decorations left out) and the pieces it
  // is made of: each text, an image's alt text.
  function cellWords(cell) {
    const texts = [];
    const pieces = [];
    const walker = cell.ownerDocument.createTreeWalker(cell, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      const text = node.data.replace(/\s+/g, ' ').trim();
      if (!text) continue;
      pieces.push(text);
      if (!decorated(node, cell)) texts.push(text);
    }
    for (const image of cell.querySelectorAll('img[alt]'))
      if (image.alt.trim()) pieces.push(image.alt.trim());
    return {text: texts.join(' ').replace(/\s+/g, ' ').trim(), pieces};
  }

  // The student cells of a row: the cells before the score field's own, or,
  // when it has none before it, every other cell.
  function studentOf(cells, own) {
    const list = Array.from(cells);
    const at = list.findIndex(c => c === own || c.contains(own));
    const before = at > 0 ? list.slice(0, at) : list.filter(c => c !== own && !c.contains(own));
    const words = before.map(cellWords);
    return {cells: words.map(w => w.text), pieces: words.flatMap(w => w.pieces)};
  }

  function fieldsIn(element) {
    return Array.from(element.querySelectorAll('input, textarea, [contenteditable]'))
      .filter(takesText);
  }

  // The header texts over the given cells of a table: its last header row.
  function headersOver(table, cells) {
    const rows = Array.from(table.rows).filter(r => r.closest('table') === table);
    const head = (table.tHead && table.tHead.rows.length && table.tHead.rows[table.tHead.rows.length - 1])
      || rows.find(r => r.cells.length && Array.from(r.cells).every(c => c.localName === 'th'));
    if (!head) return [];
    return cells.map(c => (head.cells[c.cellIndex] ? cellWords(head.cells[c.cellIndex]).text : ''));
  }

  // The rows of a field's column, each with its text fields from that column
  // on, its student's texts and its element; with the field's own row and
  // the header texts over that row's fields.
  function columnRows(field) {
    const cell = field.closest('td, th');
    const table = cell && cell.closest('table');
    return table ? tableColumn(field, table, cell.cellIndex) : namedColumn(field);
  }

  // In a table: the same cell of every row of it that holds one text field.
  function tableColumn(field, table, index) {
    const rows = [];
    let headers = [];
    for (const row of table.rows) {
      if (row.closest('table') !== table) continue;
      const own = row.cells[index];
      if (!own || fieldsIn(own).length !== 1) continue;
      const fields = Array.from(row.cells).slice(index).flatMap(fieldsIn);
      if (fields[0] === field) headers = headersOver(table, fields.map(f => f.closest('td, th')));
      rows.push(Object.assign({fields, box: row}, studentOf(row.cells, own)));
    }
    return {rows, clicked: rows.findIndex(r => r.fields[0] === field), headers};
  }

  // Outside a table: the fields whose name differs from the field's name
  // only in digits, each in the largest box around it that holds no other.
  function namedColumn(field) {
    const name = field.getAttribute('name') || '';
    if (!/\d/.test(name)) return {rows: [], clicked: -1, headers: []};
    const escaped = name.replace(/[.*+?^${}()|[\]\\]/g, '\\$&').replace(/\d+/g, '\\d+');
    const pattern = new RegExp('^' + escaped + '$');
    const fields = textFields(field.ownerDocument)
      .filter(f => pattern.test(f.getAttribute('name') || ''));
    const rows = fields.map(f => {
      let box = f;
      while (box.parentElement && box.parentElement !== field.ownerDocument.body
             && fields.filter(other => box.parentElement.contains(other)).length === 1)
        box = box.parentElement;
      const student = box === f ? {cells: [], pieces: []} : studentOf(box.children, f);
      return Object.assign({fields: [f], box}, student);
    });
    return {rows, clicked: fields.indexOf(field), headers: []};
  }

  // What the controls of a row hold, but for the fields the run types into.
  function controlStates(box, planned) {
    return Array.from(box.querySelectorAll('input, select, textarea'))
      .filter(c => !planned.has(c))
      .map(c => ({control: c, state: controlState(c)}));
  }

  function controlState(control) {
    if (control.localName === 'input' && (control.type === 'checkbox' || control.type === 'radio'))
      return control.checked;
    if (control.localName === 'select') return control.selectedIndex;
    return control.value;
  }

  // The column header over a control, else its label.
  function controlLabel(control) {
    const cell = control.closest('td, th');
    const table = cell && cell.closest('table');
    const header = table ? headersOver(table, [cell])[0] : '';
    return header || labelOf(control);
  }

  function rowChanges() {
    const changes = [];
    for (const [row, states] of run.rowStates) {
      for (const {control, state} of states) {
        if (!control.isConnected || !run.touched.has(control)) continue;
        const now = controlState(control);
        if (now === state) continue;
        const label = controlLabel(control);
        if (typeof now === 'boolean')
          changes.push({row, kind: now ? 'checked' : 'unchecked', label, value: ''});
        else if (control.localName === 'select')
          changes.push({row, kind: 'chosen', label,
                        value: control.selectedOptions[0] ? shownText(control.selectedOptions[0]) : ''});
        else
          changes.push({row, kind: 'text', label, value: now});
      }
    }
    return changes;
  }

  return {
    // Another frame's recorder listens through this one's keys.
    hookKeys(hook) {
      keyHook = hook;
    },
    requestsSince,

    // 'field', 'none' (the focus is on something that takes no text) or
    // 'hidden' (inside a frame of another origin).
    focus() {
      const {element, hidden} = focusedElement();
      kept = hidden || takesText(element) ? describe(element) : null;
      return hidden ? 'hidden' : takesText(element) ? 'field' : 'none';
    },

    // Puts the focus back where the last look found it, when something has
    // moved it meanwhile (a page that redrew its table gets its field found
    // again). 'kept', 'restored', or 'lost' when that element is gone.
    restoreFocus() {
      if (!kept) return 'kept';
      if (focusedElement().element === kept.field) return 'kept';
      const element = findAgain(kept);
      if (!element) return 'lost';
      element.focus({preventScroll: true});
      return focusedElement().element === element ? 'restored' : 'lost';
    },

    // The focused field's column, in page order: each row's student texts
    // (cells and pieces) and how many text fields it has from that column on;
    // the clicked row; the headers over the clicked row's fields. No rows
    // when the focus is on no field or no column holds it.
    rows() {
      const {element} = focusedElement();
      rowFields = [];
      rowBoxes = [];
      const none = {rows: [], clicked: -1, headers: []};
      if (!takesText(element)) return none;
      const {rows, clicked, headers} = columnRows(element);
      if (clicked < 0) return none;
      rowFields = rows.map(r => r.fields.map(describe));
      rowBoxes = rows.map(r => r.box);
      return {rows: rows.map(r => ({cells: r.cells, pieces: r.pieces, fields: r.fields.length})),
              clicked, headers};
    },

    // A run: each planned entry's key presses, how many of the last are
    // separators, and the field it is typed into ([row, column] of the last
    // rows()), or null to type it wherever the page's Tab order puts it.
    start(plan) {
      if (run) unwatch();
      run = newRun(plan.map(([keys, separators, target]) => newEntry(
        keys, separators, target ? (rowFields[target[0]] || [])[target[1]] || null : null,
        target ? target[0] : -1)));
      // What the rows typed into hold elsewhere, to tell afterwards what
      // changed there though nothing was typed there.
      const planned = new Set(run.entries.filter(e => e.target).map(e => e.target.field));
      for (const entry of run.entries)
        if (entry.row >= 0 && rowBoxes[entry.row] && !run.rowStates.has(entry.row))
          run.rowStates.set(entry.row, controlStates(rowBoxes[entry.row], planned));
      watch(document);
      return begin(plan.map((_, i) => i));
    },

    // Types the given entries again, each into the field it went into.
    again(order) {
      if (!run) return false;
      for (const i of order) {
        const entry = run.entries[i];
        const went = entry.planned || entry.first;
        entry.target = went ? describe(findAgain(went) || went.field) : null;
      }
      return begin(order);
    },

    // Keys counted so far in this round, how long the page has been quiet,
    // whether it still holds the keyboard focus (keys sent after it lost it
    // go nowhere), and its requests started since the round began. Nothing
    // when no run is recorded here: a new document.
    status() {
      if (!run) return undefined;
      let requests = 0;
      for (const w of run.watched)
        if (w.recorder && !left(w.doc)) requests += w.recorder.requestsSince(run.roundStart);
      return {keys: run.keysArrived, quietMs: performance.now() - run.lastActivity,
              focused: document.hasFocus(), requests};
    },

    report() {
      if (!run) return undefined;
      const navigated = run.watched.some(w => left(w.doc));
      let followed = run.entries.length;
      const entries = run.entries.map((entry, i) => {
        const landed = {keysSeen: entry.keysTaken, field: entry.number, fieldGone: false,
                        value: '', redrawn: false, rejected: false, rejection: ''};
        if (entry.valueAtSeparator !== undefined) landed.valueAtSeparator = entry.valueAtSeparator;
        if (entry.lostTarget) {
          Object.assign(landed, {fieldGone: true, keysSeen: 1,
                                 field: fieldNumber(entry.target.field)});
          return landed;
        }
        if (!entry.first) {
          // Keys that went to a document this run no longer watches.
          if (navigated) followed = Math.min(followed, i);
          return landed;
        }
        if (left(entry.first.doc)) {
          followed = Math.min(followed, i);
          return landed;
        }
        if (entry.number < 0) return landed;
        // An entry with a field of its own is judged by what that field holds,
        // wherever the page sent its keys.
        let judged = entry.first;
        if (entry.planned && entry.planned.field !== entry.first.field) {
          const row = rowFields.findIndex(r => r.some(d => d.field === entry.first.field));
          if (row >= 0 && row !== entry.row) landed.otherRow = row;
          judged = entry.planned;
        }
        const field = findAgain(judged);
        landed.redrawn = !judged.field.isConnected;
        if (!field) {
          landed.fieldGone = true;
          return landed;
        }
        return Object.assign(landed, {value: valueOf(field)}, rejection(field));
      });
      return {navigated, followed, entries, stopped: run.stopped, submitHeld: run.submitHeld,
              rowChanges: rowChanges()};
    },

    // The run is over: the page's keys are its own again.
    stop() {
      if (run) unwatch();
      run = null;
    },
  };
})();
