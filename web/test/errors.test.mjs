// What cannot work is said on the page, in words, instead of leaving a blank canvas.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch, open, serve } from './site.mjs';

const cases = [
    { what: 'a missing picture, for a still', hidden: ['data/Part3/scroll.pcx'], page: '#still=9,30,61.5', says: 'data/Part3/scroll.pcx' },
    { what: 'a missing picture, for the show', hidden: ['data/Part3/scroll.pcx'], page: '', says: 'data/Part3/scroll.pcx' },
    { what: 'missing music', hidden: ['data/Super.xm'], page: '#from=3', says: 'data/Super.xm' },
    { what: 'a missing module of the show', hidden: ['tindrel.wasm'], page: '#still=0,0,0', says: 'tindrel.wasm' },
    { what: 'a browser without WebAssembly', prepare: () => delete window.WebAssembly, page: '', says: 'WebAssembly' },
    { what: 'a browser without AudioWorklet', prepare: () => delete window.AudioWorkletNode, page: '', says: 'AudioWorklet' },
    { what: 'a still without its seconds', page: '#still=36,8', says: '#still= takes ORDER,ROW,SECONDS' },
    // Addresses, with the desktop program's words for its command line.
    { what: 'a still past its order\'s rows', page: '#still=5,99,0', says: 'row 99 is past the end of order 5, whose rows are 0 to 63' },
    { what: 'a still past the song', page: '#still=37,0,0', says: 'order 37 is past the song\'s end; its orders are 0 to 36' },
    { what: 'a still at a negative order', page: '#still=-1,0,0', says: 'ORDER must be a whole number from 0 to 65535, not "-1"' },
    { what: 'a still at a row that is no number', page: '#still=3,x,0', says: 'ROW must be a whole number from 0 to 65535, not "x"' },
    { what: 'a still at seconds that are no number', page: '#still=3,0,soon', says: 'SECONDS must be a number, not "soon"' },
    { what: 'play from past the song', page: '#from=99', says: '#from= 99 is past the song\'s end; its orders are 0 to 36' },
    { what: 'play from a negative order', page: '#from=-1', says: '#from= must be a whole number from 0 to 65535, not "-1"' },
    { what: 'play from an order that is no number', page: '#from=end', says: '#from= must be a whole number from 0 to 65535, not "end"' },
    // What was typed, quoted as typed.
    { what: 'play from a signed order', page: '#from=+7', says: '#from= must be a whole number from 0 to 65535, not "+7"' },
    { what: 'an address part the page does not know', page: '#form=7', says: 'The address holds "form", which the page does not know' },
    { what: 'a still and a play at once', page: '#from=3&still=3,0,0', says: 'a still or a play, not both' },
];

let browser;
before(async () => (browser = await launch()));
after(async () => browser?.close());

for (const { what, hidden = [], prepare, page: hash, says } of cases) {
    test(`${what}: the page says so`, async () => {
        const server = await serve({ hidden });
        try {
            const page = await open(browser, `${server.url}index.html${hash}`, prepare);
            await page.waitForFunction('window.tindrel?.error', { timeout: 60000 });
            const shown = await page.$eval('#message', element => (element.hidden ? '' : element.textContent));
            assert.match(shown, new RegExp(says.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')));
            assert.equal(await page.evaluate('window.tindrel.ready'), false);
            await page.close();
        } finally {
            await server.close();
        }
    });
}
