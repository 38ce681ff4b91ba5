// SPDX-License-Identifier: MIT
#include "windows/tphrases.h"

#include "widgets/cardart.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace vrako {

Tphrases::Tphrases(QWidget* parent)
    : SideWindow("Tphrases", QStringLiteral("Phrase Buttons - Wordline"), QSize(320, 318), parent) {
    const QString labelStyle = QStringLiteral("color: rgb(230, 232, 236); font: bold 13px Arial;");
    for (int i = 0; i < Preferences::kPhraseCount; ++i) {
        const int top = 12 + i * 26;
        auto* label = new QLabel(QString::number(i + 1), this);
        label->setGeometry(12, top, 20, 22);
        label->setStyleSheet(labelStyle);
        auto* field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("phrase%1").arg(i + 1));
        field->setGeometry(36, top, 272, 22);
        field->setMaxLength(Preferences::kPhraseLength);
        label->setBuddy(field);
        m_fields[static_cast<size_t>(i)] = field;
    }
    auto* notice =
        new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    notice->setObjectName(QStringLiteral("label_notice"));
    notice->setGeometry(12, 12 + Preferences::kPhraseCount * 26 + 4, 296, 20);
    notice->setAlignment(Qt::AlignCenter);
    notice->setStyleSheet(QStringLiteral("color: rgb(242, 250, 143); font: 12px Arial;"));
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(120, 12 + Preferences::kPhraseCount * 26 + 30, 80, 28);
    done->setDefault(true);
    connect(done, &QPushButton::clicked, this, &Tphrases::button_doneClick);
}

QLineEdit* Tphrases::field(int n) const {
    return n >= 1 && n <= Preferences::kPhraseCount ? m_fields[static_cast<size_t>(n - 1)]
                                                    : nullptr;
}

void Tphrases::setPhrases(const QStringList& phrases) {
    for (int n = 1; n <= Preferences::kPhraseCount; ++n)
        field(n)->setText(phrases.value(n - 1));
}

QStringList Tphrases::phrases() const {
    QStringList out;
    for (QLineEdit* f : m_fields)
        out.append(f->text());
    return out;
}

void Tphrases::button_doneClick() {
    emit phrasesChanged(phrases());
    close();
}

void Tphrases::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(36, 43, 55));
    p.drawTiledPixmap(rect(), art::backgroundTile(devicePixelRatioF()));
}

} // namespace vrako
