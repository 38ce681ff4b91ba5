// SPDX-License-Identifier: MIT
// The main window's side of the preferences: applying the settings file, saving it with the
// window's bounds, and what closing writes.
#include "chat/chatpanel.h"
#include "chat/phrasebar.h"
#include "shell/tchat.h"
#include "windows/gamestartdialog.h"

#include <QAction>
#include <QActionGroup>
#include <QScreen>
#include <algorithm>

namespace vrako {
namespace {

WindowBounds boundsOf(const QWidget& w) {
    return {w.y(), w.x(), w.width(), w.height()};
}

} // namespace

QSize Tchat::fittedToScreen(QSize size) const {
    const QScreen* s = screen();
    if (!s)
        return size;
    // The window's frame (title bar and borders), once the desktop has given it one.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize room = (s->availableGeometry().size() - frame).expandedTo(minimumSize());
    return size.boundedTo(room).expandedTo(QSize(1, 1));
}

void Tchat::placeOnDesktop(const WindowBounds& bounds) {
    // The file is shared with the lobby: bounds beyond the desktop would ask for a window of
    // absurd size or put it out of sight, so they are brought within the work area. A size
    // below the one that shows the board at scale 1 is widened to it, as the resize rule always
    // did, where the screen has the room.
    const QScreen* s = screen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 4096, 4096);
    const QSize fitted =
        fittedToScreen(QSize(bounds.width, bounds.height).expandedTo(designWindowSize()));
    const int width = fitted.width();
    const int height = fitted.height();
    // At least a corner of the title bar stays on the desktop.
    constexpr int kVisible = 40;
    const int left = std::clamp(bounds.left, area.left() - width + kVisible,
                                area.left() + area.width() - kVisible);
    const int top = std::clamp(bounds.top, area.top(), area.top() + area.height() - kVisible);
    move(left, top);
    resize(width, height);
}

void Tchat::loadinifile() {
    Preferences& prefs = m_session->preferences();
    if (!m_session->loadinifile())
        return;
    placeOnDesktop(prefs.bounds);
    // The window may not take bounds below its minimum; closing it unmoved must still write
    // nothing, so the bounds it took are the ones remembered.
    prefs.savedBounds = boundsOf(*this);
    m_chat->setTextSize(prefs.textSize);
    showTextSize(prefs.textSize);
    m_chat->setChatColour(prefs.textColour);
    m_phraseBar->setPhrases(prefs.phrases);
    m_playSounds->setChecked(prefs.playSounds);
    m_autoSort->setChecked(prefs.sort);
    showBotSpeed(prefs.botSpeed);
    if (m_gamestart) {
        m_gamestart->setPlayToScore(prefs.playToScore);
        m_gamestart->changebox(prefs.gameType);
    }
    for (QAction* a : m_turnSound->actions())
        if (a->data().toInt() == prefs.turnSound)
            a->setChecked(true);
    m_playChatter->setChecked(prefs.chatterSounds);
    m_portMapping->setChecked(prefs.upnp);
}

void Tchat::saveinifile(Preferences::Keys chosen) {
    m_session->preferences().bounds = boundsOf(*this);
    m_session->saveinifile(chosen);
}

void Tchat::saveOnExit() {
    Preferences& prefs = m_session->preferences();
    const QScreen* s = screen();
    const QSize workArea = s ? s->availableGeometry().size() : size();
    if (const auto bounds = boundsToSave(prefs.savedBounds, boundsOf(*this), workArea)) {
        prefs.bounds = *bounds;
        prefs.savedBounds = *bounds;
        m_session->saveinifile();
    }
    m_session->saveTally();
}

} // namespace vrako
