#pragma once

#include <QLabel>

namespace forms {

/// A label that reports clicks and double clicks. Like every label it never takes
/// the keyboard focus, so clicking it leaves the focus where it was.
///
/// The second click of a double click raises only DblClick, not a second Click.
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

private:
    bool m_pressed = false;
    bool m_inDoubleClick = false;
};

} // namespace forms
