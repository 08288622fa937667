// An XM module's 16-bit samples laid out to pack small: each sample's deltas (as the format stores
// them) differenced once more and split into a plane of low bytes then one of high bytes, in
// place, so gzip finds the high bytes' long runs. Everything else stays where it is, so the
// module's layout reads the same either way. Used by the site's build (in node) and by the page.

const u16 = (view, at) => view.getUint16(at, true);
const u32 = (view, at) => view.getUint32(at, true);

// Each 16-bit sample's bytes: [{ at, length }], every read within the file.
function sixteenBitSamples(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const fail = what => { throw new Error(`the music is not an XM module this page can read: ${what}`); };
    const need = (at, size) => { if (at < 0 || at + size > bytes.length) fail(`it ends at byte ${bytes.length}, before ${at + size}`); };
    need(0, 80);
    if (new TextDecoder().decode(bytes.subarray(0, 17)) !== 'Extended Module: ') fail('no XM header');
    const patterns = u16(view, 70), instruments = u16(view, 72);
    let at = 60 + u32(view, 60);
    for (let i = 0; i < patterns; ++i) {
        need(at, 9);
        at += u32(view, at) + u16(view, at + 7);
    }
    const samples = [];
    for (let i = 0; i < instruments; ++i) {
        need(at, 29);
        const count = u16(view, at + 27);
        const headerSize = count ? (need(at, 33), u32(view, at + 29)) : 0;
        let next = at + u32(view, at);
        const heads = [];
        for (let s = 0; s < count; ++s) {
            need(next, 15);
            heads.push({ length: u32(view, next), sixteen: (bytes[next + 14] & 16) !== 0 });
            next += headerSize;
        }
        for (const { length, sixteen } of heads) {
            need(next, length);
            if (sixteen) samples.push({ at: next, length: length & ~1 });
            next += length;
        }
        at = next;
    }
    return samples;
}

// The module packed as above; a new array.
export function planes(module) {
    const out = module.slice();
    for (const { at, length } of sixteenBitSamples(module)) {
        const half = length / 2;
        let previous = 0;
        for (let i = 0; i < half; ++i) {
            const value = (module[at + 2 * i] | (module[at + 2 * i + 1] << 8)) << 16 >> 16;
            const second = (value - previous) & 0xFFFF;
            previous = value;
            out[at + i] = second & 0xFF;
            out[at + half + i] = second >> 8;
        }
    }
    return out;
}

// The module as it was, from its planes; a new array.
export function unplanes(packed) {
    const out = packed.slice();
    for (const { at, length } of sixteenBitSamples(packed)) {
        const half = length / 2;
        let previous = 0;
        for (let i = 0; i < half; ++i) {
            previous = (previous + (packed[at + i] | (packed[at + half + i] << 8))) & 0xFFFF;
            out[at + 2 * i] = previous & 0xFF;
            out[at + 2 * i + 1] = previous >> 8;
        }
    }
    return out;
}
