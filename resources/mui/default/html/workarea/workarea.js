// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The work-area view of the popup page: every work area of the user as a
// card (name, colour, device, tabs, status), its tabs on demand, and what
// the user does with them, all through the popup's page API (page.js).
// Cards are kept between refreshes and only the parts whose data changed
// are built again; tab lists are kept per work area until the host says
// they changed (onRefreshCallback({workAreaIds}) or {previews}).
(function () {
    'use strict';

    const { call, text, userText, el, userEl, icon, plural, toast, announce, $ } = KzPage;

    const REFRESH_DELAY_MS = 60;
    const SWATCHES = ['#e5484d', '#f76b15', '#e2a336', '#46a758', '#12a594',
                      '#0090ff', '#3e63dd', '#6e56cf', '#d6409f', '#8d8d8d'];
    const SWATCH_NAMES = ['Red', 'Orange', 'Amber', 'Green', 'Teal', 'Blue', 'Indigo', 'Violet', 'Pink', 'Grey'];
    const COLOR_PATTERN = /^#([0-9a-f]{6}|[0-9a-f]{8})$/i;
    const BASE64_PATTERN = /^[A-Za-z0-9+/]+={0,2}$/;

    const state = {
        areas: [],
        byId: new Map(),
        tags: new Map(),        // work-area id -> {list, raw, version}
        stale: new Set(),       // ids whose tab list must be read again before use
        tagGen: new Map(),      // id -> count of invalidations (a read started before one is stale)
        loading: new Map(),     // id -> promise of the read in flight
        expanded: new Set(),
        independent: false,
        filter: '',
        editing: null,          // {id, field}
        confirming: null,       // id of the work area asked about closing
        popover: null,          // {element, id, kind, anchor, anchorKey}
        drag: null,             // {kind: 'area'|'tag', id, from}
        focusAfter: null,       // data-key to focus once it is rendered
        loaded: false,
        renderPending: false,
    };
    const cards = new Map();    // id -> {node, sigs: {card, head, confirm, tabs}, head, confirm, tabs}

    const list = $('list');

    // Runs a change; the answer's isSuccess decides the message. The list
    // is read again; tab lists only where `stale` names them.
    async function change(method, params, failText, okText, stale) {
        let answer;
        try {
            answer = await call(method, params);
        } catch (error) {
            toast(failText + ' (' + (error.code || error.message) + ')', true);
            return null;
        }
        (stale || []).forEach(markStale);
        if (!answer || answer.isSuccess !== true) {
            toast(failText, true);
            scheduleRefresh(0);
            return null;
        }
        call('setHasOperation').catch(() => {});
        if (okText)
            announce(okText);
        scheduleRefresh(0);
        return answer;
    }

    function iconButton(name, label, extra) {
        return el('button', Object.assign({ class: 'icon-btn', type: 'button', title: label, 'aria-label': label },
                                          extra || {}), [icon(name)]);
    }

    // ---- model ----------------------------------------------------------

    function validArea(area) {
        return area && typeof area === 'object' && typeof area.workAreaId === 'string' && area.workAreaId !== '';
    }

    function areaById(id) {
        return state.byId.get(id) || null;
    }

    function isActive(area) {
        return area.status === 'current' && area.isVisible !== false;
    }

    function statusOf(area) {
        if (isActive(area))
            return { cls: 'active', label: 'Active' };
        if (area.status === 'current')
            return { cls: 'window', label: 'In this window' };
        if (area.status === 'other')
            return { cls: 'other', label: 'Another window' };
        return { cls: 'none', label: 'Not open' };
    }

    function tagsOf(id) {
        const entry = state.tags.get(id);
        return entry ? entry.list : null;
    }

    function matchesFilter(area) {
        const needle = state.filter.trim().toLowerCase();
        if (!needle)
            return true;
        const tags = tagsOf(area.workAreaId) || [];
        return [area.name, area.deviceName, area.activeTagName].concat(tags.map((t) => t.name))
            .some((value) => text(value).toLowerCase().includes(needle));
    }

    function markStale(id) {
        state.stale.add(id);
        state.tagGen.set(id, (state.tagGen.get(id) || 0) + 1);
    }

    // Reads a tab list once; a list equal to the one kept changes nothing.
    function loadTags(id) {
        if (state.loading.has(id))
            return state.loading.get(id);
        const gen = state.tagGen.get(id) || 0;
        const done = call('getTagList', { workAreaId: id }).then((tags) => {
            const raw = JSON.stringify(tags);
            const kept = state.tags.get(id);
            if (!kept || kept.raw !== raw) {
                const list = Array.isArray(tags) ? tags.filter((t) => t && typeof t.tagId === 'string') : [];
                state.tags.set(id, { list: list, raw: raw, version: kept ? kept.version + 1 : 1 });
            }
        }, () => {
            if (!state.tags.has(id))
                state.tags.set(id, { list: [], raw: '', version: 1 });
        }).then(() => {
            state.loading.delete(id);
            if ((state.tagGen.get(id) || 0) === gen)
                state.stale.delete(id);
        });
        state.loading.set(id, done);
        return done;
    }

    // Tab lists needed now: those of shown tabs, and all while filtering.
    function neededTags() {
        const ids = state.filter.trim() ? state.areas.map((a) => a.workAreaId) : Array.from(state.expanded);
        return ids.filter((id) => state.byId.has(id) && (!state.tags.has(id) || state.stale.has(id)));
    }

    async function loadNeededTags() {
        const ids = neededTags();
        if (ids.length)
            await Promise.all(ids.map(loadTags));
        return ids.length;
    }

    // ---- refresh --------------------------------------------------------

    let refreshTimer = null;
    let refreshing = false;
    let refreshAgain = false;
    const pending = { all: false, previews: false, ids: new Set() };

    function scheduleRefresh(delay) {
        clearTimeout(refreshTimer);
        refreshTimer = setTimeout(refresh, delay === undefined ? REFRESH_DELAY_MS : delay);
    }

    // The host's word on what changed; without one every tab list is read again.
    function onRefresh(detail) {
        if (!detail || typeof detail !== 'object') {
            pending.all = true;
        } else {
            if (Array.isArray(detail.workAreaIds))
                detail.workAreaIds.forEach((id) => { if (typeof id === 'string') pending.ids.add(id); });
            if (detail.previews === true)
                pending.previews = true;
        }
        scheduleRefresh();
    }

    function takeAreas(areas) {
        const before = state.byId;
        state.areas = areas.filter(validArea);
        state.byId = new Map(state.areas.map((a) => [a.workAreaId, a]));
        state.areas.forEach((area) => {
            const old = before.get(area.workAreaId);
            if (old && (old.tagNum !== area.tagNum || old.activeTagName !== area.activeTagName))
                markStale(area.workAreaId);
        });
        const gone = (id) => !state.byId.has(id);
        state.expanded.forEach((id) => { if (gone(id)) state.expanded.delete(id); });
        Array.from(state.tags.keys()).filter(gone).forEach((id) => { state.tags.delete(id); state.stale.delete(id); });
        if (state.confirming && gone(state.confirming))
            state.confirming = null;
    }

    async function refresh() {
        if (refreshing) {
            refreshAgain = true;
            return;
        }
        refreshing = true;
        const what = { all: pending.all, previews: pending.previews, ids: Array.from(pending.ids) };
        pending.all = pending.previews = false;
        pending.ids.clear();
        try {
            const areas = await call('getWorkAreaList');
            if (Array.isArray(areas)) {
                performance.mark('kz-list-start');
                takeAreas(areas);
                performance.measure('kz-list', 'kz-list-start');
            }
            if (what.all || what.previews)
                Array.from(state.tags.keys()).forEach(markStale);
            what.ids.forEach(markStale);
            await loadNeededTags();
            requestRender();
        } catch (error) {
            toast('The work areas could not be read (' + (error.code || error.message) + ')', true);
        } finally {
            refreshing = false;
            if (refreshAgain) {
                refreshAgain = false;
                scheduleRefresh(0);
            }
        }
    }

    // Rendering waits while the user types a name, holds a popover open or drags.
    function isBusy() {
        return !!(state.editing || state.popover || state.drag);
    }

    function requestRender() {
        if (isBusy()) {
            state.renderPending = true;
            return;
        }
        render();
    }

    function flushRender() {
        if (state.renderPending && !isBusy()) {
            state.renderPending = false;
            render();
        }
    }

    // ---- rendering ------------------------------------------------------

    function focusKey(node) {
        const holder = node && node.closest ? node.closest('[data-key]') : null;
        return holder ? holder.dataset.key : null;
    }

    function keyed(key) {
        return document.querySelector('[data-key="' + CSS.escape(key) + '"]');
    }

    function focusKeyed(key) {
        const node = keyed(key);
        if (node)
            node.focus();
        return !!node;
    }

    function render() {
        performance.mark('kz-render-start');
        const active = document.activeElement;
        const keep = focusKey(active);
        const shown = state.areas.filter(matchesFilter);
        const wanted = new Set();
        let previous = null;
        shown.forEach((area) => {
            const node = updateCard(area);
            wanted.add(area.workAreaId);
            const expected = previous ? previous.nextSibling : list.firstChild;
            if (expected !== node)
                list.insertBefore(node, expected);
            previous = node;
        });
        cards.forEach((entry, id) => {
            if (wanted.has(id))
                return;
            entry.node.remove();
            if (!state.byId.has(id))
                cards.delete(id);
        });

        const tabCount = state.areas.reduce((sum, area) => sum + (Number(area.tagNum) || 0), 0);
        const summary = state.areas.length
            ? plural(state.areas.length, 'work area', 'work areas') + ' · ' + plural(tabCount, 'tab', 'tabs')
            : '';
        if ($('summary').textContent !== summary)
            $('summary').textContent = summary;
        renderEmpty(shown.length);
        $('create').hidden = state.independent;

        if (state.editing) {
            focusEditor();
        } else if (state.focusAfter && keyed(state.focusAfter)) {
            focusKeyed(state.focusAfter);
            state.focusAfter = null;
        } else if (keep && !(active && active.isConnected)) {
            // What had the keyboard was built again: its successor takes it.
            const target = keyed(keep);
            if (target)
                target.focus({ preventScroll: true });
        }
        performance.measure('kz-render', 'kz-render-start');
    }

    function renderEmpty(shownCount) {
        const empty = $('empty');
        const hide = shownCount > 0 || !state.loaded;
        const message = hide ? '' : state.filter ? 'filter:' + state.filter : 'none';
        if (empty.dataset.message === message)
            return;
        empty.dataset.message = message;
        empty.hidden = hide;
        empty.replaceChildren();
        if (hide)
            return;
        empty.append(state.filter
            ? el('div', null, [el('strong', null, ['No work areas match “', userEl('bdi', state.filter), '”'])])
            : el('div', null, [el('strong', { text: 'No work areas yet' }),
                               el('p', { text: 'Create one to group the tabs you work on together.' })]));
    }

    function colorOf(area) {
        return COLOR_PATTERN.test(text(area.customColor)) ? area.customColor : '';
    }

    function editingField(id) {
        return state.editing && state.editing.id === id ? state.editing.field : '';
    }

    // Brings the card of `area` up to date, building again only what changed.
    function updateCard(area) {
        const id = area.workAreaId;
        let entry = cards.get(id);
        if (!entry) {
            entry = { node: el('li', { class: 'card', tabindex: '0', data: { id: id, key: 'card:' + id } }), sigs: {} };
            cards.set(id, entry);
        }
        const count = Number(area.tagNum) || 0;
        const status = statusOf(area);
        const expanded = state.expanded.has(id);
        const color = colorOf(area);

        const cardSig = JSON.stringify([isActive(area), color, area.name, status.label, count, editingField(id)]);
        if (entry.sigs.card !== cardSig) {
            entry.sigs.card = cardSig;
            const node = entry.node;
            node.classList.toggle('is-active', isActive(area));
            node.draggable = !editingField(id);
            node.setAttribute('aria-label', userText(area.name) + ', ' + status.label + ', ' + plural(count, 'tab', 'tabs'));
            if (color)
                node.style.setProperty('--wa-color', color);
            else
                node.style.removeProperty('--wa-color');
        }

        const headSig = JSON.stringify([area.name, area.deviceName, area.type, count, area.activeTagName, color,
                                        area.status, area.isVisible, area.isDefault, state.independent,
                                        editingField(id), expanded]);
        if (entry.sigs.head !== headSig) {
            entry.sigs.head = headSig;
            const head = renderHead(area, status, expanded, count, color);
            if (entry.head)
                entry.head.replaceWith(head);
            else
                entry.node.prepend(head);
            entry.head = head;
        }

        const confirmSig = state.confirming === id ? JSON.stringify([area.name, count]) : '';
        if (entry.sigs.confirm !== confirmSig) {
            entry.sigs.confirm = confirmSig;
            const confirm = confirmSig ? renderConfirm(area, count) : null;
            if (entry.confirm)
                entry.confirm.remove();
            if (confirm)
                entry.head.after(confirm);
            entry.confirm = confirm;
        }

        const tags = state.tags.get(id);
        const tabsSig = expanded ? JSON.stringify([area.name, tags ? tags.version : 0]) : '';
        if (entry.sigs.tabs !== tabsSig) {
            entry.sigs.tabs = tabsSig;
            const tabs = tabsSig ? renderTabs(area) : null;
            if (entry.tabs)
                entry.tabs.remove();
            if (tabs)
                entry.node.append(tabs);
            entry.tabs = tabs;
        }
        return entry.node;
    }

    function renderHead(area, status, expanded, count, color) {
        const id = area.workAreaId;
        const field = editingField(id);
        const nameNode = field === 'name'
            ? el('input', { class: 'inline-edit', type: 'text', maxlength: '128', value: text(area.name), dir: 'auto',
                            'aria-label': 'Work area name', data: { editor: 'name' } })
            : userEl('h2', area.name, { class: 'name', title: userText(area.name) + ' (double-click to rename)' });
        const device = field === 'device'
            ? el('input', { class: 'inline-edit device', type: 'text', maxlength: '128', dir: 'auto',
                            value: text(area.deviceName), 'aria-label': 'Device name', data: { editor: 'device' } })
            : el('span', { class: 'device', title: 'Device' },
                 [icon('device'), userEl('span', [area.type, area.deviceName].filter(Boolean).join(' · '))]);
        const meta = el('div', { class: 'meta' }, [
            device,
            el('span', { class: 'sep', text: '•', 'aria-hidden': 'true' }),
            el('span', { class: 'count', text: plural(count, 'tab', 'tabs') }),
            area.activeTagName ? el('span', { class: 'sep', text: '•', 'aria-hidden': 'true' }) : null,
            area.activeTagName
                ? el('span', { class: 'active-tab', title: userText(area.activeTagName) },
                     ['Active tab: ', userEl('b', area.activeTagName)])
                : null,
        ]);

        const active = isActive(area);
        const switchLabel = active ? 'Current' : area.status === 'other' ? 'Go to window' : 'Switch';
        return el('div', { class: 'card-head' }, [
            el('span', { class: 'grip', title: 'Drag to reorder', 'aria-hidden': 'true' }, [icon('grip')]),
            el('button', { class: 'chip' + (color ? '' : ' none'), type: 'button', title: 'Colour',
                           'aria-label': 'Colour of ' + userText(area.name), 'aria-haspopup': 'dialog',
                           data: { action: 'color', key: 'color:' + id }, style: color ? { '--wa-color': color } : null }),
            el('div', { class: 'main' }, [
                el('div', { class: 'name-row' }, [nameNode,
                    area.isDefault ? el('span', { class: 'pill default', text: 'Default' }) : null]),
                meta,
            ]),
            el('span', { class: 'pill ' + status.cls, text: status.label }),
            el('div', { class: 'actions' }, [
                el('button', { class: 'btn small' + (active ? '' : ' primary'), type: 'button',
                               disabled: active, data: { action: 'switch', key: 'switch:' + id } }, [switchLabel]),
                state.independent ? null : iconButton('pencil', 'Rename', { data: { action: 'rename', key: 'rename:' + id } }),
                iconButton('window', 'Open in new window', { data: { action: 'new-window', key: 'window:' + id } }),
                iconButton('trash', area.isDefault ? 'The default work area stays' : 'Close work area',
                           { class: 'icon-btn danger', disabled: !!area.isDefault, data: { action: 'close', key: 'close:' + id } }),
                iconButton('more', 'More', { 'aria-haspopup': 'menu', data: { action: 'more', key: 'more:' + id } }),
            ]),
            el('button', { class: 'icon-btn expand', type: 'button', 'aria-expanded': expanded ? 'true' : 'false',
                           'aria-label': (expanded ? 'Hide' : 'Show') + ' tabs of ' + userText(area.name),
                           title: expanded ? 'Hide tabs' : 'Show tabs', data: { action: 'expand', key: 'expand:' + id } },
               [icon('chevron')]),
        ]);
    }

    function renderConfirm(area, count) {
        const id = area.workAreaId;
        const textId = 'confirm-text-' + id;
        return el('div', { class: 'confirm', role: 'alertdialog', 'aria-label': 'Close work area',
                           'aria-describedby': textId }, [
            el('p', { id: textId }, ['Close “', userEl('bdi', area.name), '”',
                                      count ? ' and its ' + plural(count, 'tab', 'tabs') : '', '?']),
            el('div', { class: 'confirm-buttons' }, [
                el('button', { class: 'btn small', type: 'button', data: { action: 'close-cancel', key: 'cancel:' + id } },
                   ['Keep it']),
                el('button', { class: 'btn small danger', type: 'button', data: { action: 'close-confirm', key: 'confirm:' + id } },
                   ['Close work area']),
            ]),
        ]);
    }

    function renderTabs(area) {
        const tags = tagsOf(area.workAreaId);
        const box = el('div', { class: 'tabs', role: 'group', 'aria-label': 'Tabs of ' + userText(area.name) });
        if (!tags) {
            box.append(el('div', { class: 'note', text: 'Loading tabs…' }));
            return box;
        }
        if (!tags.length) {
            box.append(el('div', { class: 'note', text: 'No tabs in this work area yet. Drag a tab here to move it.' }));
            return box;
        }
        // One tile of the group is in the tab order; arrow keys move between them.
        const current = Math.max(0, tags.findIndex((tag) => tag.isActive));
        tags.forEach((tag, index) => box.append(renderTile(area, tag, index === current)));
        return box;
    }

    function renderTile(area, tag, inTabOrder) {
        const name = userText(tag.name) || 'Untitled';
        const path = userText(tag.path);
        const suffix = text(tag.suffix).replace(/^\./, '').slice(0, 4).toUpperCase();
        const preview = text(tag.preview);
        const thumb = el('span', { class: 'thumb', 'aria-hidden': 'true' });
        if (preview && BASE64_PATTERN.test(preview)) {
            thumb.append(el('img', { alt: '', src: 'data:image/png;base64,' + preview }));
            if (suffix)
                thumb.append(el('span', { class: 'badge', text: suffix }));
        } else {
            thumb.append(el('span', { class: 'ext' }, [icon('doc'), suffix || 'DOC']));
        }
        const open = tag.hasPage !== false;
        const states = [tag.isDirty ? 'unsaved changes' : '', tag.isActive ? 'active tab' : ''].filter(Boolean);
        return el('button', {
            class: 'tile' + (tag.isActive ? ' is-active' : '') + (open ? '' : ' closed'),
            type: 'button', draggable: 'true', tabindex: inTabOrder ? '0' : '-1',
            title: path || name, 'aria-keyshortcuts': 'M Shift+F10',
            data: { action: 'open-tag', tag: tag.tagId, area: area.workAreaId, key: 'tag:' + tag.tagId },
        }, [
            thumb,
            el('span', { class: 'tile-text' }, [
                el('span', { class: 'tile-title' }, [userEl('span', name),
                    tag.isDirty ? el('i', { class: 'dirty', 'aria-hidden': 'true' }) : null,
                    states.length ? el('span', { class: 'sr-only', text: ', ' + states.join(', ') }) : null]),
                userEl('span', path || (open ? 'Not saved yet' : 'Not open'), { class: 'tile-path' }),
            ]),
        ]);
    }

    // ---- actions --------------------------------------------------------

    async function createArea() {
        if (state.independent)
            return;
        const created = await change('createWorkArea', undefined, 'No work area could be created');
        if (!created || !created.workAreaId)
            return;
        announce('Created ' + userText(created.name));
        await refresh();
        startEdit(created.workAreaId, 'name');
    }

    function startEdit(id, field) {
        if (state.independent || !areaById(id))
            return;
        closePopover();
        state.editing = { id: id, field: field };
        render();
    }

    function focusEditor() {
        const input = list.querySelector('[data-editor]');
        if (!input || document.activeElement === input)
            return;
        input.focus();
        input.select();
        input.scrollIntoView({ block: 'nearest' });
    }

    async function commitEdit(input, save) {
        const editing = state.editing;
        if (!editing)
            return;
        state.editing = null;
        state.focusAfter = 'card:' + editing.id;
        const area = areaById(editing.id);
        const value = input.value.trim();
        const old = area ? text(editing.field === 'name' ? area.name : area.deviceName) : '';
        if (save && area && value && value !== old) {
            if (editing.field === 'name') {
                area.name = value;
                render();
                await change('renameWorkArea', { workAreaId: editing.id, name: value },
                             'The work area could not be renamed', 'Renamed to ' + userText(value));
            } else {
                area.deviceName = value;
                render();
                await change('renameWorkAreaDevice', { workAreaId: editing.id, deviceName: value },
                             'The device could not be renamed');
            }
        } else {
            render();
        }
        flushRender();
    }

    async function switchTo(id) {
        const area = areaById(id);
        if (!area || isActive(area))
            return;
        await change('switchWorkAreaWindow', { workAreaId: id }, 'Could not switch to this work area');
    }

    async function toggle(id, open) {
        const willOpen = open === undefined ? !state.expanded.has(id) : open;
        if (willOpen === state.expanded.has(id))
            return;
        if (willOpen) {
            state.expanded.add(id);
            render();
            if (await loadNeededTags())
                requestRender();
        } else {
            state.expanded.delete(id);
            requestRender();
        }
    }

    // The card the keyboard goes to when `id`'s card goes: the next one, else the one before.
    function neighbourCard(id) {
        const entry = cards.get(id);
        if (!entry)
            return null;
        const next = entry.node.nextElementSibling || entry.node.previousElementSibling;
        return next ? next.dataset.id : null;
    }

    async function removeArea(id) {
        state.confirming = null;
        const area = areaById(id);
        const next = neighbourCard(id);
        state.focusAfter = 'card:' + id;
        render();
        const answer = await change('removeWorkArea', { workAreaId: id },
                                    'The work area stays open: a changed tab was kept');
        if (answer && answer.asking) {
            // The shell asks about the unsaved tabs; the list shows what the user chose.
            announce('Asking about the unsaved tabs of ' + userText(area ? area.name : ''));
        } else if (answer && area) {
            announce('Closed ' + userText(area.name));
            toast('Closed ' + userText(area.name), false, { label: 'Undo', run: undoRemove });
            if (next)
                state.focusAfter = 'card:' + next;
            // Gone from the page at once; the list read next agrees.
            takeAreas(state.areas.filter((a) => a.workAreaId !== id));
        }
        render();
    }

    async function undoRemove() {
        const answer = await change('undoRemoveWorkArea', {}, 'The work area could not be brought back');
        if (answer) {
            announce('Work area brought back');
            scheduleRefresh(0);
        }
    }

    async function reorder(ids) {
        takeAreas(ids.map((id) => state.byId.get(id)).filter(Boolean));
        render();
        await change('moveWorkArea', { workAreaIdList: ids.join('|') }, 'The new order could not be kept');
    }

    function moveBy(id, delta) {
        const ids = state.areas.map((area) => area.workAreaId);
        const from = ids.indexOf(id);
        const to = from + delta;
        if (from < 0 || to < 0 || to >= ids.length)
            return;
        ids.splice(to, 0, ids.splice(from, 1)[0]);
        state.focusAfter = 'card:' + id;
        reorder(ids);
    }

    async function moveTagTo(tagId, fromId, targetId) {
        const target = areaById(targetId);
        const kept = state.tags.get(fromId);
        const moved = kept ? kept.list.find((tag) => tag.tagId === tagId) : null;
        const answer = await change('moveTag', { workAreaId: targetId, tagIdList: tagId },
                                    'The tab could not be moved', null, [fromId, targetId]);
        if (!answer || !target)
            return;
        const message = 'Moved ' + (moved ? '“' + userText(moved.name) + '” ' : 'the tab ') + 'to “' + userText(target.name) + '”';
        announce(message);
        toast(message);
        if (kept) {
            // The tile leaves its card at once; the lists read next agree.
            const list = kept.list.filter((tag) => tag.tagId !== tagId);
            state.tags.set(fromId, { list: list, raw: '', version: kept.version + 1 });
        }
        render();
    }

    async function openTag(areaId, tagId) {
        await change('openTag', { workAreaId: areaId, tagId: tagId }, 'This tab is not open in this session');
    }

    // The shell's menu of a tab; from the keyboard it opens at the tile.
    function showTagMenu(tile, fromKeyboard) {
        const params = { workAreaId: tile.dataset.area, tagId: tile.dataset.tag };
        if (fromKeyboard) {
            const box = tile.getBoundingClientRect();
            Object.assign(params, { left: Math.round(box.left), top: Math.round(box.top),
                                    width: Math.max(1, Math.round(box.width)), height: Math.max(1, Math.round(box.height)) });
        }
        call('popupMenu', params).catch(() => {});
    }

    // ---- popovers -------------------------------------------------------

    function closePopover(restoreFocus) {
        const popover = state.popover;
        if (!popover)
            return;
        state.popover = null;
        popover.element.remove();
        if (restoreFocus) {
            if (popover.anchor && popover.anchor.isConnected)
                popover.anchor.focus();
            else if (popover.anchorKey)
                focusKeyed(popover.anchorKey);
        }
        flushRender();
    }

    // Shows `element` by `anchor`; it closes when the keyboard leaves it.
    function openPopover(kind, id, anchor, element, first) {
        closePopover();
        state.popover = { element: element, id: id, kind: kind, anchor: anchor, anchorKey: focusKey(anchor) };
        element.addEventListener('focusout', (event) => {
            if (state.popover && state.popover.element === element && !element.contains(event.relatedTarget))
                closePopover(false);
        });
        document.body.append(element);
        const a = anchor.getBoundingClientRect();
        const r = element.getBoundingClientRect();
        const left = Math.min(a.left, window.innerWidth - r.width - 8);
        let top = a.bottom + 6;
        if (top + r.height > window.innerHeight - 8)
            top = Math.max(8, a.top - r.height - 6);
        element.style.left = Math.max(8, left) + 'px';
        element.style.top = top + 'px';
        if (first)
            first.focus();
    }

    // Up/Down (and Left/Right when `sideways`), Home and End move the focus within `items()`.
    function arrowKeys(element, items, sideways) {
        element.addEventListener('keydown', (event) => {
            const all = items();
            const at = all.indexOf(document.activeElement);
            if (at < 0 || !all.length)
                return;
            const steps = sideways ? { ArrowRight: 1, ArrowLeft: -1, ArrowDown: 1, ArrowUp: -1 }
                                   : { ArrowDown: 1, ArrowUp: -1 };
            let to = -1;
            if (event.key in steps)
                to = (at + steps[event.key] + all.length) % all.length;
            else if (event.key === 'Home')
                to = 0;
            else if (event.key === 'End')
                to = all.length - 1;
            if (to < 0)
                return;
            all.forEach((node, index) => { node.tabIndex = index === to ? 0 : -1; });
            all[to].focus();
            event.preventDefault();
        });
    }

    function openColorPicker(id, anchor) {
        const area = areaById(id);
        if (!area)
            return;
        const current = text(area.customColor).toLowerCase();
        const chosen = Math.max(0, SWATCHES.indexOf(current));
        const swatches = el('div', { class: 'swatches', role: 'radiogroup', 'aria-label': 'Colours' });
        SWATCHES.forEach((color, index) => swatches.append(el('button', {
            class: 'swatch', type: 'button', role: 'radio', 'aria-checked': current === color ? 'true' : 'false',
            tabindex: index === chosen ? '0' : '-1', 'aria-label': SWATCH_NAMES[index], title: SWATCH_NAMES[index],
            style: { background: color }, data: { color: color },
        })));
        const custom = el('input', { type: 'color', value: COLOR_PATTERN.test(current) ? current.slice(0, 7) : '#3e63dd' });
        const element = el('div', { class: 'popover', role: 'dialog', 'aria-label': 'Colour of ' + userText(area.name) }, [
            el('h2', { text: 'Colour' }), swatches,
            el('label', { class: 'custom-color' }, [custom, 'Custom colour…']),
        ]);
        const choose = async (color) => {
            closePopover(true);
            area.customColor = color;
            render();
            await change('setWorkAreaCustomColor', { workAreaId: id, customColor: color }, 'The colour could not be set');
        };
        element.addEventListener('click', (event) => {
            const swatch = event.target.closest('.swatch');
            if (swatch)
                choose(swatch.dataset.color);
        });
        custom.addEventListener('change', () => choose(custom.value.toLowerCase()));
        arrowKeys(swatches, () => Array.from(swatches.querySelectorAll('.swatch')), true);
        openPopover('color', id, anchor, element, swatches.querySelectorAll('.swatch')[chosen]);
    }

    function menuPopover(label, items, onChoose) {
        const element = el('div', { class: 'popover menu', role: 'menu', 'aria-label': label },
            items.map((item) => el('button', {
                class: 'menu-item' + (item.danger ? ' danger' : ''), type: 'button', role: 'menuitem',
                tabindex: '-1', disabled: !!item.disabled, data: { menu: item.action },
            }, [item.icon ? icon(item.icon) : null, item.label])));
        element.addEventListener('click', (event) => {
            const item = event.target.closest('[data-menu]');
            if (item)
                onChoose(item.dataset.menu);
        });
        arrowKeys(element, () => Array.from(element.querySelectorAll('.menu-item:not(:disabled)')), false);
        return element;
    }

    function openMoreMenu(id, anchor) {
        const area = areaById(id);
        if (!area)
            return;
        const first = state.areas.length && state.areas[0].workAreaId === id;
        const element = menuPopover('More for ' + userText(area.name), [
            { action: 'top', label: 'Move to top', icon: 'top', disabled: state.independent || first },
            { action: 'rename', label: 'Rename', icon: 'pencil', disabled: state.independent },
            { action: 'rename-device', label: 'Rename device', icon: 'device', disabled: state.independent },
            { action: 'new-window', label: 'Open in new window', icon: 'window' },
            { action: 'close', label: 'Close work area', icon: 'trash', danger: true, disabled: !!area.isDefault },
        ], (action) => {
            closePopover(true);
            runAction(action, id, anchor);
        });
        openPopover('menu', id, anchor, element, element.querySelector('.menu-item:not(:disabled)'));
    }

    // "Move to…" of a tab: every other work area, by keyboard or pointer.
    function openMoveMenu(tile) {
        const fromId = tile.dataset.area;
        const tagId = tile.dataset.tag;
        const targets = state.areas.filter((area) => area.workAreaId !== fromId);
        if (!targets.length) {
            toast('There is no other work area to move this tab to');
            return;
        }
        // The keyboard stays in the card: on the next tile, else the one before, else the card.
        const sibling = tile.nextElementSibling || tile.previousElementSibling;
        const after = sibling && sibling.classList.contains('tile') ? focusKey(sibling) : 'card:' + fromId;
        const name = tile.querySelector('.tile-title span');
        const element = menuPopover('Move “' + (name ? name.textContent : '') + '” to', targets.map((area) => ({
            action: area.workAreaId, label: userEl('span', area.name),
        })), (targetId) => {
            closePopover(false);
            state.focusAfter = after;
            moveTagTo(tagId, fromId, targetId);
        });
        openPopover('move', fromId, tile, element, element.querySelector('.menu-item'));
    }

    function runAction(action, id, source) {
        switch (action) {
        case 'switch': return switchTo(id);
        case 'rename': return startEdit(id, 'name');
        case 'rename-device': return startEdit(id, 'device');
        case 'new-window':
            return change('openNewWindow', { workAreaId: id }, 'The work area could not be opened in a new window');
        case 'close':
            state.confirming = id;
            state.focusAfter = 'cancel:' + id;
            render();
            return undefined;
        case 'close-cancel':
            state.confirming = null;
            state.focusAfter = 'card:' + id;
            render();
            return undefined;
        case 'close-confirm': return removeArea(id);
        case 'expand': return toggle(id);
        case 'color': return openColorPicker(id, source);
        case 'more': return openMoreMenu(id, source);
        case 'top':
            state.focusAfter = 'card:' + id;
            return change('workAreaMoveTop', { workAreaId: id }, 'The work area could not be moved to the top');
        default: return undefined;
        }
    }

    // ---- events ---------------------------------------------------------

    list.addEventListener('click', (event) => {
        const tile = event.target.closest('.tile');
        if (tile) {
            openTag(tile.dataset.area, tile.dataset.tag);
            return;
        }
        const target = event.target.closest('[data-action]');
        const card = event.target.closest('.card');
        if (!target || !card)
            return;
        runAction(target.dataset.action, card.dataset.id, target);
    });

    list.addEventListener('dblclick', (event) => {
        const name = event.target.closest('h2.name');
        const card = event.target.closest('.card');
        if (name && card)
            startEdit(card.dataset.id, 'name');
    });

    list.addEventListener('contextmenu', (event) => {
        const tile = event.target.closest('.tile');
        if (!tile)
            return;
        event.preventDefault();
        // The context-menu key arrives here too, without a pointer position.
        showTagMenu(tile, event.button !== 2 || (event.clientX === 0 && event.clientY === 0));
    });

    // The tile that had the keyboard in a tab group keeps the one tab stop.
    list.addEventListener('focusin', (event) => {
        const tile = event.target.closest && event.target.closest('.tile');
        if (!tile)
            return;
        tile.parentElement.querySelectorAll('.tile').forEach((node) => { node.tabIndex = node === tile ? 0 : -1; });
    });

    function tileKeys(event, tile) {
        if (event.key === 'ContextMenu' || (event.key === 'F10' && event.shiftKey)) {
            showTagMenu(tile, true);
        } else if ((event.key === 'm' || event.key === 'M') && !event.ctrlKey && !event.altKey && !event.metaKey) {
            openMoveMenu(tile);
        } else {
            const tiles = Array.from(tile.parentElement.querySelectorAll('.tile'));
            const at = tiles.indexOf(tile);
            const to = { ArrowRight: at + 1, ArrowDown: at + 1, ArrowLeft: at - 1, ArrowUp: at - 1,
                         Home: 0, End: tiles.length - 1 }[event.key];
            if (to === undefined)
                return false;
            if (tiles[to])
                tiles[to].focus();
        }
        return true;
    }

    function cardKeys(event, card) {
        const id = card.dataset.id;
        const all = Array.from(list.querySelectorAll('.card'));
        const at = all.indexOf(card);
        const go = (index) => { if (all[index]) all[index].focus(); };
        if (event.altKey && (event.key === 'ArrowUp' || event.key === 'ArrowDown')) {
            if (!state.filter && !state.independent)
                moveBy(id, event.key === 'ArrowUp' ? -1 : 1);
        } else if (event.key === 'ArrowDown') {
            go(at + 1);
        } else if (event.key === 'ArrowUp') {
            go(at - 1);
        } else if (event.key === 'Home') {
            go(0);
        } else if (event.key === 'End') {
            go(all.length - 1);
        } else if (event.key === 'Enter') {
            switchTo(id);
        } else if (event.key === 'ArrowRight' || event.key === ' ') {
            toggle(id, event.key === ' ' ? undefined : true);
        } else if (event.key === 'ArrowLeft') {
            toggle(id, false);
        } else if (event.key === 'F2') {
            startEdit(id, 'name');
        } else if (event.key === 'Delete') {
            const area = areaById(id);
            if (area && !area.isDefault)
                runAction('close', id);
        } else {
            return false;
        }
        return true;
    }

    list.addEventListener('keydown', (event) => {
        const editor = event.target.closest('[data-editor]');
        if (editor) {
            if (event.key === 'Enter') {
                event.preventDefault();
                commitEdit(editor, true);
            } else if (event.key === 'Escape') {
                event.preventDefault();
                commitEdit(editor, false);
            }
            return;
        }
        const tile = event.target.closest('.tile');
        const handled = tile ? tileKeys(event, tile)
            : event.target.classList && event.target.classList.contains('card') ? cardKeys(event, event.target) : false;
        if (handled)
            event.preventDefault();
    });

    list.addEventListener('focusout', (event) => {
        const editor = event.target.closest && event.target.closest('[data-editor]');
        if (editor && state.editing)
            commitEdit(editor, true);
    });

    // Drag and drop: cards reorder, tabs move onto another card.
    function clearDropMarks() {
        list.querySelectorAll('.drop-before, .drop-after, .drop-into').forEach((node) => {
            node.classList.remove('drop-before', 'drop-after', 'drop-into');
        });
    }

    list.addEventListener('dragstart', (event) => {
        const tile = event.target.closest && event.target.closest('.tile');
        const card = event.target.closest && event.target.closest('.card');
        if (!card || state.editing) {
            event.preventDefault();
            return;
        }
        closePopover();
        if (tile) {
            state.drag = { kind: 'tag', id: tile.dataset.tag, from: tile.dataset.area };
            event.dataTransfer.setData('application/x-kz-tag', tile.dataset.tag);
            tile.classList.add('dragging');
        } else {
            if (state.filter || state.independent) {
                event.preventDefault();
                return;
            }
            state.drag = { kind: 'area', id: card.dataset.id };
            event.dataTransfer.setData('application/x-kz-workarea', card.dataset.id);
            card.classList.add('dragging');
        }
        event.dataTransfer.setData('text/plain', state.drag.id);
        event.dataTransfer.effectAllowed = 'move';
    });

    list.addEventListener('dragover', (event) => {
        const drag = state.drag;
        const card = event.target.closest && event.target.closest('.card');
        if (!drag || !card)
            return;
        clearDropMarks();
        if (drag.kind === 'tag') {
            if (card.dataset.id === drag.from)
                return;
            card.classList.add('drop-into');
        } else {
            if (card.dataset.id === drag.id)
                return;
            const box = card.getBoundingClientRect();
            card.classList.add(event.clientY < box.top + box.height / 2 ? 'drop-before' : 'drop-after');
        }
        event.preventDefault();
        event.dataTransfer.dropEffect = 'move';
    });

    list.addEventListener('dragleave', (event) => {
        if (!list.contains(event.relatedTarget))
            clearDropMarks();
    });

    list.addEventListener('drop', (event) => {
        const drag = state.drag;
        const card = event.target.closest && event.target.closest('.card');
        if (!drag || !card)
            return;
        event.preventDefault();
        const before = card.classList.contains('drop-before');
        clearDropMarks();
        state.drag = null;
        if (drag.kind === 'tag') {
            if (card.dataset.id !== drag.from)
                moveTagTo(drag.id, drag.from, card.dataset.id);
            return;
        }
        if (card.dataset.id === drag.id)
            return;
        const ids = state.areas.map((area) => area.workAreaId).filter((id) => id !== drag.id);
        const at = ids.indexOf(card.dataset.id);
        ids.splice(before ? at : at + 1, 0, drag.id);
        reorder(ids);
    });

    list.addEventListener('dragend', () => {
        clearDropMarks();
        list.querySelectorAll('.dragging').forEach((node) => node.classList.remove('dragging'));
        state.drag = null;
        flushRender();
    });

    // Whatever is dragged in from outside (a file) is never dropped: the
    // page would otherwise be replaced by it.
    document.addEventListener('dragover', (event) => {
        if (!state.drag) {
            event.preventDefault();
            event.dataTransfer.dropEffect = 'none';
        }
    });
    document.addEventListener('drop', (event) => event.preventDefault());

    $('create').addEventListener('click', createArea);

    document.addEventListener('click', (event) => {
        if (state.popover && !state.popover.element.contains(event.target)
            && !(state.popover.anchor && state.popover.anchor.contains(event.target)))
            closePopover();
    });

    document.addEventListener('keydown', (event) => {
        if ((event.ctrlKey || event.metaKey) && (event.key === 'n' || event.key === 'N')) {
            event.preventDefault();
            createArea();
        } else if ((event.ctrlKey || event.metaKey) && (event.key === 'f' || event.key === 'F')) {
            event.preventDefault();
            $('filter').focus();
        }
    });

    // Escape closes what is open in the view, innermost first; true when it did.
    function onEscape(event) {
        if (state.popover) {
            closePopover(true);
        } else if (state.editing) {
            const editor = list.querySelector('[data-editor]');
            if (editor)
                commitEdit(editor, false);
        } else if (state.confirming) {
            runAction('close-cancel', state.confirming);
        } else if (event.target === $('filter') && state.filter) {
            $('filter').value = '';
            state.filter = '';
            render();
        } else {
            return false;
        }
        return true;
    }

    let filterTimer = null;
    $('filter').addEventListener('input', (event) => {
        state.filter = event.target.value;
        render();
        // Tab names take part once their lists are known; each list is read once.
        clearTimeout(filterTimer);
        filterTimer = setTimeout(() => loadNeededTags().then((read) => { if (read) requestRender(); }), 120);
    });

    // ---- start ----------------------------------------------------------

    async function start() {
        try {
            const mode = await call('getWorkSpaceMode');
            state.independent = !!mode && mode.mode === '1';
        } catch (error) {
            state.independent = false;
        }
        await refresh();
        const active = state.areas.find(isActive);
        if (active && !state.expanded.has(active.workAreaId)) {
            state.expanded.add(active.workAreaId);
            await loadNeededTags();
        }
        state.loaded = true;
        render();
        $('app').removeAttribute('aria-busy');
        const first = list.querySelector('.card.is-active') || list.querySelector('.card');
        if (first)
            first.focus({ preventScroll: false });
        call('setWebViewVisible').catch(() => {});
    }

    KzPage.addView({
        id: 'workareas',
        label: 'Work areas',
        onRefresh: onRefresh,
        onEscape: onEscape,
        onShow: () => {
            const target = list.querySelector('.card.is-active') || list.querySelector('.card');
            if (target && state.loaded)
                target.focus();
        },
    });
    start();
})();
