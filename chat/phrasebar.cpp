// SPDX-License-Identifier: MIT
#include "chat/phrasebar.h"

#include "chat/actiontext.h"
#include "chat/chattersounds.h"
#include "store/preferences.h"
#include "widgets/keptbutton.h"

#include <QMenu>
#include <QToolButton>
#include <algorithm>

namespace vrako {

PhraseBar::PhraseBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PhraseBar"));
    const QStringList phrases = Preferences::builtInPhrases();
    for (int i = 0; i < kButtons; ++i) {
        const int n = i + 1;
        auto* b = new KeptButton(this);
        b->setObjectName(QStringLiteral("b_phrase%1").arg(n));
        // Clicking must leave the keyboard with the chat entry.
        b->setFocusPolicy(Qt::NoFocus);
        if (n < kButtons) {
            b->setText(QString::number(n));
            b->setToolTip(phrases.value(i));
            // A screen reader says the phrase, not the digit on the button.
            b->setAccessibleName(phrases.value(i));
            connect(b, &QToolButton::clicked, this, [this, n] { phraseClick(n); });
        } else {
            b->setText(QStringLiteral("\u266A"));
            b->setToolTip(QStringLiteral("Chatter Sounds"));
            b->setAccessibleName(QStringLiteral("Chatter Sounds"));
            connect(b, &QToolButton::clicked, this, &PhraseBar::openSoundMenu);
        }
        m_buttons[static_cast<size_t>(i)] = b;
    }

    m_popupSounds = new QMenu(this);
    m_popupSounds->setObjectName(QStringLiteral("popup_sounds"));
    m_popupSounds->setToolTipsVisible(true);
    for (int n = 0; n <= ChatterSounds::kCount; ++n) {
        const QString text = n == 0 ? QStringLiteral("<Cancel>") : ChatterSounds::caption(n);
        QAction* a = m_popupSounds->addAction(text);
        a->setObjectName(n == 0 ? QStringLiteral("Cancel1") : QStringLiteral("wave%1").arg(n));
        a->setToolTip(text);
        a->setData(n);
        connect(a, &QAction::triggered, this, [this, n] { soundClick(n); });
    }

    // Small flat buttons that read on the dark felt of the board.
    setStyleSheet(QStringLiteral(
        "QToolButton { color: rgb(230, 232, 236); background: rgba(255, 255, 255, 20);"
        " border: 1px solid rgba(255, 255, 255, 70); border-radius: 3px; }"
        "QToolButton:hover { background: rgba(255, 255, 255, 55); }"
        "QToolButton:pressed { background: rgba(0, 0, 0, 60); }"));
    layOut();
}

void PhraseBar::setScale(qreal scale) {
    if (!(scale > 0) || scale == m_scale)
        return;
    m_scale = scale;
    layOut();
}

void PhraseBar::layOut() {
    const auto px = [this](int design) { return std::max(1, qRound(design * m_scale)); };
    for (int i = 0; i < kButtons; ++i) {
        QToolButton* b = m_buttons[static_cast<size_t>(i)];
        // Both edges rounded, so the gaps stay even.
        const int left = qRound(i * (kButtonWidth + kSpacing) * m_scale);
        const int right = qRound((i * (kButtonWidth + kSpacing) + kButtonWidth) * m_scale);
        b->setGeometry(left, 0, right - left, px(kButtonHeight));
        // Fonts are set here rather than in the style sheet: a new sheet at every step of a
        // resize would polish every button again.
        QFont f(QStringLiteral("Arial"));
        f.setBold(true);
        f.setPixelSize(px(i + 1 < kButtons ? 11 : 15));
        b->setFont(f);
    }
    setFixedSize(qRound((kButtons * kButtonWidth + (kButtons - 1) * kSpacing) * m_scale),
                 px(kButtonHeight));
}

QToolButton* PhraseBar::button(int n) const {
    return n >= 1 && n <= kButtons ? m_buttons[static_cast<size_t>(n - 1)] : nullptr;
}

QStringList PhraseBar::phrases() const {
    QStringList out;
    for (int n = 1; n < kButtons; ++n)
        out.append(button(n)->toolTip());
    return out;
}

void PhraseBar::setPhrases(const QStringList& phrases) {
    for (int n = 1; n < kButtons && n <= phrases.size(); ++n) {
        const QString phrase = phrases[n - 1].left(Preferences::kPhraseLength);
        button(n)->setToolTip(phrase);
        button(n)->setAccessibleName(phrase);
    }
}

void PhraseBar::phraseClick(int n) {
    QToolButton* b = n >= 1 && n < kButtons ? button(n) : nullptr;
    if (!b || !phraseready())
        return;
    const QString phrase = b->toolTip();
    // "/me" and the character after it give way to the name, as a typed "/me" line does.
    emit actionWanted(isActionLine(phrase) ? actionText(phrase)
                                           : QStringLiteral("says: ") + phrase);
    m_lock.setRemainingTime(m_lockMs);
}

void PhraseBar::setSoundsAllowed(bool allowed) {
    m_soundsAllowed = allowed;
    QToolButton* b = button(kButtons);
    b->setEnabled(allowed);
    b->setToolTip(allowed ? QStringLiteral("Chatter Sounds")
                          : QStringLiteral("Spectators cannot play chatter sounds"));
    if (!allowed)
        m_popupSounds->close();
}

void PhraseBar::soundClick(int n) {
    if (n < 1 || n > ChatterSounds::kCount || !m_soundsAllowed)
        return;
    emit soundWanted(n);
}

void PhraseBar::openSoundMenu() {
    QToolButton* b = button(kButtons);
    m_popupSounds->popup(b->mapToGlobal(QPoint(b->width(), b->height())));
}

} // namespace vrako
