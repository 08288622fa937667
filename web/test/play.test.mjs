// Live play as visitors meet it: the music stops with the show however it ends, Escape ends the
// show from any order and closes the key panel first, a hidden page pauses picture and music
// together, the bar's labels say what is so, held keys bring no storm of flashes, and a browser
// whose audio never starts plays the picture silently with a word on why.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { setTimeout as sleep } from 'node:timers/promises';
import { flashesWhileHolding, open, servedSite, startShow } from './site.mjs';

const served = servedSite();

// Keeps the page's audio contexts where the test can see whether any is running.
function watchAudio() {
    window.audioContexts = [];
    const Base = window.AudioContext;
    window.AudioContext = class extends Base {
        constructor(...options) {
            super(...options);
            window.audioContexts.push(this);
        }
    };
}
const sounding = page => page.evaluate(() => window.audioContexts.some(context => context.state === 'running'));
const position = page => page.evaluate('window.tindrel.position()');
const over = page => page.waitForFunction('window.tindrel.position() === null && !document.getElementById("intro").hidden', { timeout: 40000 });

const endings = [
    { how: 'Escape', from: 5, end: page => page.keyboard.press('Escape') },
    { how: 'Escape, from the first order', from: 0, end: page => page.keyboard.press('Escape') },
    { how: 'q', from: 5, end: page => page.keyboard.press('q') },
    { how: 'the end of the music', from: 36, end: async () => {} },
];
for (const { how, from, end } of endings) {
    test(`ended by ${how} from order ${from}, the music stops with the show, and plays again with it`, async () => {
        const page = await open(served.browser, `${served.server.url}index.html#from=${from}`, watchAudio);
        await startShow(page);
        await sleep(500);
        assert.equal(await sounding(page), true);
        await end(page);
        await over(page);
        await sleep(300);
        assert.equal(await sounding(page), false, 'the music plays on the start screen');
        if (how.startsWith('the end')) {
            await page.click('#start');
            await page.waitForFunction(() => window.tindrel.position()?.row > 0, { timeout: 10000 });
            assert.equal(await sounding(page), true, 'play again is silent');
        }
        await page.close();
    });
}

test('Escape closes the key panel first, then ends the show', async () => {
    const page = await open(served.browser, `${served.server.url}index.html#from=3`, watchAudio);
    await startShow(page);
    await page.keyboard.press('h');
    await page.waitForSelector('#panel:not([hidden])', { timeout: 3000 });
    await page.keyboard.press('Escape');
    await page.waitForSelector('#panel', { hidden: true, timeout: 3000 });
    assert.notEqual(await position(page), null, 'the show ended with the panel');
    await page.keyboard.press('Escape');
    await over(page);
    await page.close();
});

test('a hidden page pauses the show and its music, and both go on together when seen again', async () => {
    const page = await open(served.browser, `${served.server.url}index.html#from=12`, watchAudio);
    await startShow(page);
    const setHidden = hidden => page.evaluate(value => {
        Object.defineProperty(document, 'hidden', { value, configurable: true });
        Object.defineProperty(document, 'visibilityState', { value: value ? 'hidden' : 'visible', configurable: true });
        document.dispatchEvent(new Event('visibilitychange'));
    }, hidden);
    await setHidden(true);
    await sleep(300);
    const held = await position(page);
    const frames = (await page.evaluate('window.tindrel.frames()')).frames;
    await sleep(1500);
    assert.deepEqual(await position(page), held, 'the music went on');
    assert.ok((await page.evaluate('window.tindrel.frames()')).frames <= frames + 1, 'frames went on');
    await setHidden(false);
    await sleep(1000);
    const going = await position(page);
    assert.ok(going.order * 64 + going.row > held.order * 64 + held.row, 'still paused');
    assert.equal(await page.$eval('#pause-button', element => element.textContent), 'pause');
    await page.close();
});

test('the bar says what is so: mute, and a pause made with the keyboard', async () => {
    const page = await served.browser.newPage();
    await page.setViewport({ width: 844, height: 390, hasTouch: true, isMobile: true });
    await page.goto(`${served.server.url}index.html#from=12`);
    await startShow(page);
    const frame = await page.$eval('#frame', element => {
        const r = element.getBoundingClientRect();
        return { x: r.left + r.width / 2, y: r.top + r.height / 3 };
    });
    const label = id => page.$eval(id, element => element.textContent);
    await page.keyboard.press('Space');
    await sleep(200);
    await page.touchscreen.tap(frame.x, frame.y);
    await page.waitForSelector('#controls:not([hidden])', { timeout: 2000 });
    assert.equal(await label('#pause-button'), 'play');
    await page.tap('#pause-button');
    await page.waitForFunction(() => document.getElementById('pause-button').textContent === 'pause', { timeout: 2000 });
    await page.tap('#mute-button');
    await page.waitForFunction(() => document.getElementById('mute-button').textContent === 'sound on', { timeout: 2000 });
    assert.equal(await page.$eval('#mute-button', element => element.getAttribute('aria-pressed')), 'true');
    await page.tap('#mute-button');
    await page.waitForFunction(() => document.getElementById('mute-button').textContent === 'mute', { timeout: 2000 });
    await page.close();
});

test('holding → for 3 s brings at most 3 white flashes in any second', async () => {
    const page = await open(served.browser, `${served.server.url}index.html#from=0`);
    await startShow(page);
    const { most, flashes, seconds } = await flashesWhileHolding(page, 'ArrowRight', 3000);
    console.log(`holding →: ${flashes} flashes in ${seconds.toFixed(1)} s, at most ${most} in a second`);
    assert.ok(most <= 3, `${most} flashes in one second`);
    await page.close();
});

test('where the browser\'s audio never starts, the picture plays silently and the page says why', async () => {
    const page = await open(served.browser, `${served.server.url}index.html#from=12`, () => {
        AudioContext.prototype.resume = function () {
            this.suspend();
            return new Promise(() => {});
        };
    });
    await startShow(page);
    assert.match(await page.$eval('#notice', element => element.textContent), /sound did not start/);
    const first = await position(page);
    await sleep(1500);
    const later = await position(page);
    assert.ok(later.order * 64 + later.row > first.order * 64 + first.row + 6, `${JSON.stringify(first)} then ${JSON.stringify(later)}`);
    await page.close();
});
