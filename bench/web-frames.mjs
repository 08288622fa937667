// The show's own work per frame in headless Chromium, its SIMD build against the plain one (the
// build browsers without WebAssembly SIMD get, and the only one before), side by side in one
// run: each plays from order 23 for 60 s, with the CPU at its own speed and slowed 4× as on a
// modest phone. Exit status 1 when the SIMD build's median at normal speed is above 0.6 × the
// plain one's.
//   ./scripts/web-bench        (builds the site and the test tools first)
import { launch, open, serve, startShow } from '../web/test/site.mjs';
import { setTimeout as sleep } from 'node:timers/promises';

const seconds = Number(process.env.TINDREL_BENCH_SECONDS ?? 60);
const budget = 0.6;

const server = await serve();
const browser = await launch();
const results = [];
try {
    for (const slowdown of [1, 4]) {
        for (const build of ['plain', 'simd']) {
            const page = await open(browser, `${server.url}index.html#from=23${build === 'plain' ? '&plain' : ''}`);
            const cdp = await page.createCDPSession();
            await cdp.send('Emulation.setCPUThrottlingRate', { rate: slowdown });
            await startShow(page);
            const error = await page.evaluate('window.tindrel.error');
            if (error) throw new Error(error);
            const simd = await page.evaluate('window.tindrel.simd');
            if (simd !== (build === 'simd')) throw new Error(`asked for the ${build} build, got the other`);
            await sleep(seconds * 1000);
            const f = await page.evaluate('window.tindrel.frames()');
            results.push({ build, slowdown, ...f });
            console.log(`${build.padEnd(5)} CPU ${slowdown}×: ${f.frames} frames, ${f.fps.toFixed(1)} fps, ` +
                `work p50 ${f.p50.toFixed(2)} ms, p99 ${f.p99.toFixed(2)} ms, max ${f.max.toFixed(1)} ms`);
            await page.close();
        }
    }
} finally {
    await browser.close();
    await server.close();
}

let missed = false;
for (const slowdown of [1, 4]) {
    const [plain, simd] = ['plain', 'simd'].map(build => results.find(r => r.build === build && r.slowdown === slowdown));
    const ratio = simd.p50 / plain.p50;
    const judged = slowdown === 1;
    if (judged && ratio > budget) missed = true;
    console.log(`CPU ${slowdown}×: SIMD median ${ratio.toFixed(2)} × plain` +
        (judged ? (ratio > budget ? `  MISSED (budget ${budget})` : `  ok (budget ${budget})`) : ''));
}
process.exitCode = missed ? 1 : 0;
