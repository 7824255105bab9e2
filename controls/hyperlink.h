// SPDX-License-Identifier: MIT
// A static text shown as a link: blue, underlined while the mouse is over
// it, a hand cursor, the target as its tooltip, and a click that opens the
// target (a web page or a new mail) with the desktop's program for it.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QTimer>

class CHyperLink : public QLabel {
    Q_OBJECT

public:
    // An empty target takes the text; an empty text shows the target.
    explicit CHyperLink(const QString& text, QWidget* parent = nullptr, const QString& target = QString());

    void SetLinkTarget(const QString& target);
    QString LinkTarget() const { return m_strTarget; }

    bool IsHovered() const { return m_bHover; }
    bool WasOpened() const { return m_bWasOpened; }
    // The colour the text is drawn in now.
    QColor TextColour() const;

    // What happened to an open request: above 32 is success, the rest are
    // the failure codes of LinkErrorText.
    static int OpenLinkTarget(const QString& target);
    // "Unable to open hyperlink:" with a blank line and the text for code.
    static QString LinkErrorText(int code);

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void StartHover();
    void CheckHover();
    void Click();
    void FitToText();
    void ApplyLook();

    QString m_strTarget;
    QFont m_fontUnderlined;
    QFont m_fontPlain;
    QColor m_crLink{0, 0, 238};
    QColor m_crVisited{85, 26, 139};
    QColor m_crHover{255, 0, 0};
    bool m_bHover = false;
    bool m_bWasOpened = false;
    // -1 underlined while hovered, 0 never, 1 always.
    int m_nUnderlineMode = -1;
    bool m_bFitToText = true;
    // Watches for the mouse leaving: a fast move off the link may bring no
    // leave event of its own.
    QTimer m_hoverTimer;
};
