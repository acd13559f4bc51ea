// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The real work-area page in headless Chromium against a running zelvashell
// over the WebSocket transport: what a person does with the mouse and the
// keyboard in the page, checked against the shell's own state read through
// its automation socket.
'use strict';

const assert = require('node:assert/strict');
const { after, before, test } = require('node:test');
const { WorkAreaShell, axeFindings, launchBrowser, waitFor } = require('./support/pages');

let shell;
let browser;
let page;

function card(name) {
    return page.locator('.card', { has: page.locator('h2.name', { hasText: new RegExp(`^${name}$`) }) });
}

async function areaNamed(name) {
    return (await shell.workAreas()).find((area) => area.name === name);
}

// The page as it is after a change the shell may have closed the popup for.
async function reopen() {
    await page.close();
    page = await browser.newPage({ viewport: { width: 1050, height: 560 } });
    await shell.showPage(page);
}

before(async () => {
    shell = await WorkAreaShell.start();
    const a = shell.automation;
    await a.ok('newDocument', { title: 'Quarterly report' });
    await a.ok('createWorkArea', { name: 'Research', makeCurrent: true });
    await a.ok('newDocument', { title: 'Notes on tides' });
    await a.ok('switchWorkArea', { workArea: (await areaNamed('Default Work Window')).workAreaId });
    browser = await launchBrowser();
    page = await browser.newPage({ viewport: { width: 1050, height: 560 } });
    await shell.showPage(page);
});

after(async () => {
    if (browser)
        await browser.close();
    if (shell)
        await shell.stop();
});

test('the page lists every work area of the shell with its state', async () => {
    const areas = await shell.workAreas();
    const names = await page.locator('.card h2.name').allTextContents();
    assert.deepEqual(names, areas.map((area) => area.name));
    const research = card('Research');
    assert.match(await research.locator('.meta .count').textContent(), /^1 tab$/);
    assert.equal(await research.locator('.pill.window').textContent(), 'In this window');
    assert.equal(await card('Default Work Window').locator('.pill.active').textContent(), 'Active');
    // The current work area starts expanded with its tabs.
    const tiles = await card('Default Work Window').locator('.tile .tile-title span[dir]').allTextContents();
    const defaults = areas.find((area) => area.name === 'Default Work Window').tags.map((tag) => tag.name);
    assert.deepEqual(tiles, defaults);
    assert.equal(await page.locator('#summary').textContent(), `${areas.length} work areas · 3 tabs`);
});

test('creating a work area opens its name for editing; Enter keeps the name; markup in a name stays text', async () => {
    const before = (await shell.workAreas()).length;
    await page.click('#create');
    const editor = page.locator('input[data-editor="name"]');
    await editor.waitFor();
    await editor.fill('Harbour survey');
    await editor.press('Enter');
    const created = await waitFor(() => areaNamed('Harbour survey'), 'the renamed work area');
    assert.equal((await shell.workAreas()).length, before + 1);
    assert.equal(created.status, 'current');
    await card('Harbour survey').waitFor();
    // Renamed inline, a name that looks like markup stays text.
    await card('Harbour survey').locator('h2.name').dblclick();
    await editor.fill('<img src=x onerror="window.pwned=1">');
    await editor.press('Enter');
    await waitFor(() => areaNamed('<img src=x onerror="window.pwned=1">'), 'the markup name in the shell');
    await card('<img src=x onerror="window\\.pwned=1">').waitFor();
    assert.equal(await page.evaluate(() => window.pwned), undefined);
    assert.equal(await page.locator('.card img').count(), 0);
    // Escape leaves the name as it was.
    await page.locator('.card h2.name').last().dblclick();
    await editor.fill('Not kept');
    await editor.press('Escape');
    assert.equal(await areaNamed('Not kept'), undefined);
    const id = (await areaNamed('<img src=x onerror="window.pwned=1">')).workAreaId;
    await shell.automation.ok('renameWorkArea', { workArea: id, name: 'Harbour survey' });
    await card('Harbour survey').waitFor();
});

test('a colour picked and a tab dragged in the page reach the work area', async () => {
    await card('Research').locator('.chip').click();
    await page.locator('.popover .swatch[data-color="#12a594"]').click();
    await waitFor(async () => (await areaNamed('Research')).customColor === '#12a594', 'the colour');
    await waitFor(async () => (await card('Research').getAttribute('style') || '').includes('#12a594'), 'the stripe');
    // Dragging a tab onto another work area moves it.
    const quarterly = card('Default Work Window').locator('.tile', { hasText: 'Quarterly report' });
    await quarterly.dragTo(card('Research'));
    await waitFor(async () => (await areaNamed('Research')).tags.some((tag) => tag.name === 'Quarterly report'),
                  'the tab in Research');
    assert.ok(!(await areaNamed('Default Work Window')).tags.some((tag) => tag.name === 'Quarterly report'));
    await waitFor(async () => (await card('Research').locator('.meta .count').textContent()) === '2 tabs',
                  'the new count in the page');
});

