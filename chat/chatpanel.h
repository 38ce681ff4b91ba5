// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QPixmap>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QFrame;
class QMenu;
class QToolButton;

namespace vrako {

class ChatEdit;
class RichTextView;

// The chat log and the entry field below it: shows chat and system lines with their styles,
// smilies and links, and tells the owner which chat lines and actions the user typed.
class ChatPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kLinkSlots = 101;
    // The log's size at scale 1 in a panel of the design size; the panel is laid out for
    // whatever size it is given.
    static constexpr int kViewWidth = 641;
    static constexpr int kViewHeight = 113;
    static constexpr QSize kDesignSize{kViewWidth + 2, kViewHeight + 25};

    // Opens a web address; returns whether the desktop accepted it.
    using UrlOpener = std::function<bool(const QUrl&)>;
    // Tells the user that something failed, such as "Cannot open Webpage".
    using Notifier = std::function<void(const QString&)>;
    // Whether typed lines can go out now (the client is logged in); until then they stay typed.
    using Readiness = std::function<bool()>;

    explicit ChatPanel(QWidget* parent = nullptr);
    ~ChatPanel() override;

    // Inputs from the owner.
    void setReadiness(Readiness ready) { m_ready = std::move(ready); }
    void setChatColour(quint32 colour);
    quint32 chatColour() const { return m_chatColour; }
    // Sets all fifteen text styles to this size and shows the log in it.
    void setTextSize(int points);
    int textSize() const;
    // Lays the panel out for the table's scale: its controls follow it, and the text grows
    // with it above 1 but never shrinks below the chosen size.
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }
    // The height that shows `lines` lines of the log at the present text size.
    int heightForLines(int lines) const;

    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    void setNotifier(Notifier notifier) { m_notify = std::move(notifier); }

    // Hands the typed line on as a chat line or, after "/me", as an action, when lines can go
    // out; other lines starting with "/" are dropped.
    void sendit();
    // A received chat or action line: "line|colour text".
    void chatrecieved(const QString& text);
    // Appends "prefix+name:body" in the prefix's style and the given 0x00BBGGRR colour.
    void addlinetochat(const QString& text, quint32 colour);
    // Appends one of the program's own lines, in the system style.
    void addSystemLine(const QString& text, quint32 colour);
    // Opens the address of link n of the log.
    void mainchatJump(int n);
    // Appends smiley code 10 to 27 to the entry field.
    void insertSmiley(int code);
    void clearMainChat();

    RichTextView* mainchat() const { return m_mainchat; }
    ChatEdit* mychat() const { return m_mychat; }
    QToolButton* buttonSmilies() const { return m_buttonSmilies; }
    QMenu* popupSmilies() const { return m_popupSmilies; }
    QMenu* popupMenu1() const { return m_popupMenu1; }
    // For the Options menu; both share their state with the entries of PopupMenu1.
    QAction* scrollChatOffAction() const { return m_scrollChatOff; }
    QAction* clearMainChatAction() const { return m_clearMainChat; }
    bool isScrollOff() const;

    const QList<QPixmap>& imagelistSmilies() const { return m_smilies; }
    const std::array<QString, kLinkSlots>& chatlinks() const { return m_chatlinks; }
    int chatlinkno() const { return m_chatlinkno; }

signals:
    // A typed chat line or action (without its "/me") to send in the given colour.
    void chatWanted(const QString& text, quint32 colour);
    void actionWanted(const QString& text, quint32 colour);

private:
    // Appends the name part and body of a line in a style.
    void appendLine(const QString& line, int style, quint32 colour);
    void appendWords(const QString& text, int style);
    void openSmileyMenu();
    int entryHeight() const;
    void layOut();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QFrame* m_flatPanel;
    RichTextView* m_mainchat;
    ChatEdit* m_mychat;
    QToolButton* m_buttonSmilies;
    QMenu* m_popupSmilies;
    QMenu* m_popupMenu1;
    QAction* m_scrollChatOff;
    QAction* m_clearMainChat;
    QList<QPixmap> m_smilies;

    quint32 m_chatColour = 0;
    qreal m_scale = 1;
    std::array<QString, kLinkSlots> m_chatlinks;
    int m_chatlinkno = -1;
    UrlOpener m_openUrl;
    Notifier m_notify;
    Readiness m_ready;
};

} // namespace vrako
