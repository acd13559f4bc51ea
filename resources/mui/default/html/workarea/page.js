// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// What every view of the popup page shares, as window.KzPage: the page API
// ("common" handler), DOM helpers that only ever set user text as text,
// the toast and the screen-reader announcements, and the views themselves.
// A view is a section of #content added with
//   KzPage.addView({ id, label, mount(section), onShow(), onRefresh(detail), onEscape() })
// (workarea.js adds the work-area view; a further view adds itself the same
// way from its own script and style sheet). The host's callbacks
// onRefreshCallback(detail) and onSkinChanged(name) reach every view.
(function () {
    'use strict';

    const HANDLER = 'common';
    // Explicit direction embeddings, overrides and isolates: a name never
    // reorders what is shown around or inside it ("\u202Egpj.exe").
    const BIDI_CONTROLS = /[\u202A-\u202E\u2066-\u2069]/g;

    const $ = (id) => document.getElementById(id);

    function call(method, params) {
        return kzbridge.request(HANDLER, method, params === undefined ? {} : { params: params });
    }

    function text(value) {
        return typeof value === 'string' ? value : value === undefined || value === null ? '' : String(value);
    }

    // User text as shown: a string without direction controls.
    function userText(value) {
        return text(value).replace(BIDI_CONTROLS, '');
    }

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

    // An element holding user text: isolated, its direction its own.
    function userEl(tag, value, props) {
        return el(tag, Object.assign({ dir: 'auto', text: userText(value) }, props || {}));
    }

    function icon(name) {
        const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
        svg.setAttribute('aria-hidden', 'true');
        const use = document.createElementNS('http://www.w3.org/2000/svg', 'use');
        use.setAttribute('href', '#i-' + name);
        svg.append(use);
        return svg;
    }

    function plural(n, one, many) {
        return n + ' ' + (n === 1 ? one : many);
    }

    let toastTimer = null;
    let toastAction = null;
    function hideToast() {
        clearTimeout(toastTimer);
        toastAction = null;
        $('toast').hidden = true;
    }
    // An `action` ({label, run}) adds a button, also reached with Ctrl+Z
    // while the toast shows; the toast then stays a little longer.
    function toast(message, isError, action) {
        const node = $('toast');
        node.textContent = message;
        node.classList.toggle('error', !!isError);
        node.setAttribute('role', isError ? 'alert' : 'status');
        toastAction = action || null;
        if (action) {
            const button = el('button', { class: 'toast-action', type: 'button', text: action.label });
            button.addEventListener('click', () => { hideToast(); action.run(); });
            node.append(' ', button);
        }
        node.hidden = false;
        clearTimeout(toastTimer);
        toastTimer = setTimeout(hideToast, action ? 8000 : isError ? 4500 : 2500);
    }
    document.addEventListener('keydown', (event) => {
        if (toastAction && (event.ctrlKey || event.metaKey) && !event.shiftKey && event.key.toLowerCase() === 'z') {
            event.preventDefault();
            const action = toastAction;
            hideToast();
            action.run();
        }
    });

    function announce(message) {
        $('announce').textContent = message;
    }

    // ---- views ------------------------------------------------------------

    const views = [];
    let current = null;

    function viewTab(view) {
        return document.querySelector('#view-tabs [data-view-tab="' + CSS.escape(view.id) + '"]');
    }

    function addView(view) {
        let section = document.querySelector('#content > [data-view="' + CSS.escape(view.id) + '"]');
        if (!section) {
            section = el('section', { class: 'view', id: 'view-' + view.id, data: { view: view.id },
                                      'aria-label': view.label, hidden: true });
            $('content').append(section);
        }
        view.section = section;
        views.push(view);
        const tabs = $('view-tabs');
        tabs.append(el('button', { class: 'view-tab', type: 'button', role: 'tab', id: 'tab-' + view.id,
                                   'aria-controls': section.id, data: { viewTab: view.id } }, [view.label]));
        tabs.hidden = views.length < 2;
        if (view.mount)
            view.mount(section);
        if (!current)
            showView(view.id);
        else
            syncViewTabs();
        return section;
    }

    function syncViewTabs() {
        views.forEach((view) => {
            const active = view === current;
            view.section.hidden = !active;
            const tab = viewTab(view);
            tab.setAttribute('aria-selected', active ? 'true' : 'false');
            tab.tabIndex = active ? 0 : -1;
        });
        document.querySelectorAll('[data-view-tools]').forEach((node) => {
            node.hidden = !current || node.dataset.viewTools !== current.id;
        });
    }

    function showView(id) {
        const view = views.find((v) => v.id === id);
        if (!view || view === current)
            return;
        current = view;
        syncViewTabs();
        if (view.onShow)
            view.onShow();
    }

    $('view-tabs').addEventListener('click', (event) => {
        const tab = event.target.closest('[data-view-tab]');
        if (tab)
            showView(tab.dataset.viewTab);
    });
    $('view-tabs').addEventListener('keydown', (event) => {
        const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
        if (!step || !current)
            return;
        const at = views.indexOf(current);
        const next = views[(at + step + views.length) % views.length];
        showView(next.id);
        viewTab(next).focus();
        event.preventDefault();
    });

    function closePopup() {
        call('closeWorkArea').catch(() => {});
    }

    $('dismiss').addEventListener('click', closePopup);

    // Escape goes to the current view first (popovers, editors, filters);
    // when it has nothing left to close, the popup closes.
    document.addEventListener('keydown', (event) => {
        if (event.key !== 'Escape' || event.defaultPrevented)
            return;
        event.preventDefault();
        if (current && current.onEscape && current.onEscape(event))
            return;
        closePopup();
    });

    window.onRefreshCallback = function (detail) {
        views.forEach((view) => { if (view.onRefresh) view.onRefresh(detail); });
    };

    window.onSkinChanged = function (skin) {
        document.documentElement.dataset.skin = skin === 'dark' ? 'dark' : 'light';
    };

    const query = new URLSearchParams(location.search);
    document.documentElement.lang = (query.get('lang') || 'en').split(/[_-]/)[0] || 'en';

    window.KzPage = Object.freeze({
        call, text, userText, el, userEl, icon, plural, toast, announce, addView, showView, closePopup,
        $: $,
    });
})();
