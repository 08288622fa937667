// The page around the show: it fetches the two WebAssembly modules and the data, gives the show
// a canvas, the keys and the music's clock, and says plainly what went wrong when something does.
//
// For tests and for pages that embed the show:
//   #still=ORDER,ROW,SECONDS  only that frame, at 1:1 in the top-left 600 × 300 CSS pixels;
//                             window.tindrel.ready turns true once it is drawn
//   #from=ORDER               plays from that order
//   #plain                    the show's build without WebAssembly SIMD, as older browsers get
//   window.tindrel.position() {order, row} of what is being heard, from the moment play is asked
//   window.tindrel.error      the message shown, when one is
//   window.tindrel.frames()   frames presented and how long the show took over each
//   window.tindrel.rows()     the rows of each order of the song, once it is loaded
//   window.tindrel.playable   true once the start button can start the show; the performance
//                             marks tindrel-start-screen and tindrel-playable say when
//   window.tindrel.simd       whether the show runs its SIMD build

const $ = id => document.getElementById(id);
const endPosition = 0xFFFFFFFF;
const sampleRate = 44100;

const tindrel = (window.tindrel = {
    ready: false, error: null, playable: false, simd: false, position: () => null, frames: () => frameStats(),
    rows: () => host.timeline?.rows ?? null,
});
// The script runs: the message for when it cannot gives way.
$('message').hidden = true;
$('message').textContent = '';

function fail(text) {
    tindrel.error = text;
    const message = $('message');
    message.textContent = text;
    message.hidden = false;
    $('loading').hidden = true;
    $('intro').hidden = true;
    $('controls').hidden = true;
}

// ---- loading, with a bar that follows the bytes ----
// Each file counts its bytes as they arrive, against its Content-Length; a file whose length is
// not known yet counts as the average of those known. The bar never moves back.
const transfers = [];
let shownShare = 0;
function showProgress() {
    const known = transfers.filter(t => t.size > 0);
    const guess = known.length ? known.reduce((sum, t) => sum + t.size, 0) / known.length : 1;
    const total = transfers.reduce((sum, t) => sum + (t.size > 0 ? t.size : Math.max(guess, t.received)), 0);
    const received = transfers.reduce((sum, t) => sum + Math.min(t.received, t.size > 0 ? t.size : Infinity), 0);
    shownShare = Math.max(shownShare, total > 0 ? received / total : 0);
    const percent = `${Math.min(100, 100 * shownShare)}%`;
    $('bar').style.width = percent;
    $('start-bar').style.width = percent;
    if (!tindrel.playable) $('start').querySelector('span').textContent = `loading ${Math.floor(100 * shownShare)} %`;
}

async function fetchBytes(url) {
    const transfer = { size: 0, received: 0 };
    transfers.push(transfer);
    showProgress();
    let response;
    try {
        response = await fetch(url);
    } catch (error) {
        throw new Error(`Could not load ${url}: ${error.message}`);
    }
    if (!response.ok) throw new Error(`Could not load ${url}: ${response.status} ${response.statusText}`.trim());
    // A compressed answer's length is of the compressed bytes, which the stream does not count.
    const encoded = (response.headers.get('content-encoding') ?? 'identity') !== 'identity';
    transfer.size = encoded ? 0 : Number(response.headers.get('content-length')) || 0;
    if (!response.body?.getReader) {
        const bytes = new Uint8Array(await response.arrayBuffer());
        transfer.size = transfer.received = bytes.length;
        showProgress();
        return bytes;
    }
    const reader = response.body.getReader();
    const chunks = [];
    for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        chunks.push(value);
        transfer.received += value.length;
        showProgress();
    }
    const bytes = new Uint8Array(transfer.received);
    let at = 0;
    for (const chunk of chunks) {
        bytes.set(chunk, at);
        at += chunk.length;
    }
    transfer.size = transfer.received;
    showProgress();
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
    // A double click asks for full screen; a double tap is two taps, which the touch bar reads.
    canvas.addEventListener('dblclick', () => lastPointer !== 'touch' && toggleFullscreen());
}

function give(command) {
    if (command === 'fullscreen') {
        toggleFullscreen();
        return;
    }
    commands.queue.push(command);
    if (command === 'pause') playState.paused = !playState.paused;
    showControlState();
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

// ---- the show ----
// The SIMD build where the browser validates a SIMD instruction (i8x16.splat), else the plain one.
function hasSimd() {
    const probe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0,
        65, 0, 253, 15, 253, 98, 11]);
    try {
        return WebAssembly.validate(probe);
    } catch {
        return false;
    }
}

