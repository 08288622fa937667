// What lies over the picture: the bar of touch controls, the key panel, the show's short messages
// and its progress line. The bar's labels read the show's own state (what it last told the music,
// whether its panel is open), so they say what is so.
import * as keys from './keys.js';
import { touchScreen } from './intro.js';

const $ = id => document.getElementById(id);
const controls = () => $('controls');
let hideTimer = 0;
let state = { music: null, panel: false, playing: false };

// How the page's own gestures work, under the show's key list.
const touchLines = ['', 'tap          the controls; with them shown, pause or play',
    'swipe ← →    the next or previous scene', 'tap the keys  close this list'];

function labels() {
    const paused = state.music?.paused ?? false;
    const muted = state.music?.muted ?? false;
    const pause = $('pause-button');
    pause.textContent = paused ? 'play' : 'pause';
    pause.setAttribute('aria-label', paused ? 'play' : 'pause');
    const mute = $('mute-button');
    mute.textContent = muted ? 'sound on' : 'mute';
    mute.setAttribute('aria-pressed', String(muted));
    $('keys-button').setAttribute('aria-expanded', String(state.panel));
}

// The show's overlay has changed: its panel, messages and bar of progress.
export function overlay({ panel, said, bar }) {
    state.panel = panel.length > 0;
    const panelText = $('panel');
    if (state.panel && touchScreen) panelText.textContent += `\n${touchLines.join('\n')}`;
    panelText.hidden = !state.panel;
    const text = $('said');
    text.textContent = said.join('\n');
    text.style.top = $('corner').textContent ? `calc(${$('corner').offsetHeight}px + 1em)` : '';
    const progress = $('progress');
    const [share, ...marks] = (bar[0] ?? '').split(' ').filter(Boolean).map(Number);
    progress.hidden = share === undefined;
    if (share !== undefined) {
        let done = progress.querySelector('.done');
        if (!done) progress.replaceChildren((done = Object.assign(document.createElement('div'), { className: 'done' })));
        done.style.width = `${100 * share}%`;
        const shown = [...progress.querySelectorAll('.mark')];
        if (shown.length !== marks.length) {
            shown.forEach(mark => mark.remove());
            for (const mark of marks) {
                const line = Object.assign(document.createElement('div'), { className: 'mark' });
                line.style.left = `${100 * mark}%`;
                progress.append(line);
            }
        }
    }
    labels();
}

// The scene on screen, for whoever cannot see the canvas.
export function sceneNamed(title) {
    $('frame').setAttribute('aria-label', `the show, now: ${title}`);
}

function showBar() {
    labels();
    controls().hidden = false;
    clearTimeout(hideTimer);
    hideTimer = setTimeout(() => (controls().hidden = true), 3000);
}

export function playing(music) {
    state = { music, panel: false, playing: true };
    if (!music.listeners.includes(labels)) music.listeners.push(labels);
    labels();
}

export function stopped() {
    state.playing = false;
    controls().hidden = true;
    $('panel').hidden = true;
    $('said').textContent = '';
    $('progress').hidden = true;
}

export function listen() {
    controls().addEventListener('click', event => {
        const button = event.target.closest('button');
        if (!button || !state.playing) return;
        keys.give(button.dataset.command);
        showBar();
    });
    let down = null;
    const stage = $('stage');
    stage.addEventListener('pointerdown', event => {
        down = { x: event.clientX, y: event.clientY, at: performance.now() };
    });
    stage.addEventListener('pointerup', event => {
        if (!down || !state.playing) return;
        const dx = event.clientX - down.x, dy = event.clientY - down.y;
        const quick = performance.now() - down.at < 800;
        down = null;
        if (quick && Math.abs(dx) > 40 && Math.abs(dx) > 2 * Math.abs(dy)) {
            // As pages turn: the finger pulls the next scene in from the right.
            keys.give(dx < 0 ? 'nextScene' : 'previousScene');
        } else if (Math.hypot(dx, dy) < 12) {
            if (state.panel) keys.give('help');
            else if (!controls().hidden) keys.give('pause');
            showBar();
        }
    });
    // The browser's own gestures (scrolling, zoom) would take the swipe.
    stage.style.touchAction = 'none';
}
