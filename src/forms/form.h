#pragma once

#include "forms/formdef.h"

#include <QDialog>
#include <QPointer>

#include <functional>

namespace forms {

/// A secondary window of the program: built from its definition, shown modally,
/// hidden (never destroyed) when it is done, and owned by the main window.
/// It has no frame; the only way to close it is through its own controls.
class Form : public QDialog
{
    Q_OBJECT
public:
    Form(const FormDef &def, QWidget *owner);

    /// Runs once, right after the window is created and before it is first shown.
    virtual void Form_Load() {}

    /// Shows the window modally; returns when the window has been hidden again.
    /// Timers of the program keep running meanwhile.
    void Show();

    /// Hides the window without destroying it; ends its modal showing.
    void Hide() { hide(); }

protected:
    void reject() override;                    // Escape does not close the window
    void closeEvent(QCloseEvent *event) override; // nor does the window manager

private:
    FormDef::Position m_position;
};

/// A window that is created, and loaded, the first time it is used.
template <class T>
class Lazy
{
public:
    explicit Lazy(std::function<T *()> make)
        : m_make(std::move(make))
    {
    }

    /// The window; created and loaded on first use.
    T &operator*()
    {
        if (!m_window) {
            m_window = m_make();
            m_window->Form_Load();
        }
        return *m_window;
    }
    T *operator->() { return &**this; }

    /// Whether the window has been created (and loaded) in this run.
    bool loaded() const { return !m_window.isNull(); }

private:
    std::function<T *()> m_make;
    QPointer<T> m_window;
};

} // namespace forms
