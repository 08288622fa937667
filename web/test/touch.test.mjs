// A phone in each orientation: "tap to play", a tap shows the page's control bar, the bar's pause
// holds the position, a tap on the picture while the bar shows pauses too, and a swipe moves one
// scene. The start screen and the bar are kept as screenshots under build-web/screenshots/.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { root, servedSite } from './site.mjs';

const shots = join(root, 'build-web/screenshots');
mkdirSync(shots, { recursive: true });

const served = servedSite();

const position = page => page.evaluate('window.tindrel.position()');
const rows = p => p.order * 64 + p.row;

async function heldFor(page, milliseconds) {
    await sleep(300);
    const held = await position(page);
    await sleep(milliseconds);
    assert.deepEqual(await position(page), held);
}

for (const [width, height] of [[844, 390], [390, 844]]) {
    test(`a phone at ${width} × ${height}: tap, the bar, pause and swipe`, async () => {
        const page = await served.browser.newPage();
        page.on('pageerror', error => console.log(`page error: ${error.message}`));
        await page.setViewport({ width, height, hasTouch: true, isMobile: true, deviceScaleFactor: 1 });
        await page.goto(`${served.server.url}index.html#from=12`);
        await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 60000 });
        assert.equal(await page.evaluate('window.tindrel.error'), null);
        assert.equal(await page.$eval('#start', element => element.innerText.trim()), 'tap to play');
        const turn = await page.$eval('#turn', element => getComputedStyle(element).display !== 'none');
        assert.equal(turn, height > width, 'the hint to turn the phone');
        await page.screenshot({ path: join(shots, `start-${width}x${height}.png`) });

        await page.tap('#start');
        await page.waitForFunction('window.tindrel.frames().frames > 2', { timeout: 30000 });
        assert.equal(await page.$eval('#controls', element => element.hidden), true);

        // A tap on the picture shows the bar, which goes again after about 3 s.
        const frame = await page.$eval('#frame', element => {
            const r = element.getBoundingClientRect();
            return { x: r.left + r.width / 2, y: r.top + r.height / 3, w: r.width };
        });
        await page.touchscreen.tap(frame.x, frame.y);
        await page.waitForSelector('#controls:not([hidden])', { timeout: 2000 });
        await page.screenshot({ path: join(shots, `bar-${width}x${height}.png`) });
        await page.waitForSelector('#controls[hidden]', { timeout: 5000 });

        // The bar's pause holds the position; its play goes on.
        await page.touchscreen.tap(frame.x, frame.y);
        await page.waitForSelector('#controls:not([hidden])', { timeout: 2000 });
        await page.tap('#pause-button');
        await heldFor(page, 1000);
        assert.equal(await page.$eval('#pause-button', element => element.innerText), 'play');
        await page.tap('#pause-button');
        const going = await position(page);
        await sleep(800);
        assert.ok(rows(await position(page)) > rows(going), 'playing again');

        // While the bar shows, a tap on the picture is Space.
        await page.touchscreen.tap(frame.x, frame.y);
        await heldFor(page, 800);
        await page.touchscreen.tap(frame.x, frame.y);
        await sleep(300);

        // A swipe to the left brings the next scene, which starts at order 15.
        const swipe = Math.min(200, frame.w / 2);
        await page.touchscreen.touchStart(frame.x + swipe / 2, frame.y);
        await page.touchscreen.touchMove(frame.x, frame.y);
        await page.touchscreen.touchMove(frame.x - swipe / 2, frame.y);
        await page.touchscreen.touchEnd();
        await page.waitForFunction(() => window.tindrel.position()?.order === 15, { timeout: 5000 });
        await page.close();
    });
}
