// The SIMD loops of the browser's build against the plain loops: the desktop's randomised
// differential tests, compiled as the show's SIMD build is, run in node.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { join } from 'node:path';
import { root } from './site.mjs';

test('the SIMD build\'s loops give the plain loops\' bytes', () => {
    const run = spawnSync(process.execPath, [join(root, 'build-web/wasm/tindrel-kernel-tests.js'), '--gtest_brief=1'],
        { encoding: 'utf8', env: { ...process.env, TINDREL_REFERENCE: '' } });
    const tail = `${run.stdout}\n${run.stderr}`.trim().split('\n').slice(-15).join('\n');
    console.log(tail);
    assert.equal(run.status, 0, tail);
    assert.match(run.stdout, /PASSED/);
});
