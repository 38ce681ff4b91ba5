// SPDX-License-Identifier: MIT
#pragma once

#include "windows/sidewindow.h"

namespace vrako {

// Shown at the start of a solo game: tells the player about the lobby program that multi-player
// games start from, and lets the solo game go on.
class DownloadWindow : public SideWindow {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget* parent = nullptr);

    void Button1Click() { close(); }
    void Button2Click();

signals:
    // Text for the player that the owner shows in a message box.
    void messageWanted(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vrako
