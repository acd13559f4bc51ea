// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The shell's tab-manager panel page in headless Chromium against a running
// zelvashell (panel enabled in its tabmanagerpanel.ini), used by keyboard
// only; the shell's automation is the oracle after each action. Also what
// the shell does for other processes' requests: a "showDevicesFile" command
// for its start page, a web page asked for on its command line.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { after, before, test } = require('node:test');
const { WorkAreaShell, axeFindings, binDir, launchBrowser, tempDir, waitFor } = require('./support/pages');

let shell;
let browser;
let page;
let config;

function writeIni(deletion) {
    fs.writeFileSync(path.join(config, 'zelva', 'tabmanagerpanel.ini'), '[panel]\nenabled=true\n[config]\n'
        + `residualSettingSaveEnabled=true\nresidualItemDeleteEnabled=${deletion}\n`);
}

const windows = () => shell.windows();
const hostPanelVisible = async () => (await shell.automation.ok('panelState')).hostPanel.visible;
const residualTitles = async () => (await shell.automation.ok('listResidual')).records
    .flatMap((r) => r.items.map((i) => i.title));
const row = (list, name) => page.locator(`#${list} li`, { has: page.locator('.name', { hasText: name }) });

async function closeDocument(name, window) {
    const w = (await windows()).find((x) => (window === undefined ? x.current : x.id === window));
    await shell.automation.ok('closeTab', { window: w.id, tab: w.tabs.findIndex((t) => t.title === name), force: true });
}

async function openPage(view, skin = 'light') {
    assert.equal((await shell.automation.ok('openPanel')).panel, true);
    await waitFor(hostPanelVisible, 'the tab-manager panel shown');
    await view.goto('about:blank'); // the same address again would only move to the fragment
    await view.goto(await shell.pageUrl(['zelvashell/kwebintegratedpanel/index.html', 'kwebintegratedpanel'], skin));
    await view.locator('#tabs li').first().waitFor();
}

const focusedName = () => page.evaluate(() => (document.activeElement === document.body ? ''
    : document.activeElement.getAttribute('aria-label') || document.activeElement.textContent));

// Keyboard only: Tab from the top until the focused control's name holds `text`, then Enter.
async function tabTo(text, enter = true) {
    await page.locator('#close').focus();
    for (let i = 0; i < 40; ++i) {
        if ((await focusedName()).includes(text))
            return enter ? page.keyboard.press('Enter') : undefined;
        await page.keyboard.press('Tab');
    }
    throw new Error(`Tab never reached ${text}`);
}

before(async () => {
    const base = tempDir('hostpanel-');
    config = path.join(base, 'config');
    // What another device sent to this one, where the device service keeps it.
    const received = path.join(config, 'zelva', 'cirrad', 'relay', 'local', 'dev-host');
    fs.mkdirSync(received, { recursive: true });
    fs.writeFileSync(path.join(received, 'from-phone.txt'), 'hello\n');
    for (const name of ['a.txt', 'b.txt', 'c.txt', 'closed.txt', 'kept.txt'])
        fs.writeFileSync(path.join(base, name), `${name}\n`);
    writeIni(false);
    // Both the plug-in's and the shell's pages are served, each under its own folder.
    shell = await WorkAreaShell.start({ KZELVA_DPI_SCALE: '1', XDG_CONFIG_HOME: config,
                                        KZELVA_WEB_ROOT: path.join(binDir(), '..', 'share') },
                                      '', ['--device-id', 'dev-host']);
    shell.base = base;
    const a = shell.automation;
    for (const name of ['kept.txt', 'closed.txt'])
        await a.ok('openDocument', { path: path.join(base, name) });
    // A closed window: its three documents, the second one active.
    const second = (await a.ok('newWindow')).window;
    for (const name of ['a.txt', 'b.txt', 'c.txt'])
        await a.ok('openDocument', { window: second, path: path.join(base, name) });
    await a.ok('activateTab', { window: second, tab: 1 });
    await a.ok('closeWindow', { window: second, force: true });
    await closeDocument('closed.txt');
    await waitFor(async () => (await residualTitles()).includes('closed.txt'), 'the closed document recorded');
    browser = await launchBrowser();
    page = await browser.newPage({ viewport: { width: 360, height: 520 } });
    await openPage(page);
});

after(async () => {
    if (browser)
        await browser.close();
    if (shell) {
        await shell.stop();
        fs.rmSync(shell.base, { recursive: true, force: true });
    }
});

test('the panel lists the tabs of the shell window and the recently closed documents', async () => {
    const current = (await windows()).find((w) => w.current);
    const shellTabs = current.visibleTabs.map((i) => current.tabs[i].title).sort();
    await waitFor(async () => (await page.locator('#tabs li .name').allTextContents()).length === shellTabs.length,
                  'every tab listed');
    assert.deepEqual((await page.locator('#tabs li .name').allTextContents()).sort(), shellTabs);
    const closed = await page.locator('#closed li .name').allTextContents();
    assert.ok(closed.includes('closed.txt'), closed.join());
    assert.ok(closed.includes('Reopen closed window (3 documents)'), closed.join());
});

