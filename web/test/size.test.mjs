// The whole site, as a visitor's browser fetches it (packed files packed, the rest as a server
// would compress it), stays within what a link can ask a visitor to wait for.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { site } from './site.mjs';

const limit = 2.5 * 1024 * 1024;

test('the site is at most 2.5 MB gzipped, and holds the files the page loads', () => {
    const files = readdirSync(site, { recursive: true, withFileTypes: true }).filter(entry => entry.isFile());
    const names = files.map(entry => join(entry.path ?? entry.parentPath, entry.name).slice(site.length + 1));
    for (const name of ['index.html', 'main.js', 'keeper.js', 'manifest.webmanifest', 'icon.png', 'style.css', 'sheet.jpg', 'tindrel.js', 'tindrel.wasm', 'tindrel-plain.js', 'tindrel-plain.wasm', 'music.js', 'music.wasm', 'worklet.js', 'xmplanes.js', 'data/Super.xm', 'data/Super.xm.planes.gz'])
        assert.ok(names.includes(name), `${name} is missing`);
    // What a browser fetches: a file packed rather than itself, a song's planes rather than its gzip.
    const superseded = name => names.includes(`${name}.gz`) || names.includes(name.replace(/\.gz$/, '.planes.gz'));
    const fetched = files.filter(entry => !superseded(join(entry.path ?? entry.parentPath, entry.name).slice(site.length + 1)));
    const bytes = fetched.reduce((sum, entry) => {
        const data = readFileSync(join(entry.path ?? entry.parentPath, entry.name));
        return sum + (entry.name.endsWith('.gz') ? data.length : gzipSync(data, { level: 9 }).length);
    }, 0);
    console.log(`site: ${fetched.length} files fetched, ${(bytes / 1024).toFixed(0)} KB gzipped`);
    assert.ok(bytes <= limit, `${(bytes / 1024 / 1024).toFixed(2)} MB gzipped`);
});
