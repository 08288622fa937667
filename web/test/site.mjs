// What the browser tests share: the built site served from 127.0.0.1, and Debian's Chromium
// driven by puppeteer-core (which downloads no browser of its own).
import { after, before } from 'node:test';
import { createServer } from 'node:http';
import { existsSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { extname, join, normalize } from 'node:path';

export const root = new URL('../../', import.meta.url).pathname;
export const site = process.env.TINDREL_SITE ?? join(root, 'build-web/site');
const require = createRequire(join(process.env.TINDREL_NODE_MODULES ?? join(root, 'build-web/npm/node_modules'), 'x.js'));
const puppeteer = require('puppeteer-core');

const types = {
    '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm', '.jpg': 'image/jpeg',
    '.png': 'image/png', '.webmanifest': 'application/manifest+json', '.gz': 'application/gzip',
};

// Serves the site; the paths in hidden answer 404 (packed or not), as a file missing from an
// upload would, and types maps extensions to the type sent instead, as a misconfigured server
// would. data, when given, is the folder served as data/: another show on the same page.
export async function serve({ hidden = [], types: given = {}, data } = {}) {
    const server = createServer(async (request, response) => {
        const path = normalize(decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname));
        const name = path === '/' ? '/index.html' : path;
        try {
            // A file is missing packed and unpacked alike.
            if (hidden.includes(name.slice(1).replace(/(\.planes)?\.gz$/, '')) || name.includes('..')) throw new Error('hidden');
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

// Firefox ESR, Debian's, where it is installed; null where not.
export const firefox = [process.env.TINDREL_FIREFOX ?? '/usr/bin/firefox-esr'].find(path => existsSync(path)) ?? null;

// Firefox driven the same way as Chromium (over WebDriver BiDi).
export async function launchFirefox() {
    return puppeteer.launch({
        browser: 'firefox', executablePath: firefox, headless: true,
        extraPrefsFirefox: { 'media.autoplay.default': 0, 'media.autoplay.block-webaudio': false },
    });
}

// Holds the key for the time as a keyboard repeats it (30 presses a second), watching the
// canvas meanwhile. A white flash is a frame at least two fifths white, reached by a rise of at
// least a tenth of white from the frame before; a cut between scenes, none of which is that
// bright, is not one.
// Gives the flashes seen, the most in any second, and the seconds watched.
export async function flashesWhileHolding(page, key, milliseconds) {
    await page.evaluate(() => {
        const canvas = document.getElementById('frame');
        const context = canvas.getContext('2d');
        window.lightSeen = [];
        const look = () => {
            const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
            let sum = 0;
            for (let i = 0; i < pixels.length; i += 4) sum += 0.2126 * pixels[i] + 0.7152 * pixels[i + 1] + 0.0722 * pixels[i + 2];
            window.lightSeen.push({ at: performance.now(), light: sum / (pixels.length / 4) });
            if (!window.stopLooking) requestAnimationFrame(look);
        };
        look();
    });
    const until = Date.now() + milliseconds;
    while (Date.now() < until) {
        await page.keyboard.down(key);
        await new Promise(resolve => setTimeout(resolve, 33));
    }
    await page.keyboard.up(key);
    const seen = await page.evaluate(() => {
        window.stopLooking = true;
        return window.lightSeen;
    });
    const starts = seen.filter((frame, i) => i > 0 && frame.light >= 100 && frame.light - seen[i - 1].light >= 25.5)
        .map(frame => frame.at);
    const most = Math.max(0, ...starts.map(start => starts.filter(at => at >= start && at < start + 1000).length));
    return { flashes: starts.length, most, seconds: (seen[seen.length - 1].at - seen[0].at) / 1000 };
}
