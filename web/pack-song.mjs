// Packs a show's XM module for the site (see site/xmplanes.js), beside it as NAME.planes, for
// ./scripts/web to gzip. A module that is no XM is left to plain gzip: exits 1, saying why.
import { readFileSync, writeFileSync } from 'node:fs';
import { planes } from './site/xmplanes.js';

const [name] = process.argv.slice(2);
try {
    writeFileSync(`${name}.planes`, planes(new Uint8Array(readFileSync(name))));
} catch (error) {
    console.error(`web: ${name} is packed plainly: ${error.message}`);
    process.exit(1);
}
