// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The panel page's recently closed documents (the residual entries of closed
// windows and tabs): listed newest first, opened again with a click. The
// list is asked for again whenever the work areas change.
(function () {
    'use strict';

    const API = 'crossterminal.common';
    let shown = '';

    function str(v) { return typeof v === 'string' ? v : ''; }
    function isObject(v) { return v !== null && typeof v === 'object' && !Array.isArray(v); }

    function entries(listing) {
        if (!isObject(listing) || !Array.isArray(listing.close))
            return null;
        return listing.close.filter(function (t) {
            return isObject(t) && str(t.tagId) && str(t.workAreaId);
        });
    }

    function item(tag) {
        const li = document.createElement('li');
        const open = document.createElement('button');
        open.type = 'button';
        open.className = 'tab-open';
        open.dir = 'auto';
        open.textContent = str(tag.name) || '(untitled)';
        open.title = 'Open again' + (str(tag.path) ? ': ' + str(tag.path) : '');
        open.addEventListener('click', function () {
            const params = { residualId: tag.workAreaId, tagId: tag.tagId };
            if (window.KzPanel)
                window.KzPanel.act(li, 'Opening', 'openResidualTag', params);
        });
        li.appendChild(open);
        return li;
    }

    // Redraws only when what the list shows changed.
    function render(listing) {
        const list = entries(listing);
        if (!list)
            return false; // a malformed answer changes nothing
        const tip = isObject(listing.residualConfigTipInfo) ? listing.residualConfigTipInfo : {};
        const signature = JSON.stringify([list, tip]);
        if (signature === shown)
            return true;
        shown = signature;
        const box = document.getElementById('recent');
        box.textContent = '';
        list.forEach(function (tag) { box.appendChild(item(tag)); });
        if (!list.length) {
            const none = document.createElement('li');
            none.className = 'empty';
            none.textContent = 'No recently closed documents.';
            box.appendChild(none);
        }
        const hint = document.getElementById('recent-tip');
        hint.hidden = tip.visible !== true;
        hint.textContent = tip.visible === true
            ? 'Showing at most ' + Number(tip.maxVisibilityNum) + ' documents closed in the last '
                + Number(tip.maxDayRange) + ' days.'
            : '';
        return true;
    }

    function load() {
        return kzbridge.request(API, 'getResidualTagsList', {}).then(render).catch(function () {});
    }

    kzbridge.on('softbus.event.updateWorkarea', load);
    kzbridge.on('softbus.event.containerRefresh', load);
    kzbridge.ready.then(load);

    window.KzPanelRecent = { load: load, render: render };
}());
