// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The README picture of two devices mid-transfer: both shells of
// `./run.sh --devices 2` side by side on one display, each with its panel
// open, a message sent from device 1 to device 2 and a file moving between
// them (slowed by KZELVA_RELAY_RATE). Run under one X display, e.g.
//   xvfb-run -a -s "-screen 0 2100x800x24" sh -c 'KZELVA_RELAY_RATE=1048576 \
//     ./run.sh --profile /tmp/zdemo --devices 2 & KZ_BIN_DIR=build/bin \
//     node scripts/devices-transfer-screenshot.mjs /tmp/zdemo docs/images'
// It quits both shells when done.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import readline from 'node:readline';

const [profile, outArg] = process.argv.slice(2);
const binDir = process.env.KZ_BIN_DIR;
if (!profile || !binDir || !process.env.DISPLAY) {
    console.error('usage: KZ_BIN_DIR=build/bin node scripts/devices-transfer-screenshot.mjs PROFILE OUTDIR (under X)');
    process.exit(2);
}
const outDir = path.resolve(outArg || 'docs/images');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function waitFor(what, predicate, timeoutMs = 120000) {
    const deadline = Date.now() + timeoutMs;
    while (!(await predicate())) {
        if (Date.now() > deadline)
            throw new Error(`timed out waiting for ${what}`);
        await sleep(250);
    }
}

// One JSON line per request on the shell's automation socket.
async function connect(socketPath) {
    const socket = net.connect(socketPath);
    await new Promise((resolve, reject) => { socket.once('connect', resolve); socket.once('error', reject); });
    const waiting = new Map();
    let nextId = 1;
    readline.createInterface({ input: socket }).on('line', (line) => {
        const answer = JSON.parse(line);
        waiting.get(answer.id)?.(answer);
        waiting.delete(answer.id);
    });
    return {
        async ok(cmd, args = {}) {
            const id = nextId++;
            const answer = await new Promise((resolve) => {
                waiting.set(id, resolve);
                socket.write(JSON.stringify({ cmd, id, ...args }) + '\n');
            });
            if (!answer.ok)
                throw new Error(`${cmd}: ${answer.error}`);
            return answer;
        },
        close() { socket.end(); },
    };
}

const runtime = path.join(profile, 'runtime');
const sockets = [1, 2].map((n) => path.join(runtime, `zelvashell-device-${n}.sock`));
await waitFor('both shells', () => sockets.every((s) => fs.existsSync(s)), 600000);
const [one, two] = await Promise.all(sockets.map(connect));
await one.ok('moveWindow', { x: 0, y: 0 });
await two.ok('moveWindow', { x: 1050, y: 0 });

const file = path.join(profile, 'Harbour survey photos.zip');
fs.writeFileSync(file, Buffer.alloc(192 << 20, 1));
for (const shell of [one, two]) {
    await shell.ok('openPanel');
    await waitFor('the panel page', async () => (await shell.ok('panelState')).panel.lifecycle === 'loaded');
}
await sleep(3000);
// Device 1 writes to device 2 in its panel; both conversations are opened.
const say = (device, text) => `(() => {
    const peer = document.querySelector('.peer[data-device="${device}"]');
    if (!peer) return;
    if (peer.querySelector('.peer-body').hidden) peer.querySelector('.peer-toggle').click();
    if (${JSON.stringify(text)}) {
        peer.querySelector('input').value = ${JSON.stringify(text)};
        peer.querySelector('form').requestSubmit();
    }
})()`;
await one.ok('panelScript', { script: say('device-2', 'Sending the survey photos now.') });
await sleep(1500);
await two.ok('panelScript', { script: say('device-1', '') });
await two.ok('panelScript', { script: say('device-1', 'Got it, thanks!') });
await one.ok('sendToDevice', { path: file, deviceId: 'device-2' });
await sleep(9000);
fs.mkdirSync(outDir, { recursive: true });
const target = path.join(outDir, 'devices-transfer.png');
execFileSync(path.join(binDir, 'kz_screengrab'), [target, '0', '0', '2100', '760']);
console.log(`wrote ${target}`);
for (const shell of [one, two]) {
    await shell.ok('quit', { force: true }).catch(() => {});
    shell.close();
}
fs.rmSync(file, { force: true });
