// The page around the show: it fetches the two WebAssembly modules and the data, gives the show
// a canvas, the keys and the music's clock, and says plainly what went wrong when something does.
//
// For tests and for pages that embed the show:
//   #still=ORDER,ROW,SECONDS  only that frame, at 1:1 in the top-left 600 × 300 CSS pixels;
//                             window.tindrel.ready turns true once it is drawn
//   #from=ORDER               plays from that order
//   window.tindrel.position() {order, row} of what is being heard, while playing
//   window.tindrel.error      the message shown, when one is
//   window.tindrel.frames()   frames presented and how long the show took over each
//   window.tindrel.rows()     the rows of each order of the song, once it is loaded

const $ = id => document.getElementById(id);
const endPosition = 0xFFFFFFFF;
const sampleRate = 44100;

const tindrel = (window.tindrel = {
    ready: false, error: null, position: () => null, frames: () => frameStats(), rows: () => host.timeline?.rows ?? null,
});

function fail(text) {
    tindrel.error = text;
    const message = $('message');
    message.textContent = text;
    message.hidden = false;
    $('loading').hidden = true;
    $('start').hidden = true;
}

// ---- loading, with a bar ----
const progress = { done: 0, total: 1 };
function advance(steps = 1, more = 0) {
    progress.done += steps;
    progress.total += more;
    $('bar').style.width = `${Math.min(100, (100 * progress.done) / progress.total)}%`;
}

async function fetchBytes(url) {
    let response;
    try {
        response = await fetch(url);
    } catch (error) {
        throw new Error(`Could not load ${url}: ${error.message}`);
    }
    if (!response.ok) throw new Error(`Could not load ${url}: ${response.status} ${response.statusText}`.trim());
    const bytes = new Uint8Array(await response.arrayBuffer());
    advance();
    return bytes;
}

// ---- what the show calls: canvas, keys, frames ----
const canvas = $('frame');
const context = canvas.getContext('2d', { alpha: false });
const frameLog = { presents: [], work: [] };
const rafIntervals = [];
let lastRaf = 0;

function frameStats() {
    const work = [...frameLog.work].sort((a, b) => a - b);
    const rank = share => (work.length ? work[Math.min(work.length, Math.max(1, Math.ceil(share * work.length))) - 1] : 0);
    const p = frameLog.presents;
    const span = p.length > 1 ? (p[p.length - 1] - p[0]) / 1000 : 0;
    return { frames: p.length, fps: span > 0 ? (p.length - 1) / span : 0, p50: rank(0.5), p99: rank(0.99), max: rank(1) };
}

// The show's key table: each browser key's command, by name and by its number in the table.
const keys = { byKey: new Map(), codes: new Map(), repeating: new Set() };
const commands = { queue: [] };
const escapeKey = { held: false, pressed: false };

function toggleFullscreen() {
    const request = document.fullscreenElement ? document.exitFullscreen?.() : document.documentElement.requestFullscreen?.();
    request?.catch(() => {});
}

const host = {
    draw(rgba, width, height) {
        context.putImageData(new ImageData(rgba, width, height), 0, 0);
    },
    overlay([corner, panel, banner, said = [], bar = []]) {
        $('corner').textContent = corner.join('\n');
        $('panel').textContent = panel.join('\n');
        $('banner').textContent = banner.join('\n');
        showSaid(said, bar);
    },
    screenshot(name) {
        canvas.toBlob(blob => {
            const link = Object.assign(document.createElement('a'), { href: URL.createObjectURL(blob), download: name });
            link.click();
            setTimeout(() => URL.revokeObjectURL(link.href), 10000);
        }, 'image/png');
    },
    toggleFullscreen,
    refreshSeconds() {
        if (rafIntervals.length < 10) return 1 / 60;
        const sorted = [...rafIntervals].sort((a, b) => a - b);
        return sorted[sorted.length >> 1] / 1000;
    },
    keyTable(text) {
        text.split('\n').filter(Boolean).forEach((line, code) => {
            const [name, browserKeys, repeats] = line.split('\t');
            keys.codes.set(name, code);
            for (const key of browserKeys.split('\x1f')) keys.byKey.set(key, name);
            if (repeats === '1') keys.repeating.add(name);
        });
    },
    nextCommand() {
        return commands.queue.length ? keys.codes.get(commands.queue.shift()) ?? -1 : -1;
    },
    escapePending() {
        return escapeKey.held || escapeKey.pressed;
    },
    escape() {
        const down = escapeKey.held || escapeKey.pressed;
        escapeKey.pressed = false;
        return down;
    },
    error(text) {
        fail(`The show cannot go on.\n${text}`);
    },
    music: null,
    timeline: null,
};

