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

  // Keys reach this frame's listeners first; a recorder of the top frame
  // hooks in while it records.
  let keyHook = null;
  window.addEventListener('keydown', e => keyHook && keyHook.down(e), true);
  window.addEventListener('keyup', e => keyHook && keyHook.up(e), true);

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
  // The score fields the last look at the rows found, in page order.
  let rowFields = [];

  // The run being recorded.
  let run = null;

  function touch() {
    if (run) run.lastActivity = performance.now();
  }

  function fieldNumber(element) {
    if (!takesText(element)) return -1;
    if (!run.numbers.has(element)) run.numbers.set(element, run.numbers.size);
    return run.numbers.get(element);
  }

  function onKeyDown(event) {
    if (!event.isTrusted || !run || run.position >= run.order.length) return;
    touch();
    ++run.keysArrived;
    const entry = run.entries[run.order[run.position]];
    const target = event.target;
    if (entry.lostTarget) {
      event.preventDefault();
      event.stopImmediatePropagation();
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
      run.moveOnKeyUp = true;
    }
  }

  // The next entry's own field takes the focus once the last key of the one
  // before is done (its Tab or Enter has moved the focus by then), before
  // the next key arrives.
  function onKeyUp(event) {
    if (!event.isTrusted || !run || !run.moveOnKeyUp) return;
    run.moveOnKeyUp = false;
    focusNext();
  }

  // False when the next entry's field is gone: its keys are then typed
  // nowhere, not into the field before it.
  function focusNext() {
    if (run.position >= run.order.length) return true;
    const entry = run.entries[run.order[run.position]];
    if (!entry.target) return true;
    const field = findAgain(entry.target);
    entry.lostTarget = !(field && focusField(field));
    return !entry.lostTarget;
  }

  function watch(doc) {
    if (run.watched.some(w => w.doc === doc)) return;
    const record = {doc, gone: false, recorder: frameRecorder(doc),
                    observer: new MutationObserver(touch)};
    record.onHide = () => { record.gone = true; };
    run.watched.push(record);
    if (record.recorder) {
      record.recorder.hookKeys({down: onKeyDown, up: onKeyUp});
    } else {
      doc.addEventListener('keydown', onKeyDown, true);
      doc.addEventListener('keyup', onKeyUp, true);
    }
    doc.addEventListener('input', touch, true);
    doc.addEventListener('change', touch, true);
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
      w.doc.removeEventListener('keyup', onKeyUp, true);
      w.doc.removeEventListener('input', touch, true);
      w.doc.removeEventListener('change', touch, true);
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
    for (const i of order) {
      Object.assign(run.entries[i], {offset: 0, keysTaken: 0, first: null, number: -1,
                                     valueAtSeparator: undefined, lostTarget: false});
    }
    run.order = order;
    run.position = 0;
    run.keysArrived = 0;
    run.moveOnKeyUp = false;
    run.roundStart = performance.now();
    touch();
    while (run.position < order.length && run.entries[order[run.position]].keys === 0)
      ++run.position;
    return focusNext();
  }

  // The text of a row's cells other than the score field's own.
  function cellTexts(cells, skip) {
    return Array.from(cells).filter(c => c !== skip && !c.contains(skip))
      .map(c => c.textContent.replace(/\s+/g, ' ').trim());
  }

  // The score fields of the focused field's column with their rows' texts:
  // the same cell of every row of its table, or, outside a table, the fields
  // whose name differs from its name only in digits.
  function columnRows(field) {
    const cell = field.closest('td, th');
    const table = cell && cell.closest('table');
    const rows = [];
    if (table) {
      const index = cell.cellIndex;
      for (const row of table.rows) {
        if (row.closest('table') !== table) continue;
        const own = row.cells[index];
        const fields = own ? Array.from(own.querySelectorAll('input, textarea, [contenteditable]'))
          .filter(takesText) : [];
        if (fields.length === 1) rows.push({field: fields[0], cells: cellTexts(row.cells, own)});
      }
      return rows;
    }
    const name = field.getAttribute('name') || '';
    if (!/\d/.test(name)) return rows;
    const escaped = name.replace(/[.*+?^${}()|[\]\\]/g, '\\$&').replace(/\d+/g, '\\d+');
    const pattern = new RegExp('^' + escaped + '$');
    const fields = textFields(field.ownerDocument)
      .filter(f => pattern.test(f.getAttribute('name') || ''));
    for (const f of fields) {
      // The row: the largest box around the field that holds no other of them.
      let box = f;
      while (box.parentElement && box.parentElement !== field.ownerDocument.body
             && fields.filter(other => box.parentElement.contains(other)).length === 1)
        box = box.parentElement;
      rows.push({field: f, cells: box === f ? [] : cellTexts(box.children, f)});
    }
    return rows;
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

    // The rows of the focused field's column, in page order: each row's other
    // cells' texts. Empty when the focus is on no field.
    rows() {
      const {element} = focusedElement();
      rowFields = [];
      if (!takesText(element)) return [];
      const rows = columnRows(element);
      rowFields = rows.map(r => describe(r.field));
      return rows.map(r => r.cells);
    },

    // A run: plan holds each entry's key presses and how many of the last
    // are separators; targets, when given, the row (of the last rows()) whose
    // field each entry is typed into.
    start(plan, targets) {
      if (run) unwatch();
      run = {entries: plan.map(([keys, separators], i) => ({
               keys, separators,
               target: targets && targets[i] !== undefined ? rowFields[targets[i]] : null})),
             numbers: new Map(), watched: [], lastActivity: 0};
      watch(document);
      return begin(plan.map((_, i) => i));
    },

    // Types the given entries again, each into the field it went into.
    again(order) {
      if (!run) return false;
      for (const i of order) {
        const entry = run.entries[i];
        entry.target = entry.first ? describe(findAgain(entry.first) || entry.first.field) : null;
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
      return [run.keysArrived, performance.now() - run.lastActivity, document.hasFocus(),
              requests];
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
        const field = findAgain(entry.first);
        landed.redrawn = !entry.first.field.isConnected;
        if (!field) {
          landed.fieldGone = true;
          return landed;
        }
        return Object.assign(landed, {value: valueOf(field)}, rejection(field));
      });
      return {navigated, followed, entries};
    },

    // The run is over: the page's keys are its own again.
    stop() {
      if (run) unwatch();
      run = null;
    },
  };
})();
