#pragma once

#include <QTabBar>

namespace vrs {

// The document tab bar: one tab per open document window, in the order of
// creation.  The selected tab is bold, the others italic and grey; each has
// the window's picture and a close box.  A double click on a tab or a click
// in its close box asks to close that document.
class TDocTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit TDocTabBar(QWidget *parent = nullptr);

    int AddDocument(QObject *window, const QString &text, const QIcon &icon);
    // -1 when no tab belongs to the window.
    int IndexOf(const QObject *window) const;
    QObject *WindowAt(int index) const;

    // The close box of a tab, in the bar's coordinates.
    QRect CloseBoxRect(int index) const;

signals:
    void CloseRequested(QObject *window);
    // The text of the tab under the mouse, empty when the mouse is over none.
    void HintChanged(const QString &text);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    int TextHeight() const;
    QFont TabFont(bool selected) const;
    void ClearHint();
};

} // namespace vrs
