#pragma once

#include <QPointer>

#include <functional>

namespace runtime {

/// A window that is created, and loaded, the first time it is used.
template <class T>
class Lazy
{
public:
    explicit Lazy(std::function<T *()> make)
        : m_make(std::move(make))
    { }

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

private:
    std::function<T *()> m_make;
    QPointer<T> m_window;
};

} // namespace runtime
