// SPDX-License-Identifier: MIT
#include "widgets/soundplayer.h"

#include <QSoundEffect>
#include <QUrl>

// Q_INIT_RESOURCE expands to a declaration that must sit outside any namespace.
static void registerSoundsResource() {
    Q_INIT_RESOURCE(sounds);
    Q_INIT_RESOURCE(pictures);
}

namespace vrako {

void initResources() {
    static const bool done = [] {
        registerSoundsResource();
        return true;
    }();
    (void)done;
}

namespace {

constexpr int kChatterSounds = 20;

QStringList allNames() {
    QStringList names = {
        QStringLiteral("entered"),     QStringLiteral("draw"),   QStringLiteral("placecard"),
        QStringLiteral("invalid"),     QStringLiteral("turn"),   QStringLiteral("turnnew"),
        QStringLiteral("roundwinner"), QStringLiteral("winner"), QStringLiteral("vrakod")};
    for (int n = 1; n <= kChatterSounds; ++n)
        names.append(QStringLiteral("wave%1").arg(n));
    return names;
}

const QStringList kNames = allNames();

} // namespace

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {
    initResources();
}

SoundPlayer::~SoundPlayer() = default;

QStringList SoundPlayer::soundNames() {
    return kNames;
}

bool SoundPlayer::isKnown(const QString& name) {
    return kNames.contains(name.trimmed().toLower());
}

QString SoundPlayer::resourcePath(const QString& name) {
    const QString key = name.trimmed().toLower();
    if (!kNames.contains(key))
        return {};
    return QStringLiteral(":/sounds/%1.wav").arg(key);
}

void SoundPlayer::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled)
        stop();
}

void SoundPlayer::play(const QString& name) {
    if (!m_enabled)
        return;
    const QString key = name.trimmed().toLower();
    if (kNames.contains(key))
        start(key);
}

bool SoundPlayer::playAlways(const QString& name) {
    const QString key = name.trimmed().toLower();
    if (!kNames.contains(key))
        return false;
    start(key);
    return true;
}

void SoundPlayer::start(const QString& key) {
    stop();
    if (QSoundEffect* effect = effectFor(key))
        effect->play();
    m_current = key;
    emit played(key);
}

void SoundPlayer::stop() {
    if (QSoundEffect* playing = m_effects.value(m_current))
        playing->stop();
    m_current.clear();
}

QSoundEffect* SoundPlayer::effectFor(const QString& key) {
    auto it = m_effects.find(key);
    if (it != m_effects.end())
        return *it;
    auto* effect = new QSoundEffect(this);
    effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath(key)));
    m_effects.insert(key, effect);
    return effect;
}

} // namespace vrako
