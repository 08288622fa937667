// A frame of every scene, drawn by a browser from #still=, against the desktop program's
// `tindrel still` of the same position, byte for byte in red, green and blue.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { open, root } from './site.mjs';
import { readPngRgb } from './png.mjs';

const tindrel = process.env.TINDREL_BINARY ?? join(root, 'build/tindrel');
// One position in each scene, away from its first frame; the seconds are odd ones, so the
// clock's fractions take part.
export const stills = [
    ['the opening', 2, 40, 5.125],
    ['blob light', 5, 40, 38.75],
    ['the scroller', 9, 30, 61.5],
    ['star and arrows', 12, 40, 88.3],
    ['the cube wave', 16, 40, 115.0625],
    ['the glowing band', 21, 20, 150.2],
    ['tunnels and cones', 28, 40, 200.9],
    ['the wave warp', 33, 40, 236.45],
    ['farewell', 36, 20, 260.0],
];

const scratch = mkdtempSync(join(tmpdir(), 'tindrel-stills-'));

export async function sameStill(browser, url, [, order, row, seconds]) {
    const native = join(scratch, `${order}-${row}.png`);
    execFileSync(tindrel, ['still', String(order), String(row), String(seconds), native]);
    const expected = readPngRgb(readFileSync(native));

    const page = await open(browser, `${url}index.html#still=${order},${row},${seconds}`);
    await page.waitForFunction('window.tindrel.ready || window.tindrel.error', { timeout: 60000 });
    assert.equal(await page.evaluate('window.tindrel.error'), null);
    const shot = readPngRgb(await page.screenshot({ clip: { x: 0, y: 0, width: 600, height: 300 } }));
    await page.close();

    assert.equal(`${shot.width}x${shot.height}`, `${expected.width}x${expected.height}`);
    const differing = shot.rgb.findIndex((byte, i) => byte !== expected.rgb[i]);
    if (differing >= 0) {
        const pixel = Math.floor(differing / 3);
        const at = bytes => [...bytes.subarray(pixel * 3, pixel * 3 + 3)].join(',');
        assert.fail(`first difference at x ${pixel % 600}, y ${Math.floor(pixel / 600)}: ` +
            `browser ${at(shot.rgb)}, desktop ${at(expected.rgb)}`);
    }
}
