// A frame of every scene, drawn in headless Chromium from #still=, is the desktop program's
// `tindrel still` of the same position, byte for byte in red, green and blue.
import { test } from 'node:test';
import { servedSite } from './site.mjs';
import { sameStill, stills } from './stills.mjs';

const served = servedSite();

for (const still of stills) {
    const [title, order, row, seconds] = still;
    test(`${title}: the still at ${order}:${row}, ${seconds} s is the desktop's`, () => sameStill(served.browser, served.server.url, still));
}
