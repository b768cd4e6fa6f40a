// The peer for the HAR import tests: a headless Chromium loads pages from an origin
// server of this script's own on 127.0.0.1, and the browser's DevTools protocol
// events (requests, redirects, responses, cache hits, failures) are written out as a
// HAR file the way the browser's developer tools build one.
//
// The pages make: a redirect, a page with a cookie, a style sheet and a script, a
// form POST with text outside ASCII, a request to a closed port (connection
// refused), an aborted request, and a second page whose style sheet comes from the
// browser's cache. The browser resolves no name at all and talks to 127.0.0.1 only;
// the whole run gives up after 60 seconds.
//
// Usage: node chromium_har.js OUT.har
'use strict';

const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const net = require('net');
const os = require('os');
const path = require('path');

const kDeadlineMs = 60000;
const output = process.argv[2];
let browser = null;
let profile = null;

function finish(code, message) {
  if (message) console.error(`chromium_har: ${message}`);
  if (browser && browser.exitCode === null) browser.kill('SIGKILL');
  try {
    if (profile) fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10 });
  } catch (error) {
    console.error(`chromium_har: left ${profile}: ${error.message}`);
  }
  process.exit(code);
}
setTimeout(() => finish(1, 'gave up after 60 s'), kDeadlineMs).unref();

// ---- the origin server ------------------------------------------------------------

function page(title, body) {
  return `<!doctype html><html><head><meta charset="utf-8"><title>${title}</title>` +
         `<link rel="stylesheet" href="/style.css"></head><body>${body}</body></html>`;
}

function appScript(closedPort) {
  return `(async () => {
    await fetch('/submit?step=1', { method: 'POST',
      headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
      body: 'name=Ren%C3%A9e&city=K\u00f6ln' });
    await fetch('http://127.0.0.1:${closedPort}/refused').catch(() => {});
    const abort = new AbortController();
    const slow = fetch('/slow', { signal: abort.signal }).catch(() => {});
    setTimeout(() => abort.abort(), 300);
    await slow;
    document.title = 'done';
  })();`;
}

