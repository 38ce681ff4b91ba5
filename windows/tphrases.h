// SPDX-License-Identifier: MIT
#pragma once

#include "store/preferences.h"
#include "windows/sidewindow.h"

#include <QStringList>
#include <array>

class QLineEdit;

namespace vrako {

// The editor of the nine phrases that the phrase buttons say.
class Tphrases : public SideWindow {
    Q_OBJECT
public:
    explicit Tphrases(QWidget* parent = nullptr);

    // Fills phrase1 to phrase9; the owner does this each time the editor is opened.
    void setPhrases(const QStringList& phrases);
    QStringList phrases() const;
    QLineEdit* field(int n) const;

    // "Done": hands over the nine texts and closes the editor.
    void button_doneClick();

signals:
    void phrasesChanged(const QStringList& phrases);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QLineEdit*, Preferences::kPhraseCount> m_fields{};
};

} // namespace vrako
