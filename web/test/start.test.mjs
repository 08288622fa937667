// The start screen explains the show and starts it: its words, the gentle switch, a thumbnail
// for each scene, play again without a reload, the time it takes to appear on a slow line, and
// the plain words left on the page when its script cannot run.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { serve, open, site, startShow, servedSite } from './site.mjs';

const served = servedSite();

const introText = page => page.$eval('#intro', element => element.innerText);

for (const reduced of [false, true]) {
    test(`the start screen says what the show is; gentle flashes are ${reduced ? 'on' : 'off'} when reduced motion is ${reduced ? '' : 'not '}asked for`, async () => {
        const page = await served.browser.newPage();
        await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: reduced ? 'reduce' : 'no-preference' }]);
        await page.goto(`${served.server.url}index.html`);
        await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 60000 });
        const text = await introText(page);
        for (const words of ['tindrel', 'It has sound', 'white full-screen flashes', 'Gentle flashes', 'Press h for the keys', 'click to play'])
            assert.ok(text.includes(words), `"${words}" is not on the start screen:\n${text}`);
        assert.match(await page.$eval('#length', element => element.textContent), /^\d+:\d\d$/);
        assert.equal(await page.$eval('#gentle', element => element.checked), reduced);
        const scenes = await page.$$eval('button.scene', buttons => buttons.map(b => b.innerText.trim()));
        assert.equal(scenes.length, 9);
        assert.equal(scenes[0], 'the opening');
        await page.close();
    });
}

// The brightest frame of the first half second from order 36, which opens with a full white flash.
async function brightestOpening(gentle) {
    const page = await open(served.browser, `${served.server.url}index.html#from=36`);
    await page.waitForFunction('window.tindrel.playable', { timeout: 60000 });
    if (gentle) await page.click('#gentle');
    await startShow(page);
    const brightest = await page.evaluate(() => new Promise(resolve => {
        const canvas = document.getElementById('frame');
        const context = canvas.getContext('2d', { willReadFrequently: true });
        let most = 0;
        const started = performance.now();
        const look = () => {
            const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
            let sum = 0;
            for (let i = 0; i < pixels.length; i += 4) sum += pixels[i] + pixels[i + 1] + pixels[i + 2];
            most = Math.max(most, sum / (pixels.length / 4) / 3);
            if (performance.now() - started < 500) requestAnimationFrame(look);
            else resolve(most);
        };
        look();
    }));
    await page.close();
    return brightest;
}

test('gentle flashes keep the flash that opens the last order well below white', async () => {
    const full = await brightestOpening(false);
    const gentle = await brightestOpening(true);
    console.log(`brightest opening frame: ${full.toFixed(0)} of 255, gentle ${gentle.toFixed(0)}`);
    assert.ok(full > 200, `full ${full}`);
    assert.ok(gentle < 0.4 * 255 + 0.6 * 80, `gentle ${gentle}`);
});

test('a thumbnail starts the show at its scene, and position() says so from the click', async () => {
    const page = await open(served.browser, `${served.server.url}index.html`);
    await page.waitForFunction('window.tindrel.playable', { timeout: 60000 });
    const asked = await page.evaluate(() => {
        document.querySelector('button.scene[data-order="23"]').click();
        return window.tindrel.position();
    });
    assert.deepEqual(asked, { order: 23, row: 0 });
    await sleep(1500);
    const later = await page.evaluate('window.tindrel.position()');
    assert.equal(later.order, 23);
    assert.ok(later.row > 0, `row ${later.row}`);
    await page.close();
});

test('play again starts over from the start at once, without a reload', async () => {
    const page = await open(served.browser, `${served.server.url}index.html#from=36`);
    await startShow(page);
    await page.evaluate('window.stillThisPage = true');
    await page.waitForFunction('window.tindrel.position() === null && !document.getElementById("intro").hidden', { timeout: 30000 });
    assert.match(await page.$eval('#start', element => element.innerText), /play again/);
    const asked = await page.evaluate(() => {
        document.getElementById('start').click();
        return window.tindrel.position();
    });
    assert.deepEqual(asked, { order: 0, row: 0 });
    await sleep(1500);
    assert.equal(await page.evaluate('window.stillThisPage'), true);
    assert.equal(await page.$eval('#intro', element => element.hidden), true);
    const playing = await page.evaluate('window.tindrel.position()');
    assert.ok(playing.order === 0 && playing.row > 0, JSON.stringify(playing));
    await page.close();
});

// A fresh visitor each time: nothing cached.
async function loadTimes(throttled) {
    const context = await served.browser.createBrowserContext();
    const page = await context.newPage();
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
    if (throttled)
        await cdp.send('Network.emulateNetworkConditions', {
            offline: false, latency: 40, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8,
        });
    await page.goto(`${served.server.url}index.html`, { waitUntil: 'domcontentloaded' });
    await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 120000 });
    // The page's own clock, from the start of the navigation.
    const [intro, playable] = await page.evaluate(() =>
        ['tindrel-start-screen', 'tindrel-playable'].map(name => Math.round(performance.getEntriesByName(name)[0].startTime)));
    await context.close();
    return { intro, playable };
}

test('the start screen appears within 2 s on a 10 Mbit/s line with 40 ms latency', async () => {
    // The first visit of a run also starts the browser's processes for it: not the line's time.
    await loadTimes(false);
    const fast = await loadTimes(false);
    const slow = await loadTimes(true);
    console.log(`load: start screen ${fast.intro} ms, playable ${fast.playable} ms; ` +
        `at 10 Mbit/s and 40 ms: start screen ${slow.intro} ms, playable ${slow.playable} ms`);
    assert.ok(slow.intro <= 2000, `${slow.intro} ms`);
});

// The bar moves while the files are still arriving, not only as each one completes.
test('on a slow line the bar moves within each file', async () => {
    const context = await served.browser.createBrowserContext();
    const page = await context.newPage();
    const cdp = await page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.emulateNetworkConditions', { offline: false, latency: 40, downloadThroughput: 2e6 / 8, uploadThroughput: 2e6 / 8 });
    await page.goto(`${served.server.url}index.html`, { waitUntil: 'domcontentloaded' });
    const widths = new Set();
    for (let i = 0; i < 12; ++i) {
        await sleep(250);
        widths.add(await page.$eval('#start-bar', element => element.style.width));
    }
    await context.close();
    assert.ok(widths.size >= 6, `the bar showed only ${[...widths].join(', ')}`);
});

const unserved = [
    { what: 'opened from a file', url: () => `file://${join(site, 'index.html')}` },
    { what: 'served with .js as text/plain', types: { '.js': 'text/plain' } },
];
for (const { what, url, types } of unserved) {
    test(`${what}, the page says how to serve it`, async () => {
        const wrong = types && (await serve({ types }));
        try {
            const page = await served.browser.newPage();
            await page.goto(url ? url() : `${wrong.url}index.html`, { waitUntil: 'load' });
            await sleep(500);
            const shown = await page.$eval('#message', element => (element.hidden ? '' : element.innerText));
            assert.match(shown, /python3 -m http\.server/);
            assert.match(shown, /text\/javascript/);
            await page.close();
        } finally {
            await wrong?.close();
        }
    });
}
