// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// The work-area page: every work area of the user as a card (name, colour,
// device, tabs, status), its tabs on demand, and what the user does with
// them, all through the popup's page API ("common" handler). The host runs
// onRefreshCallback() when work areas change and onSkinChanged(name) when
// the skin does.
(function () {
    'use strict';

    const HANDLER = 'common';
    const REFRESH_DELAY_MS = 60;
    const SWATCHES = ['#e5484d', '#f76b15', '#e2a336', '#46a758', '#12a594',
                      '#0090ff', '#3e63dd', '#6e56cf', '#d6409f', '#8d8d8d'];
    const COLOR_PATTERN = /^#([0-9a-f]{6}|[0-9a-f]{8})$/i;
    const BASE64_PATTERN = /^[A-Za-z0-9+/]+={0,2}$/;

    const state = {
        areas: [],
        tags: new Map(),        // work-area id -> tag objects
        expanded: new Set(),
        independent: false,
        filter: '',
        editing: null,          // {id, field}
        confirming: null,       // id of the work area asked about closing
        popover: null,          // {element, id, kind, anchor}
        drag: null,             // {kind: 'area'|'tag', id, from}
        loaded: false,
        renderPending: false,
    };

    const $ = (id) => document.getElementById(id);
    const list = $('list');

    // ---- the page API ---------------------------------------------------

    function call(method, params) {
        return kzbridge.request(HANDLER, method, params === undefined ? {} : { params: params });
    }

    // Runs a change and refreshes; the answer's isSuccess decides the message.
    async function change(method, params, failText, okText) {
        let answer;
        try {
            answer = await call(method, params);
        } catch (error) {
            toast(failText + ' (' + (error.code || error.message) + ')', true);
            return null;
        }
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

    // ---- small DOM helpers ----------------------------------------------

    function el(tag, props, children) {
        const node = document.createElement(tag);
        if (props) {
            for (const [key, value] of Object.entries(props)) {
                if (value === undefined || value === null || value === false)
                    continue;
                if (key === 'class')
                    node.className = value;
                else if (key === 'text')
                    node.textContent = value;
                else if (key === 'style')
                    Object.entries(value).forEach(([k, v]) => node.style.setProperty(k, v));
                else if (key === 'data')
                    Object.entries(value).forEach(([k, v]) => { node.dataset[k] = v; });
                else
                    node.setAttribute(key, value === true ? '' : value);
            }
        }
        (children || []).forEach((child) => {
            if (child !== null && child !== undefined && child !== false)
                node.append(child);
        });
        return node;
    }

    function icon(name) {
        const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
        svg.setAttribute('aria-hidden', 'true');
        const use = document.createElementNS('http://www.w3.org/2000/svg', 'use');
        use.setAttribute('href', '#i-' + name);
        svg.append(use);
        return svg;
    }

    function iconButton(name, label, action, extra) {
        return el('button', Object.assign({ class: 'icon-btn', type: 'button', title: label,
                                            'aria-label': label, data: { action: action } }, extra || {}),
                  [icon(name)]);
    }

    function plural(n, one, many) {
        return n + ' ' + (n === 1 ? one : many);
    }

    function text(value) {
        return typeof value === 'string' ? value : value === undefined || value === null ? '' : String(value);
    }

    let toastTimer = null;
    function toast(message, isError) {
        const node = $('toast');
        node.textContent = message;
        node.classList.toggle('error', !!isError);
        node.hidden = false;
        clearTimeout(toastTimer);
        toastTimer = setTimeout(() => { node.hidden = true; }, isError ? 4500 : 2500);
    }

    function announce(message) {
        $('announce').textContent = message;
    }

    // ---- model ----------------------------------------------------------

    function validArea(area) {
        return area && typeof area === 'object' && typeof area.workAreaId === 'string' && area.workAreaId !== '';
    }

    function areaById(id) {
        return state.areas.find((area) => area.workAreaId === id) || null;
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

    function matchesFilter(area) {
        const needle = state.filter.trim().toLowerCase();
        if (!needle)
            return true;
        const tags = state.tags.get(area.workAreaId) || [];
        return [area.name, area.deviceName, area.activeTagName].concat(tags.map((t) => t.name))
            .some((value) => text(value).toLowerCase().includes(needle));
    }

    async function loadTags(id) {
        try {
            const tags = await call('getTagList', { workAreaId: id });
            state.tags.set(id, Array.isArray(tags) ? tags.filter((t) => t && typeof t.tagId === 'string') : []);
        } catch (error) {
            state.tags.set(id, []);
        }
    }

    // ---- refresh --------------------------------------------------------

    let refreshTimer = null;
    let refreshing = false;
    let refreshAgain = false;

    function scheduleRefresh(delay) {
        clearTimeout(refreshTimer);
        refreshTimer = setTimeout(refresh, delay === undefined ? REFRESH_DELAY_MS : delay);
    }

    async function refresh() {
        if (refreshing) {
            refreshAgain = true;
            return;
        }
        refreshing = true;
        try {
            const areas = await call('getWorkAreaList');
            if (Array.isArray(areas)) {
                state.areas = areas.filter(validArea);
                const ids = new Set(state.areas.map((a) => a.workAreaId));
                state.expanded.forEach((id) => { if (!ids.has(id)) state.expanded.delete(id); });
                Array.from(state.tags.keys()).forEach((id) => { if (!ids.has(id)) state.tags.delete(id); });
                if (state.confirming && !ids.has(state.confirming))
                    state.confirming = null;
            }
            await Promise.all(Array.from(state.expanded).map(loadTags));
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

    function render() {
        const keep = focusKey(document.activeElement);
        const shown = state.areas.filter(matchesFilter);
        const fragment = document.createDocumentFragment();
        shown.forEach((area) => fragment.append(renderCard(area)));
        list.replaceChildren(fragment);

        const tabCount = state.areas.reduce((sum, area) => sum + (Number(area.tagNum) || 0), 0);
        $('summary').textContent = state.areas.length
            ? plural(state.areas.length, 'work area', 'work areas') + ' · ' + plural(tabCount, 'tab', 'tabs')
            : '';
        const empty = $('empty');
        empty.hidden = shown.length > 0 || !state.loaded;
        empty.replaceChildren();
        if (!empty.hidden) {
            empty.append(state.filter
                ? el('div', null, [el('strong', { text: 'No work areas match “' + state.filter + '”' })])
                : el('div', null, [el('strong', { text: 'No work areas yet' }),
                                   el('p', { text: 'Create one to group the tabs you work on together.' })]));
        }
        $('create').hidden = state.independent;

        if (keep) {
            const target = list.querySelector('[data-key="' + CSS.escape(keep) + '"]');
            if (target)
                target.focus({ preventScroll: true });
        }
        if (state.editing)
            focusEditor();
    }

    function renderCard(area) {
        const id = area.workAreaId;
        const color = COLOR_PATTERN.test(text(area.customColor)) ? area.customColor : '';
        const status = statusOf(area);
        const expanded = state.expanded.has(id);
        const count = Number(area.tagNum) || 0;
        const card = el('li', {
            class: 'card' + (isActive(area) ? ' is-active' : ''),
            tabindex: '0',
            draggable: state.editing && state.editing.id === id ? 'false' : 'true',
            'aria-label': text(area.name) + ', ' + status.label + ', ' + plural(count, 'tab', 'tabs'),
            data: { id: id, key: 'card:' + id },
            style: color ? { '--wa-color': color } : null,
        });

        const editingName = state.editing && state.editing.id === id && state.editing.field === 'name';
        const editingDevice = state.editing && state.editing.id === id && state.editing.field === 'device';
        const nameNode = editingName
            ? el('input', { class: 'inline-edit', type: 'text', maxlength: '128', value: text(area.name),
                            'aria-label': 'Work area name', data: { editor: 'name' } })
            : el('h3', { class: 'name', text: text(area.name), title: text(area.name) + ' (double-click to rename)' });

        const device = editingDevice
            ? el('input', { class: 'inline-edit device', type: 'text', maxlength: '128',
                            value: text(area.deviceName), 'aria-label': 'Device name', data: { editor: 'device' } })
            : el('span', { class: 'device', title: 'Device' },
                 [icon('device'), el('span', { text: [area.type, area.deviceName].filter(Boolean).join(' · ') })]);
        const meta = el('div', { class: 'meta' }, [
            device,
            el('span', { class: 'sep', text: '•' }),
            el('span', { class: 'count', text: plural(count, 'tab', 'tabs') }),
            area.activeTagName ? el('span', { class: 'sep', text: '•' }) : null,
            area.activeTagName
                ? el('span', { class: 'active-tab', title: text(area.activeTagName) },
                     ['Active tab: ', el('b', { text: text(area.activeTagName) })])
                : null,
        ]);

        const switchLabel = isActive(area) ? 'Current' : area.status === 'other' ? 'Go to window' : 'Switch';
        const head = el('div', { class: 'card-head' }, [
            el('span', { class: 'grip', title: 'Drag to reorder', 'aria-hidden': 'true' }, [icon('grip')]),
            el('button', { class: 'chip' + (color ? '' : ' none'), type: 'button', title: 'Colour',
                           'aria-label': 'Colour of ' + text(area.name), data: { action: 'color', key: 'color:' + id },
                           style: color ? { '--wa-color': color } : null }),
            el('div', { class: 'main' }, [
                el('div', { class: 'name-row' }, [nameNode,
                    area.isDefault ? el('span', { class: 'pill default', text: 'Default' }) : null]),
                meta,
            ]),
            el('span', { class: 'pill ' + status.cls, text: status.label }),
            el('div', { class: 'actions' }, [
                el('button', { class: 'btn small' + (isActive(area) ? '' : ' primary'), type: 'button',
                               disabled: isActive(area), data: { action: 'switch', key: 'switch:' + id } },
                   [switchLabel]),
                state.independent ? null : iconButton('pencil', 'Rename', 'rename', { data: { action: 'rename', key: 'rename:' + id } }),
                iconButton('window', 'Open in new window', 'new-window', { data: { action: 'new-window', key: 'window:' + id } }),
                iconButton('trash', area.isDefault ? 'The default work area stays' : 'Close work area', 'close',
                           { class: 'icon-btn danger', disabled: !!area.isDefault, data: { action: 'close', key: 'close:' + id } }),
                iconButton('more', 'More', 'more', { 'aria-haspopup': 'menu', data: { action: 'more', key: 'more:' + id } }),
            ]),
            el('button', { class: 'icon-btn expand', type: 'button', 'aria-expanded': expanded ? 'true' : 'false',
                           'aria-label': (expanded ? 'Hide' : 'Show') + ' tabs of ' + text(area.name),
                           title: expanded ? 'Hide tabs' : 'Show tabs', data: { action: 'expand', key: 'expand:' + id } },
               [icon('chevron')]),
        ]);
        card.append(head);

        if (state.confirming === id) {
            card.append(el('div', { class: 'confirm', role: 'alertdialog', 'aria-label': 'Close work area' }, [
                el('p', { text: 'Close “' + text(area.name) + '”' + (count ? ' and its ' + plural(count, 'tab', 'tabs') : '') + '?' }),
                el('button', { class: 'btn small', type: 'button', data: { action: 'close-cancel', key: 'cancel:' + id } }, ['Cancel']),
                el('button', { class: 'btn small danger', type: 'button', data: { action: 'close-confirm', key: 'confirm:' + id } },
                   ['Close work area']),
            ]));
        }
        if (expanded)
            card.append(renderTabs(area));
        return card;
    }

    function renderTabs(area) {
        const tags = state.tags.get(area.workAreaId);
        const box = el('div', { class: 'tabs', role: 'group', 'aria-label': 'Tabs of ' + text(area.name) });
        if (!tags) {
            box.append(el('div', { class: 'note', text: 'Loading tabs…' }));
            return box;
        }
        if (!tags.length) {
            box.append(el('div', { class: 'note', text: 'No tabs in this work area yet. Drag a tab here to move it.' }));
            return box;
        }
        tags.forEach((tag) => box.append(renderTile(area, tag)));
        return box;
    }

    function renderTile(area, tag) {
        const name = text(tag.name) || 'Untitled';
        const path = text(tag.path);
        const suffix = text(tag.suffix).replace(/^\./, '').slice(0, 4).toUpperCase();
        const preview = text(tag.preview);
        const thumb = el('span', { class: 'thumb' });
        if (preview && BASE64_PATTERN.test(preview)) {
            thumb.append(el('img', { alt: '', src: 'data:image/png;base64,' + preview }));
            if (suffix)
                thumb.append(el('span', { class: 'badge', text: suffix }));
        } else
            thumb.append(el('span', { class: 'ext' }, [icon('doc'), suffix || 'DOC']));
        const open = tag.hasPage !== false;
        return el('button', {
            class: 'tile' + (tag.isActive ? ' is-active' : '') + (open ? '' : ' closed'),
            type: 'button', draggable: 'true',
            title: path || name,
            'aria-label': name + (tag.isDirty ? ', unsaved changes' : '') + (tag.isActive ? ', active tab' : ''),
            data: { action: 'open-tag', tag: tag.tagId, area: area.workAreaId, key: 'tag:' + tag.tagId },
        }, [
            thumb,
            el('span', { class: 'tile-text' }, [
                el('span', { class: 'tile-title' }, [el('span', { text: name }),
                    tag.isDirty ? el('i', { class: 'dirty', title: 'Unsaved changes' }) : null]),
                el('span', { class: 'tile-path', text: path || (open ? 'Not saved yet' : 'Not open') }),
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
        announce('Created ' + text(created.name));
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
        if (!input)
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
        const area = areaById(editing.id);
        const value = input.value.trim();
        const old = area ? text(editing.field === 'name' ? area.name : area.deviceName) : '';
        if (save && area && value && value !== old) {
            if (editing.field === 'name') {
                area.name = value;
                render();
                await change('renameWorkArea', { workAreaId: editing.id, name: value },
                             'The work area could not be renamed', 'Renamed to ' + value);
            } else {
                area.deviceName = value;
                render();
                await change('renameWorkAreaDevice', { workAreaId: editing.id, deviceName: value },
                             'The device could not be renamed');
            }
        } else {
            render();
        }
        const card = list.querySelector('[data-key="card:' + CSS.escape(editing.id) + '"]');
        if (card)
            card.focus({ preventScroll: true });
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
            await loadTags(id);
        } else {
            state.expanded.delete(id);
        }
        requestRender();
    }

    async function removeArea(id) {
        state.confirming = null;
        const area = areaById(id);
        const answer = await change('removeWorkArea', { workAreaId: id },
                                    'Save or close the modified tabs of this work area first');
        if (answer && area)
            announce('Closed ' + text(area.name));
        render();
    }

    async function reorder(ids) {
        const byId = new Map(state.areas.map((area) => [area.workAreaId, area]));
        state.areas = ids.map((id) => byId.get(id)).filter(Boolean);
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
        reorder(ids).then(() => {
            const card = list.querySelector('[data-key="card:' + CSS.escape(id) + '"]');
            if (card)
                card.focus();
        });
    }

    async function moveTagTo(tagId, targetId) {
        const target = areaById(targetId);
        const answer = await change('moveTag', { workAreaId: targetId, tagIdList: tagId },
                                    'The tab could not be moved');
        if (answer && target) {
            announce('Moved the tab to ' + text(target.name));
            toast('Moved to ' + text(target.name));
        }
    }

    async function openTag(areaId, tagId) {
        await change('openTag', { workAreaId: areaId, tagId: tagId }, 'This tab is not open in this session');
    }

    function showTagMenu(areaId, tagId) {
        call('popupMenu', { workAreaId: areaId, tagId: tagId }).catch(() => {});
    }

    // ---- popovers -------------------------------------------------------

    function closePopover(restoreFocus) {
        const popover = state.popover;
        if (!popover)
            return;
        state.popover = null;
        popover.element.remove();
        if (restoreFocus && popover.anchor && document.body.contains(popover.anchor))
            popover.anchor.focus();
        flushRender();
    }

    function placePopover(element, anchor) {
        document.body.append(element);
        const a = anchor.getBoundingClientRect();
        const r = element.getBoundingClientRect();
        let left = Math.min(a.left, window.innerWidth - r.width - 8);
        let top = a.bottom + 6;
        if (top + r.height > window.innerHeight - 8)
            top = Math.max(8, a.top - r.height - 6);
        element.style.left = Math.max(8, left) + 'px';
        element.style.top = top + 'px';
    }

    function openColorPicker(id, anchor) {
        closePopover();
        const area = areaById(id);
        if (!area)
            return;
        const current = text(area.customColor).toLowerCase();
        const swatches = el('div', { class: 'swatches', role: 'radiogroup', 'aria-label': 'Colours' });
        SWATCHES.forEach((color) => swatches.append(el('button', {
            class: 'swatch', type: 'button', role: 'radio', 'aria-checked': current === color ? 'true' : 'false',
            'aria-label': color, title: color, style: { background: color }, data: { color: color },
        })));
        const custom = el('input', { type: 'color', value: COLOR_PATTERN.test(current) ? current.slice(0, 7) : '#3e63dd',
                                     'aria-label': 'Custom colour' });
        const element = el('div', { class: 'popover', role: 'dialog', 'aria-label': 'Colour of ' + text(area.name) }, [
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
        element.addEventListener('keydown', (event) => {
            const all = Array.from(element.querySelectorAll('.swatch'));
            const at = all.indexOf(document.activeElement);
            if (at < 0)
                return;
            const step = { ArrowRight: 1, ArrowLeft: -1, ArrowDown: 5, ArrowUp: -5 }[event.key];
            if (step) {
                all[(at + step + all.length) % all.length].focus();
                event.preventDefault();
            }
        });
        state.popover = { element: element, id: id, kind: 'color', anchor: anchor };
        placePopover(element, anchor);
        (element.querySelector('.swatch[aria-checked="true"]') || element.querySelector('.swatch')).focus();
    }

    function openMoreMenu(id, anchor) {
        closePopover();
        const area = areaById(id);
        if (!area)
            return;
        const ids = state.areas.map((a) => a.workAreaId);
        const items = [
            { action: 'top', label: 'Move to top', icon: 'top', disabled: state.independent || ids[0] === id },
            { action: 'rename', label: 'Rename', icon: 'pencil', disabled: state.independent },
            { action: 'rename-device', label: 'Rename device', icon: 'device', disabled: state.independent },
            { action: 'new-window', label: 'Open in new window', icon: 'window' },
            { action: 'close', label: 'Close work area', icon: 'trash', danger: true, disabled: !!area.isDefault },
        ];
        const element = el('div', { class: 'popover', role: 'menu', 'aria-label': 'More for ' + text(area.name) },
            items.map((item) => el('button', {
                class: 'menu-item' + (item.danger ? ' danger' : ''), type: 'button', role: 'menuitem',
                disabled: !!item.disabled, data: { menu: item.action },
            }, [icon(item.icon), item.label])));
        element.addEventListener('click', (event) => {
            const item = event.target.closest('[data-menu]');
            if (!item)
                return;
            closePopover(true);
            runAction(item.dataset.menu, id, anchor);
        });
        element.addEventListener('keydown', (event) => {
            const all = Array.from(element.querySelectorAll('.menu-item:not(:disabled)'));
            const at = all.indexOf(document.activeElement);
            const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
            if (step && all.length) {
                all[(at + step + all.length) % all.length].focus();
                event.preventDefault();
            }
        });
        state.popover = { element: element, id: id, kind: 'menu', anchor: anchor };
        placePopover(element, anchor);
        const first = element.querySelector('.menu-item:not(:disabled)');
        if (first)
            first.focus();
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
            render();
            focusKeyed('confirm:' + id);
            return undefined;
        case 'close-cancel':
            state.confirming = null;
            render();
            focusKeyed('card:' + id);
            return undefined;
        case 'close-confirm': return removeArea(id);
        case 'expand': return toggle(id);
        case 'color': return openColorPicker(id, source);
        case 'more': return openMoreMenu(id, source);
        case 'top':
            return change('workAreaMoveTop', { workAreaId: id }, 'The work area could not be moved to the top');
        default: return undefined;
        }
    }

    function focusKeyed(key) {
        const node = document.querySelector('[data-key="' + CSS.escape(key) + '"]');
        if (node)
            node.focus();
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
        const name = event.target.closest('h3.name');
        const card = event.target.closest('.card');
        if (name && card)
            startEdit(card.dataset.id, 'name');
    });

    list.addEventListener('contextmenu', (event) => {
        const tile = event.target.closest('.tile');
        if (!tile)
            return;
        event.preventDefault();
        showTagMenu(tile.dataset.area, tile.dataset.tag);
    });

    list.addEventListener('keydown', (event) => {
        const editor = event.target.closest('[data-editor]');
        if (editor) {
            if (event.key === 'Enter') {
                event.preventDefault();
                commitEdit(editor, true);
            } else if (event.key === 'Escape') {
                event.preventDefault();
                event.stopPropagation();
                commitEdit(editor, false);
            }
            return;
        }
        const tile = event.target.closest('.tile');
        if (tile) {
            if (event.key === 'ContextMenu' || (event.key === 'F10' && event.shiftKey)) {
                event.preventDefault();
                showTagMenu(tile.dataset.area, tile.dataset.tag);
            }
            return;
        }
        if (!event.target.classList || !event.target.classList.contains('card'))
            return;
        const card = event.target;
        const id = card.dataset.id;
        const cards = Array.from(list.querySelectorAll('.card'));
        const at = cards.indexOf(card);
        const go = (index) => { if (cards[index]) cards[index].focus(); };
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
            go(cards.length - 1);
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
            return;
        }
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
                moveTagTo(drag.id, card.dataset.id);
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

    document.addEventListener('click', (event) => {
        const action = event.target.closest && event.target.closest('.topbar [data-action]');
        if (action && action.dataset.action === 'create')
            createArea();
        else if (action && action.dataset.action === 'dismiss')
            call('closeWorkArea').catch(() => {});
        if (state.popover && !state.popover.element.contains(event.target)
            && !(state.popover.anchor && state.popover.anchor.contains(event.target)))
            closePopover();
    });

    document.addEventListener('keydown', (event) => {
        if (event.key === 'Escape') {
            if (state.popover) {
                closePopover(true);
            } else if (state.confirming) {
                runAction('close-cancel', state.confirming);
            } else if (event.target === $('filter') && state.filter) {
                $('filter').value = '';
                state.filter = '';
                render();
            } else if (!state.editing) {
                call('closeWorkArea').catch(() => {});
            }
            event.preventDefault();
        } else if ((event.ctrlKey || event.metaKey) && (event.key === 'n' || event.key === 'N')) {
            event.preventDefault();
            createArea();
        } else if ((event.ctrlKey || event.metaKey) && (event.key === 'f' || event.key === 'F')) {
            event.preventDefault();
            $('filter').focus();
        }
    });

    $('filter').addEventListener('input', (event) => {
        state.filter = event.target.value;
        if (state.filter) {
            // Tab names take part in the filter once their lists are known.
            Promise.all(state.areas.filter((a) => !state.tags.has(a.workAreaId))
                .map((a) => loadTags(a.workAreaId))).then(requestRender);
        }
        render();
    });

    // ---- host callbacks -------------------------------------------------

    window.onRefreshCallback = function () {
        scheduleRefresh();
    };

    window.onSkinChanged = function (skin) {
        document.documentElement.dataset.skin = skin === 'dark' ? 'dark' : 'light';
    };

    // ---- start ----------------------------------------------------------

    async function start() {
        const query = new URLSearchParams(location.search);
        document.documentElement.lang = (query.get('lang') || 'en').split(/[_-]/)[0] || 'en';
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
            await loadTags(active.workAreaId);
        }
        state.loaded = true;
        render();
        $('app').removeAttribute('aria-busy');
        const first = list.querySelector('.card.is-active') || list.querySelector('.card');
        if (first)
            first.focus({ preventScroll: false });
        call('setWebViewVisible').catch(() => {});
    }

    start();
})();
