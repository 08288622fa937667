// The show plays in headless Chromium: started with a click, from an order, the position moves at
// the music's pace while frames come at the display's rate, and the keys pause and seek.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { setTimeout as sleep } from 'node:timers/promises';
import { launch, open, serve, startShow } from './site.mjs';

let server, browser, page;
before(async () => {
    server = await serve();
    browser = await launch();
    page = await open(browser, `${server.url}index.html#from=35`);
    await startShow(page);
    const rows = await page.evaluate(() => window.tindrel.rows());
    rowsBefore = rows.reduce((sums, count) => [...sums, sums[sums.length - 1] + count], [0]);
});
after(async () => {
    await browser?.close();
    await server?.close();
});

const reading = () => page.evaluate(() => ({ position: window.tindrel.position(), frames: window.tindrel.frames(), at: performance.now() }));
// Rows from the song's start, as the song's own orders have them.
let rowsBefore = [];
const rowsOf = position => rowsBefore[position.order] + position.row;

test('from order 35 the position advances about 46 rows in 5.5 s, at more than 50 frames a second', async () => {
    assert.equal(await page.evaluate('window.tindrel.error'), null);
    const first = await reading();
    assert.equal(first.position.order, 35);
    await sleep(5500);
    const last = await reading();
    const seconds = (last.at - first.at) / 1000;
    const rows = rowsOf(last.position) - rowsOf(first.position);
    const fps = (last.frames.frames - first.frames.frames) / seconds;
    console.log(`live: ${rows} rows in ${seconds.toFixed(2)} s, ${fps.toFixed(1)} fps, ` +
        `frame p50 ${last.frames.p50.toFixed(1)} ms, p99 ${last.frames.p99.toFixed(1)} ms, max ${last.frames.max.toFixed(1)} ms`);
    assert.ok(Math.abs(rows - 46 * (seconds / 5.5)) <= 3, `${rows} rows in ${seconds.toFixed(2)} s`);
    assert.ok(fps > 50, `${fps.toFixed(1)} frames a second`);
});

test('Space holds the position', async () => {
    await page.keyboard.press('Space');
    await sleep(300);
    const held = await reading();
    await sleep(1000);
    assert.deepEqual((await reading()).position, held.position);
});

// Paused, nothing moves but the seek itself, whatever the machine's load.
test('paused, Left goes one order back at the same row and stays paused; Space plays on', async () => {
    const before = (await reading()).position;
    await page.keyboard.press('ArrowLeft');
    await page.waitForFunction(order => window.tindrel.position()?.order === order, { timeout: 5000 }, before.order - 1);
    const sought = (await reading()).position;
    // The seek starts from the frame on screen, which may be a row behind what was heard.
    assert.ok(Math.abs(sought.row - before.row) <= 1, `row ${before.row} became ${sought.row}`);
    await sleep(500);
    assert.deepEqual((await reading()).position, sought);
    await page.keyboard.press('Space');
    await sleep(1000);
    assert.ok(rowsOf((await reading()).position) > rowsOf(sought), 'playing again');
});
