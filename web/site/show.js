// The show's own module: fetched with its data, given the canvas and the overlay's text, and
// driven once a display refresh. What it draws and says is the show's; the page only lays it out.
import { fetchBytes, importBytes } from './loading.js';
import * as keys from './keys.js';

const $ = id => document.getElementById(id);

// The SIMD build where the browser validates a SIMD instruction (i8x16.splat), else the plain one.
export function hasSimd() {
    const probe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 10, 1, 8, 0,
        65, 0, 253, 15, 253, 98, 11]);
    try {
        return WebAssembly.validate(probe);
    } catch {
        return false;
    }
}

export class Show {
    constructor({ simd, song, onError, onOverlay }) {
        this.simd = simd;
        this.song = song;
        this.music = null;
        this.panel = [];
        this.frameLog = { presents: [], work: [] };
        this.rafIntervals = [];
        this.lastRaf = 0;
        this.onOverlay = onOverlay;
        this.canvas = $('frame');
        this.context = this.canvas.getContext('2d', { alpha: false });
        this.requested = new Map();
        this.arrived = new Set();
        const show = this;
        // What the show calls.
        this.host = {
            draw: (rgba, width, height) => this.context.putImageData(new ImageData(rgba, width, height), 0, 0),
            overlay: parts => this.overlay(parts),
            screenshot: name => this.screenshot(name),
            toggleFullscreen,
            refreshSeconds: () => this.refreshSeconds(),
            keyTable: keys.readTable,
            nextCommand: keys.nextCommand,
            escapePending: keys.escapePending,
            escape: keys.takeEscape,
            barShare: keys.barShare,
            pointerAtFoot: keys.pointerAtFoot,
            error: text => {
                this.failure = text;
                onError(`The show cannot go on.\n${text}`);
            },
            get music() { return show.music; },
        };
    }

    // The show's module and its show file; fetched tells when their bytes are in, before the
    // module is made.
    async load(fetched = () => {}) {
        const name = this.simd ? 'tindrel' : 'tindrel-plain';
        // A data folder made before shows had files plays the program's own show.
        const [glue, wasmBinary, file] = await Promise.all([fetchBytes(`${name}.js`, { packed: true }),
            fetchBytes(`${name}.wasm`, { packed: true }), fetchBytes('data/show.toml', { packed: true, missing: true })]);
        fetched();
        const create = await importBytes(glue);
        this.module = await create({ host: this.host, wasmBinary, locateFile: path => path });
        this.module.FS.mkdirTree('/data');
        if (file) this.module.FS.writeFile('/data/show.toml', file);
        if (this.module._tindrel_read_show() !== 0) throw new Error(this.failure);
    }

    // The data file of the show's music.
    musicFile() {
        return this.module.UTF8ToString(this.module._tindrel_music_file());
    }

    // The show's plan, from the music's shape: stills and play need it.
    plan(shape) {
        if (this.module._tindrel_plan(this.text(shape)) !== 0) throw new Error(this.failure);
    }

    // { title, author, description, length once planned, scenes: [{ title, first }] }.
    facts() {
        return JSON.parse(this.module.UTF8ToString(this.module._tindrel_facts()));
    }

    // The data files the scene at the order loads, or every scene's for a negative order.
    files(order) {
        return this.module.UTF8ToString(this.module._tindrel_files(order)).split('\n').filter(Boolean);
    }

    // Resolves once the files are in the show's folder, fetched now or already on their way.
    fetch(files, counted = true) {
        return Promise.all(files.map(file => {
            if (!this.requested.has(file)) this.requested.set(file, this.fetchOne(file, counted));
            return this.requested.get(file);
        }));
    }

    async fetchOne(file, counted) {
        const bytes = await fetchBytes(`data/${file}`, { packed: true, counted });
        this.module.FS.mkdirTree(`/data/${file.split('/').slice(0, -1).join('/')}`);
        this.module.FS.writeFile(`/data/${file}`, bytes);
        this.arrived.add(file);
        // A show under way builds the scenes that waited for it.
        if (this.playing) this.module._tindrel_arrived(this.text(file));
    }

    // Text for the show: written into its buffer, which holds it until the next call.
    text(value) {
        const size = this.module.lengthBytesUTF8(value) + 1;
        const at = this.module._tindrel_text(size);
        this.module.stringToUTF8(value, at, size);
        return at;
    }


