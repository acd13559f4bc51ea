// SPDX-License-Identifier: LGPL-2.1-or-later
// SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#pragma once

#include <kzelvaclosehandler.h>

class KZelvaPage;

/*
 * Close handler of a page whose content runs in the shell's own process
 * (page type 39, or any page in quick-start mode). With `withSubPages` the
 * page's sub pages are asked as its children. When the close goes on and an
 * emptied type-39 page is left, the page is told to close itself (33070).
 * Child of a main-window close handler; GUI thread.
 */
class KZelvaProcessonLocalPageCloseHandler : public KZelvaCloseHandler
{
    Q_OBJECT
public:
    static constexpr int LocalPageType = 39;

    KZelvaProcessonLocalPageCloseHandler(KZelvaPage *page, bool withSubPages, QObject *parent = nullptr);

    // Whether a page of `pageType` gets a handler (quick start: all but 8, 11 and 13).
    static bool qualifies(int pageType, bool quickStart);

protected:
    void onChildrenFinished(bool cancelled) override;
};
