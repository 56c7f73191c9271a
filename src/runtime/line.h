#pragma once

#include <QWidget>

namespace runtime {

/// A straight line painted on its window, one pixel wide, in the window text colour.
/// It takes no mouse input: clicks fall through to whatever lies beneath it.
class Line : public QWidget
{
    Q_OBJECT
public:
    explicit Line(QWidget *parent = nullptr);

    /// Places the line between two points given in the parent's pixels.
    void setEnds(QPoint from, QPoint to);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPoint m_from, m_to;
};

} // namespace runtime
