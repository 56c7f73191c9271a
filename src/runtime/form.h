#pragma once

#include "runtime/formdef.h"

#include <QDialog>

namespace runtime {

/// A secondary window of the program: built from its definition, shown modally,
/// hidden (never destroyed) when it is done, and owned by the main window.
/// It has no frame; the only way to close it is through its own controls.
class Form : public QDialog
{
    Q_OBJECT
public:
    Form(const FormDef &def, QWidget *owner);

    /// Runs once, right after the window is created and before it is first shown.
    virtual void Form_Load() { }

    /// Shows the window modally; returns when the window has been hidden again.
    /// Timers of the program keep running meanwhile.
    void Show();

    /// Hides the window without destroying it; ends its modal showing.
    void Hide();

protected:
    /// Runs at every showing, before the window is placed and shown.
    virtual void beforeShow() { }
    /// Runs at every showing, right before Hide() hides the window.
    virtual void beforeHide() { }
    /// Runs at every showing, once the window has been hidden again.
    virtual void afterShow() { }

    void reject() override;                       // Escape does not close the window
    void closeEvent(QCloseEvent *event) override; // nor does the window manager

private:
    /// Where the window goes at a showing: its top-left corner.
    QPoint placement() const;

    FormDef::Position m_position;
};

} // namespace runtime
