// Opens a report page in headless Chromium with the network off and prints, as one JSON line,
// what a person would see go wrong: how many images there are and how many loaded, the rows of
// the targets' tables, and every console message, uncaught exception and log entry of level
// error, and the labels of its views with those that overlap another or an arrow. Writes a
// screenshot of the whole page. Talks to Chromium over --remote-debugging-pipe
// (file descriptors 3 and 4, messages ending in NUL), so that nothing beyond Node is needed.
// Usage: node report_in_browser.js PAGE.html SCREENSHOT.png
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const path = require('path');

const [page, screenshot] = process.argv.slice(2);
const chromium = spawn(process.env.CHROMIUM || 'chromium', [
  '--headless', '--no-sandbox', '--disable-gpu', '--remote-debugging-pipe', '--no-first-run',
  '--proxy-server=http://127.0.0.1:9', '--host-resolver-rules=MAP * ~NOTFOUND',
  '--window-size=1280,1000', '--user-data-dir=' + path.dirname(screenshot) + '/chromium-profile',
  'about:blank'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
const toBrowser = chromium.stdio[3], fromBrowser = chromium.stdio[4];
const problems = [];
const pending = new Map();
let next = 0, received = '', onLoad = null;

function send(method, params, sessionId) {
  return new Promise((resolve, reject) => {
    const id = ++next;
    pending.set(id, { resolve, reject });
    toBrowser.write(JSON.stringify({ id, method, params: params || {}, sessionId }) + '\0');
  });
}

function handle(message) {
  const waiting = pending.get(message.id);
  if (waiting) {
    pending.delete(message.id);
    if (message.error) waiting.reject(new Error(JSON.stringify(message.error)));
    else waiting.resolve(message.result);
  } else if (message.method === 'Runtime.consoleAPICalled') {
    problems.push('console.' + message.params.type + ': ' +
                  message.params.args.map((a) => a.value ?? a.description).join(' '));
  } else if (message.method === 'Runtime.exceptionThrown') {
    problems.push('exception: ' + message.params.exceptionDetails.text);
  } else if (message.method === 'Log.entryAdded' && message.params.entry.level === 'error') {
    problems.push('log: ' + message.params.entry.text);
  } else if (message.method === 'Page.loadEventFired' && onLoad) {
    onLoad();
  }
}

fromBrowser.on('data', (chunk) => {
  received += chunk;
  for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1))
    handle(JSON.parse(received.slice(0, end)));
});

// The labels of the views as the browser lays them out (getBBox), and every pair that overlaps
// or label that an arrow crosses: its line (as wide as its stroke) or its head (the last 6
// units, 6 wide).
const kLabels = `(function () {
  function crosses(a, b, box, by) {
    const x0 = box.x - by, y0 = box.y - by, x1 = box.x + box.width + by, y1 = box.y + box.height + by;
    const dx = b[0] - a[0], dy = b[1] - a[1], p = [-dx, dx, -dy, dy];
    const q = [a[0] - x0, x1 - a[0], a[1] - y0, y1 - a[1]];
    let t0 = 0, t1 = 1;
    for (let i = 0; i < 4; ++i) {
      if (p[i] === 0) { if (q[i] < 0) return false; }
      else if (p[i] < 0) t0 = Math.max(t0, q[i] / p[i]);
      else t1 = Math.min(t1, q[i] / p[i]);
    }
    return t0 <= t1;
  }
  const found = [];
  let count = 0;
  document.querySelectorAll('.views svg g').forEach(function (g) {
    const labels = Array.from(g.querySelectorAll('text.label'))
      .map(function (t) { return { text: t.textContent, box: t.getBBox() }; });
    count += labels.length;
    const arrows = Array.from(g.querySelectorAll('line.arrow')).map(function (l) {
      return [[l.x1.baseVal.value, l.y1.baseVal.value], [l.x2.baseVal.value, l.y2.baseVal.value]];
    });
    labels.forEach(function (a, i) {
      labels.slice(0, i).forEach(function (b) {
        const w = Math.min(a.box.x + a.box.width, b.box.x + b.box.width) - Math.max(a.box.x, b.box.x);
        const h = Math.min(a.box.y + a.box.height, b.box.y + b.box.height) - Math.max(a.box.y, b.box.y);
        if (w > 0.01 && h > 0.01)
          found.push(a.text + ' over ' + b.text + ': ' + [a.box, b.box].map(function (r) {
            return [r.x, r.y, r.width, r.height].map(function (v) { return v.toFixed(2); }).join(' ');
          }).join(' and '));
      });
      arrows.forEach(function (s) {
        const length = Math.hypot(s[1][0] - s[0][0], s[1][1] - s[0][1]), back = Math.min(1, 6 / length);
        const head = [s[1][0] - (s[1][0] - s[0][0]) * back, s[1][1] - (s[1][1] - s[0][1]) * back];
        if (crosses(s[0], s[1], a.box, 0.5) || crosses(head, s[1], a.box, 3))
          found.push(a.text + ' on an arrow');
      });
    });
  });
  return { count: count, overlaps: found };
})()`;

const kSeen = `JSON.stringify({
  images: document.images.length,
  loaded: Array.from(document.images).filter((i) => i.complete && i.naturalWidth > 0).length,
  rows: document.querySelectorAll('table.targets tbody tr').length,
  labels: ${kLabels},
  height: document.documentElement.scrollHeight })`;

async function main() {
  const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
  for (const domain of ['Page', 'Runtime', 'Log']) await send(domain + '.enable', {}, sessionId);
  const loaded = new Promise((resolve) => { onLoad = resolve; });
  await send('Page.navigate', { url: 'file://' + path.resolve(page) }, sessionId);
  await loaded;
  const seen = JSON.parse((await send('Runtime.evaluate',
      { expression: kSeen, returnByValue: true }, sessionId)).result.value);
  const shot = await send('Page.captureScreenshot',
      { format: 'png', captureBeyondViewport: true }, sessionId);
  fs.writeFileSync(screenshot, Buffer.from(shot.data, 'base64'));
  seen.problems = problems;
  console.log(JSON.stringify(seen));
  await send('Browser.close').catch(() => {});
}

const deadline = setTimeout(() => { console.log('{"timeout": true}'); chromium.kill(); process.exit(2); },
                            30000);
main().then(() => { clearTimeout(deadline); chromium.kill(); process.exit(0); },
            (e) => { console.log(JSON.stringify({ failure: String(e) })); chromium.kill(); process.exit(2); });