// A key's short message below the corner's lines, and the bar of how far the show is with a
// mark at each scene's start (its share of the song, then the marks').
function showSaid(said, bar) {
    const text = $('said');
    text.textContent = said.join('\n');
    text.style.top = $('corner').textContent ? `calc(${$('corner').offsetHeight}px + 1em)` : '';
    const progress = $('progress');
    const [share, ...marks] = (bar[0] ?? '').split(' ').filter(Boolean).map(Number);
    progress.hidden = share === undefined;
    if (share === undefined) return;
    const percent = value => `${(100 * value).toFixed(2)}%`;
    progress.replaceChildren(Object.assign(document.createElement('div'), { className: 'done' }),
        ...marks.map(mark => Object.assign(document.createElement('div'), { className: 'mark' })));
    progress.firstChild.style.width = percent(share);
    [...progress.children].slice(1).forEach((mark, i) => (mark.style.left = percent(marks[i])));
}

// Letters by what they print, so they follow the keyboard's layout; the rest by name, as the
// show's key table gives them.
function listenToKeys() {
    window.addEventListener('keydown', event => {
        if (event.ctrlKey || event.altKey || event.metaKey) return;
        const command = keys.byKey.get(event.key.length === 1 ? event.key.toLowerCase() : event.key);
        if (command === 'escape') {
            escapeKey.held = escapeKey.pressed = true;
        } else if (command === 'fullscreen') {
            // Within the key's own handler: browsers grant full screen only to a gesture.
            if (!event.repeat) toggleFullscreen();
        } else if (command) {
            if (!event.repeat || keys.repeating.has(command)) commands.queue.push(command);
        } else {
            return;
        }
        event.preventDefault();
    });
    window.addEventListener('keyup', event => {
        if (event.key === 'Escape') escapeKey.held = false;
    });
    window.addEventListener('blur', () => (escapeKey.held = false));
    canvas.addEventListener('dblclick', toggleFullscreen);
}

// ---- the music: the worklet renders, the page tells what is heard ----
class Music {
    constructor(audio, node, ready, gain) {
        this.audio = audio;
        this.node = node;
        this.gain = gain;
        this.current = ready.position;
        this.changes = [];
        this.muted = false;
        this.seeking = 0;  // the seek the worklet has yet to answer, if any
        this.nextSeek = 0;
        node.port.onmessage = event => this.message(event.data);
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
    // The sample frame leaving the speakers now, on the worklet's count.
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
        this.node.port.postMessage({ type: 'play' });
    }
    // The worklet moves when the message reaches it; until it answers, what is heard is taken
    // to be the row sought. The time there is the page's own copy of the song's to tell.
    seek(order, row) {
        this.seeking = ++this.nextSeek;
        this.changes = [];
        this.current = order < host.timeline.rows.length ? (order | (row << 16)) >>> 0 : endPosition;
        this.node.port.postMessage({ type: 'seek', id: this.seeking, order, row });
        return host.timeline.seconds(order, row);
    }
    setPaused(paused) {
        this.node.port.postMessage({ type: 'pause', paused });
    }
    setMuted(muted) {
        this.muted = muted;
        this.node.port.postMessage({ type: 'mute', muted });
    }
    // Cubed, as the desktop's: each step of ten sounds about as large as the last.
    setVolume(percent) {
        this.gain.gain.value = (percent / 100) ** 3;
    }
}

async function startMusic(wasm, song) {
    const audio = new AudioContext({ sampleRate, latencyHint: 'interactive' });
    await audio.audioWorklet.addModule('worklet.js');
    const node = new AudioWorkletNode(audio, 'tindrel-music', {
        numberOfInputs: 0,
        numberOfOutputs: 1,
        outputChannelCount: [2],
        processorOptions: { wasm, song: song.buffer },
    });
    const gain = new GainNode(audio);
    node.connect(gain).connect(audio.destination);
    const ready = await new Promise(resolve => (node.port.onmessage = event => resolve(event.data)));
    if (ready.type !== 'ready') throw new Error(`The music cannot play: ${ready.message}`);
    await audio.resume();
    return new Music(audio, node, ready, gain);
}

// The song's shape, from a copy of the module on the page: the rows of each order, and the
// time an uninterrupted play reaches any of them, asked for as the show needs it.
async function timelineOf(wasm, song) {
    const { default: createMusic } = await import('./music.js');
    const music = await createMusic({
        instantiateWasm: (imports, done) => {
            WebAssembly.instantiate(wasm, imports).then(instance => done(instance, wasm));
            return {};
        },
    });
    const bytes = music._malloc(song.length);
    music.HEAPU8.set(song, bytes);
    const failed = music._music_load(bytes, song.length);
    music._free(bytes);
    if (failed) throw new Error(`The music cannot play: ${music.UTF8ToString(music._music_failure())}`);
    const rows = [];
    for (let order = 0; order < music._music_orders(); ++order) rows.push(music._music_rows(order));
    return { rows, end: music._music_duration(), seconds: (order, row) => music._music_seek(order, row) };
}

