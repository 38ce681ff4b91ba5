// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QSoundEffect;

namespace vrako {

// Registers the resources built into the widgets library (the game's sounds under
// ":/sounds/", pictures under ":/pictures/"). A static library needs this explicit call; calling it
// again does nothing.
void initResources();

// Plays the program's named sounds asynchronously, one at a time: the game's sounds while they
// are enabled, the chatter sounds "wave1" to "wave20" whenever asked.
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // The names the player knows, in lower case ("entered", "draw", ..., "wave1" to "wave20").
    static QStringList soundNames();
    static bool isKnown(const QString& name);
    // The resource path of a known sound name (any case), or an empty string.
    static QString resourcePath(const QString& name);

    bool isEnabled() const { return m_enabled; }
    // The "Play Sounds" option; switching it off also stops a sound that is playing.
    void setEnabled(bool enabled);

    // The last sound started, in lower case; empty before the first one or after stop().
    QString current() const { return m_current; }

public slots:
    // Starts the named sound (case-insensitive) and cuts off the one playing. Unknown names
    // and calls while disabled do nothing. Without an audio device the sound is silent.
    void play(const QString& name);
    // Starts a sound regardless of the "Play Sounds" option (chatter sounds have their own);
    // returns false, playing nothing, for a name the program does not carry.
    bool playAlways(const QString& name);
    void stop();

signals:
    // Emitted for every sound started, with its lower-case name.
    void played(const QString& name);

private:
    QSoundEffect* effectFor(const QString& key);
    void start(const QString& key);

    bool m_enabled = true;
    QString m_current;
    // Created on first use, so that a program that never plays opens no audio output.
    QHash<QString, QSoundEffect*> m_effects;
};

} // namespace vrako
