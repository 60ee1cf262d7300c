// Tells Gradecast's recorder, in its own script world, when the page starts
// and ends a request to its server: pages that send each change and redraw
// with the answer have not settled while one is out. Put into every frame
// before the page's scripts; it changes nothing of what the page does.
(() => {
  'use strict';
  let next = 0;
  const tell = (kind, id) =>
    window.dispatchEvent(new CustomEvent('gradecast-request', {detail: kind + ':' + id}));
  const send = XMLHttpRequest.prototype.send;
  XMLHttpRequest.prototype.send = function (...args) {
    const id = ++next;
    tell('start', id);
    this.addEventListener('loadend', () => tell('end', id), {once: true});
    try {
      return send.apply(this, args);
    } catch (e) {
      tell('end', id);
      throw e;
    }
  };
  const fetch = window.fetch;
  if (fetch) {
    window.fetch = function (...args) {
      const id = ++next;
      tell('start', id);
      const done = () => tell('end', id);
      try {
        const answer = fetch.apply(this, args);
        answer.then(done, done);
        return answer;
      } catch (e) {
        done();
        throw e;
      }
    };
  }
})();
