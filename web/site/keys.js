// The keyboard: the show's key table, read from the show, maps each browser key to a command;
// the commands wait here in order until the show's next turn takes them. Escape is the page's to
// place: it closes the key panel when that is open, and otherwise ends the show, from any order.

const table = { byKey: new Map(), byMouse: new Map(), codes: new Map(), repeating: new Set() };
// The pointer over the picture, as the show asks for it: where a click on the bar landed, as a
// share of its width, and whether the pointer is near the picture's foot, where the bar shows.
const pointer = { share: 0, atFoot: false };
const queue = [];
const escapeKey = { held: false, pressed: false };
let playing = null;  // what a key reaches while the show plays: { panelOpen() }

// A line a row, numbered by its place: the command's name, its keys as the browser names them,
// whether a held key repeats, and the mouse's actions for it, split by tabs, the keys by the unit
// separator.
export function readTable(text) {
    text.split('\n').filter(Boolean).forEach((line, code) => {
        const [name, browserKeys, repeats, mouse = ''] = line.split('\t');
        table.codes.set(name, code);
        for (const key of browserKeys.split('\x1f')) table.byKey.set(key, name);
        for (const action of mouse.split('\x1f').filter(Boolean)) table.byMouse.set(action, name);
        if (repeats === '1') table.repeating.add(name);
    });
}

export function commandOf(key) {
    return table.byKey.get(key.length === 1 ? key.toLowerCase() : key);
}

// A command for the show's next turn, by its name in the table.
export function give(name) {
    if (table.codes.has(name)) queue.push(name);
}

export function nextCommand() {
    return queue.length ? table.codes.get(queue.shift()) ?? -1 : -1;
}

export function escapePending() {
    return escapeKey.held || escapeKey.pressed;
}

export function takeEscape() {
    const down = escapePending();
    escapeKey.pressed = false;
    return down;
}

// The show plays from now until stopped: keys go to it.
export function startPlaying(show) {
    playing = show;
    queue.length = 0;
    escapeKey.held = escapeKey.pressed = false;
}

export function stopPlaying() {
    playing = null;
    queue.length = 0;
}

function escape() {
    if (playing.panelOpen()) give('help');
    else give('quit');
}

export const barShare = () => pointer.share;
export const pointerAtFoot = () => pointer.atFoot;

// A mouse action on the picture gives the command the table gives it, as the desktop's window does.
function act(action, event) {
    const name = playing && table.byMouse.get(action);
    if (!name) return;
    event.preventDefault();
    give(name);
}

// The foot of the picture, where the bar is: its lowest eighth, at least 24 px.
function place(event, canvas) {
    const box = canvas.getBoundingClientRect();
    pointer.share = Math.min(1, Math.max(0, (event.clientX - box.left) / box.width));
    pointer.atFoot = event.clientY >= box.bottom - Math.max(24, box.height / 8) && event.clientY <= box.bottom;
    return pointer.atFoot;
}

function listenToMouse(canvas) {
    canvas.addEventListener('wheel', event => act(event.deltaY < 0 ? 'wheelUp' : 'wheelDown', event), { passive: false });
    canvas.addEventListener('contextmenu', event => act('rightClick', event));
    canvas.addEventListener('dblclick', event => act('doubleClick', event));
    canvas.addEventListener('mousemove', event => {
        if (place(event, canvas) && event.buttons === 1) act('barClick', event);
    });
    canvas.addEventListener('mousedown', event => {
        if (event.button === 0 && place(event, canvas)) act('barClick', event);
    });
    canvas.addEventListener('mouseleave', () => (pointer.atFoot = false));
}

export function listen() {
    listenToMouse(document.getElementById('frame'));
    window.addEventListener('keydown', event => {
        if (!playing || event.ctrlKey || event.altKey || event.metaKey) return;
        // A key that asks for Shift held, as "Shift+ArrowRight", before the key alone.
        const name = (event.shiftKey && commandOf(`Shift+${event.key}`)) || commandOf(event.key);
        if (!name) return;
        event.preventDefault();
        if (name === 'escape') {
            if (!event.repeat) escape();
            return;
        }
        if (event.repeat && !table.repeating.has(name)) return;
        give(name);
    });
    window.addEventListener('blur', () => (escapeKey.held = false));
}