function requireWebAssembly() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
        throw new Error('This browser cannot run WebAssembly, which the show is made of. A current Firefox, Chrome, Edge or Safari can.');
}

async function loadShow(order) {
    tindrel.simd = !hash.has('plain') && hasSimd();
    const name = tindrel.simd ? 'tindrel' : 'tindrel-plain';
    const [{ default: createTindrel }, wasmBinary] = await Promise.all([import(`./${name}.js`), fetchBytes(`${name}.wasm`)]);
    const show = await createTindrel({ host, wasmBinary });
    // The show file names the show, its music and its scenes; data made without one plays the
    // program's own show.
    const showFile = await fetch('data/show.toml');
    if (showFile.ok) {
        show.FS.mkdirTree('/data');
        show.FS.writeFile('/data/show.toml', new Uint8Array(await showFile.arrayBuffer()));
    }
    if (show._tindrel_load() !== 0) throw new Error('The show file cannot be read.');
    const [title, author, description, musicFile] = show.UTF8ToString(show._tindrel_show()).split('\n');
    show.facts = { title, author, description, musicFile };
    const files = show.UTF8ToString(show._tindrel_files(order)).split('\n').filter(Boolean);
    await Promise.all(files.map(async file => {
        const bytes = await fetchBytes(`data/${file}`);
        show.FS.mkdirTree(`/data/${file.split('/').slice(0, -1).join('/')}`);
        show.FS.writeFile(`/data/${file}`, bytes);
    }));
    return show;
}

// The music read once on this thread as well: its orders' rows check addresses before anything
// plays, its length goes on the start screen, and the show asks it the song's shape: the time an
// uninterrupted play reaches a row, for a seek or a still.
async function readSong(musicModule, song, name) {
    const { default: createMusic } = await import('./music.js');
    const music = await createMusic({
        instantiateWasm: (imports, done) => {
            WebAssembly.instantiate(musicModule, imports).then(instance => done(instance, musicModule));
            return {};
        },
    });
    const bytes = music._malloc(song.length);
    music.HEAPU8.set(song, bytes);
    const nameBytes = new TextEncoder().encode(`${name}\0`);
    const namePointer = music._malloc(nameBytes.length);
    music.HEAPU8.set(nameBytes, namePointer);
    const failed = music._music_load(bytes, song.length, namePointer);
    music._free(namePointer);
    music._free(bytes);
    if (failed) throw new Error(`The music cannot play: ${music.UTF8ToString(music._music_failure())}`);
    const rows = [];
    for (let order = 0; order < music._music_orders(); ++order) rows.push(music._music_rows(order));
    const seconds = music._music_duration();
    host.timeline = {
        rows, end: seconds, endSample: music._music_end_sample(),
        seconds: (order, row) => music._music_seek(order, row),
        start: (order, row) => music._music_row_start(order, row),
    };
    return { rows, seconds };
}

// The music the show names, once the show has said which it is.
function fetchSong(showReady) {
    return Promise.all([fetchBytes('music.wasm').then(bytes => WebAssembly.compile(bytes)),
        showReady.then(show => fetchBytes(`data/${show.facts.musicFile}`).then(song => ({ song, name: show.facts.musicFile })))])
        .then(async ([wasm, { song, name }]) => ({ wasm, song, ...(await readSong(wasm, song, name)) }));
}

// ---- addresses, checked as the desktop program checks its command line ----
function whole(text, what) {
    if (!/^[0-9]+$/.test(text) || Number(text) > 65535)
        throw new Error(`${what} must be a whole number from 0 to 65535, not "${text}"`);
    return Number(text);
}

function checkOrder(rows, order, what) {
    if (order >= rows.length)
        throw new Error(`${what} ${order} is past the song's end; its orders are 0 to ${rows.length - 1}`);
}

function checkRow(rows, order, row) {
    if (row >= rows[order])
        throw new Error(`row ${row} is past the end of order ${order}, whose rows are 0 to ${rows[order] - 1}`);
}