test('dragging a card reorders the work areas', async () => {
    const ids = (await shell.workAreas()).map((area) => area.workAreaId);
    const last = page.locator('.card').last();
    const lastName = await last.locator('h2.name').textContent();
    await last.locator('.grip').dragTo(page.locator('.card').first(), { targetPosition: { x: 40, y: 4 } });
    await waitFor(async () => (await shell.workAreas())[0].name === lastName, 'the new order in the shell');
    const order = (await shell.workAreas()).map((area) => area.workAreaId);
    assert.deepEqual(order, [ids[ids.length - 1], ...ids.slice(0, -1)]);
    await waitFor(async () => (await page.locator('.card h2.name').first().textContent()) === lastName,
                  'the new order in the page');
    // Alt+Down moves it back one place with the keyboard.
    await page.locator('.card').first().focus();
    await page.keyboard.press('Alt+ArrowDown');
    await waitFor(async () => (await shell.workAreas())[1].name === lastName, 'the keyboard move');
});

test('closing a work area asks first, then its tabs go with it', async () => {
    const before = await areaNamed('Harbour survey');
    await card('Harbour survey').locator('[data-action="close"]').click();
    await page.locator('.confirm [data-action="close-cancel"]').click();
    assert.ok(await areaNamed('Harbour survey'));
    await card('Harbour survey').locator('[data-action="close"]').click();
    await page.locator('.confirm [data-action="close-confirm"]').click();
    await waitFor(async () => !(await areaNamed('Harbour survey')), 'the work area to go');
    await waitFor(async () => (await card('Harbour survey').count()) === 0, 'its card to go');
    assert.ok(before);
    // The toast's Undo brings it back under its id; closed again for the tests that follow.
    await page.locator('#toast .toast-action').click();
    await card('Harbour survey').waitFor();
    assert.equal((await areaNamed('Harbour survey')).workAreaId, before.workAreaId);
    await shell.automation.ok('removeWorkArea', { workArea: before.workAreaId });
    await waitFor(async () => !(await areaNamed('Harbour survey')), 'the work area to go again');
    await shell.automation.ok('switchWorkArea', { workArea: (await areaNamed('Default Work Window')).workAreaId });
    // The default one cannot be closed from the page.
    assert.ok(await card('Default Work Window').locator('[data-action="close"]').isDisabled());
});

test('switching from the page changes the window and closes the popup; a tile opens its tab', async () => {
    const research = await areaNamed('Research');
    await card('Research').locator('[data-action="switch"]').click();
    await waitFor(async () => (await areaNamed('Research')).isVisible, 'Research to be shown');
    const [window] = await shell.windows();
    const visible = window.visibleTabs.map((index) => window.tabs[index].itemId).sort();
    assert.deepEqual(visible, research.tags.map((tag) => tag.tagId).sort());
    assert.equal(window.workAreaButton, 'Research');
    // The popup is gone, and its page API with it.
    const answered = await page.evaluate(() => Promise.race([
        kzbridge.call('common', 'getWorkSpaceMode').then(() => true, () => false),
        new Promise((resolve) => setTimeout(() => resolve(false), 1000))]));
    assert.equal(answered, false);
    await reopen();
    assert.equal(await card('Research').locator('.pill.active').textContent(), 'Active');
    // A tile opens its tab in the window.
    await card('Research').locator('.tile', { hasText: 'Notes on tides' }).click();
    await waitFor(async () => (await shell.windows())[0].tabs.some((tab) => tab.current && tab.title === 'Notes on tides'),
                  'the tab to be current');
    await reopen();
});

test('a hidden work area opens in a window of its own', async () => {
    const windows = (await shell.windows()).length;
    await card('Default Work Window').locator('[data-action="new-window"]').click();
    await waitFor(async () => (await shell.windows()).length === windows + 1, 'a new window');
    const [first, opened] = await shell.windows();
    const seenFromFirst = (await shell.workAreas(first.id)).find((area) => area.name === 'Default Work Window');
    assert.equal(seenFromFirst.status, 'other');
    assert.equal(opened.workAreaButton, 'Default Work Window');
    assert.deepEqual(opened.visibleTabs.map((index) => opened.tabs[index].title).sort(), ['Untitled 1']);
    assert.deepEqual(first.tabs.map((tab) => tab.title).sort(), ['Notes on tides', 'Quarterly report']);
});

