// The start screen: what the show is and what it asks of the visitor, a thumbnail a scene, the
// gentle switch, and the button that starts it. Browsers let sound start only from a tap or a
// click, so play starts here.
import { megabytes, onProgress } from './loading.js';

const $ = id => document.getElementById(id);
export const touchScreen = navigator.maxTouchPoints > 0 || matchMedia('(pointer: coarse)').matches;
export const verb = touchScreen ? 'tap' : 'click';

const label = text => ($('start').querySelector('span').textContent = text);

export function show() {
    $('hint').textContent = touchScreen
        ? 'Tap the picture for the controls; swipe left or right for the next or previous scene.'
        : 'Press h for the keys while it plays.';
    $('gentle').checked = matchMedia('(prefers-reduced-motion: reduce)').matches;
    $('start').disabled = true;
    $('intro').hidden = false;
    onProgress(({ received, total, share }) => {
        if (!$('start').disabled) return;
        $('start-bar').style.width = `${100 * share}%`;
        label(`loading ${megabytes(received, total)}`);
    });
    performance.mark('tindrel-start-screen');
}

// The show's facts: its title on the screen and the tab, what it says of itself, its length once
// the music has told it.
export function describe({ title, description, length }) {
    document.title = title;
    $('title').textContent = title;
    $('description').textContent = description;
    $('description').hidden = !description;
    if (length) $('length').textContent = length;
}

// The scenes, each a cut of the contact sheet as the show lays it out.
export function thumbnails(scenes, sheet) {
    // The moment they show: the sheet is in.
    const picture = new Image();
    picture.src = 'sheet.jpg';
    picture.decode().then(() => performance.mark('tindrel-thumbnails'), () => {});
    const box = $('scenes');
    box.replaceChildren();
    scenes.forEach(({ first, title }, i) => {
        const cell = sheet.cells[i];
        const button = document.createElement('button');
        button.type = 'button';
        button.className = 'scene';
        button.dataset.order = first;
        button.setAttribute('aria-label', `play from ${title}`);
        const picture = document.createElement('span');
        picture.className = 'thumb';
        if (cell) {
            picture.style.backgroundSize = `${(100 * sheet.width) / sheet.cellWidth}% ${(100 * sheet.height) / sheet.cellHeight}%`;
            picture.style.backgroundPosition =
                `${(100 * cell.x) / (sheet.width - sheet.cellWidth)}% ${(100 * cell.y) / (sheet.height - sheet.cellHeight)}%`;
        }
        const caption = document.createElement('span');
        caption.textContent = title;
        button.append(picture, caption);
        box.append(button);
    });
}

export function playable() {
    $('start').disabled = false;
}

// Resolves with the order to play from once the visitor starts the show: the start button or a
// key from the order from() gives then, a thumbnail from its scene. chosen hears it at once,
// within the tap.
export function choose(text, from, chosen) {
    const intro = $('intro');
    const start = $('start');
    label(text);
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
            const order = scene ? Number(scene.dataset.order) : from();
            chosen(order);
            resolve(order);
        };
        intro.addEventListener('click', go);
        window.addEventListener('keydown', go, true);
    });
}

export const gentle = () => $('gentle').checked;
