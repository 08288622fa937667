// The music: read once on the page's thread, where it answers the song's shape and checks
// addresses, and played by the audio worklet, or on this thread without a sound when the browser's
// audio never starts. Every fact of the song (its rows, its times, its positions, its rate) is
// the compiled module's to tell.
import { fetchBytes, holdsPacked, importPacked, reserve } from './loading.js';
import { unplanes } from './xmplanes.js';

let glue = null;

// A copy of the music on this thread, its module loaded; name is the song's file, for messages.
async function instance(compiled, song, name) {
    glue ??= importPacked('music.js');
    const music = await (await glue)({
        locateFile: path => path,
        instantiateWasm: (imports, done) => {
            WebAssembly.instantiate(compiled, imports).then(made => done(made, compiled));
            return {};
        },
    });
    const bytes = music._malloc(song.length);
    music.HEAPU8.set(song, bytes);
    const named = new TextEncoder().encode(`${name}\0`);
    const nameAt = music._malloc(named.length);
    music.HEAPU8.set(named, nameAt);
    const failed = music._music_load(bytes, song.length, nameAt);
    music._free(nameAt);
    music._free(bytes);
    if (failed) throw new Error(`The music cannot play: ${music.UTF8ToString(music._music_failure())}`);
    return music;
}

// The song as the module reads it: its orders' rows, its length, the time an uninterrupted play
// reaches a row, and positions unpacked.
export class Song {
    constructor(compiled, bytes, music, name) {
        this.name = name;
        this.compiled = compiled;
        this.bytes = bytes;
        this.music = music;
        this.rows = [];
        for (let order = 0; order < music._music_orders(); ++order) this.rows.push(music._music_rows(order));
        this.end = music._music_duration();
        this.endPosition = music._music_end_position() >>> 0;
        this.sampleRate = music._music_sample_rate();
    }
    // The song's three files' places in the loading count, taken before they are fetched.
    static reserve() {
        return [reserve('music.js'), reserve('music.wasm'), reserve(null)];
    }
    // The music's module, compiled: begun before the song's name is known.
    static module([glueCount, wasmCount] = []) {
        glue ??= importPacked('music.js', glueCount);
        return fetchBytes('music.wasm', { packed: true, reserved: wasmCount }).then(wasm => WebAssembly.compile(wasm));
    }
    static async fetch(name, counts = [], compiling = Song.module(counts)) {
        const songCount = counts[2];
        const [compiled, bytes] = await Promise.all([compiling,
            (holdsPacked(`data/${name}.planes`)
                ? fetchBytes(`data/${name}.planes`, { packed: true, reserved: songCount, missing: true }).then(bytes => bytes && unplanes(bytes))
                : Promise.resolve(null))
                .then(bytes => bytes ?? fetchBytes(`data/${name}`, { packed: true, reserved: songCount })),
        ]);
        return new Song(compiled, bytes, await instance(compiled, bytes, name), name);
    }
    // Moves this thread's copy there: the time, and the position it reads there.
    seek(order, row) {
        const seconds = this.music._music_seek(order, row);
        return { seconds, position: this.music._music_position() >>> 0 };
    }
    seconds(order, row) {
        return this.seek(order, row).seconds;
    }
    // {order, row}, or null past the end.
    unpack(position) {
        return position === this.endPosition ? null
            : { order: this.music._music_order_of(position), row: this.music._music_row_of(position) };
    }
    gain(percent) {
        return this.music._music_gain(percent);
    }
    // Where play reaches each row, as text for the show (see music_shape); leaves this copy at the
    // start.
    shape() {
        return this.music.UTF8ToString(this.music._music_shape());
    }
}

// What the show steers, whichever plays: its state is what the show set, so the page's labels
// read it rather than guess.
class Steered {
    constructor(song) {
        this.song = song;
        this.paused = false;
        this.muted = false;
        this.volume = 100;
        this.listeners = [];
    }
    changed() {
        for (const listener of this.listeners) listener(this);
    }
    setPaused(paused) {
        this.paused = paused;
        this.post({ type: 'pause', paused });
        this.changed();
    }
    setMuted(muted) {
        this.muted = muted;
        this.post({ type: 'mute', muted });
        this.changed();
    }
    setVolume(percent) {
        this.volume = percent;
        this.setGain(this.song.gain(percent));
        this.changed();
    }
}

