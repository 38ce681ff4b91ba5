// SPDX-License-Identifier: MIT
#pragma once

#include "windows/sidewindow.h"

class QLabel;
class QStackedWidget;

namespace vrako {

// The help window: page buttons on the left, the chosen page on the right under its title.
class Thelp : public SideWindow {
    Q_OBJECT
public:
    explicit Thelp(QWidget* parent = nullptr);

    // Brings page "memo" + tag to the front under the caption of its button.
    void SelButton1Click(int tag);
    // The tag of the page in front.
    int currentPage() const;

    void button_aboutClick() { emit aboutRequested(); }
    void button_doneClick() { hide(); }

signals:
    // The "About" button: the owner shows the about window.
    void aboutRequested();

private:
    QLabel* m_caption = nullptr;
    QStackedWidget* m_pages = nullptr;
};

} // namespace vrako