function startServer(closedPort) {
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://127.0.0.1');
    const send = (status, type, body, headers = {}) => {
      response.writeHead(status, { 'Content-Type': type, ...headers });
      response.end(body);
    };
    switch (url.pathname) {
      case '/start':
        return send(302, 'text/html', '', { Location: '/page', 'Set-Cookie': 'visit=1; Path=/' });
      case '/page':
        return send(200, 'text/html; charset=utf-8',
                    page('Gr\u00fc\u00dfe', '<p>caf\u00e9</p><script src="/app.js"></script>'),
                    { 'Set-Cookie': 'theme=dark; Path=/; Expires=Fri, 01 Jan 2038 00:00:00 GMT' });
      case '/second':
        return send(200, 'text/html; charset=utf-8', page('second', '<p>again</p>'));
      case '/style.css':
        return send(200, 'text/css', 'p { color: teal; }',
                    { 'Cache-Control': 'max-age=3600', ETag: '"s1"' });
      case '/app.js':
        return send(200, 'text/javascript', appScript(closedPort), { 'Cache-Control': 'no-store' });
      case '/submit': {
        let body = '';
        request.on('data', (chunk) => { body += chunk; });
        return request.on('end', () => send(200, 'application/json', JSON.stringify({ got: body })));
      }
      case '/slow':
        return;  // never answered; the page aborts it
      default:
        return send(404, 'text/plain', 'not here');
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// A port on 127.0.0.1 that nothing listens on.
function closedPort() {
  return new Promise((resolve) => {
    const probe = net.createServer();
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// ---- the browser over the DevTools pipe ---------------------------------------------

function launchBrowser() {
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tracewell-chromium-'));
  const flags = [
    '--headless', '--no-sandbox', `--user-data-dir=${profile}`, '--remote-debugging-pipe',
    '--no-first-run', '--no-default-browser-check', '--disable-gpu', '--disable-extensions',
    '--no-pings', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--disable-default-apps', '--disable-domain-reliability',
    '--disable-features=AutofillServerCommunication,NetworkTimeServiceQuerying,' +
        'PasswordLeakDetection,OptimizationHints,MediaRouter,Translate',
    '--no-proxy-server', '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
    'about:blank',
  ];
  browser = childProcess.spawn('chromium', flags, { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  browser.on('error', (error) => finish(1, `cannot start chromium: ${error.message}`));
  browser.on('exit', (code) => finish(1, `chromium ended early (${code})`));

  let nextId = 1;
  const waiting = new Map();
  const listeners = [];
  let pending = '';
  browser.stdio[4].on('data', (chunk) => {
    pending += chunk.toString('utf8');
    let end;
    while ((end = pending.indexOf('\0')) >= 0) {
      const message = JSON.parse(pending.slice(0, end));
      pending = pending.slice(end + 1);
      if (message.id && waiting.has(message.id)) {
        const { resolve, reject } = waiting.get(message.id);
        waiting.delete(message.id);
        if (message.error) reject(new Error(JSON.stringify(message.error)));
        else resolve(message.result);
      } else if (message.method) {
        for (const listen of listeners) listen(message);
      }
    }
  });
  const send = (method, params = {}, sessionId = undefined) => new Promise((resolve, reject) => {
    const id = nextId++;
    waiting.set(id, { resolve, reject });
    browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  });
  return { send, listen: (callback) => listeners.push(callback) };
}

// ---- network events into HAR entries -------------------------------------------------

function headerList(headers) {
  const list = [];
  for (const [name, value] of Object.entries(headers || {})) {
    for (const line of String(value).split('\n')) list.push({ name, value: line });
  }
  return list;
}

function headerValue(headers, wanted) {
  const found = Object.entries(headers || {}).find(([name]) => name.toLowerCase() === wanted);
  return found ? String(found[1]).split('\n')[0] : '';
}

function httpVersion(protocol) {
  return protocol ? protocol.toUpperCase().replace('H2', 'HTTP/2.0') : '';
}

// Raw header blocks come in extra events that may arrive after the hop has ended, one
// per hop that went to the network, so entries are built once everything is in.
class HarRecorder {
  constructor() {
    this.finished = [];
    this.open = new Map();           // requestId -> the hop in progress
    this.networkHops = new Map();    // requestId -> hops so far that went to the network
    this.requestExtras = new Map();  // requestId -> raw request headers, one per hop, in order
    this.responseExtras = new Map();
  }

  busy() { return this.open.size > 0; }

  onEvent({ method, params }) {
    switch (method) {
      case 'Network.requestWillBeSent': return this.started(params);
      case 'Network.requestWillBeSentExtraInfo': return this.queue(this.requestExtras, params);
      case 'Network.responseReceivedExtraInfo': return this.queue(this.responseExtras, params);
      case 'Network.requestServedFromCache': return this.markCached(params.requestId);
      case 'Network.responseReceived': return this.responded(params);
      case 'Network.loadingFinished': return this.ended(params.requestId, params.timestamp, null);
      case 'Network.loadingFailed': return this.ended(params.requestId, params.timestamp, params.errorText);
      default: return undefined;
    }
  }

  queue(map, params) {
    if (!map.has(params.requestId)) map.set(params.requestId, []);
    map.get(params.requestId).push(params.headers);
  }

  started(params) {
    const previous = this.open.get(params.requestId);
    if (previous && params.redirectResponse) {
      previous.response = params.redirectResponse;
      this.close(previous, params.timestamp, null);
    }
    this.open.set(params.requestId, {
      id: params.requestId, request: params.request, wallTime: params.wallTime,
      start: params.timestamp, response: null, fromCache: false,
    });
  }

  markCached(requestId) {
    const hop = this.open.get(requestId);
    if (hop) hop.fromCache = true;
  }

  responded(params) {
    const hop = this.open.get(params.requestId);
    if (!hop) return;
    hop.response = params.response;
    if (params.response.fromDiskCache) hop.fromCache = true;
  }

  ended(requestId, timestamp, error) {
    const hop = this.open.get(requestId);
    if (!hop) return;
    this.close(hop, timestamp, error);
    this.open.delete(requestId);
  }

  close(hop, timestamp, error) {
    const index = this.networkHops.get(hop.id) || 0;
    if (!hop.fromCache) this.networkHops.set(hop.id, index + 1);
    this.finished.push({ hop, end: timestamp, error, index });
  }

  // The entries in the order the requests started.
  entries() {
    return this.finished.sort((a, b) => a.hop.start - b.hop.start).map((done) => this.entry(done));
  }

  extra(map, { hop, index }) {
    const list = map.get(hop.id);
    return !hop.fromCache && list && index < list.length ? list[index] : null;
  }

  entry(done) {
    const { hop, end, error } = done;
    const request = hop.request;
    const url = new URL(request.url);
    const time = Math.max(0, (end - hop.start) * 1000);
    const entry = {
      startedDateTime: new Date(hop.wallTime * 1000).toISOString(),
      time,
      request: {
        method: request.method,
        url: request.url,
        httpVersion: httpVersion(hop.response && hop.response.protocol),
        headers: headerList(this.extra(this.requestExtras, done) || request.headers),
        queryString: [...url.searchParams].map(([name, value]) => ({ name, value })),
        cookies: [],
        headersSize: -1,
        bodySize: request.postData ? Buffer.byteLength(request.postData) : 0,
      },
      response: {
        status: 0, statusText: '', httpVersion: '', headers: [], cookies: [],
        content: { size: 0, mimeType: 'x-unknown' }, redirectURL: '', headersSize: -1, bodySize: -1,
      },
      cache: {},
      timings: { blocked: -1, dns: -1, connect: -1, ssl: -1, send: 0, wait: time, receive: 0 },
    };
    if (request.postData !== undefined) {
      entry.request.postData = { mimeType: headerValue(request.headers, 'content-type'), text: request.postData };
    }
    if (hop.response && !error) {
      const response = hop.response;
      const headers = (response.status !== 304 && this.extra(this.responseExtras, done)) || response.headers;
      Object.assign(entry.response, {
        status: response.status,
        statusText: response.statusText,
        httpVersion: httpVersion(response.protocol),
        headers: headerList(headers),
        content: { size: Math.max(0, response.encodedDataLength || 0), mimeType: response.mimeType },
        redirectURL: headerValue(headers, 'location'),
        bodySize: hop.fromCache ? 0 : -1,
      });
      if (response.remoteIPAddress) entry.serverIPAddress = response.remoteIPAddress.replace(/^\[|\]$/g, '');
    }
    if (error) entry.response._error = error;
    if (hop.fromCache) entry._fromCache = 'memory';
    return entry;
  }
}

// ---- the run ---------------------------------------------------------------------------

const delay = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function until(condition, what) {
  for (let waited = 0; waited < 20000; waited += 50) {
    if (await condition()) return;
    await delay(50);
  }
  throw new Error(`waited too long for ${what}`);
}

async function main() {
  const refused = await closedPort();
  const server = await startServer(refused);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const devtools = launchBrowser();
  const har = new HarRecorder();

  const { targetId } = await devtools.send('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await devtools.send('Target.attachToTarget', { targetId, flatten: true });
  devtools.listen((message) => { if (message.sessionId === sessionId) har.onEvent(message); });
  await devtools.send('Network.enable', {}, sessionId);
  await devtools.send('Page.enable', {}, sessionId);
  const title = async () =>
      (await devtools.send('Runtime.evaluate', { expression: 'document.title' }, sessionId)).result.value;

  await devtools.send('Page.navigate', { url: `${origin}/start` }, sessionId);
  await until(async () => (await title()) === 'done' && !har.busy(), 'the first page');
  await devtools.send('Page.navigate', { url: `${origin}/second` }, sessionId);
  await until(async () => (await title()) === 'second' && !har.busy(), 'the second page');
  await delay(200);
  await until(async () => !har.busy(), 'the last requests');

  const log = {
    log: {
      version: '1.2',
      creator: { name: 'chromium_har.js', version: '1.0' },
      browser: { name: 'Chromium', version: (await devtools.send('Browser.getVersion')).product },
      pages: [],
      entries: har.entries(),
    },
  };
  fs.writeFileSync(output, JSON.stringify(log, null, 2));
  browser.removeAllListeners('exit');
  const exited = new Promise((resolve) => browser.once('exit', resolve));
  devtools.send('Browser.close').catch(() => {});
  await Promise.race([exited, delay(5000)]);  // its profile is removed once it has gone
  server.closeAllConnections();
  server.close();
  finish(0);
}

if (!output) finish(2, 'usage: node chromium_har.js OUT.har');
main().catch((error) => finish(1, error.stack || String(error)));
