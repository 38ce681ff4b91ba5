// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

namespace vrako {

// A secondary window of the game: a fixed caption and size, created at start-up and kept until
// the program ends; closing it only hides it. It opens centred over its parent's window.
class SideWindow : public QWidget {
    Q_OBJECT
public:
    SideWindow(const char* className, const QString& caption, QSize size,
               QWidget* parent = nullptr);

    // Centres the window on another one (the main window), within that one's screen.
    void centreOn(const QWidget* other);

    // Paints the main window's felt tile behind the window's controls.
    void setTiledBackground(bool on);
    bool hasTiledBackground() const { return m_tiled; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_tiled = false;
};

} // namespace vrako
