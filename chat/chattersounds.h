// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace vrako {

class SoundPlayer;

// The twenty chatter sounds: their names, and what a client does with one that a seated player
// sent (plays it, or tells the chat when the user switched chatter sounds off).
class ChatterSounds : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 20;

    // The caption of sound n, 1 to 20 ("Doh", "Cough", ...); empty for any other n.
    static QString caption(int n);
    // The number of the sound name "wave1" to "wave20" (any letter case); 0 for other names.
    static int numberOf(const QString& soundName);

    // The name the table shows for a seat; empty when there is none.
    using NameLookup = std::function<QString(int seat)>;
    // The desktop's alert sound, for a sound the program does not carry.
    using Beeper = std::function<void()>;

    explicit ChatterSounds(SoundPlayer* player, QObject* parent = nullptr);

    // The "Play Chatter Sounds" option.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    void setNameLookup(NameLookup lookup) { m_nameOf = std::move(lookup); }
    void setBeeper(Beeper beeper) { m_beep = std::move(beeper); }

    void playasound(int seat, const QString& soundName);

signals:
    // A system line for the chat ("Ann: <Chatter Sound> Doh") and its colour.
    void systemLine(const QString& text, quint32 colour);

private:
    SoundPlayer* m_player;
    bool m_enabled = false;
    NameLookup m_nameOf;
    Beeper m_beep;
};

} // namespace vrako
