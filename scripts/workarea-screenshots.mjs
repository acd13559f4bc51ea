// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Takes the README's screenshots of the work-area popup in zelvashell, in
// the light and the dark skin, with QtWebEngine showing the real page:
//
//   KZ_BIN_DIR=build/bin xvfb-run -a -s "-screen 0 1440x900x24" \
//       node scripts/workarea-screenshots.mjs docs/images
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const { WorkAreaShell } = require('../tests/pages/support/pages.js');

const outDir = path.resolve(process.argv[2] || 'docs/images');
const binDir = process.env.KZ_BIN_DIR;
if (!binDir || !process.env.DISPLAY) {
    console.error('run with KZ_BIN_DIR set, under a display (xvfb-run)');
    process.exit(2);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function writeDocuments(dir) {
    const files = {
        'Quarterly report.txt': 'Revenue grew in every region but one.\n',
        'Budget 2027.csv': 'item,amount\nboats,12000\n',
        'Tide tables.txt': 'High water 06:12, 18:40\n',
        'Survey notes.md': '# Harbour survey\n\nSoundings along the east quay.\n',
        'Ferry timetable.txt': 'Departures every 40 minutes.\n',
        'Packing list.txt': 'Charts, boots, thermos.\n',
    };
    for (const [name, text] of Object.entries(files))
        fs.writeFileSync(path.join(dir, name), text);
    return (name) => path.join(dir, name);
}

async function shoot(skin) {
    const docs = fs.mkdtempSync(path.join(os.tmpdir(), 'wa-docs-'));
    const file = writeDocuments(docs);
    const shell = await WorkAreaShell.start({
        QT_QPA_PLATFORM: 'xcb',
        KZELVA_WEB_ENGINE: '1',
        KZELVA_SKIN: skin,
        QTWEBENGINE_DISABLE_SANDBOX: '1',
        QTWEBENGINE_CHROMIUM_FLAGS: '--disable-gpu --no-sandbox',
    // Without the cross-terminal entrance the popup shows the tabs' previews.
    }, '[kzelvaworkarea]\ncrossTerminalEntranceVisible=false\n');
    try {
        const a = shell.automation;
        const area = async (name) => (await shell.workAreas()).find((w) => w.name === name);
        await a.ok('openDocument', { path: file('Quarterly report.txt') });
        await a.ok('openDocument', { path: file('Budget 2027.csv') });
        await a.ok('closeTab', { tab: 0, force: true }); // the shell's empty start document
        await a.ok('colorWorkArea', { workArea: (await shell.workAreas()).find((w) => w.isDefault).workAreaId, color: '#3e63dd' });
        await a.ok('createWorkArea', { name: 'Harbour survey', makeCurrent: true });
        await a.ok('openDocument', { path: file('Tide tables.txt') });
        await a.ok('openDocument', { path: file('Survey notes.md') });
        await a.ok('editTab', { tab: 3, text: 'Soundings along the east quay, revised.\n' });
        await a.ok('colorWorkArea', { workArea: (await area('Harbour survey')).workAreaId, color: '#12a594' });
        await a.ok('createWorkArea', { name: 'Trip to the islands', makeCurrent: true });
        await a.ok('openDocument', { path: file('Ferry timetable.txt') });
        await a.ok('openDocument', { path: file('Packing list.txt') });
        await a.ok('colorWorkArea', { workArea: (await area('Trip to the islands')).workAreaId, color: '#f76b15' });
        // Going through the tabs leaves a preview of each behind.
        for (const index of [4, 5])
            await a.ok('activateTab', { tab: index });
        await a.ok('switchWorkArea', { workArea: (await area('Harbour survey')).workAreaId });
        for (const index of [2, 3])
            await a.ok('activateTab', { tab: index });
        await sleep(1500);
        await shell.openPopup();
        await sleep(7000);
        const target = path.join(outDir, `workarea-popup-${skin}.png`);
        // The main window sits at the top left of the otherwise empty screen.
        execFileSync(path.join(binDir, 'kz_screengrab'), [target, '0', '0', '1100', '700']);
        console.log(`wrote ${target}`);
    } finally {
        await shell.stop();
        fs.rmSync(docs, { recursive: true, force: true });
    }
}

fs.mkdirSync(outDir, { recursive: true });
for (const skin of ['light', 'dark'])
    await shoot(skin);
