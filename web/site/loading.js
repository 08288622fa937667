// Fetching the site's files with the bytes counted, for a bar that says how much of how much has
// come. Files the site keeps packed (NAME.gz) are unpacked here, so a server that compresses
// nothing still sends them small.

const transfers = [];
const listeners = [];
let shownShare = 0;
// The site's files' sizes, as the site was built, so the count knows a file's before it comes.
const sizes = JSON.parse(document.getElementById('sizes')?.textContent || '{}');

// "1.2 of 2.0 MB": what the label reads.
export function megabytes(received, total) {
    const mb = bytes => (bytes / 1e6).toFixed(1);
    return `${mb(received)} of ${mb(Math.max(total, received))} MB`;
}

// Each listener hears { received, total, share } as bytes come; the share never moves back.
export function onProgress(listener) {
    listeners.push(listener);
}

export function progress() {
    // A file whose length is not known yet counts as the average of those known.
    const known = transfers.filter(t => t.size > 0);
    const guess = known.length ? known.reduce((sum, t) => sum + t.size, 0) / known.length : 0;
    const total = transfers.reduce((sum, t) => sum + (t.size > 0 ? t.size : Math.max(guess, t.received)), 0);
    const received = transfers.reduce((sum, t) => sum + Math.min(t.received, t.size > 0 ? t.size : Infinity), 0);
    shownShare = Math.max(shownShare, total > 0 ? received / total : 0);
    return { received, total, share: Math.min(1, shownShare) };
}

function tell() {
    const now = progress();
    for (const listener of listeners) listener(now);
}

const canUnpack = typeof DecompressionStream === 'function';
const sent = (url, packed) => (packed && canUnpack ? `${url}.gz` : url);

// Whether the site holds the file packed, for this browser to fetch and unpack.
export const holdsPacked = url => canUnpack && `${url}.gz` in sizes;

// The server's answer; null for a file it does not have, where missing allows that.
async function answer(url, missing) {
    let response;
    try {
        response = await fetch(url);
    } catch (error) {
        throw new Error(`Could not load ${url.replace(/(\.planes)?\.gz$/, '')}: ${error.message}`);
    }
    if (missing && response.status === 404) return null;
    if (!response.ok)
        throw new Error(`Could not load ${url.replace(/(\.planes)?\.gz$/, '')}: ${response.status} ${response.statusText}`.trim());
    return response;
}

// A place in the count for a file fetched later, so the bar does not fill before it is asked
// for; fetchBytes takes it as its own.
export function reserve(url, packed = true) {
    const transfer = { size: url ? sizes[sent(url, packed)] ?? 0 : 0, received: 0 };
    transfers.push(transfer);
    return transfer;
}

// The default export of a module the site holds packed too, imported from the unpacked bytes.
export async function importPacked(url, reserved) {
    return importBytes(await fetchBytes(url, { packed: true, reserved }));
}

// The default export of a module from its text.
export async function importBytes(bytes) {
    const address = URL.createObjectURL(new Blob([bytes], { type: 'text/javascript' }));
    try {
        return (await import(address)).default;
    } finally {
        URL.revokeObjectURL(address);
    }
}

// The file's bytes; packed says the site holds it as NAME.gz too, which is fetched instead where
// the browser can unpack it (and the file itself where the server has no NAME.gz: a data folder
// put up by hand). With missing, null for a file the server does not have.
export async function fetchBytes(url, { packed = false, counted = true, reserved = null, missing = false } = {}) {
    const transfer = reserved ?? { size: 0, received: 0 };
    transfer.size ||= sizes[sent(url, packed)] ?? 0;
    if (counted && !reserved) transfers.push(transfer);
    tell();
    let response = packed && canUnpack ? await answer(`${url}.gz`, true) : null;
    if (!response) {
        packed = false;
        response = await answer(url, missing);
    }
    if (!response) return null;
    // A compressed answer's length is of the compressed bytes, which the stream does not count.
    const encoded = (response.headers.get('content-encoding') ?? 'identity') !== 'identity';
    transfer.size = encoded ? transfer.size : Number(response.headers.get('content-length')) || transfer.size;
    let body = response.body;
    if (body?.getReader) {
        body = body.pipeThrough(new TransformStream({
            transform(chunk, controller) {
                transfer.received += chunk.length;
                tell();
                controller.enqueue(chunk);
            },
        }));
        if (packed && canUnpack) body = body.pipeThrough(new DecompressionStream('gzip'));
        try {
            const bytes = new Uint8Array(await new Response(body).arrayBuffer());
            transfer.size = transfer.received;
            tell();
            return bytes;
        } catch (error) {
            throw new Error(`Could not load ${url}: ${error.message}`);
        }
    }
    let bytes = new Uint8Array(await response.arrayBuffer());
    transfer.size = transfer.received = bytes.length;
    if (packed && canUnpack)
        bytes = new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer());
    tell();
    return bytes;
}
