// The mouse on the page's picture does what the key table says it does on the desktop: the wheel
// seeks an order, a right click pauses, a click on the bar's middle seeks to half the show.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { setTimeout as sleep } from 'node:timers/promises';
import { launch, open, serve, startShow } from './site.mjs';

let server, browser, page;
before(async () => {
    server = await serve();
    browser = await launch();
    page = await open(browser, `${server.url}index.html#from=3`);
    await startShow(page);
});
after(async () => {
    await browser?.close();
    await server?.close();
});

const position = () => page.evaluate(() => window.tindrel.position());
const box = () => page.evaluate(() => {
    const r = document.getElementById('frame').getBoundingClientRect();
    return { x: r.left, y: r.top, width: r.width, height: r.height };
});

test('the wheel seeks, a right click pauses, the bar seeks to its place', async () => {
    const picture = await box();
    await page.mouse.move(picture.x + picture.width / 2, picture.y + picture.height / 3);
    const before = await position();
    await page.mouse.wheel({ deltaY: -100 });
    await sleep(400);
    const after = await position();
    assert.ok(after.order >= before.order + 1, `wheel up: order ${before.order} to ${after.order}`);

    await page.mouse.click(picture.x + picture.width / 2, picture.y + picture.height / 3, { button: 'right' });
    await sleep(300);
    const held = await position();
    await sleep(700);
    assert.deepEqual(await position(), held, 'a right click holds the music');
    await page.mouse.click(picture.x + picture.width / 2, picture.y + picture.height / 3, { button: 'right' });

    // Half of the show's width along the bar: orders 17 to 19 of 37.
    await page.mouse.click(picture.x + picture.width / 2, picture.y + picture.height - 4);
    await sleep(500);
    const sought = await position();
    assert.ok(sought.order >= 17 && sought.order <= 19, `the bar's middle: order ${sought.order}`);
});
