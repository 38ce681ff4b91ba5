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

namespace vrako {
namespace {

WindowBounds boundsOf(const QWidget& w) {
    return {w.y(), w.x(), w.width(), w.height()};
}

} // namespace

void Tchat::loadinifile() {
    Preferences& prefs = m_session->preferences();
    if (!m_session->loadinifile())
        return;
    move(prefs.bounds.left, prefs.bounds.top);
    resize(prefs.bounds.width, prefs.bounds.height);
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
}

void Tchat::saveinifile() {
    m_session->preferences().bounds = boundsOf(*this);
    m_session->saveinifile();
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
