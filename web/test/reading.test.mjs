// The page as a phone's visitor and a screen reader's meet it: controls a finger can hit, a key
// panel that fits and says what taps and swipes do, a focus ring that shows, a still that fits
// the width, an address that seeks when edited, words for the canvas and its messages, and no
// violation axe-core can find on the start screen, in play or with the panel open.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { root, servedSite, startShow } from './site.mjs';

const require = createRequire(join(process.env.TINDREL_NODE_MODULES ?? join(root, 'build-web/npm/node_modules'), 'x.js'));
const axeSource = require.resolve('axe-core/axe.min.js');
const served = servedSite();

async function phone(width, height, hash = '') {
    const page = await served.browser.newPage();
    page.on('pageerror', error => console.log(`page error: ${error.message}`));
    await page.setViewport({ width, height, hasTouch: true, isMobile: true, deviceScaleFactor: 3 });
    await page.goto(`${served.server.url}index.html${hash}`);
    return page;
}

const boxes = (page, selector) => page.$$eval(selector, elements => elements.map(element => {
    const r = element.getBoundingClientRect();
    return { what: element.id || element.className || element.tagName, left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width, height: r.height };
}));
const small = list => list.filter(box => box.width < 44 || box.height < 44);

async function tapPicture(page) {
    const frame = (await boxes(page, '#frame'))[0];
    await page.touchscreen.tap(frame.left + frame.width / 2, frame.top + frame.height / 3);
}

async function axe(page, where) {
    await page.addScriptTag({ path: axeSource });
    const { violations } = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
    assert.deepEqual(violations.map(v => `${v.id}: ${v.nodes.map(n => n.target.join(' ')).join(', ')}`), [], where);
}

for (const [width, height] of [[844, 390], [390, 844]]) {
    test(`a phone at ${width} × ${height}: controls of 44 px, a key panel that fits and closes, no axe violations`, async () => {
        const page = await phone(width, height, '#from=12');
        await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 60000 });
        assert.deepEqual(small(await boxes(page, '#start, #gentle-switch, button.scene')), []);
        await axe(page, 'the start screen');

        await page.tap('#start');
        await page.waitForFunction('window.tindrel.frames().frames > 2', { timeout: 30000 });
        await axe(page, 'play');
        await tapPicture(page);
        await page.waitForSelector('#controls:not([hidden])', { timeout: 2000 });
        assert.deepEqual(small(await boxes(page, '#controls button')), []);
        await page.tap('#keys-button');
        await page.waitForSelector('#panel:not([hidden])', { timeout: 3000 });
        const [panel] = await boxes(page, '#panel');
        const [bar] = await boxes(page, '#controls');
        assert.ok(panel.left >= 0 && panel.top >= 0 && panel.right <= width && panel.bottom <= height, JSON.stringify(panel));
        assert.ok(panel.bottom <= bar.top, `the bar covers the panel: ${JSON.stringify({ panel, bar })}`);
        assert.equal(await page.$eval('#panel', element => element.scrollWidth <= element.clientWidth), true, 'lines cut at the side');
        assert.match(await page.$eval('#panel', element => element.textContent), /swipe/);
        await axe(page, 'the key panel');
        await tapPicture(page);
        await page.waitForSelector('#panel', { hidden: true, timeout: 3000 });
        await page.close();
    });
}

test('the focus ring shows on black, and Tab reaches the gentle switch right after the start button', async () => {
    const page = await served.browser.newPage();
    await page.goto(`${served.server.url}index.html`);
    await page.waitForFunction('window.tindrel.playable', { timeout: 60000 });
    await page.keyboard.press('Tab');
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    const ring = await page.evaluate(() => {
        const style = getComputedStyle(document.activeElement);
        return { id: document.activeElement.id, style: style.outlineStyle, width: parseFloat(style.outlineWidth), color: style.outlineColor };
    });
    assert.equal(ring.id, 'start');
    assert.equal(ring.style, 'solid');
    assert.ok(ring.width >= 2, `${ring.width} px`);
    const [r, g, b] = ring.color.match(/\d+/g).map(Number);
    assert.ok(0.2126 * r + 0.7152 * g + 0.0722 * b > 128, `a dark ring: ${ring.color}`);
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate('document.activeElement.id'), 'gentle');
    await page.close();
});

test('a still fits a phone\'s width', async () => {
    const page = await phone(390, 844, '#still=28,40,0');
    await page.waitForFunction('window.tindrel.ready || window.tindrel.error', { timeout: 60000 });
    const [frame] = await boxes(page, '#frame');
    assert.ok(frame.left >= 0 && frame.right <= 390 && Math.abs(frame.width - 2 * frame.height) < 1, JSON.stringify(frame));
    await page.close();
});

test('an edited address seeks; the canvas names the scene and the position is said politely', async () => {
    const page = await served.browser.newPage();
    // Its parts' names in any case.
    await page.goto(`${served.server.url}index.html#FROM=3`);
    await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 60000 });
    assert.equal(await page.evaluate('window.tindrel.error'), null);
    // Edited before play: the start button starts there.
    await page.evaluate(() => (location.hash = '#from=12'));
    await sleep(200);
    await startShow(page);
    assert.equal((await page.evaluate('window.tindrel.position()')).order, 12);
    await page.waitForFunction(() => /star and arrows/.test(document.getElementById('frame').getAttribute('aria-label')), { timeout: 3000 });
    // Edited in play: the show goes there.
    await page.evaluate(() => (location.hash = '#from=20'));
    await page.waitForFunction(() => window.tindrel.position()?.order === 20, { timeout: 5000 });
    assert.equal(await page.$eval('#said', element => element.getAttribute('aria-live')), 'polite');
    await page.close();
});

test('the error page offers to play from the start, which does', async () => {
    // A visitor of its own, without the service worker earlier tests' pages registered.
    const context = await served.browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${served.server.url}index.html#from=99`);
    await page.waitForFunction('window.tindrel.error', { timeout: 60000 });
    await Promise.all([page.waitForNavigation(), page.click('#again')]);
    await page.waitForFunction('window.tindrel.playable', { timeout: 60000 });
    assert.equal(await page.evaluate('location.hash'), '');
    assert.equal(await page.evaluate('window.tindrel.error'), null);
    await context.close();
});
