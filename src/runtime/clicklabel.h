#pragma once

#include <QLabel>

namespace runtime {

/// A label that reports clicks and double clicks. Like every label it never takes
/// the keyboard focus, so clicking it leaves the focus where it was.
///
/// The second click of a double click raises only DblClick, not a second Click.
///
/// Its caption is laid out as the program's captions were designed: one line per em of
/// the font and blanks half an em wide, whatever the line gap and blank width of the
/// installed CJK face, so that captions fit their labels and leading blanks position
/// the words as intended. The caption itself (text()) is unchanged.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

Q_SIGNALS:
    void Click();
    void DblClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_pressed = false;
    bool m_inDoubleClick = false;
};

} // namespace runtime
