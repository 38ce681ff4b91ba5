// SPDX-License-Identifier: MIT
#pragma once

#include "windows/sidewindow.h"

#include <QUrl>
#include <functional>

namespace vrako {

// The about window: version, year, the maker's credits and web address, and a picture.
class Tabout : public SideWindow {
    Q_OBJECT
public:
    // Opens a web address in the desktop's browser.
    using Opener = std::function<bool(const QUrl& address)>;

    explicit Tabout(QWidget* parent = nullptr);

    static QUrl website();
    void setOpener(Opener opener) { m_opener = std::move(opener); }

    void Label9Click();
    void button_okClick() { close(); }
    void Image1Click() { hide(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Opener m_opener;
    QWidget* m_image = nullptr;
    QWidget* m_link = nullptr;
};

} // namespace vrako
