// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The shell's tab-manager panel: the tabs of the current window and the
// recently closed documents, through the script core's extension object
// (the work-area plug-in's). A closed window's documents reopen together;
// deleting asks first. The listing comes as the event behind the change
// listener and is drawn again only when it changed.
(function () {
    'use strict';

    const $ = function (id) { return document.getElementById(id); };
    let shown = '';
    let deletable = false;

    async function script(method, args) {
        const answer = await kzbridge.request('kwebintegratedpanel', 'call', { method: method, args: args || {} });
        if (!answer || answer.code !== 0)
            throw new Error(answer && answer.msg ? answer.msg : method + ' failed');
        return answer.data;
    }

    function say(text) { $('status').textContent = text || ''; }

    async function act(label, method, args) {
        try {
            const data = await script(method, args);
            say('');
            return data;
        } catch (e) {
            say(label + ' failed: ' + e.message);
            return undefined;
        }
    }

    function str(v) { return typeof v === 'string' ? v : ''; }
    function isObject(v) { return v !== null && typeof v === 'object' && !Array.isArray(v); }

    function button(cls, text, label, handler) {
        const b = document.createElement('button');
        b.type = 'button';
        b.className = cls;
        b.textContent = text;
        if (label) {
            b.setAttribute('aria-label', label);
            b.title = label;
        }
        b.addEventListener('click', handler);
        return b;
    }

    async function confirmDelete(what) {
        const data = await act('Asking', 'showConfirmDlg', {
            caption: 'Delete', content: 'Delete ' + what + ' from the recently closed documents?',
            btnText: 'Delete', btnResult: 'delete', leftBtnText: 'Keep', leftBtnResult: 'keep', leftBtnVisible: true,
        });
        return data && data.confirm === 'delete';
    }

    function tabRow(tag) {
        const li = document.createElement('li');
        const ids = { workAreaId: str(tag.workAreaId), tagId: str(tag.tagId), isResidual: false };
        li.appendChild(button('name', str(tag.name) || str(tag.tagId), '', function () { act('Opening', 'openTab', ids); }));
        li.appendChild(button('icon', '\u2715', 'Close ' + str(tag.name), function () { act('Closing', 'closeTab', ids); }));
        return li;
    }

    function closedRow(tag) {
        const li = document.createElement('li');
        const name = str(tag.name) || str(tag.tagId);
        const isWindow = tag.itemType === 1;
        li.appendChild(button('name', name + (isWindow ? ' (window)' : ''), '', function () {
            if (isWindow)
                act('Reopening the window', 'openFiles', { residualId: str(tag.tagId) });
            else
                act('Reopening', 'openTab', { workAreaId: str(tag.workAreaId), tagId: str(tag.tagId), isResidual: true });
        }));
        if (deletable) {
            li.appendChild(button('icon danger', '\u{1F5D1}', 'Delete ' + name, async function () {
                if (await confirmDelete('\u201c' + name + '\u201d')
                    && await act('Deleting', 'removeResidualItem', { workAreaId: str(tag.workAreaId), tagId: str(tag.tagId) }) !== undefined)
                    refresh();
            }));
        }
        return li;
    }

    // A closed window's documents come under its record's id: one row to
    // reopen the window with all of them, then the documents themselves.
    function windowRow(residualId, count) {
        const li = document.createElement('li');
        li.className = 'window';
        const text = 'Reopen closed window (' + count + (count === 1 ? ' document)' : ' documents)');
        li.appendChild(button('name', text, '', function () {
            act('Reopening the window', 'openFiles', { residualId: residualId });
        }));
        return li;
    }

    // Rows as [key, make]: a row whose key is already shown is kept as it
    // is, so a change elsewhere in the list leaves the focus where it was.
    function closedRows(items) {
        const rows = [];
        const counted = {};
        items.forEach(function (t) {
            const id = str(t.workAreaId);
            if (t.itemType !== 1 && id && id !== 'default')
                counted[id] = (counted[id] || 0) + 1;
        });
        items.forEach(function (t) {
            const id = str(t.workAreaId);
            if (counted[id]) {
                const count = counted[id];
                rows.push([JSON.stringify(['window', id, count]), function () { return windowRow(id, count); }]);
                delete counted[id];
            }
            rows.push([JSON.stringify(['closed', t.itemType, id, str(t.tagId), str(t.name), deletable]),
                       function () { return closedRow(t); }]);
        });
        return rows;
    }

    function fill(list, items, row, empty) {
        const rows = row === closedRow ? closedRows(items) : items.map(function (t) {
            return [JSON.stringify(['tab', str(t.workAreaId), str(t.tagId), str(t.name)]), function () { return row(t); }];
        });
        if (!items.length) {
            rows.push([JSON.stringify(['empty', empty]), function () {
                const li = document.createElement('li');
                li.className = 'empty';
                li.textContent = empty;
                return li;
            }]);
        }
        const shownRows = new Map();
        Array.prototype.forEach.call(list.children, function (li) {
            shownRows.set(li.dataset.key, (shownRows.get(li.dataset.key) || []).concat([li]));
        });
        rows.forEach(function (r, i) {
            const same = shownRows.get(r[0]);
            let li = same && same.shift();
            if (!li) {
                li = r[1]();
                li.dataset.key = r[0];
            }
            if (list.children[i] !== li)
                list.insertBefore(li, list.children[i] || null);
        });
        shownRows.forEach(function (lis) { lis.forEach(function (li) { li.remove(); }); });
    }

    function render(listing) {
        if (!isObject(listing))
            return;
        const signature = JSON.stringify([listing, deletable]);
        if (signature === shown)
            return;
        shown = signature;
        const open = Array.isArray(listing.open) ? listing.open.filter(isObject) : [];
        const close = Array.isArray(listing.close) ? listing.close.filter(isObject) : [];
        fill($('tabs'), open, tabRow, 'No tabs');
        fill($('closed'), close, closedRow, 'Nothing closed lately');
        $('clear').hidden = !deletable || !close.length;
        const tip = isObject(listing.residualConfigTipInfo) ? listing.residualConfigTipInfo : null;
        $('tip').hidden = !(tip && tip.visible === true);
        if (tip)
            $('tip').textContent = 'Showing the last ' + tip.maxVisibilityNum + ' documents closed within ' + tip.maxDayRange + ' days.';
    }

    function refresh() {
        return act('Listing', 'updatePanelVisibleState', { bCrossTerminalPanelShow: true });
    }

    window.kzPanelHidden = function () {
        script('updatePanelVisibleState', { bCrossTerminalPanelShow: false }).catch(function () {});
    };

    $('close').addEventListener('click', function () { kzbridge.call('kwebintegratedpanel', 'closePanel', {}); });
    document.addEventListener('keydown', function (e) {
        if (e.key === 'Escape')
            kzbridge.call('kwebintegratedpanel', 'closePanel', {});
    });
    $('clear').addEventListener('click', async function () {
        if (await confirmDelete('all documents') && await act('Clearing', 'removeAllResidualItems', {}) !== undefined)
            refresh();
    });

    kzbridge.ready.then(async function () {
        kzbridge.on('scriptext.list', function (payload) {
            try {
                render(typeof payload === 'string' ? JSON.parse(payload) : payload);
            } catch (e) {
                say('The list could not be read.');
            }
        });
        const enabled = await act('Reading settings', 'isResidualItemDeleteEnabled', {});
        deletable = !!(enabled && enabled.enabled === true);
        // Already listening (the panel opened before): only the listing is asked for.
        await script('addChangeListener', { callback: 'list' }).catch(function () {});
        await refresh();
    });
}());
