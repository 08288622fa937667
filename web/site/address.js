// The page's address, checked as the desktop program checks its command line: every part named,
// every number whole and in range, and what was typed quoted back as typed.
//   #still=ORDER,ROW,SECONDS  only that frame, at 1:1 in the top-left 600 × 300 CSS pixels
//   #from=ORDER               plays from that order; edited in the open page, seeks there
//   #plain                    the show's build without WebAssembly SIMD, as older browsers get

const names = ['still', 'from', 'plain'];

// { still, from, plain }: the texts as typed (a '+' stays a '+'), or null where absent.
export function read(hash) {
    const parts = { still: null, from: null, plain: false };
    for (const part of hash.replace(/^#/, '').split('&').filter(Boolean)) {
        const at = part.indexOf('=');
        const typed = at < 0 ? part : part.slice(0, at);
        let value = at < 0 ? null : part.slice(at + 1);
        try {
            value = value === null ? null : decodeURIComponent(value);
        } catch {
            throw new Error(`"${part}" in the address is not readable text`);
        }
        const name = typed.toLowerCase();
        if (!names.includes(name))
            throw new Error(`The address holds "${typed}", which the page does not know. It takes #from=ORDER, ` +
                '#still=ORDER,ROW,SECONDS and #plain.');
        if (name === 'plain') parts.plain = true;
        else parts[name] = value ?? '';
    }
    if (parts.still !== null && parts.from !== null)
        throw new Error(`The address asks for both #still=${parts.still} and #from=${parts.from}: a still or a play, not both.`);
    return parts;
}

export function whole(text, what) {
    if (!/^[0-9]+$/.test(text) || Number(text) > 65535)
        throw new Error(`${what} must be a whole number from 0 to 65535, not "${text}"`);
    return Number(text);
}

export function checkOrder(rows, order, what) {
    if (order >= rows.length)
        throw new Error(`${what} ${order} is past the song's end; its orders are 0 to ${rows.length - 1}`);
}

export function checkRow(rows, order, row) {
    if (row >= rows[order])
        throw new Error(`row ${row} is past the end of order ${order}, whose rows are 0 to ${rows[order] - 1}`);
}

// { order, row, seconds } of a still's text.
export function still(text) {
    const parts = text.split(',');
    if (parts.length !== 3) throw new Error(`#still= takes ORDER,ROW,SECONDS, e.g. #still=36,8,0, not "${text}"`);
    const order = whole(parts[0], 'ORDER');
    const row = whole(parts[1], 'ROW');
    const seconds = parts[2].trim() === '' ? NaN : Number(parts[2]);
    if (!(seconds >= -1e6 && seconds <= 1e6)) throw new Error(`SECONDS must be a number, not "${parts[2]}"`);
    return { order, row, seconds };
}
