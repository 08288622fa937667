// What the browser tests share: the built site served from 127.0.0.1, and Debian's Chromium
// driven by puppeteer-core (which downloads no browser of its own).
import { after, before } from 'node:test';
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';

export const root = new URL('../../', import.meta.url).pathname;
export const site = process.env.TINDREL_SITE ?? join(root, 'build-web/site');
const require = createRequire(join(process.env.TINDREL_NODE_MODULES ?? join(root, 'build-web/npm/node_modules'), 'x.js'));
const puppeteer = require('puppeteer-core');

const types = {
    '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm', '.jpg': 'image/jpeg',
};

// Serves the site; the paths in hidden answer 404, as a file missing from an upload would, and
// types maps extensions to the type sent instead, as a misconfigured server would. data, when
// given, is the folder served as data/: another show on the same page.
export async function serve({ hidden = [], types: given = {}, data } = {}) {
    const server = createServer(async (request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname));
        const name = path === '/' ? '/index.html' : path;
        try {
            if (hidden.includes(name.slice(1)) || name.includes('..')) throw new Error('hidden');
            const body = await readFile(data && name.startsWith('/data/') ? join(data, name.slice(6)) : join(site, name));
            response.writeHead(200, {
                'content-type': given[extname(name)] ?? types[extname(name)] ?? 'application/octet-stream',
                'content-length': body.length,
            });
            response.end(body);
        } catch {
            response.writeHead(404, { 'content-type': 'text/plain' });
            response.end('not found');
        }
    });
    await new Promise(resolve => server.listen(0, '127.0.0.1', resolve));
    return { url: `http://127.0.0.1:${server.address().port}/`, close: () => new Promise(r => server.close(r)) };
}

// The site served and Chromium started before a test file's tests, both closed after them.
export function servedSite() {
    const served = { server: null, browser: null };
    before(async () => {
        served.server = await serve();
        served.browser = await launch();
    });
    after(async () => {
        await served.browser?.close();
        await served.server?.close();
    });
    return served;
}

export async function launch(extraArguments = []) {
    return puppeteer.launch({
        executablePath: process.env.TINDREL_CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--force-color-profile=srgb',
            '--force-device-scale-factor=1', '--disable-background-timer-throttling',
            '--disable-renderer-backgrounding', ...extraArguments],
    });
}

// A page that passes what it logs and throws on to the test's output; prepare runs in the page
// before any of its scripts.
export async function open(browser, url, prepare) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 600 });
    page.on('pageerror', error => console.log(`page error: ${error.message}`));
    page.on('console', message => console.log(`page: ${message.text()}`));
    if (prepare) await page.evaluateOnNewDocument(prepare);
    await page.goto(url);
    return page;
}

// Waits until the start screen can start the show, starts it with a click on what selector names
// and waits for the show to be under way: its first frames presented.
export async function startShow(page, selector = '#start') {
    await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 60000 });
    await page.click(selector);
    await page.waitForFunction('window.tindrel.frames().frames > 2 || window.tindrel.error', { timeout: 30000 });
}
