// The music on the audio thread: our Module, compiled to WebAssembly, renders 128 frames at a
// time. Before each block it reads the position, as the desktop's audio callback does, and posts
// every change stamped with the sample frame the block starts at; the page tells from those what
// is being heard.
import createMusic from './music.js';

// The worklet's scope lacks what the compiled runtime looks for at start; it needs none of them
// to render, so stand-ins do.
globalThis.performance ??= { now: () => (currentFrame / sampleRate) * 1000 };
globalThis.crypto ??= {
    // Never asked for by the music; if it were, a fixed fill keeps every run alike.
    getRandomValues: array => array.fill(0),
};
globalThis.URL ??= class { constructor(href) { this.href = String(href); } };

const endPosition = 0xFFFFFFFF;
const block = 128;

class TindrelMusic extends AudioWorkletProcessor {
    constructor(options) {
        super();
        const { wasm, song } = options.processorOptions;
        this.playing = false;
        this.paused = false;
        this.muted = false;
        this.last = -1;
        this.port.onmessage = event => this.command(event.data);
        createMusic({
            // The page compiled the module: a worklet cannot fetch.
            instantiateWasm: (imports, done) => {
                WebAssembly.instantiate(wasm, imports).then(instance => done(instance, wasm));
                return {};
            },
        }).then(music => this.load(music, new Uint8Array(song)),
                error => this.port.postMessage({ type: 'failed', message: String(error) }));
    }

    load(music, song) {
        const bytes = music._malloc(song.length);
        music.HEAPU8.set(song, bytes);
        // The page has reported the music by its name already; here it needs none.
        const failed = music._music_load(bytes, song.length, 0);
        music._free(bytes);
        if (failed) {
            this.port.postMessage({ type: 'failed', message: music.UTF8ToString(music._music_failure()) });
            return;
        }
        this.music = music;
        this.buffer = music._malloc(2 * block * 4);
        this.port.postMessage({ type: 'ready', position: music._music_position() >>> 0 });
    }

    command(message) {
        switch (message.type) {
        case 'play': this.playing = true; break;
        case 'pause': this.paused = message.paused; break;
        case 'mute': this.muted = message.muted; break;
        case 'seek': {
            const seconds = this.music._music_seek(message.order, message.row);
            this.last = this.music._music_position() >>> 0;
            this.port.postMessage({ type: 'seeked', id: message.id, seconds, position: this.last, frame: currentFrame });
            break;
        }
        }
    }

    process(inputs, outputs) {
        const music = this.music;
        if (!music || !this.playing || this.paused) return true;
        const position = music._music_position() >>> 0;
        if (position !== this.last) {
            this.last = position;
            this.port.postMessage({ type: 'position', frame: currentFrame, position });
        }
        if (position === endPosition) return true;
        // The block the music ends in comes back padded with silence.
        music._music_render(this.buffer, block);
        const [left, right] = outputs[0];
        if (this.muted || !left) return true;
        // Memory may have grown since the last block: the view is taken afresh.
        const samples = music.HEAPF32.subarray(this.buffer >> 2, (this.buffer >> 2) + 2 * block);
        for (let i = 0; i < block; ++i) {
            left[i] = samples[2 * i];
            if (right) right[i] = samples[2 * i + 1];
        }
        return true;
    }
}

registerProcessor('tindrel-music', TindrelMusic);