test('Enter on a listed tab activates it; on a closed document it reopens it; the focus stays through changes', async () => {
    await tabTo('closed.txt', false);
    await shell.automation.ok('newDocument', { title: 'Later' });
    await row('tabs', 'Later').waitFor();
    assert.ok((await focusedName()).includes('closed.txt'), 'a new tab in the list took the focus away');
    await tabTo('kept.txt');
    await waitFor(async () => (await windows()).find((x) => x.current).tabs.find((t) => t.current).path
        .endsWith('kept.txt'), 'kept.txt current');
    await tabTo('closed.txt');
    await waitFor(async () => (await windows())[0].tabs.some((t) => t.path.endsWith('closed.txt')),
                  'closed.txt reopened');
});

test('a closed window reopens with its documents in order, the active one last; a second call raises it', async () => {
    await openPage(page);
    const before = (await windows()).length;
    const record = (await shell.automation.ok('listResidual')).records.find((r) => r.residualId !== 'default');
    const residualId = record.residualId;
    await tabTo('Reopen closed window');
    const reopened = await waitFor(async () => {
        const all = await windows();
        const w = all.length === before + 1 ? all[all.length - 1] : null;
        return w && w.tabs.length === 3 ? w : null;
    }, 'the window reopened');
    assert.deepEqual(reopened.tabs.map((t) => path.basename(t.path)), ['a.txt', 'b.txt', 'c.txt']);
    assert.ok(reopened.tabs[1].current, 'b.txt, the active document, is current');
    assert.equal(reopened.workAreaButton, record.name);
    const again = await shell.automation.ok('scriptCall', { method: 'openFiles', args: { residualId } });
    assert.equal(again.result.code, 0, JSON.stringify(again.result));
    const all = await windows();
    assert.equal(all.length, before + 1);
    assert.equal(all.find((w) => w.current).id, reopened.id);
});

test('with deletion off nothing is deleted and the page offers no delete', async () => {
    const titles = (await residualTitles()).sort();
    for (const method of ['removeResidualItem', 'removeAllResidualItems']) {
        const answer = await shell.automation.ok('scriptCall', { method, args: { workAreaId: 'default', tagId: 'x' } });
        assert.equal(answer.result.msg, `${method}::isResidualItemDeleteEnabled is not support`);
    }
    assert.deepEqual((await residualTitles()).sort(), titles);
    assert.equal(await page.locator('#closed .danger, #clear:not([hidden])').count(), 0);
});

test('with deletion on a document is deleted once the dialog is confirmed, kept when not; Escape closes', async () => {
    writeIni(true);
    const a = shell.automation;
    await closeDocument('kept.txt', (await windows())[0].id);
    await openPage(page);
    await row('closed', 'kept.txt').getByRole('button', { name: /^Delete/ }).waitFor();
    for (const button of ['cancel', 'ok']) {
        await tabTo('Delete kept.txt');
        const dialog = await waitFor(async () => (await a.send('answerDialog', { button })).dialog,
                                     'the confirmation dialog');
        assert.equal(dialog.name, 'crossTerminalPanelConfirmDlg');
        assert.match(dialog.content, /kept\.txt/);
        await waitFor(async () => !(await a.send('answerDialog')).ok, 'the dialog closed');
    }
    await waitFor(async () => !(await residualTitles()).includes('kept.txt'), 'kept.txt deleted');
    await waitFor(async () => (await row('closed', 'kept.txt').count()) === 0, 'the row gone');
    // Escape closes the panel.
    await page.keyboard.press('Escape');
    await waitFor(async () => !(await hostPanelVisible()), 'the panel hidden');
});

test('axe-core finds nothing serious in either skin', async () => {
    for (const skin of ['light', 'dark']) {
        const view = await browser.newPage({ viewport: { width: 360, height: 520 } });
        await openPage(view, skin);
        assert.deepEqual(await axeFindings(view), [], skin);
        await view.close();
    }
});

test('the received files open on the start page', async () => {
    // The plug-in's own panel (tab-manager panel off) and its "Received files".
    fs.writeFileSync(path.join(config, 'zelva', 'tabmanagerpanel.ini'), '[panel]\nenabled=false\n');
    const a = shell.automation;
    const view = await shell.showPanel(await browser.newPage({ viewport: { width: 400, height: 720 } }), 'light',
                                       '#app[aria-busy="false"]', 'kzelvaworkarea/');
    await view.locator('#received').press('Enter');
    const start = await waitFor(async () => {
        const shown = (await a.ok('startPage')).startPage;
        return shown.shown && shown;
    }, 'the start page shown');
    assert.equal(start.lastCommand, 'showDevicesFile&shares\\shared file&share@virutal_item\\linkfiles@virutal_item&');
    assert.equal(start.current, true);
    assert.deepEqual(start.entries, ['from-phone.txt']);
    await view.close();
});

test('a web page asked for on the command line opens as a web tab', async () => {
    const url = 'https://example.org/notes?q="a;b"';
    const other = await WorkAreaShell.start({ KZELVA_DPI_SCALE: '1' }, '', ['/zelvashell',
        `plugin://pageBrowser?${Buffer.from(url).toString('base64')}`, 'plugin://pageBrowser?%%%']);
    try {
        const tabs = (await other.windows())[0].tabs;
        assert.deepEqual(tabs.map((t) => [t.title, t.pageType]), [['example.org', 11]]);
    } finally {
        await other.stop();
    }
});
