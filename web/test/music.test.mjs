// The music as the browser plays it: the site's own worklet and WebAssembly module, run here in
// a scope as bare as the audio thread's, render the whole song exactly as the desktop's
// libopenmpt does, with every change of order and row on the same sample frame.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { createHash } from 'node:crypto';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { root, site } from './site.mjs';

const trace = process.env.TINDREL_MUSIC_TRACE ?? join(root, 'build-web/native/tindrel-music-trace');
const block = 128;

// The audio thread's scope: the processor's base and registry, its clock, and none of the
// page's globals the compiled runtime might reach for.
function workletScope() {
    const scope = { processor: null, posted: [] };
    globalThis.sampleRate = 44100;
    globalThis.currentFrame = 0;
    globalThis.AudioWorkletProcessor = class {
        constructor() {
            this.port = { postMessage: message => scope.posted.push(message), onmessage: null };
        }
    };
    globalThis.registerProcessor = (name, processor) => (scope.processor = processor);
    for (const name of ['performance', 'crypto', 'URL', 'fetch', 'TextDecoder'])
        Object.defineProperty(globalThis, name, { value: undefined, configurable: true, writable: true });
    return scope;
}

async function posted(scope, type) {
    for (let i = 0; i < 1000; ++i) {
        const message = scope.posted.find(m => m.type === type || m.type === 'failed');
        if (message) return message;
        await new Promise(resolve => setTimeout(resolve, 10));
    }
    throw new Error(`the worklet never posted ${type}`);
}

test('the worklet renders the whole song as the desktop does, on the same frames', async () => {
    const scratch = mkdtempSync(join(tmpdir(), 'tindrel-music-'));
    const song = readFileSync(join(site, 'data/Super.xm'));
    const nativeTimeline = execFileSync(trace, [join(site, 'data/Super.xm'), join(scratch, 'native.f32')], { encoding: 'utf8' });
    const native = readFileSync(join(scratch, 'native.f32'));

    // The site's files as they are, in a folder node reads as ES modules, like the browser.
    for (const file of ['worklet.js', 'music.js']) copyFileSync(join(site, file), join(scratch, file));
    writeFileSync(join(scratch, 'package.json'), '{"type": "module"}');
    const wasm = await WebAssembly.compile(readFileSync(join(site, 'music.wasm')));
    const scope = workletScope();
    await import(join(scratch, 'worklet.js'));
    const processor = new scope.processor({ processorOptions: { wasm, song: song.buffer.slice(song.byteOffset, song.byteOffset + song.length) } });
    const ready = await posted(scope, 'ready');
    assert.equal(ready.type, 'ready', ready.message);
    processor.port.onmessage({ data: { type: 'play' } });

    const rendered = Buffer.alloc(native.length + 2 * block * 4);
    let frames = 0;
    const timeline = [];
    for (let seen = 0; ; globalThis.currentFrame += block) {
        const outputs = [[new Float32Array(block), new Float32Array(block)]];
        processor.process([], outputs);
        for (; seen < scope.posted.length; ++seen) {
            const { type, frame, position } = scope.posted[seen];
            if (type !== 'position') continue;
            timeline.push(position === 0xFFFFFFFF ? `${frame} end` : `${frame} ${position & 0xFFFF} ${position >>> 16}`);
        }
        if (timeline.at(-1)?.endsWith('end')) break;
        assert.ok(frames * 8 <= native.length, 'the browser\'s music plays on past the desktop\'s end');
        for (let i = 0; i < block; ++i) {
            rendered.writeFloatLE(outputs[0][0][i], (frames + i) * 8);
            rendered.writeFloatLE(outputs[0][1][i], (frames + i) * 8 + 4);
        }
        frames += block;
    }
    const browser = rendered.subarray(0, frames * 8);
    const digest = bytes => createHash('sha256').update(bytes).digest('hex').slice(0, 16);
    console.log(`music: ${frames} frames, ${timeline.length} changes of position, digest ${digest(browser)} (desktop ${digest(native)})`);

    assert.deepEqual(timeline, nativeTimeline.trim().split('\n'));
    assert.equal(browser.length, native.length, 'as many samples as the desktop');
    if (!browser.equals(native)) {
        const differing = browser.findIndex((byte, i) => byte !== native[i]);
        assert.fail(`the samples differ from frame ${Math.floor(differing / 8)} on`);
    }
});
