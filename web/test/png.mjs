// Just enough PNG reading for the tests: 8-bit RGB or RGBA, not interlaced, as both the show and
// Chromium write them. Returns the pixels as RGB, three bytes each.
import { inflateSync } from 'node:zlib';

export function readPngRgb(file) {
    const signature = '89504e470d0a1a0a';
    if (file.subarray(0, 8).toString('hex') !== signature) throw new Error('not a PNG file');
    let width = 0, height = 0, channels = 0;
    const data = [];
    for (let at = 8; at < file.length;) {
        const length = file.readUInt32BE(at);
        const type = file.toString('latin1', at + 4, at + 8);
        const body = file.subarray(at + 8, at + 8 + length);
        if (type === 'IHDR') {
            width = body.readUInt32BE(0);
            height = body.readUInt32BE(4);
            const [depth, colour, , , interlace] = body.subarray(8, 13);
            channels = { 2: 3, 6: 4 }[colour];
            if (depth !== 8 || !channels || interlace !== 0) throw new Error(`unsupported PNG (depth ${depth}, colour ${colour})`);
        } else if (type === 'IDAT') {
            data.push(body);
        }
        at += 12 + length;
    }
    const raw = inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const pixels = Buffer.alloc(width * height * channels);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        const out = pixels.subarray(y * stride, (y + 1) * stride);
        const up = y ? pixels.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
        for (let x = 0; x < stride; ++x) {
            const a = x >= channels ? out[x - channels] : 0, b = up[x], c = x >= channels ? up[x - channels] : 0;
            let predicted = 0;
            if (filter === 1) predicted = a;
            else if (filter === 2) predicted = b;
            else if (filter === 3) predicted = (a + b) >> 1;
            else if (filter === 4) {
                const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
                predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            out[x] = (line[x] + predicted) & 0xFF;
        }
    }
    if (channels === 3) return { width, height, rgb: pixels };
    const rgb = Buffer.alloc(width * height * 3);
    for (let i = 0, j = 0; i < pixels.length; i += 4, j += 3) pixels.copy(rgb, j, i, i + 3);
    return { width, height, rgb };
}