    // The contact sheet's layout: its size, its cells' size and each scene's cell.
    sheet() {
        return JSON.parse(this.module.UTF8ToString(this.module._tindrel_sheet()));
    }

    // While the show plays: to the order's first row, as a key's seek goes.
    seek(order) {
        this.module._tindrel_seek(order, 0);
    }

    // 0 when drawn, 1 when no scene draws there, 2 when it failed (the page has been told why).
    still(order, row, seconds) {
        return this.module._tindrel_still(order, row, seconds);
    }

    setGentle(gentle) {
        this.module._tindrel_set_gentle(gentle ? 1 : 0);
    }

    overlay([corner, panel, banner, said = [], bar = []]) {
        this.panel = panel;
        $('corner').textContent = corner.join('\n');
        $('panel').textContent = panel.join('\n');
        $('banner').textContent = banner.join('\n');
        this.onOverlay?.({ corner, panel, banner, said, bar });
    }

    screenshot(name) {
        this.canvas.toBlob(blob => {
            const link = Object.assign(document.createElement('a'), { href: URL.createObjectURL(blob), download: name });
            link.click();
            setTimeout(() => URL.revokeObjectURL(link.href), 10000);
        }, 'image/png');
    }

    refreshSeconds() {
        if (this.rafIntervals.length < 10) return 1 / 60;
        const sorted = [...this.rafIntervals].sort((a, b) => a - b);
        return sorted[sorted.length >> 1] / 1000;
    }

    frameStats() {
        const work = [...this.frameLog.work].sort((a, b) => a - b);
        const rank = share => (work.length ? work[Math.min(work.length, Math.max(1, Math.ceil(share * work.length))) - 1] : 0);
        const p = this.frameLog.presents;
        const span = p.length > 1 ? (p[p.length - 1] - p[0]) / 1000 : 0;
        return { frames: p.length, fps: span > 0 ? (p.length - 1) / span : 0, p50: rank(0.5), p99: rank(0.99), max: rank(1) };
    }

    // One turn of the player: 1 while the show goes on, 0 once over, 2 when it failed.
    turn() {
        const top = performance.now();
        const status = this.module._tindrel_frame();
        const now = performance.now();
        this.frameLog.presents.push(now);
        this.frameLog.work.push(now - top);
        return status;
    }

    // Plays from the order with the music given until the show is over, a turn a display refresh;
    // resolves with 0 when it played out or was ended, 2 when it failed. The music stops with it.
    play(from, music) {
        this.music = music;
        this.panel = [];
        keys.startPlaying({ panelOpen: () => this.panel.length > 0 });
        const awaited = this.files(-1).filter(file => !this.arrived.has(file));
        if (this.module._tindrel_start(from, this.text(awaited.join('\n'))) !== 0) return this.over(2);
        this.playing = true;
        const hidden = () => this.hidden();
        document.addEventListener('visibilitychange', hidden);
        return new Promise(resolve => {
            const turn = time => {
                if (this.lastRaf) this.rafIntervals.push(time - this.lastRaf);
                if (this.rafIntervals.length > 120) this.rafIntervals.shift();
                this.lastRaf = time;
                const status = this.pausedForHiding && document.hidden ? 1 : this.turn();
                if (status === 1) return requestAnimationFrame(turn);
                document.removeEventListener('visibilitychange', hidden);
                resolve(this.over(status));
            };
            requestAnimationFrame(turn);
        });
    }

    over(status) {
        this.playing = false;
        this.pausedForHiding = false;
        keys.stopPlaying();
        this.music?.stop();
        return Promise.resolve(status);
    }

    // A hidden page shows nothing and its frames stop: the show pauses, music and all, and plays
    // on together once seen again, unless the visitor had paused it.
    hidden() {
        if (document.hidden && !this.music.paused) {
            keys.give('pause');
            this.pausedForHiding = true;
            this.turn();
        } else if (!document.hidden && this.pausedForHiding) {
            this.pausedForHiding = false;
            keys.give('pause');
        }
    }
}

function toggleFullscreen() {
    const request = document.fullscreenElement ? document.exitFullscreen?.() : document.documentElement.requestFullscreen?.();
    request?.catch(() => {});
}
