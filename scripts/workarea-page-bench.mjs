// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Timings of the work-area page with many work areas, in Debian's Chromium
// against a running zelvashell (offscreen, page-API bridge on a WebSocket):
// builds AREAS work areas of TABS tabs through the automation socket, opens
// the page with every card expanded and prints, beside a baseline of
// building again only the changed card's markup:
//   - a rename done in the shell: the page's work for it and its longest task,
//   - expanding one card,
//   - one getTagList of TABS tabs, answered by the shell.
//
//   KZ_BIN_DIR=build/bin node scripts/workarea-page-bench.mjs [AREAS [TABS]]
// (npm packages from tests/pages: run scripts/npm-deps.sh first.)
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const { WorkAreaShell, launchBrowser, waitFor } = require('../tests/pages/support/pages.js');

const AREAS = Number(process.argv[2] || 100);
const TABS = Number(process.argv[3] || 20);
const ROUNDS = 5;

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(1).padStart(7) + ' ms';

async function build(shell) {
    const a = shell.automation;
    await a.ok('closeTab', { tab: 0, force: true });
    for (let area = 0; area < AREAS; ++area) {
        if (area > 0)
            await a.ok('createWorkArea', { name: `Area ${area}`, makeCurrent: true });
        // Requests go out together; the shell answers them in order.
        const opened = [];
        for (let tab = 0; tab < TABS; ++tab)
            opened.push(a.ok('newDocument', { title: `Document ${area}.${tab}` }));
        await Promise.all(opened);
    }
}

// Page-side helpers, installed once.
function install() {
    window.kzBench = {
        longTasks: [],
        frame: () => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0))),
    };
    new PerformanceObserver((entries) => {
        entries.getEntries().forEach((entry) => window.kzBench.longTasks.push(entry.duration));
    }).observe({ entryTypes: ['longtask'] });
}

async function main() {
    const shell = await WorkAreaShell.start();
    const browser = await launchBrowser();
    try {
        const started = Date.now();
        await build(shell);
        console.log(`built ${AREAS} work areas x ${TABS} tabs in ${((Date.now() - started) / 1000).toFixed(1)} s`);
        const page = await browser.newPage({ viewport: { width: 1050, height: 560 } });
        await shell.showPage(page);
        await page.evaluate(install);
        // Every card expanded.
        await page.evaluate(async () => {
            for (const button of document.querySelectorAll('.expand[aria-expanded="false"]'))
                button.click();
            while (document.querySelector('.expand[aria-expanded="false"]') || document.querySelector('.tabs .note'))
                await new Promise((resolve) => setTimeout(resolve, 50));
        });
        const tiles = await page.locator('.tile').count();
        console.log(`page shows ${tiles} tiles`);
        const areas = await shell.workAreas();
        const target = areas[Math.floor(areas.length / 2)];

        const rows = { baseline: [], rename: [], renameTask: [], expand: [], tagList: [] };
        for (let round = 0; round < ROUNDS; ++round) {
            // Baseline: the changed card's markup built again, and laid out.
            rows.baseline.push(await page.evaluate((id) => {
                const card = document.querySelector(`.card[data-id="${CSS.escape(id)}"]`);
                const html = card.outerHTML;
                const t0 = performance.now();
                const template = document.createElement('template');
                template.innerHTML = html;
                const fresh = template.content.firstElementChild;
                card.replaceWith(fresh);
                void document.getElementById('list').offsetHeight;
                const took = performance.now() - t0;
                // The page keeps its own card nodes: its card goes back.
                fresh.replaceWith(card);
                return took;
            }, target.workAreaId));

            // A rename in the shell reaches the page.
            const name = `Renamed ${round}`;
            await page.evaluate(() => {
                performance.clearMeasures();
                window.kzBench.longTasks.length = 0;
            });
            await shell.automation.ok('renameWorkArea', { workArea: target.workAreaId, name });
            await waitFor(() => page.evaluate((text) => !!Array.from(document.querySelectorAll('h2.name'))
                .find((node) => node.textContent === text), name), 'the new name in the page');
            // The shell's own change event follows the list; let it settle.
            await page.waitForTimeout(1200);
            const work = await page.evaluate(async () => {
                await window.kzBench.frame();
                const sum = (name) => performance.getEntriesByName(name).reduce((total, e) => total + e.duration, 0);
                return { work: sum('kz-render') + sum('kz-list'), longest: Math.max(0, ...window.kzBench.longTasks) };
            });
            rows.rename.push(work.work);
            rows.renameTask.push(work.longest);

            // Collapse and expand one card; its tab list is kept.
            rows.expand.push(await page.evaluate(async (id) => {
                const button = () => document.querySelector(`.card[data-id="${CSS.escape(id)}"] .expand`);
                button().click();
                await window.kzBench.frame();
                const t0 = performance.now();
                button().click();
                void document.getElementById('list').offsetHeight;
                return performance.now() - t0;
            }, target.workAreaId));

            rows.tagList.push(await page.evaluate(async (id) => {
                const t0 = performance.now();
                await kzbridge.request('common', 'getTagList', { params: { workAreaId: id } });
                return performance.now() - t0;
            }, target.workAreaId));
        }
        const base = median(rows.baseline);
        const ratio = (value) => `${(value / base).toFixed(2)}x baseline`;
        console.log(`\n${AREAS} work areas x ${TABS} tabs, all expanded (median of ${ROUNDS})`);
        console.log(`baseline: one card's markup built again   ${ms(base)}`);
        console.log(`rename: page-side work                    ${ms(median(rows.rename))}  ${ratio(median(rows.rename))}`
                    + `, longest task ${ms(Math.max(...rows.renameTask)).trim()}`);
        console.log(`expand: one card                          ${ms(median(rows.expand))}  ${ratio(median(rows.expand))}`);
        console.log(`getTagList of ${TABS} tabs (round trip)      ${ms(median(rows.tagList))}`);
    } finally {
        await browser.close();
        await shell.stop();
    }
}

await main();
