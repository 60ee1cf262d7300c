// What a school system puts before its score table: a header with links, a
// menu, a course drop-down and a button, every one a Tab stop. A page that
// includes this calls schoolHeader() first in its body; ?stops=N makes the
// header hold N Tab stops (at least the 6 it always has).
function schoolHeader() {
  const stops = Math.max(6, Number(new URLSearchParams(location.search).get('stops') || 6));
  const header = document.createElement('header');
  header.innerHTML =
    '<a href="#home">首頁</a> <a href="#logout">登出</a>'
    + '<nav><a href="#scores">成績管理</a> <a href="#classes">班級資料</a></nav>'
    + '<select id="course"><option>國文</option><option>數學</option></select> '
    + '<button type="button" id="query">查詢</button>';
  const nav = header.querySelector('nav');
  for (let i = 6; i < stops; ++i) {
    const link = document.createElement('a');
    link.href = '#menu' + i;
    link.textContent = '功能' + i + ' ';
    nav.appendChild(link);
  }
  document.body.prepend(header);
}