// The worklet's music. Before each block it posts the position when it changes, stamped with the
// block's first sample frame; what is heard is the last change at or before the frame leaving
// the speakers now.
class WorkletMusic extends Steered {
    constructor(song, audio, node, gain, ready) {
        super(song);
        Object.assign(this, { audio, node, gainNode: gain, current: ready.position, changes: [], seeking: 0, nextSeek: 0 });
        node.port.onmessage = event => this.message(event.data);
    }
    post(message) {
        this.node.port.postMessage(message);
    }
    message(data) {
        if (data.type === 'position' && !this.seeking) {
            this.changes.push(data);
        } else if (data.type === 'seeked' && data.id === this.seeking) {
            // Changes posted before the seek were of the old place.
            this.seeking = 0;
            this.changes = [];
            this.current = data.position;
        }
    }
    heardFrame() {
        const stamp = this.audio.getOutputTimestamp();
        const contextTime = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
        return contextTime * this.audio.sampleRate;
    }
    position() {
        const heard = this.heardFrame();
        while (this.changes.length && this.changes[0].frame <= heard) this.current = this.changes.shift().position;
        return this.current;
    }
    play() {
        this.post({ type: 'play' });
        this.audio.resume().catch(() => {});
    }
    // The worklet moves when the message reaches it; until it answers, what is heard is taken
    // to be the row sought.
    seek(order, row) {
        this.seeking = ++this.nextSeek;
        this.changes = [];
        const there = this.song.seek(order, row);
        this.current = there.position;
        this.post({ type: 'seek', id: this.seeking, order, row });
        return there.seconds;
    }
    setGain(gain) {
        this.gainNode.gain.value = gain;
    }
    // The show is over: nothing sounds until it plays again.
    stop() {
        this.post({ type: 'pause', paused: true });
        this.audio.suspend().catch(() => {});
    }
}

// The song played on this thread by the wall's clock, heard by nobody: the picture goes on where
// the browser's audio never starts.
class SilentMusic extends Steered {
    constructor(song, music) {
        super(song);
        this.music = music;
        this.buffer = music._malloc(2 * 4096 * 4);
        this.playing = false;
        this.last = performance.now();
        this.silent = true;
    }
    post() {}
    setGain() {}
    play() {
        this.playing = true;
        this.last = performance.now();
    }
    stop() {
        this.playing = false;
    }
    position() {
        const now = performance.now();
        let frames = this.playing && !this.paused ? Math.round(((now - this.last) / 1000) * this.song.sampleRate) : 0;
        this.last = now;
        while (frames > 0 && this.music._music_position() >>> 0 !== this.song.endPosition) {
            const some = Math.min(frames, 4096);
            this.music._music_render(this.buffer, some);
            frames -= some;
        }
        return this.music._music_position() >>> 0;
    }
    seek(order, row) {
        this.last = performance.now();
        return this.music._music_seek(order, row);
    }
}

// The worklet's music, started within the visitor's tap; null when the browser's audio does not
// start.
export async function startWorklet(song) {
    const audio = new AudioContext({ sampleRate: song.sampleRate, latencyHint: 'interactive' });
    // Asked within the tap, which is what lets it start. A browser without a sound device may never
    // let it run, nor say so.
    const running = Promise.race([audio.resume().then(() => audio.state === 'running', () => false),
        new Promise(resolve => setTimeout(() => resolve(false), 3000))]);
    const made = (async () => {
        await audio.audioWorklet.addModule('worklet.js');
        const node = new AudioWorkletNode(audio, 'tindrel-music', {
            numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2],
            processorOptions: { wasm: song.compiled, song: song.bytes.buffer },
        });
        const gain = new GainNode(audio);
        node.connect(gain).connect(audio.destination);
        const ready = await new Promise(resolve => (node.port.onmessage = event => resolve(event.data)));
        if (ready.type !== 'ready') throw new Error(`The music cannot play: ${ready.message}`);
        return new WorkletMusic(song, audio, node, gain, ready);
    })();
    if (await running) return made;
    made.catch(() => {});
    audio.close().catch(() => {});
    return null;
}

export async function startSilent(song) {
    return new SilentMusic(song, await instance(song.compiled, song.bytes, song.name));
}
