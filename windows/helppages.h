// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>

namespace vrako {

// One page of the help window: the page button's caption and tag (the page is "memo" + tag),
// and the page's rich text.
struct HelpPage {
    int tag;
    QString caption;
    QString html;
};

// The help pages in button order.
QList<HelpPage> helpPages();

} // namespace vrako
