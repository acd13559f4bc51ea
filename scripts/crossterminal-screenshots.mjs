// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Screenshots of the cross-terminal panel for the docs: the shell with
// QtWebEngine under a display, the panel opened through automation, both
// skins, the error page (load time-out set to 1 ms), and a work area's
// documents in the sub-widget beside the panel.
//   KZ_BIN_DIR=build/bin xvfb-run -a -s "-screen 0 1440x900x24" node scripts/crossterminal-screenshots.mjs docs/images
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const { WorkAreaShell } = require('../tests/pages/workarea-shell.js');

const outDir = path.resolve(process.argv[2] || 'docs/images');
const binDir = process.env.KZ_BIN_DIR;
if (!binDir || !process.env.DISPLAY) {
    console.error('run with KZ_BIN_DIR set, under a display (xvfb-run)');
    process.exit(2);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function shoot(name, skin, settings, subWidget) {
    const docs = fs.mkdtempSync(path.join(os.tmpdir(), 'ct-docs-'));
    const file = (n) => path.join(docs, n);
    for (const [n, text] of Object.entries({ 'Quarterly report.txt': 'Revenue.\n', 'Tide tables.txt': 'High water.\n',
        'Survey notes.md': '# Harbour survey\n' }))
        fs.writeFileSync(file(n), text);
    const shell = await WorkAreaShell.start({
        QT_QPA_PLATFORM: 'xcb',
        KZELVA_WEB_ENGINE: '1',
        KZELVA_SKIN: skin,
        KZELVA_DPI_SCALE: '1',
        QTWEBENGINE_DISABLE_SANDBOX: '1',
        QTWEBENGINE_CHROMIUM_FLAGS: '--disable-gpu --no-sandbox',
    }, settings);
    try {
        const a = shell.automation;
        await a.ok('openDocument', { path: file('Quarterly report.txt') });
        await a.ok('closeTab', { tab: 0, force: true });
        await a.ok('createWorkArea', { name: 'Harbour survey', makeCurrent: true });
        await a.ok('openDocument', { path: file('Tide tables.txt') });
        await a.ok('openDocument', { path: file('Survey notes.md') });
        await a.ok('editTab', { tab: 2, text: 'Soundings, revised.\n' });
        await a.ok('createWorkArea', { name: 'Trip to the islands', makeCurrent: false });
        await sleep(1500);
        await a.ok('openPanel');
        await sleep(5000);
        let g = (await a.ok('panelState')).panel.geometry;
        if (subWidget) {
            // "More" on the first work area opens its documents beside the panel.
            await a.ok('panelScript', { script: "document.querySelector('#open .act-more').click()" });
            await sleep(4000);
            const s = (await a.ok('panelState')).panel.subWidget.geometry;
            g = { x: s.x, y: Math.min(s.y, g.y), width: g.x + g.width - s.x, height: g.height };
        }
        const x = Math.max(0, g.x - 20);
        const y = Math.max(0, g.y - 60);
        const target = path.join(outDir, `crossterminal-panel-${name}.png`);
        execFileSync(path.join(binDir, 'kz_screengrab'), [target, String(x), String(y), String(g.width + 40),
            String(Math.min(g.height + 80, 900 - y))]);
        console.log(`wrote ${target}`);
    } finally {
        await shell.stop();
        fs.rmSync(docs, { recursive: true, force: true });
    }
}

fs.mkdirSync(outDir, { recursive: true });
await shoot('light', 'light', '');
await shoot('dark', 'dark', '');
await shoot('error', 'light', '[kzelvaworkarea]\nloadTimeoutMSec=1\n');
await shoot('subwidget', 'light', '', true);
