// SPDX-License-Identifier: MIT
#pragma once

#include <QDeadlineTimer>
#include <QStringList>
#include <QWidget>
#include <array>

class QMenu;
class QToolButton;

namespace vrako {

// The ten small buttons above the chat view: buttons 1 to 9 say a stored phrase, button 10
// opens the menu of chatter sounds. Emits what the user chose; the owner sends it.
class PhraseBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtons = 10;
    static constexpr int kButtonWidth = 24;
    static constexpr int kButtonHeight = 20;
    static constexpr int kSpacing = 2;
    // The phrase buttons rest this long after a phrase was said.
    static constexpr int kDefaultLockMs = 2000;

    explicit PhraseBar(QWidget* parent = nullptr);

    // The nine phrases, each held as its button's tooltip.
    QStringList phrases() const;
    // Replaces the phrases of buttons 1 to 9 (missing entries keep theirs).
    void setPhrases(const QStringList& phrases);

    bool phraseready() const { return m_lock.hasExpired(); }
    void setLockInterval(int ms) { m_lockMs = ms; }
    // Spectators cannot play chatter sounds: for them the sound button is off and says why.
    void setSoundsAllowed(bool allowed);
    bool soundsAllowed() const { return m_soundsAllowed; }

    // Lays the buttons out for the table's scale (1: the design sizes above).
    void setScale(qreal scale);

    QToolButton* button(int n) const;
    QMenu* popupSounds() const { return m_popupSounds; }

    // Button n (1 to 9) clicked.
    void phraseClick(int n);
    // Entry n of the sound menu (0 is "<Cancel>").
    void soundClick(int n);

signals:
    // An action line to send: "says: <phrase>", or the phrase after "/me ".
    void actionWanted(const QString& text);
    // Chatter sound n (1 to 20) chosen; the client sends it only from a seat.
    void soundWanted(int n);

private:
    void openSoundMenu();
    void layOut();

    std::array<QToolButton*, kButtons> m_buttons{};
    QMenu* m_popupSounds = nullptr;
    QDeadlineTimer m_lock; // expired: the buttons start ready
    int m_lockMs = kDefaultLockMs;
    bool m_soundsAllowed = true;
    qreal m_scale = 1;
};

} // namespace vrako