test('axe-core finds nothing serious in either skin, collapsed or expanded', async () => {
    const a = shell.automation;
    // Names that test layout and direction: no spaces, a direction override, emoji.
    const research = await areaNamed('Research');
    await a.ok('renameWorkArea', { workArea: research.workAreaId, name: 'Research🌊' });
    await a.ok('createWorkArea', { name: 'x'.repeat(120) });
    await a.ok('createWorkArea', { name: '\u202Egpj.exe' });
    for (const skin of ['light', 'dark']) {
        const view = await browser.newPage({ viewport: { width: 1050, height: 560 } });
        await shell.showPage(view, skin);
        assert.equal(await view.evaluate(() => document.documentElement.dataset.skin), skin);
        assert.deepEqual(await axeFindings(view), [], `${skin}, as opened`);
        // Everything expanded, a close being confirmed for the long name, an error shown.
        await view.evaluate(() => document.querySelectorAll('.expand[aria-expanded="false"]').forEach((b) => b.click()));
        await waitFor(async () => (await view.locator('.tabs .note', { hasText: 'Loading' }).count()) === 0, 'the tabs');
        await view.locator('.card', { hasText: 'xxxxxxxx' }).locator('[data-action="close"]').click();
        await view.evaluate(() => KzPage.toast('The tab could not be moved', true));
        await view.locator('.tile').first().waitFor();
        assert.deepEqual(await axeFindings(view), [], `${skin}, expanded`);
        // The confirmation's buttons stay inside the card, the long name wraps.
        const row = await view.locator('.confirm').boundingBox();
        const confirm = await view.locator('.confirm [data-action="close-confirm"]').boundingBox();
        assert.ok(confirm.x + confirm.width <= row.x + row.width, 'the buttons stay on screen');
        // A direction override in a name is not shown (it would turn "gpj.exe" into "exe.jpg").
        const spoof = view.locator('h2.name', { hasText: 'gpj.exe' });
        assert.equal(await spoof.textContent(), 'gpj.exe');
        assert.equal(await spoof.getAttribute('dir'), 'auto');
        await view.close();
    }
});

// The active element, described for assertions.
function focused(target = page) {
    return target.evaluate(() => {
        const node = document.activeElement;
        return { tag: node.tagName, key: node.dataset.key || '', text: node.textContent.trim(),
                 shadow: getComputedStyle(node).boxShadow };
    });
}

