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
const { launchBrowser, waitFor } = require('./support/bridge');
const { WorkAreaShell } = require('./workarea-shell');

let shell;
let browser;
let page;

function card(name) {
    return page.locator('.card', { has: page.locator('h3.name', { hasText: new RegExp(`^${name}$`) }) });
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
    const names = await page.locator('.card h3.name').allTextContents();
    assert.deepEqual(names, areas.map((area) => area.name));
    const research = card('Research');
    assert.match(await research.locator('.meta .count').textContent(), /^1 tab$/);
    assert.equal(await research.locator('.pill.window').textContent(), 'In this window');
    assert.equal(await card('Default Work Window').locator('.pill.active').textContent(), 'Active');
    // The current work area starts expanded with its tabs.
    const tiles = await card('Default Work Window').locator('.tile .tile-title span').allTextContents();
    const defaults = areas.find((area) => area.name === 'Default Work Window').tags.map((tag) => tag.name);
    assert.deepEqual(tiles, defaults);
    assert.equal(await page.locator('#summary').textContent(), `${areas.length} work areas · 3 tabs`);
});

test('creating a work area opens its name for editing; Enter keeps the name', async () => {
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
});

test('renaming inline and a name that looks like markup stays text', async () => {
    await card('Harbour survey').locator('h3.name').dblclick();
    const editor = page.locator('input[data-editor="name"]');
    await editor.fill('<img src=x onerror="window.pwned=1">');
    await editor.press('Enter');
    await waitFor(() => areaNamed('<img src=x onerror="window.pwned=1">'), 'the markup name in the shell');
    await card('<img src=x onerror="window\\.pwned=1">').waitFor();
    assert.equal(await page.evaluate(() => window.pwned), undefined);
    assert.equal(await page.locator('.card img').count(), 0);
    // Escape leaves the name as it was.
    await page.locator('.card h3.name').last().dblclick();
    await editor.fill('Not kept');
    await editor.press('Escape');
    assert.equal(await areaNamed('Not kept'), undefined);
    const id = (await areaNamed('<img src=x onerror="window.pwned=1">')).workAreaId;
    await shell.automation.ok('renameWorkArea', { workArea: id, name: 'Harbour survey' });
    await card('Harbour survey').waitFor();
});

test('a colour picked in the page reaches the work area', async () => {
    await card('Research').locator('.chip').click();
    await page.locator('.popover .swatch[data-color="#12a594"]').click();
    await waitFor(async () => (await areaNamed('Research')).customColor === '#12a594', 'the colour');
    await waitFor(async () => (await card('Research').getAttribute('style') || '').includes('#12a594'), 'the stripe');
});

test('dragging a tab onto another work area moves it', async () => {
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
    const lastName = await last.locator('h3.name').textContent();
    await last.locator('.grip').dragTo(page.locator('.card').first(), { targetPosition: { x: 40, y: 4 } });
    await waitFor(async () => (await shell.workAreas())[0].name === lastName, 'the new order in the shell');
    const order = (await shell.workAreas()).map((area) => area.workAreaId);
    assert.deepEqual(order, [ids[ids.length - 1], ...ids.slice(0, -1)]);
    await waitFor(async () => (await page.locator('.card h3.name').first().textContent()) === lastName,
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
    // The default one cannot be closed from the page.
    assert.ok(await card('Default Work Window').locator('[data-action="close"]').isDisabled());
});

test('switching from the page changes the window and closes the popup', async () => {
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
});

test('opening a tab from the page activates it in the window', async () => {
    const tile = card('Research').locator('.tile', { hasText: 'Notes on tides' });
    await tile.click();
    await waitFor(async () => {
        const [window] = await shell.windows();
        return window.tabs.some((tab) => tab.current && tab.title === 'Notes on tides');
    }, 'the tab to be current');
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

test('the dark skin', async () => {
    const dark = await browser.newPage({ viewport: { width: 1050, height: 560 } });
    await shell.showPage(dark, 'dark');
    assert.equal(await dark.evaluate(() => document.documentElement.dataset.skin), 'dark');
    const background = await dark.evaluate(() => getComputedStyle(document.body).backgroundColor);
    assert.equal(background, 'rgb(28, 30, 34)');
    await dark.close();
});
