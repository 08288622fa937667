// The page around the show: it reads the address, fetches the show and its music, lays out the
// start screen, plays, and says plainly what went wrong when something does.
//
// For tests and for pages that embed the show:
//   window.tindrel.position() {order, row} of what is being heard, from the moment play is asked
//   window.tindrel.error      the message shown, when one is
//   window.tindrel.frames()   frames presented and how long the show took over each
//   window.tindrel.rows()     the rows of each order of the song, once it is loaded
//   window.tindrel.ready      a still (#still=) is drawn
//   window.tindrel.playable   the start button can start the show; the performance marks
//                             tindrel-start-screen and tindrel-playable say when
//   window.tindrel.simd       whether the show runs its SIMD build
import * as address from './address.js';
import * as bar from './bar.js';
import * as intro from './intro.js';
import * as keys from './keys.js';
import { megabytes, onProgress } from './loading.js';
import { Show, hasSimd } from './show.js';
import { Song, startSilent, startWorklet } from './sound.js';

const $ = id => document.getElementById(id);
let show = null;
let song = null;
const tindrel = (window.tindrel = {
    ready: false, error: null, playable: false, simd: false, position: () => null,
    frames: () => show?.frameStats() ?? { frames: 0, fps: 0, p50: 0, p99: 0, max: 0 },
    rows: () => song?.rows ?? null,
});
// The script runs: the message for when it cannot gives way.
$('message').hidden = true;
$('message').textContent = '';

function fail(text) {
    tindrel.error = text;
    $('message').textContent = text;
    $('message').hidden = false;
    $('again').hidden = false;
    for (const id of ['loading', 'intro', 'controls']) $(id).hidden = true;
}
$('again').addEventListener('click', () => {
    location.hash = '';
    location.reload();
});

function newShow(simd) {
    tindrel.simd = simd;
    return new Show({ simd, song: null, onError: fail, onOverlay: overlay => bar.overlay(overlay) });
}

async function still(text) {
    const { order, row, seconds } = address.still(text);
    document.body.classList.add('still');
    $('loading').hidden = false;
    onProgress(({ received, total, share }) => {
        $('bar').style.width = `${100 * share}%`;
        $('loading').querySelector('span').textContent = `loading ${megabytes(received, total)}`;
    });
    show = newShow(!parts.plain && hasSimd());
    await show.load();
    [song] = await Promise.all([Song.fetch(show.musicFile()), show.fetch(show.files(order))]);
    show.song = song;
    show.plan(song.shape());
    address.checkOrder(song.rows, order, 'order');
    address.checkRow(song.rows, order, row);
    const status = show.still(order, row, seconds);
    if (status === 1) throw new Error(`No scene draws at order ${order}, row ${row}.`);
    if (status !== 0) return;
    $('loading').hidden = true;
    requestAnimationFrame(() => (tindrel.ready = true));
}

// The scene playing at an order: the last to start at or before it.
const sceneAt = (scenes, order) => scenes.filter(scene => scene.first <= order).pop() ?? scenes[0];

async function live(fromText) {
    if (typeof AudioWorkletNode !== 'function' || !window.isSecureContext)
        throw new Error('This browser cannot play the music here: it needs AudioWorklet, which browsers give to secure pages (https or this machine) only. A current Firefox, Chrome, Edge or Safari over https can.');
    const wanted = { order: fromText === null ? 0 : address.whole(fromText, '#from=') };
    intro.show();
    show = newShow(!parts.plain && hasSimd());
    // The thumbnails first: the music, the larger part, follows once they are on their way.
    // The music's module follows the show's, the song the show file, and the first scene's data
    // the song.
    const songCount = Song.reserve();
    let compiling = null;
    await show.load(() => (compiling = Song.module(songCount)));
    const { scenes } = show.facts();
    intro.describe(show.facts());
    intro.thumbnails(scenes, show.sheet());
    const songReady = Song.fetch(show.musicFile(), songCount, compiling);
    songReady.catch(() => {});
    await show.fetch(show.files(wanted.order));
    song = await songReady;
    show.song = song;
    show.plan(song.shape());
    address.checkOrder(song.rows, wanted.order, '#from=');
    intro.describe(show.facts());
    intro.playable();
    tindrel.playable = true;
    performance.mark('tindrel-playable');
    keys.listen();
    bar.listen();
    followAddress(wanted);
    // The rest of the show's data comes while the visitor reads, and the site is kept for a
    // visit without a network.
    show.fetch(show.files(-1), false).catch(error => {
        if (show.playing) $('notice').textContent = error.message;
        else fail(`The show cannot start.\n${error.message}`);
    });
    navigator.serviceWorker?.register('keeper.js').catch(() => {});
    let label = `${intro.verb} to play`;
    let music = null;
    for (;;) {
        // Asked for is as good as heard until the music is under way.
        const order = await intro.choose(label, () => wanted.order, chosen => (tindrel.position = () => ({ order: chosen, row: 0 })));
        if (!music) music = (await startWorklet(song)) ?? (await startSilent(song));
        $('notice').textContent = music.silent ? 'The sound did not start in this browser: the show plays without it.' : '';
        await show.fetch(show.files(order));
        music.setPaused(false);
        show.setGentle(intro.gentle());
        bar.playing(music);
        tindrel.position = () => song.unpack(music.position());
        const title = () => sceneAt(scenes, tindrel.position()?.order ?? order).title;
        bar.sceneNamed(title());
        const naming = setInterval(() => bar.sceneNamed(title()), 1000);
        const status = await show.play(order, music);
        clearInterval(naming);
        bar.stopped();
        tindrel.position = () => null;
        if (status !== 0) return;
        label = `the end: ${intro.verb} to play again`;
        wanted.order = 0;
    }
}

// An address edited in the open page: a new order seeks there while the show plays, and is where
// the start button starts otherwise; anything else loads the page anew.
function followAddress(wanted) {
    window.addEventListener('hashchange', () => {
        let next;
        try {
            next = address.read(location.hash);
            if (next.still !== null || next.plain !== parts.plain) return location.reload();
            const order = next.from === null ? 0 : address.whole(next.from, '#from=');
            address.checkOrder(song.rows, order, '#from=');
            wanted.order = order;
            if (show.playing) show.seek(order);
        } catch (error) {
            if (show.playing) $('notice').textContent = error.message;
            else fail(`The show cannot start.\n${error.message}`);
        }
    });
}

let parts = { still: null, from: null, plain: false };
(async () => {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function')
        throw new Error('This browser cannot run WebAssembly, which the show is made of. A current Firefox, Chrome, Edge or Safari can.');
    parts = address.read(location.hash);
    if (parts.still !== null) await still(parts.still);
    else await live(parts.from);
})().catch(error => fail(`The show cannot start.\n${error.message}`));