async function still(text) {
    const parts = text.split(',');
    if (parts.length !== 3) throw new Error('#still= takes ORDER,ROW,SECONDS, e.g. #still=36,8,0');
    const order = whole(parts[0], 'ORDER');
    const row = whole(parts[1], 'ROW');
    const seconds = parts[2].trim() === '' ? NaN : Number(parts[2]);
    if (!(seconds >= -1e6 && seconds <= 1e6)) throw new Error(`SECONDS must be a number, not "${parts[2]}"`);
    document.body.classList.add('still');
    $('loading').hidden = false;
    const showReady = loadShow(order);
    const [show, { rows }] = await Promise.all([showReady, fetchSong(showReady)]);
    checkOrder(rows, order, 'order');
    checkRow(rows, order, row);
    const status = show._tindrel_still(order, row, seconds);
    if (status === 1) throw new Error(`No scene draws at order ${order}, row ${row}.`);
    if (status !== 0) return;
    $('loading').hidden = true;
    requestAnimationFrame(() => (tindrel.ready = true));
}

// ---- the start screen ----
const touchScreen = navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;
const verb = touchScreen ? 'tap' : 'click';


// The contact sheet's grid, as the sheet command lays it out: three columns of 300 × 150
// frames, each over a 24-pixel label, 12 pixels apart, under a 44-pixel heading.
const sheet = { width: 948, height: 602, cellW: 300, cellH: 150, label: 24, margin: 12, header: 44, columns: 3 };

function thumbnails(scenes) {
    const box = $('scenes');
    box.replaceChildren();
    scenes.forEach(({ first, title }, i) => {
        const column = i % sheet.columns, line = Math.floor(i / sheet.columns);
        const x = sheet.margin + column * (sheet.cellW + sheet.margin);
        const y = sheet.header + line * (sheet.cellH + sheet.label + sheet.margin);
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'scene';
        button.dataset.order = first;
        button.title = `play from ${title}`;
        const picture = document.createElement('span');
        picture.className = 'thumb';
        picture.style.backgroundSize = `${(100 * sheet.width) / sheet.cellW}% ${(100 * sheet.height) / sheet.cellH}%`;
        picture.style.backgroundPosition = `${(100 * x) / (sheet.width - sheet.cellW)}% ${(100 * y) / (sheet.height - sheet.cellH)}%`;
        const caption = document.createElement('span');
        caption.textContent = title;
        button.append(picture, caption);
        box.append(button);
    });
}

function showIntro() {
    $('hint').textContent = touchScreen
        ? 'Tap the picture for the controls; swipe left or right for the next or previous scene.'
        : 'Press h for the keys while it plays.';
    const gentle = $('gentle');
    gentle.checked = matchMedia('(prefers-reduced-motion: reduce)').matches;
    $('intro').hidden = false;
    performance.mark('tindrel-start-screen');
}

// Resolves with the order to play from once the visitor starts the show: the start button
// from the address's order, a thumbnail from its scene. Browsers let sound start only so.
function chooseStart(label, from) {
    const intro = $('intro');
    const start = $('start');
    start.querySelector('span').textContent = label;
    intro.hidden = false;
    intro.scrollTop = 0;
    start.focus();
    return new Promise(resolve => {
        const go = event => {
            // Enter or Space on a focused button clicks it, which says which.
            if (event.type === 'keydown' && event.target.closest?.('button') && [' ', 'Enter'].includes(event.key)) return;
            if (event.type === 'keydown' && (event.target.tagName === 'INPUT' || event.key === 'Tab' ||
                ['Shift', 'Control', 'Alt', 'Meta', 'h', 'H', 'F1', 'Escape', 'q', 'Q'].includes(event.key))) return;
            const scene = event.type === 'click' && event.target.closest('button.scene');
            if (event.type === 'click' && !scene && event.target.closest('button') !== start) return;
            event.preventDefault();
            intro.removeEventListener('click', go);
            window.removeEventListener('keydown', go, true);
            intro.hidden = true;
            const order = scene ? Number(scene.dataset.order) : from;
            // Asked for is as good as heard until the music is under way.
            tindrel.position = () => ({ order, row: 0 });
            resolve(order);
        };
        intro.addEventListener('click', go);
        window.addEventListener('keydown', go, true);
    });
}

// ---- touch: a bar of controls the page draws over the picture for a few seconds ----
const playState = { playing: false, paused: false };
const controls = $('controls');
let controlsTimer = 0;
let lastPointer = 'mouse';

function showControlState() {
    $('pause-button').textContent = playState.paused ? 'play' : 'pause';
    $('mute-button').textContent = host.music?.muted ? 'sound on' : 'mute';
}

