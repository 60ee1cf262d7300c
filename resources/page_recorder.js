// Gradecast's look into the page around a fill. It runs in a script world of
// its own, so the page's scripts neither see it nor can break it, and it only
// reads: it notes which field each typed entry went into, and afterwards what
// that field holds. It reaches the page's frames of the same origin through
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

  // The element with the focus, through frames of this origin; hidden when it
  // lies inside a frame this script cannot look into (element is that frame).
  function focusedElement() {
    let element = document.activeElement;
    while (element && (element.localName === 'iframe' || element.localName === 'frame')) {
      const inner = innerDocument(element);
      if (!inner) return {element, hidden: true};
      element = inner.activeElement;
    }
    return {element, hidden: false};
  }

  // Where the teacher left the focus, as the last look found it.
  let kept = null;

  function describe(element) {
    return {field: element, doc: element.ownerDocument || element,
            id: element.id || '',
            name: (element.getAttribute && element.getAttribute('name')) || '',
            place: takesText(element) ? textFields(element.ownerDocument).indexOf(element) : -1};
  }

  function textFields(doc) {
    return Array.from(doc.querySelectorAll('input, textarea, [contenteditable]')).filter(takesText);
  }

  function valueOf(field) {
    return field.localName === 'input' || field.localName === 'textarea'
      ? field.value : field.textContent;
  }

  // Recording state of one run.
  let plan = [];          // keys of each entry, in order
  let entries = [];       // what each entry's first key found
  let keysSeen = 0;
  let current = 0;        // entry the next key belongs to
  let offset = 0;         // keys of it seen so far
  let lastActivity = 0;
  let watched = [];       // {doc, gone, observer}
  const fieldNumbers = new Map();

  function touch() {
    lastActivity = performance.now();
  }

  function onKey(event) {
    if (!event.isTrusted || current >= plan.length) return;
    touch();
    ++keysSeen;
    if (offset === 0) {
      const target = event.target;
      let number = -1;
      if (takesText(target)) {
        if (!fieldNumbers.has(target)) fieldNumbers.set(target, fieldNumbers.size);
        number = fieldNumbers.get(target);
      }
      entries[current] = Object.assign(describe(target), {number});
    }
    if (++offset >= plan[current]) {
      offset = 0;
      do ++current; while (current < plan.length && plan[current] === 0);
    }
  }

  function watch(doc) {
    if (watched.some(w => w.doc === doc)) return;
    const record = {doc, gone: false, observer: new MutationObserver(touch)};
    record.onHide = () => { record.gone = true; };
    watched.push(record);
    doc.addEventListener('keydown', onKey, true);
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
    for (const w of watched) {
      w.doc.removeEventListener('keydown', onKey, true);
      w.doc.removeEventListener('input', touch, true);
      w.doc.removeEventListener('change', touch, true);
      if (w.doc.defaultView) w.doc.defaultView.removeEventListener('pagehide', w.onHide, true);
      w.observer.disconnect();
    }
  }

  function left(doc) {
    const w = watched.find(w => w.doc === doc);
    return !doc.defaultView || (w && w.gone);
  }

  // A field a re-render replaced, found again by its id, its name or its
  // place among the text fields of its document.
  function findAgain(entry) {
    if (entry.field.isConnected) return entry.field;
    const doc = entry.doc;
    const byId = entry.id && doc.getElementById(entry.id);
    if (byId) return byId;
    const named = entry.name ? doc.getElementsByName(entry.name) : [];
    if (named.length === 1) return named[0];
    return entry.place >= 0 ? textFields(doc)[entry.place] : undefined;
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

  return {
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
      if (!element || !element.isConnected) return 'lost';
      element.focus({preventScroll: true});
      return focusedElement().element === element ? 'restored' : 'lost';
    },

    start(keysPerEntry) {
      unwatch();
      plan = keysPerEntry;
      entries = [];
      keysSeen = 0;
      offset = 0;
      current = 0;
      while (current < plan.length && plan[current] === 0) ++current;
      watched = [];
      fieldNumbers.clear();
      touch();
      watch(document);
      return true;
    },

    // Keys counted so far, how long the page has been quiet, and whether it
    // still holds the keyboard focus (keys sent after it lost it go nowhere).
    status() {
      return [keysSeen, performance.now() - lastActivity, document.hasFocus()];
    },

    report() {
      unwatch();
      const navigated = watched.some(w => left(w.doc));
      const landed = plan.map((keys, i) => {
        const entry = entries[i];
        if (!entry || left(entry.doc)) return null;
        if (entry.number < 0) return {field: -1, value: '', rejected: false, rejection: ''};
        const field = findAgain(entry);
        if (!field) return null;
        return Object.assign({field: entry.number, value: valueOf(field)}, rejection(field));
      });
      watched = [];
      return {navigated, entries: landed};
    },
  };
})();
