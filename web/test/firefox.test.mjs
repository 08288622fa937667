// Firefox ESR as well as Chromium: every scene's still is the desktop's, pixel for pixel, and the
// show plays live at the music's pace (silently, with a word on why, where Firefox finds no sound
// device).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { setTimeout as sleep } from 'node:timers/promises';
import { firefox, launchFirefox, open, serve, startShow } from './site.mjs';
import { sameStill, stills } from './stills.mjs';

let server, browser;
before(async () => {
    if (!firefox) return;
    server = await serve();
    browser = await launchFirefox();
});
after(async () => {
    await browser?.close();
    await server?.close();
});
const skip = () => (firefox ? false : 'Firefox ESR is not installed (./scripts/web installs it)');

for (const still of stills) {
    const [title, order, row, seconds] = still;
    test(`Firefox: ${title}, the still at ${order}:${row}, ${seconds} s is the desktop's`, { skip: skip() },
        () => sameStill(browser, server.url, still));
}

test('Firefox: from order 35 the show plays at the music\'s pace, at more than 50 frames a second', { skip: skip() }, async () => {
    const page = await open(browser, `${server.url}index.html#from=35`);
    await startShow(page);
    assert.equal(await page.evaluate('window.tindrel.error'), null);
    const rows = await page.evaluate(() => window.tindrel.rows());
    const reading = () => page.evaluate(() => ({ position: window.tindrel.position(), frames: window.tindrel.frames().frames, at: performance.now() }));
    const first = await reading();
    await sleep(5500);
    const last = await reading();
    const seconds = (last.at - first.at) / 1000;
    const moved = (p, q) => (q.order - p.order) * rows[35] + q.row - p.row;
    const played = moved(first.position, last.position);
    const fps = (last.frames - first.frames) / seconds;
    const said = await page.$eval('#notice', element => element.textContent);
    console.log(`Firefox: ${played} rows in ${seconds.toFixed(2)} s, ${fps.toFixed(1)} fps${said ? `; ${said}` : ''}`);
    assert.ok(Math.abs(played - 46 * (seconds / 5.5)) <= 3, `${played} rows in ${seconds.toFixed(2)} s`);
    assert.ok(fps > 50, `${fps.toFixed(1)} frames a second`);
    await page.close();
});
