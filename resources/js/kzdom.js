// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
//
// Small DOM helpers the pages share:
//   kzdom.el(tag, props, children) -> an element; "text" sets its text (never
//     HTML), "class" its class, "on<event>" a listener, other keys attributes
//     (true: present, false/null/undefined: left out)
//   kzdom.humanSize(bytes)         -> "12 MB" (B, KB, MB, GB, TB; "?" for no size)
(function (global) {
    'use strict';

    const UNITS = ['B', 'KB', 'MB', 'GB', 'TB'];

    function el(tag, props, children) {
        const node = document.createElement(tag);
        Object.entries(props || {}).forEach(([key, value]) => {
            if (key === 'text')
                node.textContent = value;
            else if (key === 'class')
                node.className = value;
            else if (key.startsWith('on'))
                node.addEventListener(key.slice(2), value);
            else if (value !== undefined && value !== null && value !== false)
                node.setAttribute(key, value === true ? '' : value);
        });
        (children || []).forEach((child) => child && node.appendChild(child));
        return node;
    }

    function humanSize(value) {
        let n = Number(value);
        if (!Number.isFinite(n) || n < 0)
            return '?';
        let unit = 0;
        while (n >= 1024 && unit < UNITS.length - 1) {
            n /= 1024;
            ++unit;
        }
        return (unit === 0 ? String(Math.round(n)) : n.toFixed(n < 10 ? 1 : 0)) + ' ' + UNITS[unit];
    }

    global.kzdom = { el: el, humanSize: humanSize };
}(window));
