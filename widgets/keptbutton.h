// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QToolButton>

namespace vrako {

// A tool button that keeps itself drawn as a picture until what it shows changes (its text,
// icon, font, colours, size or state, hovering and pressing included). The phrase buttons grow
// with the board, and their style sheet draws rounded, translucent faces anew at every paint;
// a window repainted as a whole then copies pictures instead. After a change the button is
// painted as usual until it has been painted twice alike; its picture is taken after that.
class KeptButton : public QToolButton {
    Q_OBJECT
public:
    explicit KeptButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // What the button shows, as far as its looks go.
    QString shown() const;
    void takePicture();

    QString m_shown;   // what the picture shows
    QString m_painted; // what the last paint without the picture showed
    QPixmap m_picture;
    bool m_taking = false;
    bool m_pending = false;
};

} // namespace vrako