test('every action works from the keyboard alone', async () => {
    await reopen();
    const key = async (...keys) => {
        for (const k of keys)
            await page.keyboard.press(k);
    };
    const focusCard = async (name) => page.locator(`[data-key="card:${(await areaNamed(name)).workAreaId}"]`).focus();
    // Expands the card that has the keyboard and tabs to its first tab.
    const toFirstTab = async (name) => {
        await key('ArrowRight');
        await card(name).locator('.tile').first().waitFor();
        for (let i = 0; i < 12 && !(await focused()).key.startsWith('tag:'); ++i)
            await key('Tab');
    };
    // The active card has the keyboard and shows a focus ring.
    const start = await focused();
    assert.match(start.key, /^card:/);
    assert.notEqual(start.shadow, 'none');

    // Create and name.
    await key('Control+n');
    await page.locator('input[data-editor="name"]').waitFor();
    await page.keyboard.type('Walk');
    await key('Enter');
    const walk = await waitFor(() => areaNamed('Walk'), 'the new work area');
    await waitFor(async () => (await focused()).key === `card:${walk.workAreaId}`, 'the keyboard on the new card');
    // Rename.
    await key('F2');
    await page.keyboard.type('Walked');
    await key('Enter');
    await waitFor(() => areaNamed('Walked'), 'the rename');
    // Colour: the chip, then the swatches as one group.
    await key('Tab');
    assert.equal((await focused()).key, `color:${walk.workAreaId}`);
    await key('Enter');
    assert.equal((await focused()).tag, 'BUTTON');
    await key('ArrowRight', 'ArrowRight', 'Enter');
    await waitFor(async () => (await areaNamed('Walked')).customColor === '#e2a336', 'the colour');
    assert.equal(await page.locator('.popover').count(), 0);
    // A popover closes when the keyboard leaves it.
    await key('Enter');
    await page.locator('.popover').waitFor();
    await key('Tab', 'Tab', 'Tab');
    await waitFor(async () => (await page.locator('.popover').count()) === 0, 'the popover to close');
    // Reorder.
    await focusCard('Walked');
    const before = (await shell.workAreas()).findIndex((area) => area.name === 'Walked');
    await key('Alt+ArrowUp');
    await waitFor(async () => (await shell.workAreas()).findIndex((area) => area.name === 'Walked') === before - 1,
                  'the keyboard reorder');
    assert.equal((await focused()).key, `card:${walk.workAreaId}`);

    // Expand the default work area and move its tab into "Walked".
    await focusCard('Default Work Window');
    await toFirstTab('Default Work Window');
    const tab = (await focused()).key.slice(4);
    await key('m');
    const item = page.locator('.popover [role="menuitem"]', { hasText: 'Walked' });
    for (let i = 0; i < 50 && !(await item.evaluate((node) => node === document.activeElement)); ++i)
        await key('ArrowDown');
    await key('Enter');
    await waitFor(async () => (await areaNamed('Walked')).tags.some((t) => t.tagId === tab), 'the moved tab');
    await waitFor(async () => (await page.locator('#announce').textContent()).includes('to “Walked”'), 'the announcement');
    assert.notEqual((await focused()).tag, 'BODY');

    // Close: the safe choice has the keyboard; a refused close keeps it on the card, a done one on the next card.
    await focusCard('Walked');
    await key('Delete');
    await waitFor(async () => (await focused()).text === 'Keep it', 'the safe choice focused');
    await key('Enter');
    assert.equal((await focused()).key, `card:${walk.workAreaId}`);
    await key('Delete', 'Tab', 'Enter');
    await waitFor(async () => !(await areaNamed('Walked')), 'the close');
    await waitFor(async () => {
        const now = (await focused()).key;
        return now.startsWith('card:') && now !== `card:${walk.workAreaId}`;
    }, 'the keyboard on the next card');

    // Open a tab, then switch.
    await focusCard('Research🌊');
    await toFirstTab('Research🌊');
    const opened = await page.evaluate(() => document.activeElement.querySelector('.tile-title span[dir]').textContent);
    await key('Enter');
    await waitFor(async () => (await shell.windows()).some((w) => w.tabs.some((t) => t.current && t.visible && t.title === opened)),
                  `the tab "${opened}" to be current`);
    // A work area of this window with a tab of its own, then a switch to it.
    const a = shell.automation;
    const research = await areaNamed('Research🌊');
    await a.ok('createWorkArea', { name: 'Switch target', makeCurrent: true });
    await a.ok('newDocument', { title: 'Switch note' });
    await a.ok('switchWorkArea', { workArea: research.workAreaId });
    await reopen();
    await focusCard('Switch target');
    await key('Enter');
    await waitFor(async () => (await shell.windows()).some((w) => w.current && w.workAreaButton === 'Switch target'),
                  'the switch');
    await reopen();
});

test('a tag list is read once per card until the shell says it changed', async () => {
    const calls = await page.evaluate(async () => {
        let count = 0;
        const original = kzbridge.request;
        kzbridge.request = function (handler, method, args) {
            if (method === 'getTagList')
                ++count;
            return original.apply(this, arguments);
        };
        const filter = document.getElementById('filter');
        for (const text of ['t', 'ti', 'tid']) {
            filter.value = text;
            filter.dispatchEvent(new Event('input'));
            await new Promise((resolve) => setTimeout(resolve, 300));
        }
        filter.value = '';
        filter.dispatchEvent(new Event('input'));
        kzbridge.request = original;
        return count;
    });
    const areas = await shell.workAreas();
    assert.ok(calls <= areas.length, `${calls} reads for ${areas.length} work areas`);
});

test('the tab menu opens from the mouse and at the tile from the keyboard, and the shell quits cleanly', async () => {
    const tile = page.locator('.card.is-active .tile').first();
    await tile.waitFor();
    await tile.click({ button: 'right' });
    const menus = async () => (await shell.automation.ok('listMenus')).menus;
    await waitFor(async () => (await menus()).length === 1, 'the menu from the mouse');
    // The page's call was answered: the bridge still serves it.
    assert.equal((await page.evaluate(() => kzbridge.request('common', 'getWorkSpaceMode'))).mode, '0');
    await tile.focus();
    await page.keyboard.press('Shift+F10');
    const { popup } = await shell.automation.ok('workAreaPopup');
    const box = await tile.boundingBox();
    const at = { left: popup.pageLeft + Math.round(box.x), top: popup.pageTop + Math.round(box.y) + Math.round(box.height) };
    await waitFor(async () => (await menus()).some((m) => m.left === at.left && m.top === at.top),
                  `the menu from the keyboard at ${JSON.stringify(at)}: ${JSON.stringify(await menus())}`);
    // Quitting with the menu open ends cleanly.
    await shell.automation.ok('quit', { force: true });
    await waitFor(() => shell.child.exitCode !== null || shell.child.signalCode !== null, 'the shell to end');
    assert.equal(shell.child.signalCode, null);
    assert.equal(shell.child.exitCode, 0);
});
