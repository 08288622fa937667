// Plays the whole show in headless Chromium and prints its pacing, for the figures a change to
// the web build should be judged by. Not a test: it takes the show's whole length.
//   node web/test/full-play.mjs     (after ./scripts/web-test has built the site and its tools)
import { setTimeout as sleep } from 'node:timers/promises';
import { launch, open, serve, startShow } from './site.mjs';

const server = await serve();
const browser = await launch();
try {
    const page = await open(browser, `${server.url}index.html`);
    const started = Date.now();
    await startShow(page);
    // The show ends when its last order is done; the page then stops giving a position.
    while ((await page.evaluate('window.tindrel.position()')) !== null) await sleep(1000);
    const error = await page.evaluate('window.tindrel.error');
    const f = await page.evaluate('window.tindrel.frames()');
    console.log(`${error ? `error: ${error}; ` : ''}played ${((Date.now() - started) / 1000).toFixed(1)} s, ` +
        `frames ${f.frames}, ${f.fps.toFixed(1)} fps, frame p50 ${f.p50.toFixed(1)} ms, p99 ${f.p99.toFixed(1)} ms, ` +
        `max ${f.max.toFixed(1)} ms`);
} finally {
    await browser.close();
    await server.close();
}
