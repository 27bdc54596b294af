// What the card page shows for card 12 (rows 1 to 24, row 3 a long name, row 7 drawn), a line an expression that must come true.
document.querySelectorAll('#grid .cell').length === 25
document.getElementById('number').textContent === 'No.0012'
document.querySelectorAll('#grid .cell')[2].textContent === '長い名前の参加者さんです'
document.querySelectorAll('#grid .cell')[12].textContent === '★'
// Squares, side by side: the grid is laid out, not a column of names.
(function(){var c=document.querySelectorAll('#grid .cell');var a=c[0].getBoundingClientRect(),b=c[1].getBoundingClientRect();return a.width>40&&Math.abs(a.width-a.height)<2&&Math.abs(a.top-b.top)<1&&b.left>a.right-1;})()
document.querySelectorAll('#grid .cell')[6].classList.contains('marked')
document.getElementById('latest').textContent === '参加者07'
(function(){var i=document.querySelector('#grid .cell img');return !!i&&i.complete&&i.naturalWidth===320;})()
document.getElementById('status').textContent === 'つながっています'
