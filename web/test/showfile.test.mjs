// A show of one's own on the page: its title, description and length come from its show file
// and its music, as the desktop's window and display take them.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, cpSync, mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { launch, open, root, serve } from './site.mjs';

// The three-scene show the desktop's tests build, built the same way: the program's own sources,
// the fixture's show file and song, and the tunnels' sources again in a folder of their own.
function threeScenes(dir) {
    const sources = join(dir, 'sources');
    cpSync(join(root, 'assets'), sources, { recursive: true });
    const fixture = join(root, 'tests/data/three-scenes');
    copyFileSync(join(fixture, 'show.toml'), join(sources, 'show.toml'));
    copyFileSync(join(fixture, 'super.song'), join(sources, 'music/super.song'));
    mkdirSync(join(sources, 'Encore'));
    for (const file of ['background.svg', 'disco.svg', 'texture.tex.txt'])
        copyFileSync(join(sources, 'Part7', file), join(sources, 'Encore', file));
    execFileSync(join(root, 'build/tindrel-assetgen'), [sources, join(dir, 'data')]);
    return join(dir, 'data');
}

test('the start screen and the title follow the show file', async () => {
    const dir = mkdtempSync(join(tmpdir(), 'tindrel-three-scenes-'));
    const data = threeScenes(dir);
    // The music's length as the desktop renders it: the display writes whole seconds, cut down.
    const rendered = spawnSync(join(root, 'build/tindrel'), ['capture', join(dir, 'music'), '--audio-only', '--data', data],
        { encoding: 'utf8' });
    const seconds = Number(/capture: ([0-9.]+) s of music/.exec(rendered.stderr)[1]);
    assert.ok(seconds % 1 >= 0.5, `a length that rounding would move: ${seconds} s`);
    const length = `${Math.floor(seconds / 60)}:${String(Math.floor(seconds % 60)).padStart(2, '0')}`;

    const server = await serve({ data });
    const browser = await launch();
    try {
        const page = await open(browser, server.url);
        await page.waitForFunction('window.tindrel.playable || window.tindrel.error', { timeout: 60000 });
        const seen = await page.evaluate(() => ({
            title: document.title,
            heading: document.querySelector('h1').textContent,
            description: document.querySelector('#description').textContent,
            length: document.querySelector('#length').textContent,
            error: window.tindrel.error ?? null,
        }));
        assert.deepEqual(seen, {
            title: 'Three Scenes', heading: 'Three Scenes', description: 'tunnels, a farewell and tunnels again', length,
            error: null,
        });
    } finally {
        await browser.close();
        await server.close();
        rmSync(dir, { recursive: true, force: true });
    }
});
