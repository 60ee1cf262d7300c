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

// The class the grading pages list, in seat order: 32 names, then the same
// with compound surnames. Student ids are irregular, as real ones are, so
// field names and ids do not follow page order.
const classNames = ['王小明', '林大同', '陳美玲', '何芷若', '吳佳穎', '高偉倫', '潘品妍', '張志豪',
  '李雅婷', '黃俊傑', '劉家豪', '蔡宜君', '楊承恩', '許詩涵', '鄭宇翔', '謝佩珊',
  '郭冠廷', '洪欣怡', '曾柏宇', '邱郁婷', '廖子晴', '賴冠宇', '周怡萱', '葉哲維',
  '蘇雨涵', '莊凱文', '呂思妤', '江東霖', '方語彤', '石家瑜', '羅振宇', '田心怡'];
const compoundSurnames = ['歐陽', '司馬', '上官', '諸葛'];
function studentId(i) {
  return 1000 + (i * 7919) % 9000;
}
function studentName(i) {
  const name = classNames[(i - 1) % classNames.length];
  const round = Math.floor((i - 1) / classNames.length);
  return round ? compoundSurnames[(round - 1) % compoundSurnames.length] + name.slice(1) : name;
}