async function loadMusic() {
    const [wasm, song] = await Promise.all([
        fetchBytes('music.wasm').then(bytes => WebAssembly.compile(bytes)),
        fetchBytes('data/Super.xm'),
    ]);
    host.timeline = await timelineOf(wasm, song);
    return { wasm, song };
}

// ---- the show ----
async function loadShow(order) {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
        throw new Error('This browser cannot run WebAssembly, which the show is made of. A current Firefox, Chrome, Edge or Safari can.');
    const [{ default: createTindrel }, wasmBinary] = await Promise.all([import('./tindrel.js'), fetchBytes('tindrel.wasm')]);
    const show = await createTindrel({ host, wasmBinary });
    const files = show.UTF8ToString(show._tindrel_files(order)).split('\n').filter(Boolean);
    advance(0, files.length);
    await Promise.all(files.map(async name => {
        const bytes = await fetchBytes(`data/${name}`);
        show.FS.mkdirTree(`/data/${name.split('/').slice(0, -1).join('/')}`);
        show.FS.writeFile(`/data/${name}`, bytes);
    }));
    return show;
}

async function still(order, row, seconds) {
    document.body.classList.add('still');
    progress.total = 3;
    const [show] = await Promise.all([loadShow(order), loadMusic()]);
    const status = show._tindrel_still(order, row, seconds);
    if (status === 1) throw new Error(`No scene draws at order ${order}, row ${row}.`);
    if (status !== 0) return;
    $('loading').hidden = true;
    requestAnimationFrame(() => (tindrel.ready = true));
}

function gesture(label) {
    const start = $('start');
    start.querySelector('span').textContent = label;
    start.hidden = false;
    start.focus();
    return new Promise(resolve => {
        const go = event => {
            if (event.type === 'keydown' && ['Shift', 'Control', 'Alt', 'Meta'].includes(event.key)) return;
            event.preventDefault();
            start.removeEventListener('click', go);
            window.removeEventListener('keydown', go, true);
            start.hidden = true;
            resolve();
        };
        start.addEventListener('click', go);
        window.addEventListener('keydown', go, true);
    });
}

// The player's loop, a turn a display refresh: each turn draws and shows a frame, or the paused
// one again. What the show's own work takes per frame is kept for frames().
function play(show, from) {
    if (show._tindrel_start(from) !== 0) return Promise.resolve(2);
    return new Promise(resolve => {
        const turn = time => {
            if (lastRaf) rafIntervals.push(time - lastRaf);
            if (rafIntervals.length > 120) rafIntervals.shift();
            lastRaf = time;
            const top = performance.now();
            const status = show._tindrel_frame();
            const now = performance.now();
            frameLog.presents.push(now);
            frameLog.work.push(now - top);
            if (status === 1) requestAnimationFrame(turn);
            else resolve(status);
        };
        requestAnimationFrame(turn);
    });
}

async function live(from) {
    if (typeof AudioWorkletNode !== 'function' || !window.isSecureContext)
        throw new Error('This browser cannot play the music here: it needs AudioWorklet, which browsers give to secure pages (https or this machine) only. A current Firefox, Chrome, Edge or Safari over https can.');
    progress.total = 3;
    const [show, { wasm, song }] = await Promise.all([loadShow(-1), loadMusic()]);
    $('loading').hidden = true;
    // Browsers let sound start only from a click or a key.
    await gesture('click to play');
    host.music = await startMusic(wasm, song);
    tindrel.position = () => {
        const position = host.music.position();
        return position === endPosition ? null : { order: position & 0xFFFF, row: position >>> 16 };
    };
    listenToKeys();
    const status = await play(show, from);
    tindrel.position = () => null;
    await host.music.audio.close();
    if (status !== 0) return;
    $('corner').textContent = $('panel').textContent = $('banner').textContent = '';
    await gesture('the end: click to play again');
    location.reload();
}

const hash = new URLSearchParams(location.hash.slice(1));
const numbers = text => text.split(',').map(Number);
(async () => {
    if (hash.has('still')) {
        const [order, row, seconds] = numbers(hash.get('still'));
        if (![order, row, seconds].every(Number.isFinite)) throw new Error('#still= takes ORDER,ROW,SECONDS, e.g. #still=36,8,0');
        await still(order, row, seconds);
    } else {
        const from = hash.has('from') ? Number(hash.get('from')) : 0;
        if (!Number.isInteger(from) || from < 0) throw new Error('#from= takes an order, e.g. #from=35');
        await live(from);
    }
})().catch(error => fail(`The show cannot start.\n${error.message}`));
