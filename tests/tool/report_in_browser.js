// Opens a report page in headless Chromium with the network off and prints, as one JSON line,
// what a person would see go wrong: how many images there are and how many loaded, the rows of
// the targets' tables, and every console message, uncaught exception and log entry of level
// error. Writes a screenshot of the whole page. Talks to Chromium over --remote-debugging-pipe
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

const kSeen = `JSON.stringify({
  images: document.images.length,
  loaded: Array.from(document.images).filter((i) => i.complete && i.naturalWidth > 0).length,
  rows: document.querySelectorAll('table.targets tbody tr').length,
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
