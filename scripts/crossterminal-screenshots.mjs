// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Screenshots of the cross-terminal panel for the docs, from the two shells
// of `./run.sh --devices 2` on one X display: device 2's panel lists device 1
// with its open documents and its own work areas. One picture a run, NAME is
//   light, dark  the panel in that skin (KZELVA_SKIN of the run)
//   error        the error page (the profile's plugins.ini holds
//                "[kzelvaworkarea] loadTimeoutMSec=1" before the run)
//   subwidget    a work area's documents in the sub-widget beside the panel
// e.g.
//   xvfb-run -a -s "-screen 0 1440x900x24" sh -c 'KZELVA_SKIN=dark ./run.sh --profile /tmp/zdark \
//     --devices 2 & KZ_BIN_DIR=build/bin node scripts/crossterminal-screenshots.mjs /tmp/zdark docs/images dark'
// It quits both shells when done.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const { Automation, waitFor } = require('../tests/pages/support/pages.js');

const [profile, outArg, name] = process.argv.slice(2);
const binDir = process.env.KZ_BIN_DIR;
if (!profile || !name || !binDir || !process.env.DISPLAY) {
    console.error('usage: KZ_BIN_DIR=build/bin node scripts/crossterminal-screenshots.mjs PROFILE OUTDIR NAME (under X)');
    process.exit(2);
}
const outDir = path.resolve(outArg || 'docs/images');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const runtime = path.join(profile, 'runtime');
const sockets = [1, 2].map((n) => path.join(runtime, `zelvashell-device-${n}.sock`));
await waitFor(() => sockets.every((s) => fs.existsSync(s)), 'both shells', 900000);
const [one, two] = sockets.map((s) => new Automation(s));
await Promise.all([one.connect(), two.connect()]);
await one.ok('moveWindow', { x: 1100, y: 0 });
await two.ok('moveWindow', { x: 0, y: 0 });

const docs = fs.mkdtempSync(path.join(profile, 'docs-'));
const file = (n) => {
    const p = path.join(docs, n);
    fs.writeFileSync(p, `${n}\n`);
    return p;
};
// Device 1: a plan and the minutes of a meeting, open.
await one.ok('openDocument', { path: file('Site plan.txt') });
await one.ok('openDocument', { path: file('Meeting minutes.md') });
// Device 2: a work area with an edited document, and an empty one.
await two.ok('openDocument', { path: file('Quarterly report.txt') });
await two.ok('createWorkArea', { name: 'Harbour survey', makeCurrent: true });
await two.ok('openDocument', { path: file('Tide tables.txt') });
await two.ok('openDocument', { path: file('Survey notes.md') });
await two.ok('editTab', { tab: 2, text: 'Soundings, revised.\n' });
await two.ok('createWorkArea', { name: 'Trip to the islands', makeCurrent: false });
await sleep(1500);

await two.ok('openPanel');
const wanted = name === 'error' ? 'timed-out' : 'loaded';
await waitFor(async () => (await two.ok('panelState')).panel.lifecycle === wanted, `the panel ${wanted}`, 60000);
// Device 1 and its documents reach the list; the error page needs a moment to draw.
await sleep(name === 'error' ? 2000 : 6000);
if (name !== 'error') // the devices first: the page scrolled to its focused card
    await two.ok('panelScript', { script: "document.getElementById('main').scrollTop = 0" });
await sleep(500);
let g = (await two.ok('panelState')).panel.geometry;
if (name === 'subwidget') {
    await two.ok('panelScript', { script: "document.querySelector('#open .act-more').click()" });
    await waitFor(async () => (await two.ok('panelState')).panel.subWidget.ready, 'the sub-widget', 30000);
    await sleep(1500);
    const s = (await two.ok('panelState')).panel.subWidget.geometry;
    g = { x: s.x, y: Math.min(s.y, g.y), width: g.x + g.width - s.x, height: g.height };
}
const x = Math.max(0, g.x - 20);
const y = Math.max(0, g.y - 60);
fs.mkdirSync(outDir, { recursive: true });
const target = path.join(outDir, `crossterminal-panel-${name}.png`);
execFileSync(path.join(binDir, 'kz_screengrab'), [target, String(x), String(y), String(g.width + 40),
    String(Math.min(g.height + 80, 900 - y))]);
console.log(`wrote ${target}`);
for (const shell of [one, two]) {
    await shell.ok('quit', { force: true }).catch(() => {});
    shell.close();
}
fs.rmSync(docs, { recursive: true, force: true });