function showControls() {
    showControlState();
    controls.hidden = false;
    clearTimeout(controlsTimer);
    controlsTimer = setTimeout(() => (controls.hidden = true), 3000);
}

function listenToTouch() {
    controls.addEventListener('click', event => {
        const button = event.target.closest('button');
        if (!button || !playState.playing) return;
        give(button.dataset.command);
        showControls();
    });
    let down = null;
    const stage = $('stage');
    stage.addEventListener('pointerdown', event => {
        lastPointer = event.pointerType;
        down = { x: event.clientX, y: event.clientY, at: performance.now() };
    });
    stage.addEventListener('pointerup', event => {
        if (!down || !playState.playing) return;
        const dx = event.clientX - down.x, dy = event.clientY - down.y;
        const quick = performance.now() - down.at < 800;
        down = null;
        if (quick && Math.abs(dx) > 40 && Math.abs(dx) > 2 * Math.abs(dy)) {
            // As pages turn: the finger pulls the next scene in from the right.
            give(dx < 0 ? 'nextScene' : 'previousScene');
        } else if (Math.hypot(dx, dy) < 12) {
            if (!controls.hidden) give('pause');
            showControls();
        }
    });
    // The browser's own gestures (scrolling, zoom) would take the swipe.
    stage.style.touchAction = 'none';
}

// ---- live play ----
async function live(fromText) {
    if (typeof AudioWorkletNode !== 'function' || !window.isSecureContext)
        throw new Error('This browser cannot play the music here: it needs AudioWorklet, which browsers give to secure pages (https or this machine) only. A current Firefox, Chrome, Edge or Safari over https can.');
    const from = fromText === null ? 0 : whole(fromText, '#from=');
    const start = $('start');
    start.disabled = true;
    showIntro();
    const showReady = loadShow(-1).then(show => {
        // The page takes the show's name from its file, as the desktop's window does.
        document.title = show.facts.title;
        $('title').textContent = show.facts.title;
        if (show.facts.description) $('description').textContent = show.facts.description;
        thumbnails(show.UTF8ToString(show._tindrel_scenes()).split('\n').filter(Boolean).map(line => {
            const [first, title] = line.split('\t');
            return { first: Number(first), title };
        }));
        return show;
    });
    const songReady = fetchSong(showReady).then(song => {
        checkOrder(song.rows, from, '#from=');
        return song;
    });
    const [show, song] = await Promise.all([showReady, songReady]);
    // Its length as the player's display writes it.
    $('length').textContent = show.UTF8ToString(show._tindrel_length());
    start.disabled = false;
    tindrel.playable = true;
    performance.mark('tindrel-playable');
    listenToKeys();
    listenToTouch();
    let label = `${verb} to play`;
    let first = from;
    for (;;) {
        const chosen = await chooseStart(label, first);
        const status = await play(show, song, chosen, $('gentle').checked);
        if (status !== 0) return;
        $('corner').textContent = $('panel').textContent = $('banner').textContent = '';
        label = `the end: ${verb} to play again`;
        first = 0;
    }
}

// The player's loop, a turn a display refresh: each turn draws and shows a frame, or the paused
// one again. What the show's own work takes per frame is kept for frames().
function frames(show, from, gentle) {
    if (show._tindrel_start(from, gentle ? 1 : 0) !== 0) return Promise.resolve(2);
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

async function play(show, song, from, gentle) {
    if (!host.music) host.music = await startMusic(song.wasm, song.song);
    const music = host.music;
    // What is asked is what is heard until the music says otherwise.
    music.changes = [];
    music.current = from & 0xFFFF;
    music.setPaused(false);
    tindrel.position = () => {
        const position = music.position();
        return position === endPosition ? null : { order: position & 0xFFFF, row: position >>> 16 };
    };
    Object.assign(playState, { playing: true, paused: false });
    commands.queue.length = 0;
    escapeKey.held = escapeKey.pressed = false;
    const status = await frames(show, from, gentle);
    playState.playing = false;
    controls.hidden = true;
    tindrel.position = () => null;
    return status;
}

const hash = new URLSearchParams(location.hash.slice(1));
(async () => {
    requireWebAssembly();
    if (hash.has('still')) await still(hash.get('still'));
    else await live(hash.get('from'));
})().catch(error => fail(`The show cannot start.\n${error.message}`));
