// The peer that imports Tracewell's HAR files with bodies: Playwright's routeFromHAR.
// A headless Chromium loads a page (text, a gzip-encoded style sheet, a PNG) from an
// origin server of this script's own on 127.0.0.1 through `tracewell record -o
// recorded.har`; then the recorder and the origin stop, and a fresh Chromium loads
// the same page with every request answered from the HAR file alone. The page's
// text, the style sheet's rule and the picture's bytes must arrive as the origin
// sent them. Loopback only; the whole run gives up after 60 seconds.
//
// Usage: node playwright_replay.js TRACEWELL WORK_FOLDER
// Writes WORK_FOLDER/recorded.har and keeps the response store in WORK_FOLDER/cache.
'use strict';

const childProcess = require('child_process');
const http = require('http');
const net = require('net');
const path = require('path');
const zlib = require('zlib');
const { chromium } = require('playwright-core');

const kDeadlineMs = 60000;
const [tracewell, work] = process.argv.slice(2);
const harPath = path.join(work, 'recorded.har');
let recorder = null;
const browsers = [];

async function finish(code, message) {
  if (message) console.error(`playwright_replay: ${message}`);
  if (recorder && recorder.exitCode === null) recorder.kill('SIGKILL');
  for (const browser of browsers) await browser.close().catch(() => {});
  process.exit(code);
}
setTimeout(() => finish(1, 'gave up after 60 s'), kDeadlineMs).unref();

// ---- the origin server ------------------------------------------------------------

const kHeading = 'Gr\u00fc\u00dfe vom Ursprung';
const kStyle = 'h1 { color: rgb(0, 128, 128); }\n';
// A 1x1 PNG.
const kPicture = Buffer.from(
    'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNkYPhfDwAChwGA60e6kgAAAABJRU5ErkJggg==',
    'base64');
const kPage = '<!doctype html><html><head><meta charset="utf-8"><title>replay</title>' +
              '<link rel="stylesheet" href="/style.css"></head>' +
              `<body><h1>${kHeading}</h1><img id="dot" src="/dot.png"></body></html>`;

function startOrigin() {
  const server = http.createServer((request, response) => {
    const cached = { 'Cache-Control': 'max-age=600' };
    switch (new URL(request.url, 'http://127.0.0.1').pathname) {
      case '/page':
        response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8', ...cached });
        return response.end(kPage);
      case '/style.css':
        response.writeHead(200, { 'Content-Type': 'text/css', 'Content-Encoding': 'gzip', ...cached });
        return response.end(zlib.gzipSync(kStyle));
      case '/dot.png':
        response.writeHead(200, { 'Content-Type': 'image/png', ...cached });
        return response.end(kPicture);
      default:
        response.writeHead(404, { 'Content-Type': 'text/plain' });
        return response.end('not here');
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// ---- the recorder -----------------------------------------------------------------

// `tracewell record` on a free loopback port; resolves with its address once its
// first line names it.
function startRecorder() {
  recorder = childProcess.spawn(
      tracewell,
      ['record', '--listen', '127.0.0.1:0', '--quiet', '--loopback-only', '--no-intercept', '-o', harPath],
      { env: { ...process.env, XDG_CACHE_HOME: path.join(work, 'cache') }, stdio: ['ignore', 'ignore', 'pipe'] });
  let said = '';
  return new Promise((resolve, reject) => {
    recorder.stderr.on('data', (chunk) => {
      said += chunk;
      const address = /127\.0\.0\.1:[0-9]+/.exec(said);
      if (address) resolve(address[0]);
    });
    recorder.on('exit', (code) => reject(new Error(`the recorder ended early (${code}): ${said}`)));
  });
}

function stopRecorder() {
  return new Promise((resolve, reject) => {
    recorder.removeAllListeners('exit');
    recorder.on('exit', (code) => (code === 0 ? resolve() : reject(new Error(`the recorder ended with ${code}`))));
    recorder.kill('SIGINT');
  });
}

// ---- the browser ------------------------------------------------------------------

// Chromium's own background traffic stays off as far as it can, and what is left goes
// to `proxy` (loopback too) and never reaches a name server.
function browserFlags(proxy) {
  return [
    '--disable-background-networking', '--disable-extensions', '--no-pings', '--no-first-run',
    '--disable-features=AutofillServerCommunication,NetworkTimeServiceQuerying,PasswordLeakDetection,' +
        'OptimizationHints,MediaRouter,Translate',
    '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1', `--proxy-server=http://${proxy}`,
    '--proxy-bypass-list=<-loopback>',
  ];
}

async function launch(proxy) {
  const browser =
      await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args: browserFlags(proxy) });
  browsers.push(browser);
  return browser;
}

// A loopback port that nothing listens on.
function closedPort() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// What the loaded page shows: its heading, the heading's colour, the picture's width
// and the picture's bytes as fetched again (base64).
function readPage(page) {
  return page.evaluate(async () => {
    const heading = document.querySelector('h1');
    const picture = document.getElementById('dot');
    await picture.decode();
    const bytes = new Uint8Array(await (await fetch('/dot.png')).arrayBuffer());
    return {
      heading: heading.textContent,
      color: getComputedStyle(heading).color,
      width: picture.naturalWidth,
      picture: btoa(String.fromCharCode(...bytes)),
    };
  });
}

async function main() {
  const origin = await startOrigin();
  const pageUrl = `http://127.0.0.1:${origin.address().port}/page`;
  const proxy = await startRecorder();

  const recording = await launch(proxy);
  const live = await recording.newPage();
  await live.goto(pageUrl, { waitUntil: 'load' });
  const seen = await readPage(live);
  await recording.close();
  await stopRecorder();
  await new Promise((resolve) => origin.close(resolve));

  // The origin is gone, and the proxy now listens nowhere: whatever the HAR file does
  // not answer is aborted.
  const replaying = await launch(`127.0.0.1:${await closedPort()}`);
  const context = await replaying.newContext();
  await context.routeFromHAR(harPath, { notFound: 'abort' });
  const page = await context.newPage();
  await page.goto(pageUrl, { waitUntil: 'load' });
  const replayed = await readPage(page);

  const expected = { heading: kHeading, color: 'rgb(0, 128, 128)', width: 1, picture: kPicture.toString('base64') };
  let failed = false;
  for (const [name, value] of Object.entries(expected)) {
    for (const [when, got] of [['live', seen], ['replayed', replayed]]) {
      if (got[name] !== value) {
        console.error(`${when} ${name}: ${JSON.stringify(got[name])}, expected ${JSON.stringify(value)}`);
        failed = true;
      }
    }
  }
  console.log(`replayed from ${harPath}: ${JSON.stringify(replayed)}`);
  await finish(failed ? 1 : 0);
}

main().catch((error) => finish(1, error.stack || String(error)));
